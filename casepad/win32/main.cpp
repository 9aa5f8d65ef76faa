// casepad: a demonstration editor that keeps the keyword case of BASIC
// text uniform as the caret leaves each line. The Windows program, on the
// editing component of KAVRIX.DLL.

#include <windows.h>

#include <string>

#include "main_window.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? "." : folder.substr(0, slash);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showState)
{
    CasepadHost& casepad = casepadHost;
    std::string problem;
    casepad.library = LoadKavrixLibrary(ProgramFolder(), problem);
    if (casepad.library.module == nullptr) {
        ShowMessageBox(problem);
        return 1;
    }

    casepad.instanceHandle = instance;
    RegisterMainWindowClass(instance);
    casepad.mainWindow = ::CreateWindowExA(0, kMainWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, BuildMenuBar(), instance, nullptr);
    ::ShowWindow(casepad.mainWindow, showState);
    ::UpdateWindow(casepad.mainWindow);

    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
