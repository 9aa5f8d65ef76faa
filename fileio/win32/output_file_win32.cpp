// Outputs on Windows: a temporary file created with _O_EXCL beside the
// target, MoveFileExA over the target. A GUI program gets no console
// signals, so there is no signal cleanup here.

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdint>

#include "output_file.h"
#include "output_stream.h"
#include "temporary_name.h"

namespace {

std::string FolderOf(const std::string& path)
{
    size_t separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Bits that differ between processes and between calls.
std::uint64_t RandomBits()
{
    static std::uint64_t calls = 0;
    LARGE_INTEGER ticks;
    QueryPerformanceCounter(&ticks);
    return (static_cast<std::uint64_t>(ticks.QuadPart) * 0x9e3779b97f4a7c15u) ^
           (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32) ^ ++calls;
}

void RemoveTemporary(const PendingOutput& output)
{
    SetFileAttributesA(output.temporaryName.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(output.temporaryName.c_str());
}

}  // namespace

bool BeginOutput(const std::string& targetName, const FilePermissions& newFilePermissions, PendingOutput& output)
{
    output = PendingOutput{};
    output.targetName = targetName;
    DWORD attributes = GetFileAttributesA(targetName.c_str());
    bool targetExists = attributes != INVALID_FILE_ATTRIBUTES;
    if (targetExists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;
    // A replacement keeps the target's hidden attribute; a new file has the
    // attributes and access list any new file in its folder gets.
    output.keep = targetExists ? FilePermissions{attributes & FILE_ATTRIBUTE_HIDDEN, true} : newFilePermissions;

    int fd = CreateTemporaryFile(
        FolderOf(targetName), RandomBits,
        [](const std::string& name) { return _open(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE); },
        output.temporaryName);
    if (fd == -1) return false;
    output.stream = _fdopen(fd, "wb");
    if (output.stream == nullptr) {
        _close(fd);
        RemoveTemporary(output);
    }
    return output.stream != nullptr;
}

bool FinishOutput(PendingOutput& output)
{
    if (output.stream == nullptr) return false;
    bool written = CloseOutputStream(output);
    if (written && output.keep.known && output.keep.bits != 0)
        written = SetFileAttributesA(output.temporaryName.c_str(), output.keep.bits) != 0;
    bool moved = written && MoveFileExA(output.temporaryName.c_str(), output.targetName.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!moved) RemoveTemporary(output);
    return moved;
}

void AbandonOutput(PendingOutput& output)
{
    if (output.stream == nullptr) return;
    std::fclose(output.stream);
    output.stream = nullptr;
    RemoveTemporary(output);
}
