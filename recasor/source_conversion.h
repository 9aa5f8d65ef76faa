#pragma once
// Converting the keyword case of a whole source text, as recasor does it:
// every byte stays as it was except the case of ASCII letters, and nothing
// inside a comment changes (see comment_scanner.h), also where the comment
// spans lines.

#include <string>
#include <string_view>

#include "comment_scanner.h"
#include "vocabulary.h"

namespace recasor {

// The converted text, of the same length as `text`.
std::string ConvertSource(std::string_view text, const KeywordSet& set, const CommentRules& rules);

}  // namespace recasor
