#include "source_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace recasor {

namespace {

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

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ReadSourceFile(const std::string& name, std::string& content, std::string& reason)
{
    // Opened once and without waiting, so a FIFO cannot block the run and
    // what was checked is what is read.
    int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok) reason = "not an ordinary file";
    ok = ok && ReadAll(fd, content, reason);
    ::close(fd);
    return ok;
}

bool RewriteFile(const std::string& name, const std::string& content, std::string& reason)
{
    struct stat info;
    if (::stat(name.c_str(), &info) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(name.c_str(), W_OK) != 0) {
        reason = "write-protected, left as it was";
        return false;
    }
    std::string temporary = name + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        reason = std::string("cannot create a temporary file beside it: ") + std::strerror(errno);
        return false;
    }
    bool ok = ::fchmod(fd, info.st_mode & 07777) == 0 && WriteAll(fd, content);
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), name.c_str()) == 0;
    if (!ok) {
        reason = std::string("cannot write: ") + std::strerror(errno);
        ::unlink(temporary.c_str());
    }
    return ok;
}

bool ReadStandardInput(std::string& content, std::string& reason) { return ReadAll(STDIN_FILENO, content, reason); }

}  // namespace recasor
