#include "file_stamp.h"

#include <windows.h>

#include "win32/wide_names.h"

namespace recasor {

FileStamp ReadFileStamp(const std::string& path)
{
    // Attributes only, shared every way: a stamp never stands in an editor's way.
    HANDLE handle = CreateFileW(WideFileName(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return FileStamp{};
    BY_HANDLE_FILE_INFORMATION info;
    bool known = GetFileInformationByHandle(handle, &info) != 0;
    bool disk = GetFileType(handle) == FILE_TYPE_DISK;
    CloseHandle(handle);
    if (!known) return FileStamp{};
    auto wide = [](DWORD high, DWORD low) { return static_cast<uint64_t>(high) << 32 | low; };
    return FileStamp{.exists = true,
                     .ordinaryFile = disk && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0,
                     .modifiedNanoseconds =
                         static_cast<int64_t>(wide(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)) * 100,
                     .size = wide(info.nFileSizeHigh, info.nFileSizeLow),
                     .identity = wide(info.nFileIndexHigh, info.nFileIndexLow) ^ (static_cast<uint64_t>(info.dwVolumeSerialNumber) << 40)};
}

}  // namespace recasor
