#pragma once
// Folding and unfolding SUB and FUNCTION blocks. The lexer decides which
// lines are block headers; these commands only read fold levels and
// expansion states and toggle headers.

#include <cstdint>

#include "editor_component.h"

// The caret's line.
intptr_t GetCurrentLine(const EditorComponent& editor);

// Folds or unfolds the block holding `line` (the line itself when it is a
// header) and puts the caret at the start of that block's header line.
void ToggleSub(const EditorComponent& editor, intptr_t line);

// As ToggleSub, then brings every header from `line` to the end of the
// document into the state that block now has.
void ToggleSubsBelow(const EditorComponent& editor, intptr_t line);
