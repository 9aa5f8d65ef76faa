#pragma once
// Converting the keyword case of a whole source text, as recasor does it:
// every byte stays as it was except the case of ASCII letters, and only
// code changes (see source_model.h): never a string literal, a comment or
// a DATA item, also where a comment spans lines.

#include <string>
#include <string_view>
#include "name_bindings.h"
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

// The names a file declares (see name_bindings.h), for a conversion that
// writes them as declared: their spellings, where in the file the text
// converted now starts, and how far the conversion has got.
struct DeclaredNames {
    const FileSpellings& spellings;
    size_t base = 0;
    SpellingCursor cursor;
};

// The converted text, of the same length as `text`, a whole file.
std::string ConvertSource(std::string_view text, const ConversionRules& rules, const FileSpellings* names = nullptr);

// The same for a text of whole lines (no byte order mark taken off) whose
// first line starts in `state`; `state` is left as it is after the last line.
std::string ConvertLines(std::string_view text, const ConversionRules& rules, SourceState& state,
                         DeclaredNames* names = nullptr);

// Converts the lines of text[0, size) in place; `readable` (at least
// size + 64) counts the bytes from `text` on that may be read. With
// `names`, whose base is where the text starts in its file, the names'
// cursor moves past the text.
void ConvertLinesInPlace(char* text, size_t size, size_t readable, const ConversionRules& rules, SourceState& state,
                         DeclaredNames* names = nullptr);

}  // namespace recasor
