#pragma once
// Converting the keyword case of a whole source text, as recasor does it:
// every byte stays as it was except the case of ASCII letters, and nothing
// inside a comment changes (see comment_scanner.h), also where the comment
// spans lines.

#include <string>
#include <string_view>
#include <vector>

#include "comment_scanner.h"
#include "line_span.h"
#include "vocabulary.h"

namespace recasor {

// The converted text, of the same length as `text`.
std::string ConvertSource(std::string_view text, const KeywordSet& set, const CommentRules& rules);

// The same for chosen lines of `text` (in order, apart), the first of them
// starting in comment state `state`; `state` is left as it is after the
// last line. Bytes outside the lines come back unchanged.
std::string ConvertLines(std::string_view text, const std::vector<LineSpan>& lines, const KeywordSet& set,
                         const CommentRules& rules, CommentState& state);

}  // namespace recasor
