// Opening a source on POSIX: open without waiting (a FIFO with no writer or
// a terminal would otherwise hold open() or the first read for ever), then
// ask the open descriptor what it is.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "source_file.h"

bool OpenSource(const std::string& name, SourceFile& source)
{
    source = SourceFile{};
    int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    source.stream = ::fdopen(fd, "rb");
    if (source.stream == nullptr) {
        ::close(fd);
        return false;
    }
    source.permissions = FilePermissions{static_cast<unsigned>(info.st_mode & 0777), true};
    return true;
}

void CloseSource(SourceFile& source)
{
    if (source.stream != nullptr) std::fclose(source.stream);
    source.stream = nullptr;
}
