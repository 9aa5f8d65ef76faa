// Opening a source on Windows: CreateFileW, then the handle must be a disk
// file that is no folder. Consoles, pipes and devices (CON, NUL, COM1,
// \\.\pipe\...) are refused before anything is read from them. When the
// name is no such file, the last error is ERROR_SUCCESS; otherwise it is
// the reason.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "source_file.h"
#include "wide_names.h"

bool OpenSource(const std::string& name, SourceFile& source)
{
    source = SourceFile{};
    HANDLE handle = CreateFileW(WideFileName(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(handle);
        SetLastError(ERROR_SUCCESS);
        return false;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd == -1) {
        CloseHandle(handle);
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return false;
    }
    source.stream = _fdopen(fd, "rb");
    if (source.stream == nullptr) {
        _close(fd);
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return false;
    }
    // Nothing to copy: who may read a new file on Windows is decided by the
    // access list it inherits from its folder, and the read-only attribute
    // is no protection from readers (copied, it would only stop the next
    // run from replacing the output).
    return true;
}

void CloseSource(SourceFile& source)
{
    if (source.stream != nullptr) std::fclose(source.stream);
    source.stream = nullptr;
}
