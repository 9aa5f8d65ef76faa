#include "wide_names.h"

#include <windows.h>

namespace {

unsigned fileNameCodePage = CP_ACP;

std::wstring Widen(std::string_view text, unsigned codePage, DWORD flags)
{
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (length > 0) MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

void SetFileNameCodePage(unsigned codePage) { fileNameCodePage = codePage; }

std::wstring WideFileName(const std::string& name)
{
    std::wstring wide = Widen(name, fileNameCodePage, 0);
    // Room for the "~XXXXXX.tmp" of a temporary file beside a long name.
    constexpr size_t kLongName = MAX_PATH - 12;
    if (wide.size() < kLongName || wide.starts_with(L"\\\\?\\")) return wide;
    bool drive = wide.size() > 2 && wide[1] == L':' && IsSeparator(wide[2]);
    bool unc = IsSeparator(wide[0]) && IsSeparator(wide[1]);
    if (!drive && !unc) return wide;
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return drive ? L"\\\\?\\" + wide : L"\\\\?\\UNC\\" + wide.substr(2);
}

bool WideFromUtf8(std::string_view text, std::wstring& wide)
{
    wide = Widen(text, CP_UTF8, MB_ERR_INVALID_CHARS);
    return text.empty() || !wide.empty();
}

std::string Utf8FromWide(std::wstring_view wide)
{
    if (wide.empty()) return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}
