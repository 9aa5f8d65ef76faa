#pragma once
// Names on Windows. The programs give fileio narrow names: TRX in the ANSI
// code page (it reads its command line with GetCommandLineA), recasor in
// UTF-8. fileio turns them into UTF-16 and calls the wide API, so that
// every name the program can spell reaches the file system whole.

#include <string>
#include <string_view>

// The code page of the names given to fileio: CP_ACP (the ANSI code page)
// until a program chooses CP_UTF8.
void SetFileNameCodePage(unsigned codePage);

// `name` for the wide file API. An absolute name (C:\..., \\server\share\...)
// of MAX_PATH characters or more is written with "\" and gets the "\\?\"
// prefix, so that it is neither cut nor refused; shorter and relative names
// pass as they are.
std::wstring WideFileName(const std::string& name);

// UTF-8 <-> UTF-16. WideFromUtf8 is false for bytes that are no UTF-8.
bool WideFromUtf8(std::string_view text, std::wstring& wide);
std::string Utf8FromWide(std::wstring_view wide);
