// Outputs on Windows: a temporary file created with CREATE_NEW beside the
// target, then ReplaceFileW over an existing target (which keeps its
// attributes and its security descriptor) or MoveFileExW for a new one.
// Every name goes through the wide API (wide_names.h); the console's
// control events remove pending temporary files (ctrl_cleanup.h).

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdint>

#include "ctrl_cleanup.h"
#include "output_file.h"
#include "output_stream.h"
#include "temporary_name.h"
#include "wide_names.h"

namespace {

// The attributes a replacement takes over from the file it replaces (ReplaceFileW
// keeps them on Windows; set here as well for file systems that do not).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string FolderOf(const std::string& path)
{
    size_t separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Bits that differ between processes and between calls.
std::uint64_t RandomBits()
{
    static volatile LONG calls = 0;
    LARGE_INTEGER ticks;
    QueryPerformanceCounter(&ticks);
    return (static_cast<std::uint64_t>(ticks.QuadPart) * 0x9e3779b97f4a7c15u) ^
           (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32) ^ static_cast<std::uint64_t>(InterlockedIncrement(&calls));
}

// A new file opened for binary writing, or -1 with errno EEXIST when the
// name is taken. Shared for deletion, so that the control handler can
// remove it while it is still open.
int CreateNew(const std::string& name)
{
    HANDLE handle = CreateFileW(WideFileName(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        errno = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? EEXIST : EACCES;
        SetLastError(error);
        return -1;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd == -1) {
        CloseHandle(handle);
        DeleteFileW(WideFileName(name).c_str());
        errno = ENOMEM;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return fd;
}

// Removes the temporary file (call under the lock), keeping the error that made it necessary.
void RemoveTemporary(PendingOutput& output)
{
    DWORD error = GetLastError();
    std::wstring temporary = WideFileName(output.temporaryName);
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temporary.c_str());
    UnregisterFromCleanup(output.cleanupSlot);
    output.cleanupSlot = -1;
    SetLastError(error);
}

// True unless another program holds the target open in a way that forbids
// replacing it (without FILE_SHARE_DELETE, as editors and compilers do).
// Asked before ReplaceFileW, whose failure in that case leaves a file of
// its own behind under Wine.
bool TargetIsFree(const std::wstring& target)
{
    HANDLE handle = CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    return handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION;
}

// The absolute form of a name (TRX gives names relative to the current
// folder, which Wine's ReplaceFileW cannot take).
std::wstring FullName(const std::wstring& name)
{
    DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    length = length > 0 ? GetFullPathNameW(name.c_str(), length, full.data(), nullptr) : 0;
    if (length == 0 || length >= full.size()) return name;
    full.resize(length);
    return full;
}

bool ReplaceTarget(const std::wstring& temporary, const std::wstring& target)
{
    if (!TargetIsFree(target)) return false;
    if (ReplaceFileW(FullName(target).c_str(), FullName(temporary).c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
        return true;
    // The target is gone (or was never there): the file is simply moved in.
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return false;
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace

bool BeginOutput(const std::string& targetName, const FilePermissions& newFilePermissions, PendingOutput& output)
{
    InstallCtrlCleanup();
    output = PendingOutput{};
    output.targetName = targetName;
    DWORD attributes = GetFileAttributesW(WideFileName(targetName).c_str());
    bool targetExists = attributes != INVALID_FILE_ATTRIBUTES;
    if (targetExists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // A replacement keeps the target's attributes; a new file has the
    // attributes and access list any new file in its folder gets.
    output.keep = targetExists ? FilePermissions{attributes & kKeptAttributes, true} : newFilePermissions;

    CtrlCleanupLock locked;
    int fd = CreateTemporaryFile(FolderOf(targetName), RandomBits, CreateNew, output.temporaryName);
    if (fd == -1) return false;
    output.cleanupSlot = RegisterForCleanup(WideFileName(output.temporaryName));
    if (output.cleanupSlot >= 0) output.stream = _fdopen(fd, "wb");
    if (output.stream == nullptr) {
        _close(fd);
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        RemoveTemporary(output);
    }
    return output.stream != nullptr;
}

bool FinishOutput(PendingOutput& output)
{
    if (output.stream == nullptr) return false;
    bool written = CloseOutputStream(output);
    if (!written && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_WRITE_FAULT);
    std::wstring temporary = WideFileName(output.temporaryName);
    CtrlCleanupLock locked;
    if (written && output.keep.known && output.keep.bits != 0)
        written = SetFileAttributesW(temporary.c_str(), output.keep.bits) != 0;
    bool moved = written && ReplaceTarget(temporary, WideFileName(output.targetName));
    if (moved) {
        UnregisterFromCleanup(output.cleanupSlot);
        output.cleanupSlot = -1;
    } else {
        RemoveTemporary(output);
    }
    return moved;
}

void AbandonOutput(PendingOutput& output)
{
    if (output.stream == nullptr) return;
    std::fclose(output.stream);
    output.stream = nullptr;
    CtrlCleanupLock locked;
    RemoveTemporary(output);
}
