#pragma once
// casepad's main window: its class, the menu bar of four commands, and the
// window procedure, which passes menu commands and the component's
// notifications on to casepad's core.

#include <windows.h>

#include <string>

#include "casepad.h"
#include "kavrix_library.h"

// Program-wide state, owned by the main window's thread.
struct CasepadHost {
    HINSTANCE instanceHandle = nullptr;
    HWND mainWindow = nullptr;
    HWND editorWindow = nullptr;
    KavrixLibrary library;
    KavrixEditor kavrixEditor;
    CasepadState state;
    WPARAM commandWParam = 0;  // of the WM_COMMAND being handled
    LPARAM commandLParam = 0;
};
extern CasepadHost casepadHost;

inline constexpr const char* kMainWindowClass = "ScintillaExampleClass";

// A plain modal message box without owner, captioned "casepad".
void ShowMessageBox(const std::string& text);

void RegisterMainWindowClass(HINSTANCE instance);

// Plain command items; About at the right end of the bar.
HMENU BuildMenuBar();

extern "C" __declspec(dllexport) LRESULT CALLBACK MAINWNDPROC(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
