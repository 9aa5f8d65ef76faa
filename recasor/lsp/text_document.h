#pragma once
// An open document of the language server: its text as lines, changed in
// place by the client's edits, and the character positions of the protocol
// (UTF-8 bytes or UTF-16 code units within a line) turned into byte offsets
// and back.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "comment_scanner.h"

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
    // Each line with its line end ("\n", "\r\n" or "\r"); the last line has
    // none and may be empty, so there is always at least one line. An edit
    // touches only the lines it spans: no copy of the whole text per key.
    std::vector<std::string> lines;
    // The comment state at the start of each line, known for the first
    // `knownStates` lines under `stateRules` (line 0 always starts outside
    // any comment). Edits forget the states from their first line on.
    std::vector<CommentState> lineStartStates;
    size_t knownStates = 1;
    CommentRules stateRules;
};

// A document holding `text`.
TextDocument MakeTextDocument(std::string uri, std::string languageId, std::string_view text);

// The whole text again.
std::string DocumentText(const TextDocument& document);

// A line without its line end.
std::string_view LineContent(const std::string& line);

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
