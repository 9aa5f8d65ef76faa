#pragma once
// The keyword vocabulary: Keywords.ini, its tagged sections, and the word
// lists built from them.

#include <string>
#include <string_view>

#include "word_index.h"

// One vocabulary section. `display` is " entry entry ... entry " in the case
// to be written; `search` is its ASCII lower-case copy, position for position.
struct WordList {
    std::string display;
    std::string search;
};

// The three lists a conversion consults, in lookup order, plus the lookup
// table built from them (see word_index.h).
struct KeywordSet {
    WordList keywords;
    WordList api;
    WordList constants;
    WordIndex index;
};

enum class Dialect { FreeBasic, PowerBasic };
enum class CaseMode { Mixed, Lower, Upper };

inline constexpr const char* kKeywordsFileName = "Keywords.ini";

// The bytes between the given occurrence of `startTag` and the first end tag
// ("</" + startTag without its first character) after it. Reports a missing
// tag through the message routine and then returns "0".
std::string GetXmlSection(std::string_view text, std::string_view startTag, int occurrence);

// Turns CR, LF, commas and semicolons into spaces and collapses space runs.
std::string NormalizeWordList(std::string body);

// The list of section `startTag` of the vocabulary text.
WordList BuildWordList(std::string_view vocabularyText, std::string_view startTag);

// Builds the lookup table of a set whose lists are complete.
KeywordSet MakeKeywordSet(WordList keywords, WordList api, WordList constants);

Dialect DialectFromOptions(std::string_view optionsText);
CaseMode CaseModeFromOptions(std::string_view optionsText);
void ApplyCaseMode(WordList& list, CaseMode mode);

// The whole file as raw bytes; empty when it cannot be opened.
std::string ReadVocabularyFile(const char* fileName);

// The batch tool's loader: checks that Keywords.ini exists (with the
// program's own existence test), then builds the dialect's keyword list in
// the requested case, the API list and the dialect's constant list.
using FileExistsRoutine = bool (*)(const std::string& name);
KeywordSet LoadKeywords(std::string_view optionsText, FileExistsRoutine fileExists);

// The editor's loader: all five sections, in file-format order; the
// conversion set is FreeBasic keywords, API names and FreeBasic constants.
struct EditorVocabulary {
    KeywordSet conversion;
    WordList powerBasicKeywords;
    WordList powerBasicConstants;
};
EditorVocabulary LoadKeywords();
