#pragma once
// Rewriting the letter case of keywords in one line of BASIC text.
//
// A line keeps its length: only ASCII letters of whole words that are
// vocabulary entries change case. String literals, apostrophe comments and
// the items of a DATA statement are never touched.

#include <cstddef>
#include <string>

#include "line_marks.h"
#include "line_span.h"

namespace recasor {

struct KeywordSet;

// Converts `line` in place and returns it.
std::string& ApplyKeywordCase(std::string& line, const KeywordSet& set);

// Converts many lines of one writable block at once, each exactly as the
// form above would (a whole read buffer, say). The lines must be in
// ascending order with at least one byte (their line ends) between two of
// them. `readable` counts the bytes from `block` on that may be read; the
// scan reads whole 64-byte blocks where it may. Bytes between the first
// line's start and the last line's end may be written back as they were;
// nothing outside is written.
void ApplyKeywordCase(char* block, size_t readable, const LineSpan* lines, size_t lineCount, const KeywordSet& set);

// The same for lines given as bitmaps (see line_marks.h), such as those of
// a text split at LF.
void ApplyKeywordCase(char* block, size_t readable, const LineMarks& marks, const KeywordSet& set);

// The spelling to write for a word of word characters in any letter case
// (its first `length` bytes), looked up in the set's table, or nullptr when
// no list holds it.
const char* FindKeywordSpelling(const KeywordSet& set, const char* word, size_t length);

}  // namespace recasor
