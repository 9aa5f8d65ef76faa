#pragma once
// Opening a file to read it, safely for every program of the project: the
// name is opened once, without waiting, and only an ordinary file is
// accepted. A FIFO, a device, a socket or a folder is refused at once, so no
// read can block for ever and what was checked is what gets read.

#include <cstdio>
#include <string>

// What a new file written from a source copies from it: on POSIX the
// permission bits (rwx for owner, group, others); on Windows nothing, a new
// file gets the access list of its folder. Only the platform layer looks
// inside.
struct FilePermissions {
    unsigned bits = 0;
    bool known = false;  // false: a new file gets the system's default
};

struct SourceFile {
    std::FILE* stream = nullptr;  // binary reading
    FilePermissions permissions;
};

// Opens `name` for binary reading. False, with nothing left open, when the
// name cannot be opened or does not name an ordinary file (on Windows: a
// disk file that is no folder). The reason is then in errno (POSIX) or
// GetLastError() (Windows): 0 when the name is no ordinary file.
bool OpenSource(const std::string& name, SourceFile& source);

void CloseSource(SourceFile& source);
