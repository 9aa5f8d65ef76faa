#pragma once
// Configuring a fresh editing component for casepad: fonts, the PowerBasic
// lexer and its colours, the clickable line-number margin, folding, and the
// text to show.

#include <string>

#include "editor_component.h"

// The margin that shows line numbers; clicks on it fold (see folding.h).
inline constexpr int kLineNumberMargin = 1;

void ConfigureEditor(const EditorComponent& editor, const std::string& text);
