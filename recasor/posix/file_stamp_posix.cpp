#include "file_stamp.h"

#include <sys/stat.h>

namespace recasor {

FileStamp ReadFileStamp(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return FileStamp{};
    return FileStamp{.exists = true,
                     .ordinaryFile = S_ISREG(info.st_mode),
                     .modifiedNanoseconds = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                     .size = static_cast<uint64_t>(info.st_size),
                     .identity = static_cast<uint64_t>(info.st_ino) ^ (static_cast<uint64_t>(info.st_dev) << 40)};
}

}  // namespace recasor
