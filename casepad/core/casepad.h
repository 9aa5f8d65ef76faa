#pragma once
// casepad's program state and the two entry points through which its host
// passes on menu commands and component notifications. The host owns the
// window, the menu and the component; this core knows them only by the
// routines and values below.

#include <cstdint>
#include <string>

#include "editor_component.h"
#include "live_case.h"
#include "vocabulary.h"

enum CommandId : int {
    ID_EXIT = 101,
    ID_TOGGLE_SUB = 102,
    ID_TOGGLE_BELOW = 103,
    ID_ABOUT = 909,
};

struct MenuItem {
    CommandId id;
    const char* text;  // "&" marks the access key
    bool atRightEnd;   // placed at the right end of the menu bar
};

// The menu bar, in order: plain command items, no drop-down menus.
inline constexpr MenuItem kMenuItems[] = {
    {ID_EXIT, "E&xit", false},
    {ID_TOGGLE_SUB, "&Toggle current sub", false},
    {ID_TOGGLE_BELOW, "Toggle all subs &below", false},
    {ID_ABOUT, "&About...", true},
};

inline constexpr const char* kWindowTitle = "KAVRIX.DLL editor example";
inline constexpr const char* kAboutCaption = "About...";
inline constexpr const char* kAboutText = "Example for KAVRIX.DLL by the Recasor developers";

// What only the host can do.
struct HostRoutines {
    void (*endProgram)(void* host) = nullptr;  // ends the program with exit code 0
    void (*showAbout)(void* host) = nullptr;   // the modal About box
    void* host = nullptr;
    // A modal message box without owner; returns when it is closed.
    void (*showMessage)(void* host, const std::string& text) = nullptr;
};

struct CasepadState {
    EditorComponent editor;
    HostRoutines hostRoutines;
    recasor::Vocabulary vocabulary;  // all five sections of Keywords.ini
    recasor::KeywordSet conversion;  // FreeBasic keywords, API names, FreeBasic constants
    CaretTracker caret;
};

// Sets the component up, shows the demonstration text, loads Keywords.ini
// (a missing tag of any section is shown through the host, in section
// order) and corrects the first lines. `state.editor` must be set.
void StartEditor(CasepadState& state);

// A menu command; unknown identifiers do nothing.
void DispatchCommand(CasepadState& state, int commandId);

// A component notification; unknown codes do nothing. `position` and
// `margin` are those of a margin click.
void DispatchNotification(CasepadState& state, int code, intptr_t position, int margin);
