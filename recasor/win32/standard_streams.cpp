// Standard streams on Windows, read and written through their handles, not
// the C runtime's text mode: bytes go out and come in as they are (no CR LF
// translation, so that a diff, the filter and the language server's
// Content-Length framing stay exact), except that UTF-8 text for a console
// is shown through WriteConsoleW, so that names such as "Übung.bas" look
// right whatever the console's code page.

#include <windows.h>

#include <malloc.h>

#include <algorithm>

#include "platform.h"
#include "win32/wide_names.h"

namespace recasor {

namespace {

bool IsConsole(HANDLE handle)
{
    DWORD mode;
    return GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode);
}

bool WriteBytes(HANDLE handle, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(handle, bytes.data() + done, chunk, &n, nullptr) || n == 0) return false;
        done += n;
    }
    return true;
}

bool WriteConsoleText(HANDLE handle, const std::wstring& text)
{
    size_t done = 0;
    while (done < text.size()) {
        DWORD n = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 8192));
        if (!WriteConsoleW(handle, text.data() + done, chunk, &n, nullptr) || n == 0) return false;
        done += n;
    }
    return true;
}

bool WriteTo(DWORD stream, const std::string& text)
{
    HANDLE handle = GetStdHandle(stream);
    std::wstring wide;
    if (IsConsole(handle) && WideFromUtf8(text, wide)) return WriteConsoleText(handle, wide);
    return WriteBytes(handle, text);
}

}  // namespace

size_t ReadStandardInputSome(char* buffer, size_t size)
{
    DWORD got = 0;
    DWORD most = static_cast<DWORD>(std::min<size_t>(size, 1 << 20));
    // A pipe whose writer is gone reports ERROR_BROKEN_PIPE: the end, as any failure.
    if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, most, &got, nullptr)) return 0;
    return got;
}

// A closed pipe makes WriteFile fail; no signal ends the program.
void KeepRunningWhenOutputCloses() {}

void ReturnFreedMemory() { _heapmin(); }

bool WriteStandardOutput(const std::string& bytes) { return WriteTo(STD_OUTPUT_HANDLE, bytes); }
void WriteStandardError(const std::string& text) { WriteTo(STD_ERROR_HANDLE, text); }
bool StandardInputIsTerminal() { return IsConsole(GetStdHandle(STD_INPUT_HANDLE)); }

// The progress line redraws itself with an escape sequence, which a console
// understands once asked to.
bool StandardErrorIsTerminal()
{
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode;
    if (GetFileType(handle) != FILE_TYPE_CHAR || !GetConsoleMode(handle, &mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace recasor
