#pragma once
// Rewriting the letter case of keywords in one line of BASIC text.
//
// A line keeps its length: only ASCII letters of whole words that are
// vocabulary entries change case. String literals, apostrophe comments and
// the items of a DATA statement are never touched.

#include <cstddef>
#include <string>
#include <string_view>

struct KeywordSet;

// Letters a to z, digits and _ % & $ . ! ? @ (tested on lower-case text).
bool IsWordChar(char c);

// A copy of `text` with the items of a DATA statement and the insides of
// string literals overwritten by spaces.
std::string BlankLiterals(std::string_view text);

// One line of a text block: its text is block[start, start + length).
struct LineSpan {
    size_t start;
    size_t length;
};

// Converts `line` in place and returns it.
std::string& ApplyKeywordCase(std::string& line, const KeywordSet& set);

// Converts many lines of one writable block at once, each exactly as the
// form above would (the batch tool hands over its whole read buffer). The
// lines must be in ascending order and must not overlap. `readable` counts
// the bytes from `block` on that may be read; with 16 to spare past the
// last line the scan reads whole 16-byte blocks only.
void ApplyKeywordCase(char* block, size_t readable, const LineSpan* lines, size_t lineCount, const KeywordSet& set);

// The display spelling for a lower-case word, or nullptr when no list holds
// it. FindKeywordSpelling uses the lookup table; SearchKeywordSpelling is
// the plain substring search over the lists that the table must agree with.
const char* FindKeywordSpelling(const KeywordSet& set, const char* word, size_t length);
const char* SearchKeywordSpelling(const KeywordSet& set, std::string_view word);
