// The batch tool on Windows: message boxes titled "Recasor", a tone and the
// default system sound at the end, the runtime's directory search for
// existence tests.

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform.h"

namespace {

// Attributes that an entry may carry and still count as found: read-only,
// hidden, directory and archive. System files and volume labels do not.
constexpr unsigned kFoundAttributeMask = _A_RDONLY | _A_HIDDEN | _A_SUBDIR | _A_ARCH;  // 0x33

constexpr unsigned kToneFrequency = 880;  // Hz
constexpr unsigned kToneMilliseconds = 120;

}  // namespace

bool FileExists(const std::string& name)
{
    if (name.empty()) return false;
    _finddata_t entry;
    intptr_t search = _findfirst(name.c_str(), &entry);
    if (search == -1) return false;
    bool found = false;
    do {
        found = (entry.attrib & ~kFoundAttributeMask) == 0;
    } while (!found && _findnext(search, &entry) == 0);
    _findclose(search);
    return found;
}

void ShowMessage(const std::string& text) { MessageBoxA(nullptr, text.c_str(), "Recasor", MB_OK); }

void PlayCompletionSounds()
{
    // _beep is marked deprecated in favour of Beep, which it calls anyway.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    _beep(kToneFrequency, kToneMilliseconds);
#pragma GCC diagnostic pop
    MessageBeep(MB_OK);
}

std::FILE* CreateTemporaryBeside(const std::string& finalName, std::string& temporaryName)
{
    // A name of our own beside the target; O_EXCL makes sure it is a new file.
    std::string prefix = finalName + ".~" + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = prefix + std::to_string(attempt);
        int fd = _open(candidate.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd == -1) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        std::FILE* file = _fdopen(fd, "wb");
        if (file == nullptr) {
            _close(fd);
            DeleteFileA(candidate.c_str());
            return nullptr;
        }
        temporaryName = candidate;
        return file;
    }
    return nullptr;
}

bool MoveIntoPlace(const std::string& temporaryName, const std::string& finalName)
{
    return MoveFileExA(temporaryName.c_str(), finalName.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

// The vocabulary is small and the program starts once: reading it is enough.
std::optional<std::string_view> MapFileForReading(const std::string&) { return std::nullopt; }
