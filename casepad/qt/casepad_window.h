#pragma once
// casepad's Qt host: the main window with its menu bar, a Scintilla
// component filling the client area, and the wiring that passes menu
// commands and the component's notifications to the portable core.

#include <memory>
#include <string>

#include "casepad.h"

class QMainWindow;
class QsciScintillaBase;

// casepad's messages (a missing section of Keywords.ini): a plain modal box
// without owner.
void ShowMessageBox(const std::string& text);

struct CasepadWindow {
    std::unique_ptr<QMainWindow> window;
    QsciScintillaBase* editor = nullptr;  // owned by `window`
    CasepadState state;
    void (*showMessage)(const std::string& text) = ShowMessageBox;  // set before the window is built
};

// Builds the window and sets the editor up (vocabulary messages appear
// here, before the window is shown). The record must stay where it is for
// as long as the window lives.
void CreateCasepadWindow(CasepadWindow& casepad);
