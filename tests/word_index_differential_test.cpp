// The lookup table must answer every word exactly as the plain substring
// search over the lists' `search` strings does: same list, same position.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "keyword_case.h"
#include "support/keyword_oracles.h"
#include "vocabulary.h"

using namespace recasor;

namespace {

// Few letters and many separators, so that duplicates, empty items, prefixes
// and near misses are frequent.
const char kEntryAlphabet[] = "abAB_$%.0";
const char kSeparators[] = " ,;\r\n";

std::string RandomBody(std::mt19937& random)
{
    std::string body;
    int items = std::uniform_int_distribution<int>(0, 40)(random);
    for (int i = 0; i < items; ++i) {
        int length = std::uniform_int_distribution<int>(0, 4)(random);
        for (int k = 0; k < length; ++k) {
            int pick = std::uniform_int_distribution<int>(0, 40)(random);
            // Now and then a byte that can never be part of a word.
            body += pick == 0 ? '\t' : pick == 1 ? '#' : kEntryAlphabet[pick % (sizeof kEntryAlphabet - 1)];
        }
        int separators = std::uniform_int_distribution<int>(1, 3)(random);
        for (int k = 0; k < separators; ++k) body += kSeparators[random() % (sizeof kSeparators - 1)];
    }
    return body;
}

WordList RandomList(std::mt19937& random)
{
    if (random() % 10 == 0) return WordList{};
    return BuildWordList("<L>" + RandomBody(random) + "</L>", "<L>");
}

std::string RandomWord(std::mt19937& random)
{
    static const char kWordAlphabet[] = "ab_$%.0";
    std::string word;
    int length = std::uniform_int_distribution<int>(1, 5)(random);
    for (int k = 0; k < length; ++k) word += kWordAlphabet[random() % (sizeof kWordAlphabet - 1)];
    return word;
}

}  // namespace

TEST(WordIndexDifferential, AgreesWithSubstringSearch)
{
    std::mt19937 random(20261207);
    int found = 0;
    for (int round = 0; round < 400; ++round) {
        SearchLists lists{RandomList(random), RandomList(random), RandomList(random)};
        KeywordSet set = MakeKeywordSet(lists);
        for (int i = 0; i < 300; ++i) {
            std::string word = RandomWord(random);
            const char* expected = SearchKeywordSpelling(lists, word);
            const char* actual = FindKeywordSpelling(set, word.data(), word.size());
            ASSERT_TRUE(SameSpelling(actual, expected, word.size()))
                << "word '" << word << "' in lists '" << lists.keywords.display << "' '" << lists.api.display << "' '"
                << lists.constants.display << "'";
            found += expected != nullptr;
        }
    }
    // Make sure the vocabularies were dense enough to exercise hits as well.
    EXPECT_GT(found, 10000);
}

TEST(WordIndexDifferential, AgreesAfterCaseModes)
{
    std::mt19937 random(7);
    for (int round = 0; round < 100; ++round) {
        SearchLists lists{RandomList(random), RandomList(random), RandomList(random)};
        ApplyCaseMode(lists.keywords, round % 2 ? CaseMode::Upper : CaseMode::Lower);
        KeywordSet set = MakeKeywordSet(lists);
        for (int i = 0; i < 200; ++i) {
            std::string word = RandomWord(random);
            ASSERT_TRUE(SameSpelling(FindKeywordSpelling(set, word.data(), word.size()), SearchKeywordSpelling(lists, word),
                                     word.size()))
                << word;
        }
    }
}
