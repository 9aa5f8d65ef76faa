#pragma once
// What BASIC source text is made of, line by line, as each dialect reads it:
// code, string literals, comments, the items of DATA statements, and words
// whose spelling is fixed by where they stand (`once` after #include and
// #pragma). One pass over each line, with a small state handed from line to
// line (open block comments, Option Escape, a statement continued with _).
//
// FreeBASIC:
// - "..." holds "" for a quote; !"..." is escaped: a backslash takes the
//   next character with it (\" and \\ among them); $"..." is never escaped;
//   after Option Escape, plain "..." strings are escaped too.
// - ' starts a comment to the line end; REM at the start of a statement
//   makes the rest of the line a comment; /' ... '/ comments nest, may sit
//   inside a statement and span lines; the rest of a line after a
//   continuation _ (a _ standing alone) is a comment.
// PowerBASIC: "..." with "" for a quote; ' and REM comments; after a
// continuation _, the text is code.
// In both: DATA at the start of a statement makes the rest of the statement
// (up to a : or ' outside a string, or the line end) its items. A statement
// starts at a line's start (after a line number or a label's colon too)
// and after a :, but not on a line that continues the one before.

#include <cstdint>
#include <string_view>
#include <vector>

#include "vocabulary.h"

namespace recasor {

struct SourceRules {
    Dialect dialect = Dialect::FreeBasic;
    bool blockComments = false;         // /' ... '/
    bool continuationComments = false;  // the rest of a line after _ is a comment
    bool escapedStrings = false;        // !"...", $"...", Option Escape

    bool operator==(const SourceRules&) const = default;
};

SourceRules DialectSourceRules(Dialect dialect);

// What a line hands on to the next.
struct SourceState {
    int blockDepth = 0;            // block comments open
    bool escapeByDefault = false;  // Option Escape was seen: plain strings are escaped
    bool continued = false;        // the line before ended in a continuation _

    bool operator==(const SourceState&) const = default;
};

enum class RegionKind : uint8_t {
    Code,
    String,     // a string literal with its quotes and its ! or $ prefix
    Comment,    // comment text, with its ', its /' '/ markers; after REM or _, the text only
    DataItems,  // the items of a DATA statement
    FixedWord,  // a word spelled by its place: `once` after #include and #pragma
};

// Bytes [start, start + length) of a line, and what they are.
struct SourceRegion {
    uint32_t start;
    uint32_t length;
    RegionKind kind;
};

// Replaces `regions` with those of `line` (without its line end): in order,
// none empty, together covering the line; neighbours differ in kind except
// two strings or two comments that touch. Moves `state` past the line.
void MarkLine(std::string_view line, const SourceRules& rules, SourceState& state,
              std::vector<SourceRegion>& regions);

// Moves `state` past `line` as MarkLine does, faster where it can.
void AdvanceSourceState(std::string_view line, const SourceRules& rules, SourceState& state);

}  // namespace recasor
