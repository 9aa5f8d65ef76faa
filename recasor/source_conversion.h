#pragma once
// Converting the keyword case of a whole source text, as recasor does it:
// every byte stays as it was except the case of ASCII letters, and only
// code changes (see source_model.h): never a string literal, a comment or
// a DATA item, also where a comment spans lines.

#include <string>
#include <string_view>
#include <vector>

#include "line_span.h"
#include "source_model.h"
#include "vocabulary.h"

namespace recasor {

// How a text is converted: the keyword set, the dialect's source rules, and
// the keywords' case, which also spells the words fixed by their place
// (`once` after #include: lower case but in upper case mode).
struct ConversionRules {
    const KeywordSet& set;
    SourceRules source;
    CaseMode keywordCase = CaseMode::Mixed;
};

// The converted text, of the same length as `text`.
std::string ConvertSource(std::string_view text, const ConversionRules& rules);

// The same for chosen lines of `text` (in order, apart), the first of them
// starting in `state`; `state` is left as it is after the last line. Bytes
// outside the lines come back unchanged.
std::string ConvertLines(std::string_view text, const std::vector<LineSpan>& lines, const ConversionRules& rules,
                         SourceState& state);

}  // namespace recasor
