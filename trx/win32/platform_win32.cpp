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

#include "found_attributes.h"
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
        found = WithinAttributeMask(entry.attrib, kFoundAttributeMask);
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

// The vocabulary is small and the program starts once: reading it is enough.
std::optional<std::string_view> MapFileForReading(const std::string&) { return std::nullopt; }
bool MappedFileShrank() { return false; }
