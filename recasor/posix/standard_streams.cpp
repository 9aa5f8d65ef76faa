// Standard streams on POSIX.

#include <malloc.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform.h"
#include "posix/write_all.h"

namespace recasor {

size_t ReadStandardInputSome(char* buffer, size_t size)
{
    for (;;) {
        ssize_t got = ::read(STDIN_FILENO, buffer, size);
        if (got >= 0) return static_cast<size_t>(got);
        if (errno != EINTR) return 0;
    }
}

void KeepRunningWhenOutputCloses() { ::signal(SIGPIPE, SIG_IGN); }
void ReturnFreedMemory() { ::malloc_trim(0); }

bool WriteStandardOutput(const std::string& bytes) { return WriteAll(STDOUT_FILENO, bytes); }
void WriteStandardError(const std::string& text) { WriteAll(STDERR_FILENO, text); }
bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace recasor
