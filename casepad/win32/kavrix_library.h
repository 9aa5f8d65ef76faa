#pragma once
// casepad's binding to its editing component, KAVRIX.DLL (Scintilla with
// the PowerBasic lexer). The DLL is loaded at start from the folder of
// casepad.exe rather than imported, so that a missing or foreign DLL gets a
// message box instead of the system loader's failure. Loading it registers
// the window class "KavrixView".

#include <windows.h>

#include <cstdint>
#include <string>

inline constexpr const char* kKavrixFileName = "KAVRIX.DLL";
inline constexpr const char* kKavrixWindowClass = "KavrixView";

// The functions casepad takes from the DLL: Scintilla's direct function, and
// Lexilla's, which create a lexer by name and name an old lexer number.
struct KavrixLibrary {
    HMODULE module = nullptr;
    intptr_t(__stdcall* directFunction)(void* editorPtr, UINT message, uintptr_t wParam, intptr_t lParam) = nullptr;
    void*(__stdcall* createLexer)(const char* name) = nullptr;
    const char*(__stdcall* lexerNameFromId)(int identifier) = nullptr;
};

// One component window as casepad's core sees it (EditorComponent::editor).
struct KavrixEditor {
    const KavrixLibrary* library = nullptr;
    void* editorPtr = nullptr;  // SCI_GETDIRECTPOINTER of the window
};

// Loads KAVRIX.DLL from `folder` and finds its functions. On failure the
// result has no module and `problem` says what went wrong, for the user.
KavrixLibrary LoadKavrixLibrary(const std::string& folder, std::string& problem);

// Creates the component as a child of `parent` (10 by 10 pixels, until the
// parent's first WM_SIZE) and fills `editor`; returns the child window.
HWND CreateKavrixWindow(HWND parent, HINSTANCE instance, const KavrixLibrary& library, KavrixEditor& editor);

// casepad's send routine (EditorMessageRoutine): every message goes to the
// direct function, except the lexer number of SCI_SETLEXER, which this
// Scintilla no longer takes: the number is mapped to its Lexilla lexer,
// which is then set with SCI_SETILEXER.
intptr_t SendToKavrix(void* editor, unsigned int message, uintptr_t wParam, intptr_t lParam);
