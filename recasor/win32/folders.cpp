// Places, folders and links on Windows, through the wide API. Names are
// UTF-8 here and in the portable part.

#include <windows.h>

#include <vector>

#include "path_text.h"
#include "platform.h"
#include "wildcard_match.h"
#include "win32/wide_names.h"
#include "windows_errors.h"

namespace recasor {

namespace {

// A name the system gave back, without the "\\?\" prefix it may carry.
std::string PlainName(std::wstring_view name)
{
    if (name.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + Utf8FromWide(name.substr(8));
    if (name.starts_with(L"\\\\?\\")) return Utf8FromWide(name.substr(4));
    return Utf8FromWide(name);
}

// Calls `get(buffer, size)` with a growing buffer until the name fits.
template <typename Get>
std::wstring GrowingName(Get get)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = get(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(std::max<size_t>(length + 1, buffer.size() * 2));
    }
}

// Upper case as the file system compares names, so that patterns match
// whatever the case of either side.
std::string FoldedCase(const std::string& text)
{
    std::wstring wide;
    if (!WideFromUtf8(text, wide) || wide.empty()) return text;
    std::wstring folded(wide.size(), L'\0');
    int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()),
                               folded.data(), static_cast<int>(folded.size()), nullptr, nullptr, 0);
    return length > 0 ? Utf8FromWide(std::wstring_view(folded.data(), length)) : text;
}

}  // namespace

std::string CurrentFolder()
{
    return PlainName(GrowingName([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); }));
}

std::string ProgramFolder()
{
    std::wstring program = GrowingName([](wchar_t* buffer, DWORD size) {
        DWORD length = GetModuleFileNameW(nullptr, buffer, size);
        return length == size ? size : length;  // cut short: ask again with more room
    });
    return program.empty() ? std::string() : FolderOf(PlainName(program));
}

PathState LookAtPath(const std::string& name)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WideFileName(name).c_str(), GetFileExInfoStandard, &data))
        return PathState{false, false, ErrorText(GetLastError())};
    return PathState{true, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, ""};
}

bool IsOrdinaryFile(const std::string& name)
{
    DWORD attributes = GetFileAttributesW(WideFileName(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::string& reason)
{
    entries.clear();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(WideFileName(ShownChild(folder, "*")).c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return true;  // an empty drive root
        reason = ErrorText(error);
        return false;
    }
    do {
        std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        // Symbolic links and junctions are name surrogates; other reparse
        // points (deduplicated or cloud files) are ordinary files.
        bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(found.dwReserved0);
        entries.push_back({Utf8FromWide(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, link});
    } while (FindNextFileW(search, &found));
    DWORD error = GetLastError();
    FindClose(search);
    if (error == ERROR_NO_MORE_FILES) return true;
    reason = ErrorText(error);
    return false;
}

std::string ResolvedName(const std::string& name)
{
    HANDLE handle = CreateFileW(WideFileName(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return name;
    std::wstring final = GrowingName([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(handle, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    CloseHandle(handle);
    return final.empty() ? name : PlainName(final);
}

bool MatchesPattern(const std::string& pattern, const std::string& text, bool isPath)
{
    return WildcardMatch(FoldedCase(pattern), FoldedCase(text), kPathSeparators, isPath);
}

}  // namespace recasor
