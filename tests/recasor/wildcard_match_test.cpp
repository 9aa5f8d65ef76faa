// The wildcard matcher that recasor uses where the system has no fnmatch
// (Windows): held to glibc's fnmatch on random patterns and names, and to a
// table of what only Windows asks of it (both separators, UTF-8 names).

#include <fnmatch.h>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wildcard_match.h"

using recasor::WildcardMatch;

TEST(WildcardMatch, AgreesWithFnmatch)
{
    const std::vector<std::string> patternPieces = {"a", "b", ".", "/", "*", "?", "[ab]", "[!a]", "[^.]", "[a-c]", "[]a]", "["};
    const std::vector<std::string> textPieces = {"a", "b", "c", ".", "/", "]", "["};
    std::mt19937 random(7);
    int matches = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string pattern, text;
        for (int k = random() % 5; k >= 0; --k) pattern += patternPieces[random() % patternPieces.size()];
        for (int k = random() % 6; k >= 0; --k) text += textPieces[random() % textPieces.size()];
        for (bool wholePath : {false, true}) {
            int flags = wholePath ? FNM_PATHNAME | FNM_PERIOD : FNM_PERIOD;
            bool expected = ::fnmatch(pattern.c_str(), text.c_str(), flags) == 0;
            ASSERT_EQ(WildcardMatch(pattern, text, "/", wholePath), expected)
                << "pattern \"" << pattern << "\", text \"" << text << "\", whole path " << wholePath;
            matches += expected;
        }
    }
    EXPECT_GT(matches, 2000);  // the random cases do match often enough to mean something
}

TEST(WildcardMatch, WindowsSeparatorsAndUtf8Names)
{
    struct Case {
        const char* pattern;
        const char* text;
        bool wholePath;
        bool matches;
    };
    const std::vector<Case> cases = {
        {"lib/*.bas", "lib\\a.bas", true, true},
        {"lib\\*.bas", "lib/a.bas", true, true},
        {"lib\\*.bas", "lib\\sub\\a.bas", true, false},
        {"*", "lib\\a.bas", true, false},
        {"*", "lib\\a.bas", false, true},
        {"lib\\*", "lib\\.hidden", true, false},
        {"?bung.bas", "\xC3\x9C" "bung.bas", false, true},  // one character of two bytes
        {"??bung.bas", "\xC3\x9C" "bung.bas", false, false},
        {"[\xC3\x9C\xC3\x96]*", "\xC3\x96l.bas", false, true},
        {"[!\xC3\x9C]*", "\xC3\x9C" "bung.bas", false, false},
        {"*\\\xE3\x83\x86*", "\xE6\x97\xA5\\\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.bas", true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.text, "\\/", c.wholePath), c.matches) << c.pattern << " / " << c.text;
}
