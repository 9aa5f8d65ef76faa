#pragma once
// What tells that a file has changed since it was last read: its kind, size,
// modification time and identity. Each platform layer supplies ReadFileStamp.

#include <cstdint>
#include <string>

namespace recasor {

struct FileStamp {
    bool exists = false;
    bool ordinaryFile = false;
    int64_t modifiedNanoseconds = 0;
    uint64_t size = 0;
    uint64_t identity = 0;  // the file's number on its device, where the platform has one

    bool operator==(const FileStamp&) const = default;
};

// The stamp of `path` now (links followed); `exists` is false when there is
// nothing there or it cannot be examined.
FileStamp ReadFileStamp(const std::string& path);

}  // namespace recasor
