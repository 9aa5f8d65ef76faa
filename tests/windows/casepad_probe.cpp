// Test helper run under Wine beside casepad.exe: reads the state of a
// running casepad from outside, through messages that Windows passes
// between processes (no pointers in them, or text that the system copies).
//
//   casepad_probe text          the editor's whole text (WM_GETTEXT), raw
//   casepad_probe QUERY...      one line per query:
//     MESSAGE[:WPARAM]          the editor's answer to that message (numbers)
//     title                     the main window's title
//     sizes                     the main window's client size, then the
//                               editor's outer size ("WxH WxH")
//     menubar                   screen point "X Y" in the menu bar's first item
//     menubar-end               screen point "X Y" at the menu bar's right end
//     margin:LINE               screen point "X Y" on that line's number
//
// Exit code 0, or 2 when no casepad window is there.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct CasepadWindows {
    HWND main = nullptr;
    HWND editor = nullptr;
};

std::string SizeOf(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return std::to_string(client.right - client.left) + "x" + std::to_string(client.bottom - client.top);
}

std::string OuterSizeOf(HWND window)
{
    RECT outer{};
    GetWindowRect(window, &outer);
    return std::to_string(outer.right - outer.left) + "x" + std::to_string(outer.bottom - outer.top);
}

std::string ScreenPoint(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    return std::to_string(point.x) + " " + std::to_string(point.y);
}

// Inside a line's number: the margin's first pixels, half a line down.
std::string MarginPoint(HWND editor, WPARAM line)
{
    constexpr UINT SCI_POSITIONFROMLINE = 2167, SCI_POINTYFROMPOSITION = 2165, SCI_TEXTHEIGHT = 2279;
    LRESULT position = SendMessageA(editor, SCI_POSITIONFROMLINE, line, 0);
    LRESULT top = SendMessageA(editor, SCI_POINTYFROMPOSITION, 0, position);
    LRESULT height = SendMessageA(editor, SCI_TEXTHEIGHT, line, 0);
    return ScreenPoint(editor, 8, static_cast<int>(top + height / 2));
}

std::string Answer(const CasepadWindows& casepad, const char* query)
{
    if (std::strcmp(query, "title") == 0) {
        char title[256] = {};
        GetWindowTextA(casepad.main, title, sizeof title);
        return title;
    }
    if (std::strcmp(query, "sizes") == 0) return SizeOf(casepad.main) + " " + OuterSizeOf(casepad.editor);
    if (std::strcmp(query, "menubar") == 0) return ScreenPoint(casepad.main, 8, -GetSystemMetrics(SM_CYMENU) / 2);
    if (std::strcmp(query, "menubar-end") == 0) {
        RECT client{};
        GetClientRect(casepad.main, &client);
        return ScreenPoint(casepad.main, client.right - 8, -GetSystemMetrics(SM_CYMENU) / 2);
    }
    if (std::strncmp(query, "margin:", 7) == 0) return MarginPoint(casepad.editor, std::strtoul(query + 7, nullptr, 10));
    char* rest = nullptr;
    UINT message = static_cast<UINT>(std::strtoul(query, &rest, 10));
    WPARAM wParam = *rest == ':' ? static_cast<WPARAM>(std::strtoll(rest + 1, nullptr, 10)) : 0;
    return std::to_string(static_cast<long long>(SendMessageA(casepad.editor, message, wParam, 0)));
}

}  // namespace

int main(int argc, char** argv)
{
    CasepadWindows casepad;
    casepad.main = FindWindowA("ScintillaExampleClass", nullptr);
    casepad.editor = FindWindowExA(casepad.main, nullptr, "KavrixView", nullptr);
    if (casepad.main == nullptr || casepad.editor == nullptr) {
        std::fprintf(stderr, "casepad_probe: no casepad window\n");
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc == 2 && std::strcmp(argv[1], "text") == 0) {
        LRESULT length = SendMessageA(casepad.editor, WM_GETTEXTLENGTH, 0, 0);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        LRESULT copied = SendMessageA(casepad.editor, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        std::fwrite(text.data(), 1, static_cast<size_t>(copied), stdout);
        return 0;
    }
    for (int i = 1; i < argc; ++i) std::printf("%s\n", Answer(casepad, argv[i]).c_str());
    return 0;
}
