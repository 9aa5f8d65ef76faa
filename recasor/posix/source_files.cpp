// Source files and standard input on POSIX, through the shared fileio
// library.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "output_file.h"
#include "platform.h"
#include "source_file.h"

namespace recasor {

namespace {

std::string ErrorText(int error) { return error == 0 ? "not an ordinary file" : std::strerror(error); }

bool ReadAll(int fd, std::string& content, std::string& reason)
{
    content.clear();
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (n == 0) return true;
        content.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

bool ReadSourceFile(const std::string& name, std::string& content, std::string& reason)
{
    errno = 0;
    SourceFile source;
    if (!OpenSource(name, source)) {
        reason = ErrorText(errno);
        return false;
    }
    bool ok = ReadAll(::fileno(source.stream), content, reason);
    CloseSource(source);
    return ok;
}

bool RewriteFile(const std::string& name, const std::string& content, std::string& reason)
{
    // The file's own permissions (and owner, where allowed) are kept by the output.
    PendingOutput output;
    errno = 0;
    if (!BeginOutput(name, FilePermissions{}, output)) {
        bool writable = ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) == 0;
        reason = writable ? "cannot write: " + ErrorText(errno) : "write-protected, left as it was";
        return false;
    }
    bool written = std::fwrite(content.data(), 1, content.size(), output.stream) == content.size();
    if (!written) {
        reason = std::string("cannot write: ") + std::strerror(errno);
        AbandonOutput(output);
        return false;
    }
    if (!FinishOutput(output)) {
        reason = std::string("cannot write: ") + ErrorText(errno);
        return false;
    }
    return true;
}

bool ReadStandardInput(std::string& content, std::string& reason) { return ReadAll(STDIN_FILENO, content, reason); }

}  // namespace recasor
