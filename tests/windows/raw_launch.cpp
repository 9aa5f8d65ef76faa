// Test helper run under Wine beside TRX.exe: starts a program with an exact
// raw command line (unbalanced quotes, runs of spaces), which no shell or
// Wine's own argument quoting would pass through unchanged.
//
//   raw_launch [--lock FILE]... [--lock-shared FILE]... [--attributes FILE HEX]...
//              [--show-attributes FILE]... PROGRAM xHEX
//
// xHEX is the command line, byte by byte in hex after an "x". --lock keeps
// FILE open without sharing while the program runs; --lock-shared keeps it
// open as an editor does, sharing reading only; --attributes sets the file
// attributes of FILE (FILE_ATTRIBUTE_* bits, in hex); --show-attributes
// prints FILE's attributes (hex) on standard output once the program has
// ended. The program inherits the helper's standard handles. The exit code is the
// program's, or 255 when the helper itself fails.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Fail(const char* what)
{
    std::fprintf(stderr, "raw_launch: %s (error %lu)\n", what, GetLastError());
    return 255;
}

bool DecodeHex(const char* text, std::string& bytes)
{
    if (*text++ != 'x') return false;
    size_t length = std::strlen(text);
    if (length % 2 != 0) return false;
    for (size_t i = 0; i < length; i += 2) {
        unsigned value;
        if (std::sscanf(text + i, "%2x", &value) != 1) return false;
        bytes.push_back(static_cast<char>(value));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<HANDLE> locks;
    std::vector<const char*> shownAttributes;
    int at = 1;
    while (argc - at > 2) {
        bool shared = std::strcmp(argv[at], "--lock-shared") == 0;
        if (shared || std::strcmp(argv[at], "--lock") == 0) {
            HANDLE file = CreateFileA(argv[at + 1], GENERIC_READ, shared ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) return Fail("cannot lock the file");
            locks.push_back(file);
            at += 2;
        } else if (std::strcmp(argv[at], "--show-attributes") == 0) {
            shownAttributes.push_back(argv[at + 1]);
            at += 2;
        } else if (std::strcmp(argv[at], "--attributes") == 0 && argc - at > 4) {
            DWORD attributes = std::strtoul(argv[at + 2], nullptr, 16);
            if (!SetFileAttributesA(argv[at + 1], attributes)) return Fail("cannot set the file attributes");
            DWORD kept = GetFileAttributesA(argv[at + 1]);
            if (kept == INVALID_FILE_ATTRIBUTES || (kept & attributes) != attributes)
                return Fail("the file system does not keep these attributes");
            at += 3;
        } else {
            break;
        }
    }
    std::string commandLine;
    if (argc - at != 2 || !DecodeHex(argv[at + 1], commandLine)) {
        std::fprintf(stderr, "usage: raw_launch [--lock FILE]... [--lock-shared FILE]... [--attributes FILE HEX]...\n"
                             "                  [--show-attributes FILE]... PROGRAM xHEX\n");
        return 255;
    }

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(argv[at], commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return Fail("cannot start the program");
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 255;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (HANDLE lock : locks) CloseHandle(lock);
    for (const char* name : shownAttributes) std::printf("%lx\n", GetFileAttributesA(name));
    return static_cast<int>(exitCode);
}
