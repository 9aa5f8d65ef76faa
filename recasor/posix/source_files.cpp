// Source files and standard input on POSIX, through the shared fileio
// library.

#include <fcntl.h>
#include <sys/stat.h>
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

// Reads `fd` to its end (or until `take` says false) in pieces of `size`.
bool ReadPieces(int fd, size_t size, const PieceTaker& take, std::string& reason)
{
    std::string buffer(size, '\0');
    for (;;) {
        ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (n == 0 || !take(std::string_view(buffer.data(), static_cast<size_t>(n)))) return true;
    }
}

}  // namespace

bool ReadSourceFileInPieces(const std::string& name, const PieceTaker& take, std::string& reason)
{
    errno = 0;
    SourceFile source;
    if (!OpenSource(name, source)) {
        reason = ErrorText(errno);
        return false;
    }
    bool ok = ReadPieces(::fileno(source.stream), kSourcePieceBytes, take, reason);
    CloseSource(source);
    return ok;
}

bool RewriteFileWith(const std::string& name, const ContentProducer& produce, std::string& reason)
{
    // The file's own permissions (and owner, where allowed) are kept by the output.
    PendingOutput output;
    errno = 0;
    if (!BeginOutput(name, FilePermissions{}, output)) {
        bool writable = ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) == 0;
        reason = writable ? "cannot write: " + ErrorText(errno) : "write-protected, left as it was";
        return false;
    }
    bool written = true;
    PieceTaker write = [&](std::string_view piece) {
        written = std::fwrite(piece.data(), 1, piece.size(), output.stream) == piece.size();
        if (!written) reason = std::string("cannot write: ") + std::strerror(errno);
        return written;
    };
    if (!produce(write, reason) || !written) {
        AbandonOutput(output);
        return false;
    }
    if (!FinishOutput(output)) {
        reason = std::string("cannot write: ") + ErrorText(errno);
        return false;
    }
    return true;
}


bool ReadStandardInput(std::string& content, std::string& reason)
{
    content.clear();
    struct stat input;
    if (::fstat(STDIN_FILENO, &input) == 0 && S_ISREG(input.st_mode)) content.reserve(static_cast<size_t>(input.st_size));
    return ReadPieces(STDIN_FILENO, 1 << 16, [&](std::string_view piece) { return content.append(piece), true; },
                      reason);
}

}  // namespace recasor
