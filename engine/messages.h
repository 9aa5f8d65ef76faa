#pragma once
// The engine never talks to the user itself: the containing program installs
// the routine that shows a message (a message box, a line on stderr, ...).

#include <string>

using MessageRoutine = void (*)(const std::string& text);

// Installs the program's message routine; nullptr silences the engine.
void SetMessageRoutine(MessageRoutine routine);

// Shows one message through the installed routine and returns when it is closed.
void ReportMessage(const std::string& text);
