#pragma once
// Plain, slow versions of what the engine does fast, for the tests to
// compare against: the substring search over the lists that the lookup
// table must agree with, and the literal blanking that the line scan must
// agree with.

#include <string>
#include <string_view>

#include "vocabulary.h"

// The three lists of a keyword set, in lookup order.
struct SearchLists {
    recasor::WordList keywords;
    recasor::WordList api;
    recasor::WordList constants;
};

// The display spelling for a lower-case word: " word " searched in each
// list's `search` string, first list first, leftmost place first; nullptr
// when no list holds it.
const char* SearchKeywordSpelling(const SearchLists& lists, std::string_view word);

// The keyword set of the lists, built by the engine.
recasor::KeywordSet MakeKeywordSet(const SearchLists& lists);

// Whether two answers for a word of `length` bytes agree: both none, or
// the same spelling.
bool SameSpelling(const char* left, const char* right, size_t length);

// Where the word DATA stands when the line, after leading spaces, starts
// with "DATA " in any case; npos when it does not.
size_t DataStatementStart(std::string_view text);

// A copy of `text` with the items of a DATA statement and the insides of
// string literals overwritten by spaces. An unclosed string runs to the
// last character, which itself stays.
std::string BlankLiterals(std::string_view text);

// The conversion of one line with the substring search in place of the
// lookup table: literals blanked, the comment cut off, every word looked up.
std::string ConvertBySearch(std::string line, const SearchLists& lists);
