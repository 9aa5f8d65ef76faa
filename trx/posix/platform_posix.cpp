// The batch tool on POSIX systems: messages go to standard error, the
// completion signal is the terminal bell.

#include <fcntl.h>
#include <glob.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <string>

#include "platform.h"
#include "posix/write_all.h"

namespace {

// Like the Windows directory search with its attribute mask: plain files and
// directories count, devices, pipes and sockets do not.
bool IsFileOrDirectory(const char* path)
{
    struct stat info;
    return ::stat(path, &info) == 0 && (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode));
}

// The one mapped file, for the bus error handler below.
const char* gMappedStart = nullptr;
size_t gMappedLength = 0;
size_t gPageSize = 0;
volatile sig_atomic_t gMappedFileShrank = 0;

// A read of a mapped page past the end of a file that was truncated meanwhile
// raises SIGBUS. Such a page is replaced by one of zeros and the read goes
// on; any other bus error ends the program as it would have.
void OnBusError(int signal, siginfo_t* info, void*)
{
    auto at = reinterpret_cast<uintptr_t>(info->si_addr);
    auto start = reinterpret_cast<uintptr_t>(gMappedStart);
    if (info->si_code == BUS_ADRERR && at >= start && at - start < gMappedLength) {
        void* page = reinterpret_cast<void*>(at & ~(gPageSize - 1));
        if (::mmap(page, gPageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            gMappedFileShrank = 1;
            return;
        }
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void GuardMapping(const char* start, size_t length)
{
    gMappedStart = start;
    gMappedLength = length;
    gPageSize = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, nullptr);
}

}  // namespace

bool FileExists(const std::string& name)
{
    if (name.empty()) return false;
    if (IsFileOrDirectory(name.c_str())) return true;
    // Backslashes are path text here (as in "C:\Test.bas"), not escapes.
    glob_t matches;
    bool found = false;
    if (::glob(name.c_str(), GLOB_NOSORT | GLOB_NOESCAPE, nullptr, &matches) == 0) {
        for (size_t i = 0; i < matches.gl_pathc && !found; ++i) found = IsFileOrDirectory(matches.gl_pathv[i]);
    }
    ::globfree(&matches);
    return found;
}

void ShowMessage(const std::string& text) { WriteAll(STDERR_FILENO, "Recasor: " + text + "\n"); }

void PlayCompletionSounds()
{
    if (!::isatty(STDERR_FILENO)) return;
    WriteAll(STDERR_FILENO, "\a");
    struct timespec pause = {0, 150 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
    WriteAll(STDERR_FILENO, "\a");
}

bool MappedFileShrank() { return gMappedFileShrank != 0; }

std::optional<std::string_view> MapFileForReading(const std::string& name)
{
    // Never waits on a FIFO or device put in the file's place.
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info;
    void* bytes = MAP_FAILED;
    if (gMappedStart == nullptr && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        bytes = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (bytes == MAP_FAILED) return std::nullopt;
    GuardMapping(static_cast<const char*>(bytes), static_cast<size_t>(info.st_size));
    return std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(info.st_size));
}
