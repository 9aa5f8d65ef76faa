#pragma once
// The one pass behind source_model.h: a line is read left to right, skipping
// at once over the bytes that can start nothing, and every region found is
// handed to a callback. Shared by MarkLine and the conversion, which wants
// the code regions in the coordinates of a whole text.

#include <array>
#include <cstddef>
#include <string_view>

#include "ascii.h"
#include "source_model.h"
#include "word_chars.h"

namespace recasor::source_scan {

// The bytes at which code can turn into something else (or a statement end).
constexpr std::array<bool, 256> MakeCodeStops()
{
    std::array<bool, 256> stops{};
    for (char c : std::string_view("\"'/_:!$")) stops[static_cast<unsigned char>(c)] = true;
    return stops;
}
inline constexpr std::array<bool, 256> kCodeStops = MakeCodeStops();

inline bool IsWordByte(char c) { return IsWordChar(AsciiLower(c)); }
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whether `word` (lower case) stands at i as a whole word.
inline bool WordAt(std::string_view line, size_t i, std::string_view word)
{
    if (i + word.size() > line.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (AsciiLower(line[i + k]) != word[k]) return false;
    return (i == 0 || !IsWordByte(line[i - 1])) && (i + word.size() == line.size() || !IsWordByte(line[i + word.size()]));
}

inline size_t SkipBlanks(std::string_view line, size_t i)
{
    while (i < line.size() && IsBlank(line[i])) ++i;
    return i;
}

// Moves i past the end of the open block comments (or to the line end).
inline size_t SkipBlockComment(std::string_view line, size_t i, int& depth)
{
    const size_t n = line.size();
    while (i < n && depth > 0) {
        // Both markers hold an apostrophe.
        const void* found = std::char_traits<char>::find(line.data() + i, n - i, '\'');
        if (found == nullptr) return n;
        size_t at = static_cast<size_t>(static_cast<const char*>(found) - line.data());
        if (at > 0 && line[at - 1] == '/' && at - 1 >= i) {
            ++depth;
            i = at + 1;
        } else if (at + 1 < n && line[at + 1] == '/') {
            --depth;
            i = at + 2;
        } else {
            i = at + 1;
        }
    }
    return i;
}

// The end of a string literal whose opening quote is at `quote`: after its
// closing quote, or the line end. "" is a quote in any string; in an
// escaped one a backslash takes the next character with it.
inline size_t StringEnd(std::string_view line, size_t quote, bool escaped)
{
    const size_t n = line.size();
    for (size_t i = quote + 1; i < n; ++i) {
        if (escaped && line[i] == '\\') {
            ++i;
        } else if (line[i] == '"') {
            if (i + 1 < n && line[i + 1] == '"') {
                ++i;
                continue;
            }
            return i + 1;
        }
    }
    return n;
}

// Where the items of a DATA statement end: at a : or ' outside a string,
// or the line end.
inline size_t DataItemsEnd(std::string_view line, size_t i)
{
    while (i < line.size()) {
        char c = line[i];
        if (c == ':' || c == '\'') return i;
        i = c == '"' ? StringEnd(line, i, false) : i + 1;
    }
    return i;
}

// Where the statement of a line starts when the line begins with a line
// number ("10 REM ..."); 0 when it does not.
inline size_t AfterLineNumber(std::string_view line)
{
    size_t i = SkipBlanks(line, 0);
    if (i == line.size() || line[i] < '0' || line[i] > '9') return 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
    return i == line.size() || IsBlank(line[i]) ? i : 0;
}

// A _ standing alone: a line continuation.
inline bool ContinuationAt(std::string_view line, size_t i)
{
    return (i == 0 || !IsWordByte(line[i - 1])) && (i + 1 == line.size() || !IsWordByte(line[i + 1]));
}

// Calls emit(start, length, kind) for the regions of `line`, in order,
// merging neighbouring code; moves `state` past the line.
template <typename Emit>
void ScanLine(std::string_view line, const SourceRules& rules, SourceState& state, Emit&& emit)
{
    const size_t n = line.size();
    size_t codeStart = 0;  // where the code not yet emitted starts
    auto region = [&](size_t start, size_t end, RegionKind kind) {
        if (start > codeStart) emit(codeStart, start - codeStart, RegionKind::Code);
        if (end > start) emit(start, end - start, kind);
        codeStart = end;
    };
    bool statementStart = !state.continued;
    state.continued = false;
    size_t statementAt = n;  // where the current statement's first non-blank byte is
    size_t i = 0;
    if (state.blockDepth > 0) {
        i = SkipBlockComment(line, 0, state.blockDepth);
        region(0, i, RegionKind::Comment);
    } else if (statementStart) {
        i = AfterLineNumber(line);
    }
    while (i < n) {
        if (statementStart) {
            statementStart = false;
            i = SkipBlanks(line, i);
            if (i == n) break;
            statementAt = i;
            if (WordAt(line, i, "rem")) {
                region(i + 3, n, RegionKind::Comment);
                break;
            }
            if (WordAt(line, i, "data")) {
                size_t end = DataItemsEnd(line, i + 4);
                region(i + 4, end, RegionKind::DataItems);
                i = end;
                continue;
            }
            if (line[i] == '#' && rules.dialect == Dialect::FreeBasic &&
                (WordAt(line, i + 1, "include") || WordAt(line, i + 1, "pragma"))) {
                size_t once = SkipBlanks(line, i + (AsciiLower(line[i + 1]) == 'i' ? 8 : 7));
                if (WordAt(line, once, "once")) region(once, once + 4, RegionKind::FixedWord);
            }
            if (rules.escapedStrings && WordAt(line, i, "option") && WordAt(line, SkipBlanks(line, i + 6), "escape"))
                state.escapeByDefault = true;
        }
        char c = line[i];
        if (!kCodeStops[static_cast<unsigned char>(c)]) {
            ++i;
            continue;
        }
        switch (c) {
            case '"': {
                size_t end = StringEnd(line, i, rules.escapedStrings && state.escapeByDefault);
                region(i, end, RegionKind::String);
                i = end;
                break;
            }
            case '!':
            case '$':
                // A prefix: !"..." is escaped, $"..." never is.
                if (rules.escapedStrings && i + 1 < n && line[i + 1] == '"' && (i == 0 || !IsWordByte(line[i - 1]))) {
                    size_t end = StringEnd(line, i + 1, c == '!');
                    region(i, end, RegionKind::String);
                    i = end;
                } else {
                    ++i;
                }
                break;
            case '\'':
                region(i, n, RegionKind::Comment);
                i = n;
                break;
            case '/':
                if (rules.blockComments && i + 1 < n && line[i + 1] == '\'') {
                    size_t start = i;
                    state.blockDepth = 1;
                    i = SkipBlockComment(line, i + 2, state.blockDepth);
                    region(start, i, RegionKind::Comment);
                    statementStart = start == statementAt;  // a comment before it: the statement starts after

                } else {
                    ++i;
                }
                break;
            case '_':
                if (ContinuationAt(line, i)) {
                    state.continued = true;
                    if (rules.continuationComments) {
                        region(i + 1, n, RegionKind::Comment);
                        i = n;
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
    if (n > codeStart) emit(codeStart, n - codeStart, RegionKind::Code);
}

}  // namespace recasor::source_scan
