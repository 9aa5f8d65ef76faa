#pragma once
// Marking the code of a text of whole lines for the engine, 64 bytes at a
// time: the engine then converts each run of code as one of its lines, and
// never sees a string, a comment or a DATA item.
//
// Most lines hold nothing but code, "..." strings and an apostrophe comment
// at the end; their code is found by bit arithmetic over the whole block
// (the string state as a running XOR of the quotes, comments filled to the
// line end by the carries of an addition). The few lines that may hold more
// (block comment markers, a continuation _, escaped strings, REM, DATA,
// directives, a statement after a colon, an unclosed string, or a state
// handed on from the line before) are read by the source model itself.

#include <cstddef>
#include <vector>

#include "line_marks.h"
#include "line_span.h"
#include "source_model.h"

namespace recasor {

// Marks the code regions of text[0, size) as the lines of `marks`, and puts
// the words fixed by their place in `fixedWords`. `readable` (at least
// size + 64) counts the bytes from `text` on that may be read. Moves
// `state` past the text.
void MarkCode(const char* text, size_t size, size_t readable, const SourceRules& rules, SourceState& state,
              LineMarks& marks, std::vector<LineSpan>& fixedWords);

}  // namespace recasor
