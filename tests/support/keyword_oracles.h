#pragma once
// Plain, slow versions of what the engine does fast, for the tests to
// compare against: the substring search over the lists that the lookup
// table must agree with, and the literal blanking that the line scan must
// agree with.

#include <string>
#include <string_view>

#include "vocabulary.h"

// The display spelling for a lower-case word: " word " searched in each
// list's `search` string, first list first, leftmost place first; nullptr
// when no list holds it.
const char* SearchKeywordSpelling(const recasor::KeywordSet& set, std::string_view word);

// Where the word DATA stands when the line, after leading spaces, starts
// with "DATA " in any case; npos when it does not.
size_t DataStatementStart(std::string_view text);

// A copy of `text` with the items of a DATA statement and the insides of
// string literals overwritten by spaces. An unclosed string runs to the
// last character, which itself stays.
std::string BlankLiterals(std::string_view text);
