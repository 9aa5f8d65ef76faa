#pragma once
// An open document of the language server: its text, changed in place by
// the client's edits, and the character positions of the protocol (UTF-8
// bytes or UTF-16 code units within a line) turned into byte offsets and
// back.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "declarations.h"
#include "name_bindings.h"
#include "source_model.h"

namespace recasor {

enum class PositionEncoding { Utf8, Utf16 };

// A position as the protocol counts it.
struct TextPosition {
    uint32_t line = 0;
    uint32_t character = 0;
};

struct TextDocument {
    std::string uri;
    std::string languageId;
    // The text with a gap where the last edit was: bytes [0, gapStart) and
    // [gapEnd, buffer.size()) are the text. Typing moves the gap only as far
    // as the caret moved, so a key costs no copy of the document.
    std::string buffer;
    size_t gapStart = 0;
    size_t gapEnd = 0;
    // Where each line starts in the text (gap left out); lines end at "\n",
    // "\r\n" or "\r", and the last line, which may be empty, at the end.
    std::vector<size_t> lineStarts{0};
    // The source state at the start of each line (see source_model.h), known
    // for the first `knownStates` lines under `stateRules` (line 0 always
    // starts in the initial state). Edits forget the states below their
    // first line.
    std::vector<SourceState> lineStartStates;
    size_t knownStates = 1;
    SourceRules stateRules;
    // The names the document declares, as of `declarationsAfter` changes
    // (`changes` counts them), under `declarationRules`; and the module
    // names and members of its include unit as last found.
    size_t changes = 0;
    FileDeclarations declarations;
    size_t declarationsAfter = SIZE_MAX;
    SourceRules declarationRules;
    std::shared_ptr<const NameSpellings> unitModule;
    std::shared_ptr<const NameSpellings> unitMembers;
    std::shared_ptr<const NameSpellings> unitTypes;
};

// A document holding `text`.
TextDocument MakeTextDocument(std::string uri, std::string languageId, std::string_view text);

// The whole text again.
std::string DocumentText(const TextDocument& document);

inline size_t LineCount(const TextDocument& document) { return document.lineStarts.size(); }

// A line without its line end (`line` below LineCount). The view lasts
// until the document's next change or next call of LineContent.
std::string_view LineContent(TextDocument& document, size_t line);

// Where a line's content ends (its line end starts) in the text.
size_t LineContentEnd(const TextDocument& document, size_t line);

// The bytes of the text from `from` to `to`.
std::string TextBetween(const TextDocument& document, size_t from, size_t to);

// The byte offset within `content` of a character position, clamped to the
// line's length (as the protocol asks). A UTF-16 position inside a
// character's surrogate pair means the start of that character.
size_t ByteOffsetOfCharacter(std::string_view content, uint32_t character, PositionEncoding encoding);

// The character position of a byte offset within `content`.
uint32_t CharacterOfByteOffset(std::string_view content, size_t offset, PositionEncoding encoding);

// Replaces the text between two positions (`from` not after `to`) with
// `text`. False, changing nothing, when a position's line is past the end
// of the document.
bool ReplaceRange(TextDocument& document, TextPosition from, TextPosition to, std::string_view text,
                  PositionEncoding encoding);

}  // namespace recasor
