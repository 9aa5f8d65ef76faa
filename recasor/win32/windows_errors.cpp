#include "windows_errors.h"

#include "win32/wide_names.h"

namespace recasor {

std::string ErrorText(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS: return "not an ordinary file";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "No such file or folder";
    case ERROR_ACCESS_DENIED: return "Access denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED: return "in use by another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "No space left on the disk";
    case ERROR_FILENAME_EXCED_RANGE: return "name too long";
    case ERROR_INVALID_NAME: return "not a valid name";
    }
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = "Windows error " + std::to_string(error);
    if (length > 0) {
        std::wstring_view words(text, length);
        while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L'.')) words.remove_suffix(1);
        reason += ": " + Utf8FromWide(words);
    }
    LocalFree(text);
    return reason;
}

}  // namespace recasor
