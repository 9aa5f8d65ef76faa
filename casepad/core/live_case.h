#pragma once
// Live keyword case: a line is corrected when the caret leaves it, never
// while the caret is on it.

#include <cstdint>
#include <string>

#include "editor_component.h"

namespace recasor {
struct KeywordSet;
}

// The caret's line as of the last update notification and the one before.
struct CaretTracker {
    intptr_t caretLine = 0;
    intptr_t previousCaretLine = 0;
};

// The line's text without its line end (empty for a line that does not exist).
std::string GetLineText(const EditorComponent& editor, intptr_t line);

// Puts `text` in place of the line's content, keeps the line end, and leaves
// the caret at the position it had.
void ReplaceLineText(const EditorComponent& editor, intptr_t line, std::string text);

// Converts the line with `set` and writes it back only if that changed it.
void RecaseLine(const EditorComponent& editor, const recasor::KeywordSet& set, intptr_t line);

// The start-up pass: lines 0 to 100 at most, none in a one-line document.
void RecaseFirstLines(const EditorComponent& editor, const recasor::KeywordSet& set);

// On every update notification: when the caret's line has changed, the
// line it left is corrected.
void FollowCaret(const EditorComponent& editor, const recasor::KeywordSet& set, CaretTracker& tracker);
