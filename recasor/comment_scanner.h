#pragma once
// Finding the comments of a BASIC line that the line-by-line engine cannot
// see: FreeBASIC's block comments /' ... '/ (nested, inside a statement,
// across lines), REM at the start of a statement, and the rest of a line
// after a line-continuation "_". Apostrophe comments are reported too, so
// that a "/'" behind one opens nothing.

#include <cstddef>
#include <string_view>
#include <vector>

#include "vocabulary.h"

namespace recasor {

// Which comment forms a dialect has. REM and apostrophe comments exist in
// both; PowerBASIC has no block comments, and after its "_" a comment needs
// its own apostrophe.
struct CommentRules {
    bool blockComments = false;
    bool continuationComments = false;
};

CommentRules DialectCommentRules(Dialect dialect);

// What a line hands on to the next: how many block comments are open.
struct CommentState {
    int blockDepth = 0;
};

// Bytes [start, start + length) of a line.
struct TextRange {
    size_t start;
    size_t length;
};

// Replaces `ranges` with the comment text of `line` (a line without its line
// end), in order: whole block comments with their markers, an apostrophe
// comment from its apostrophe on, the text after a REM keyword (the keyword
// itself is code), the text after a continuation "_". Markers inside string
// literals are text; a string ends at the next double quote or the line end.
void FindCommentRanges(std::string_view line, const CommentRules& rules, CommentState& state,
                       std::vector<TextRange>& ranges);

// Moves `state` past `line`, as FindCommentRanges does, without finding the
// ranges: most lines hold no block comment marker and are passed at once.
void AdvanceCommentState(std::string_view line, const CommentRules& rules, CommentState& state);

}  // namespace recasor
