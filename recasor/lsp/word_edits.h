#pragma once
// The edits that recase lines of an open document: one per changed word,
// so that the client's cursors, marks, folds and undo history stay put.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "source_conversion.h"
#include "text_document.h"
#include "vocabulary.h"

namespace recasor {

// The word between two character positions of one line, and its new spelling.
struct WordEdit {
    uint32_t line;
    uint32_t startCharacter;
    uint32_t endCharacter;
    std::string newText;
};

// The edits that convert lines `first` to `last` (both within the document)
// as recasor converts a file: comments that start above `first` are still
// comments there. Remembers the source states of the lines above `first`
// for the next call. With `names`, declared names are written as declared.
std::vector<WordEdit> RecaseLines(TextDocument& document, size_t first, size_t last, const ConversionRules& rules,
                                  PositionEncoding encoding, const FileSpellings* names = nullptr);

}  // namespace recasor
