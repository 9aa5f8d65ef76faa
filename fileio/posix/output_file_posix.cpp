// Outputs on POSIX: a temporary file created with O_EXCL beside the target,
// rename(2) over the target, and the signal cleanup of signal_cleanup.h.

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

#include "output_file.h"
#include "output_stream.h"
#include "signal_cleanup.h"
#include "temporary_name.h"

namespace {

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Random bits for a temporary name, from the system's random source where
// it has one.
std::uint64_t RandomBits()
{
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) == sizeof bits) return bits;
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<std::uint64_t>(now.tv_nsec) << 20) ^ static_cast<std::uint64_t>(::getpid()) ^
           (++counter * 0x9e3779b97f4a7c15u);
}

// True when an existing target must be kept: a folder, or a file the user
// may not write (root may write every file, as with any other program).
bool TargetIsProtected(const std::string& targetName, const struct stat& target)
{
    return S_ISDIR(target.st_mode) || ::faccessat(AT_FDCWD, targetName.c_str(), W_OK, AT_EACCESS) != 0;
}

void RemoveTemporary(PendingOutput& output)
{
    ::unlink(output.temporaryName.c_str());
    UnregisterFromCleanup(output.cleanupSlot);
    output.cleanupSlot = -1;
}

}  // namespace

bool BeginOutput(const std::string& targetName, const FilePermissions& newFilePermissions, PendingOutput& output)
{
    InstallSignalCleanup();
    output = PendingOutput{};
    output.targetName = targetName;
    struct stat target;
    bool targetExists = ::stat(targetName.c_str(), &target) == 0;
    if (targetExists && TargetIsProtected(targetName, target)) return false;
    // A new file gets the source's bits through open(), which applies the
    // umask as cp does; a replacement gets the target's exact mode below.
    mode_t createMode = targetExists ? 0600 : newFilePermissions.known ? newFilePermissions.bits & 0777 : 0666;

    CleanupSignalsBlocked blocked;
    int fd = CreateTemporaryFile(
        FolderOf(targetName), RandomBits,
        [&](const std::string& name) { return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode); },
        output.temporaryName);
    if (fd < 0) return false;
    output.cleanupSlot = RegisterForCleanup(output.temporaryName);
    if (targetExists) {
        // Owner and group only where the system lets us (root); the mode
        // after them, since a change of owner clears set-id bits.
        [[maybe_unused]] int ownerKept = ::fchown(fd, target.st_uid, target.st_gid);
        ::fchmod(fd, target.st_mode & 07777);
    }
    if (output.cleanupSlot >= 0) output.stream = ::fdopen(fd, "wb");
    if (output.stream == nullptr) {
        ::close(fd);
        RemoveTemporary(output);
    }
    return output.stream != nullptr;
}

bool FinishOutput(PendingOutput& output)
{
    if (output.stream == nullptr) return false;
    bool written = CloseOutputStream(output);
    CleanupSignalsBlocked blocked;
    bool moved = written && std::rename(output.temporaryName.c_str(), output.targetName.c_str()) == 0;
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
    CleanupSignalsBlocked blocked;
    RemoveTemporary(output);
}
