#pragma once
// The one pass behind source_model.h, over a text of whole lines: read left
// to right, skipping sixteen bytes at a time over those that start nothing,
// and every region found is handed to a callback in the text's coordinates.
// Shared by MarkLine and the conversion.

#include <cstddef>
#include <string_view>

#include "ascii.h"
#include "byte_search.h"
#include "source_model.h"
#include "word_chars.h"

namespace recasor::source_scan {

inline bool IsWordByte(char c) { return IsWordChar(AsciiLower(c)); }
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
inline bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// A text of whole lines: lines end at LF, CR LF or a lone CR, and at the
// text's end; bytes up to `readable` may be read (for the wide searches).
struct Text {
    const char* bytes;
    size_t size;
    size_t readable;

    char At(size_t i) const { return i < size ? bytes[i] : '\n'; }
    // The end of the line that holds i: its first line-end byte, or the size.
    size_t LineEnd(size_t i) const { return FindFirstOf<'\n', '\r'>(bytes, i, size, readable); }
};

// Whether `word` (lower case) stands at i as a whole word.
inline bool WordAt(const Text& text, size_t i, std::string_view word)
{
    if (i + word.size() > text.size) return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (AsciiLower(text.bytes[i + k]) != word[k]) return false;
    return (i == 0 || !IsWordByte(text.bytes[i - 1])) && !IsWordByte(text.At(i + word.size()));
}

inline size_t SkipBlanks(const Text& text, size_t i)
{
    while (i < text.size && IsBlank(text.bytes[i])) ++i;
    return i;
}

// Moves i past the end of the open block comments (or to the line end).
inline size_t SkipBlockComment(const Text& text, size_t i, int& depth)
{
    while (depth > 0) {
        // Both markers hold an apostrophe; a / before it counts when not
        // already part of the marker before.
        size_t from = i;
        i = FindFirstOf<'\'', '\n', '\r'>(text.bytes, i, text.size, text.readable);
        if (i == text.size || IsLineEnd(text.bytes[i])) return i;
        if (i > from && text.bytes[i - 1] == '/') {
            ++depth;
            i += 1;
        } else if (text.At(i + 1) == '/') {
            --depth;
            i += 2;
        } else {
            i += 1;
        }
    }
    return i;
}

// The end of a string literal whose opening quote is at `quote`: after its
// closing quote, or the line end. "" is a quote in any string; in an
// escaped one a backslash takes the next character with it.
inline size_t StringEnd(const Text& text, size_t quote, bool escaped)
{
    for (size_t i = quote + 1;; ++i) {
        i = escaped ? FindFirstOf<'"', '\\', '\n', '\r'>(text.bytes, i, text.size, text.readable)
                    : FindFirstOf<'"', '\n', '\r'>(text.bytes, i, text.size, text.readable);
        if (i == text.size || IsLineEnd(text.bytes[i])) return i;
        if (text.bytes[i] == '\\') {
            if (IsLineEnd(text.At(i + 1))) return i + 1;
            ++i;
        } else if (text.At(i + 1) == '"') {
            ++i;
        } else {
            return i + 1;
        }
    }
}

// Where the items of a DATA statement end: at a : or ' outside a string,
// or the line end.
inline size_t DataItemsEnd(const Text& text, size_t i)
{
    for (;;) {
        i = FindFirstOf<':', '\'', '"', '\n', '\r'>(text.bytes, i, text.size, text.readable);
        if (i == text.size || text.bytes[i] != '"') return i;
        i = StringEnd(text, i, false);
    }
}

// Calls emit(start, length, kind) for the regions of the text's lines, in
// order, and onLine(lineStart, lineEnd) after each line (its line end is
// at lineEnd, of no region); moves `state` past every line.
template <typename Emit, typename OnLine>
void ScanText(const Text& text, const SourceRules& rules, SourceState& state, Emit&& emit, OnLine&& onLine)
{
    const char* bytes = text.bytes;
    const size_t size = text.size;
    size_t i = 0;
    do {
        const size_t lineStart = i;
        size_t codeStart = i;  // where the code not yet emitted starts
        auto region = [&](size_t start, size_t end, RegionKind kind) {
            if (start > codeStart) emit(codeStart, start - codeStart, RegionKind::Code);
            if (end > start) emit(start, end - start, kind);
            codeStart = end;
        };
        bool statementStart = !state.continued;
        state.continued = false;
        size_t statementAt = size;  // where the current statement's first non-blank byte is
        if (state.blockDepth > 0) {
            i = SkipBlockComment(text, i, state.blockDepth);
            region(lineStart, i, RegionKind::Comment);
        } else if (statementStart) {
            // A line number ("10 REM ...") comes before the line's statement.
            size_t number = SkipBlanks(text, i), digits = number;
            while (digits < size && bytes[digits] >= '0' && bytes[digits] <= '9') ++digits;
            if (digits > number && (IsBlank(text.At(digits)) || IsLineEnd(text.At(digits)))) i = digits;
        }
        for (;;) {
            if (statementStart) {
                statementStart = false;
                i = SkipBlanks(text, i);
                statementAt = i;
                switch (AsciiLower(text.At(i))) {
                    case 'r':
                        if (WordAt(text, i, "rem")) {
                            size_t end = text.LineEnd(i + 3);
                            region(i + 3, end, RegionKind::Comment);
                            i = end;
                        }
                        break;
                    case 'd':
                        if (WordAt(text, i, "data")) {
                            size_t end = DataItemsEnd(text, i + 4);
                            region(i + 4, end, RegionKind::DataItems);
                            i = end;
                        }
                        break;
                    case '#':
                        if (rules.dialect == Dialect::FreeBasic &&
                            (WordAt(text, i + 1, "include") || WordAt(text, i + 1, "pragma"))) {
                            size_t once = SkipBlanks(text, i + (AsciiLower(bytes[i + 1]) == 'i' ? 8 : 7));
                            if (WordAt(text, once, "once")) region(once, once + 4, RegionKind::FixedWord);
                        }
                        break;
                    case 'o':
                        if (rules.escapedStrings && WordAt(text, i, "option") &&
                            WordAt(text, SkipBlanks(text, i + 6), "escape"))
                            state.escapeByDefault = true;
                        break;
                    default: break;
                }
            }
            i = FindFirstOf<'"', '\'', '/', '_', ':', '!', '$', '\n', '\r'>(bytes, i, size, text.readable);
            if (i == size || IsLineEnd(bytes[i])) break;
            switch (bytes[i]) {
                case '"': {
                    size_t end = StringEnd(text, i, rules.escapedStrings && state.escapeByDefault);
                    region(i, end, RegionKind::String);
                    i = end;
                    break;
                }
                case '!':
                case '$':
                    // A prefix: !"..." is escaped, $"..." never is.
                    if (rules.escapedStrings && text.At(i + 1) == '"' && (i == lineStart || !IsWordByte(bytes[i - 1]))) {
                        size_t end = StringEnd(text, i + 1, bytes[i] == '!');
                        region(i, end, RegionKind::String);
                        i = end;
                    } else {
                        ++i;
                    }
                    break;
                case '\'': {
                    size_t end = text.LineEnd(i);
                    region(i, end, RegionKind::Comment);
                    i = end;
                    break;
                }
                case '/':
                    if (rules.blockComments && text.At(i + 1) == '\'') {
                        size_t start = i;
                        state.blockDepth = 1;
                        i = SkipBlockComment(text, i + 2, state.blockDepth);
                        region(start, i, RegionKind::Comment);
                        statementStart = start == statementAt;  // a comment before it: the statement starts after
                    } else {
                        ++i;
                    }
                    break;
                case '_':
                    // A _ standing alone continues the statement on the next line.
                    if ((i == lineStart || !IsWordByte(bytes[i - 1])) && !IsWordByte(text.At(i + 1))) {
                        state.continued = true;
                        if (rules.continuationComments) {
                            size_t end = text.LineEnd(i + 1);
                            region(i + 1, end, RegionKind::Comment);
                            i = end;
                            break;
                        }
                    }
                    ++i;
                    break;
                default:  // ':'
                    ++i;
                    statementStart = true;
                    break;
            }
        }
        if (i > codeStart) emit(codeStart, i - codeStart, RegionKind::Code);
        onLine(lineStart, i);
        if (i < size) i += bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n' ? 2 : 1;
    } while (i < size);
}

}  // namespace recasor::source_scan
