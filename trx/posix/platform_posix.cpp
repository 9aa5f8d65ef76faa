// The batch tool on POSIX systems: messages go to standard error, the
// completion signal is the terminal bell.

#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

#include "platform.h"

namespace {

void WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// Like the Windows directory search with its attribute mask: plain files and
// directories count, devices, pipes and sockets do not.
bool IsFileOrDirectory(const char* path)
{
    struct stat info;
    return ::stat(path, &info) == 0 && (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode));
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
