#pragma once
// The keyword vocabulary: the tagged sections of Keywords.ini, the word
// lists built from them, and the keyword sets a conversion consults.
//
// Parsing never reports anything itself: a missing tag is handed back as a
// problem, and the program decides which sections it needs and how it tells
// the user about the problems of those.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "word_index.h"

namespace recasor {

// One vocabulary section. `display` is " entry entry ... entry " in the case
// to be written; `search` is its ASCII lower-case copy, position for position.
struct WordList {
    std::string display;
    std::string search;
};

// What a conversion consults: the entries of three lists (keywords, API
// names, constants, in lookup order) with the spellings to write, as one
// lookup table (see word_index.h). It holds no copy of the lists themselves.
struct KeywordSet {
    WordIndex index;
};

// The sections of the file, in the order the file format lists them.
enum class Section { FreeBasicKeywords, PowerBasicKeywords, ApiKeywords, FreeBasicConstants, PowerBasicConstants };
inline constexpr size_t kSectionCount = 5;
inline constexpr Section kSectionsInFileOrder[kSectionCount] = {
    Section::FreeBasicKeywords, Section::PowerBasicKeywords, Section::ApiKeywords, Section::FreeBasicConstants,
    Section::PowerBasicConstants};

// "<FreeBasicKeywords>" and so on.
const char* SectionStartTag(Section section);

enum class Dialect { FreeBasic, PowerBasic };
enum class CaseMode { Mixed, Lower, Upper };

enum class TagProblem { None, StartTagMissing, EndTagMissing };

// The text that describes a problem with the tags of `startTag`:
// "XML start-tag not found:  <Tag>" or "XML end-tag not found:  </Tag>".
std::string TagProblemText(TagProblem problem, std::string_view startTag);

// The body of a section, or "0" with the problem when a tag is missing.
struct XmlSection {
    std::string body;
    TagProblem problem = TagProblem::None;
};

// The bytes between the given occurrence of `startTag` (below 1 counts as 1)
// and the first end tag ("</" + startTag without its first character) after it.
XmlSection GetXmlSection(std::string_view text, std::string_view startTag, int occurrence);

// Turns CR, LF, commas and semicolons into spaces and collapses space runs.
std::string NormalizeWordList(std::string body);

// The list of a section body: " " + normalised body + " ", and its lower-case copy.
WordList MakeWordList(std::string body);

// The list of the first section `startTag` of the text ("0" when a tag is missing).
WordList BuildWordList(std::string_view vocabularyText, std::string_view startTag);

// A missing tag of one section.
struct VocabularyProblem {
    Section section;
    TagProblem problem;
};

// "XML start-tag not found:  <Tag>" or "XML end-tag not found:  </Tag>".
std::string ProblemText(const VocabularyProblem& problem);

// All five sections of a vocabulary text (indexed by Section), and the
// missing tags, at most one per section, in section order.
struct Vocabulary {
    std::array<WordList, kSectionCount> sections;
    std::vector<VocabularyProblem> problems;
};

Vocabulary ParseVocabulary(std::string_view text);

const WordList& SectionList(const Vocabulary& vocabulary, Section section);

// The problem of one section, or nullptr when both its tags are there.
const VocabularyProblem* FindProblem(const Vocabulary& vocabulary, Section section);

// Which section fills each list of a keyword set.
struct SectionChoice {
    Section keywords;
    Section api;
    Section constants;
};

// A dialect's keywords, the API names and the dialect's constants.
SectionChoice DialectSections(Dialect dialect);

// Upper- or lower-cases the list's `display` (its `search` stays lower case).
void ApplyCaseMode(WordList& list, CaseMode mode);

// Builds the lookup table of a set whose lists are complete.
KeywordSet MakeKeywordSet(const WordList& keywords, const WordList& api, const WordList& constants);

// The converter a program asks for: the chosen sections, keywords in
// `keywordCase`; API names and constants keep the file's spelling.
KeywordSet BuildKeywordSet(const Vocabulary& vocabulary, const SectionChoice& choice, CaseMode keywordCase);

// The same converter built straight from the vocabulary text, without
// making the lists first: what a program that starts often should use. The
// set keeps the text and takes its spellings from it.
KeywordSet BuildKeywordSetFromText(std::string text, const SectionChoice& choice, CaseMode keywordCase);

// The same over a text the caller keeps unchanged for as long as the set is
// used (a file mapped for the program's life, say): nothing is copied.
KeywordSet BuildKeywordSetOverText(std::string_view text, const SectionChoice& choice, CaseMode keywordCase);

// The missing tags of a vocabulary text, as ParseVocabulary reports them.
std::vector<VocabularyProblem> FindVocabularyProblems(std::string_view text);

// The problems of the sections a set is built from, in lookup order
// (keywords, API names, constants): what a program reports before it converts.
std::vector<VocabularyProblem> ProblemsOfChoice(const std::vector<VocabularyProblem>& problems,
                                                const SectionChoice& choice);

}  // namespace recasor
