#include "main_window.h"

#include <cstring>

#include "scintilla_messages.h"

CasepadHost casepadHost;

namespace {

// The head of Scintilla's SCNotification, up to the fields casepad reads.
struct Notification {
    NMHDR header;
    intptr_t position;
    int ch;
    int modifiers;
    int modificationType;
    const char* text;
    intptr_t length;
    intptr_t linesAdded;
    int message;
    uintptr_t wParam;
    intptr_t lParam;
    intptr_t line;
    int foldLevelNow;
    int foldLevelPrev;
    int margin;
};

// Exit sends WM_DESTROY to the main window with the command's parameters.
void EndProgram(void* host)
{
    const CasepadHost& casepad = *static_cast<const CasepadHost*>(host);
    ::SendMessageA(casepad.mainWindow, WM_DESTROY, casepad.commandWParam, casepad.commandLParam);
}

void ShowMessage(void*, const std::string& text) { ShowMessageBox(text); }

void ShowAbout(void* host)
{
    ::MessageBoxA(static_cast<const CasepadHost*>(host)->mainWindow, kAboutText, kAboutCaption, MB_OK);
}

// WM_CREATE: the component fills in, then the core sets it up, loads the
// vocabulary (its message boxes come before the window is shown) and
// corrects the first lines.
void CreateEditor(HWND window)
{
    CasepadHost& casepad = casepadHost;
    casepad.editorWindow = CreateKavrixWindow(window, casepad.instanceHandle, casepad.library, casepad.kavrixEditor);
    casepad.state.editor = {SendToKavrix, &casepad.kavrixEditor};
    casepad.state.hostRoutines = {EndProgram, ShowAbout, &casepad, ShowMessage};
    StartEditor(casepad.state);
}

}  // namespace

void ShowMessageBox(const std::string& text) { ::MessageBoxA(nullptr, text.c_str(), "casepad", MB_OK); }

void RegisterMainWindowClass(HINSTANCE instance)
{
    static char className[64];
    std::strncpy(className, kMainWindowClass, sizeof(className) - 1);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MAINWNDPROC;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(nullptr, IDI_QUESTION);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    ::RegisterClassExA(&windowClass);
}

HMENU BuildMenuBar()
{
    HMENU menu = ::CreateMenu();
    for (const MenuItem& item : kMenuItems) ::AppendMenuA(menu, item.atRightEnd ? MF_HELP : MF_STRING, item.id, item.text);
    return menu;
}

LRESULT CALLBACK MAINWNDPROC(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CasepadHost& casepad = casepadHost;
    switch (message) {
    case WM_CREATE: CreateEditor(window); return 0;
    case WM_COMMAND:
        casepad.commandWParam = wParam;
        casepad.commandLParam = lParam;
        DispatchCommand(casepad.state, LOWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto* notification = reinterpret_cast<const Notification*>(lParam);
        DispatchNotification(casepad.state, static_cast<int>(notification->header.code), notification->position, notification->margin);
        return 0;
    }
    case WM_SIZE: ::MoveWindow(casepad.editorWindow, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE); return 0;
    case WM_SETFOCUS: ::SetFocus(casepad.editorWindow); return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcA(window, message, wParam, lParam);
    }
}
