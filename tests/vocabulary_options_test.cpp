// trx's options against Keywords.ini: which dialect and case they choose,
// and which missing sections are reported, in which order.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keyword_case.h"
#include "vocabulary_options.h"

using namespace recasor;

namespace {

std::vector<std::string> reported;
void Collect(const std::string& text) { reported.push_back(text); }

std::string Convert(std::string line, const KeywordSet& set) { return ApplyKeywordCase(line, set); }

const char* kAllSections =
    "<PowerBasicConstants>%NULL $CRLF</PowerBasicConstants>\n"
    "<ApiKeywords>GetFocus</ApiKeywords>\n"
    "<FreeBasicKeywords>Dim As Integer</FreeBasicKeywords>\n"
    "<FreeBasicConstants>WM_KEYDOWN</FreeBasicConstants>\n"
    "<PowerBasicKeywords>DIM AS LONG</PowerBasicKeywords>";

}  // namespace

TEST(VocabularyOptions, OptionsChooseDialectAndCase)
{
    struct Case {
        const char* options;
        Dialect dialect;
        CaseMode mode;
    } cases[] = {
        {"", Dialect::FreeBasic, CaseMode::Mixed},
        {"-m -f", Dialect::FreeBasic, CaseMode::Mixed},
        {"-u", Dialect::FreeBasic, CaseMode::Upper},
        {"-U -P", Dialect::FreeBasic, CaseMode::Mixed},
        {"-l-u-p", Dialect::PowerBasic, CaseMode::Lower},
        {"x-uy", Dialect::FreeBasic, CaseMode::Upper},
        {"-p -l", Dialect::PowerBasic, CaseMode::Lower},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialectFromOptions(c.options), c.dialect) << c.options;
        EXPECT_EQ(CaseModeFromOptions(c.options), c.mode) << c.options;
    }
}

TEST(VocabularyOptions, SetUsesTheDialectSectionsAndCaseMode)
{
    struct Case {
        const char* options;
        const char* line;
        const char* expected;
    } cases[] = {
        {"", "dim x as integer: getfocus wm_keydown %null", "Dim x As Integer: GetFocus WM_KEYDOWN %null"},
        {"-u", "dim x as integer: getfocus wm_keydown", "DIM x AS INTEGER: GetFocus WM_KEYDOWN"},
        {"-u -l", "DIM x AS INTEGER: GETFOCUS", "dim x as integer: GetFocus"},
        {"-p", "dim x as long: getfocus %null $crlf wm_keydown", "DIM x AS LONG: GetFocus %NULL $CRLF wm_keydown"},
        {"-p -l", "DIM x AS LONG", "dim x as long"},
    };
    reported.clear();
    for (const Case& c : cases) {
        KeywordSet set = KeywordSetForOptions(kAllSections, c.options, Collect);
        EXPECT_EQ(Convert(c.line, set), c.expected) << c.options;
    }
    EXPECT_TRUE(reported.empty());
}

TEST(VocabularyOptions, ReportsOnlyTheSectionsItUsesInLoadOrder)
{
    struct Case {
        const char* text;
        const char* options;
        std::vector<std::string> messages;
    } cases[] = {
        // With -p a missing FreeBasic section is never mentioned.
        {"<PowerBasicKeywords>Dim</PowerBasicKeywords><ApiKeywords></ApiKeywords>", "-p",
         {"XML start-tag not found:  <PowerBasicConstants>"}},
        {"<PowerBasicKeywords>Dim</PowerBasicKeywords><ApiKeywords></ApiKeywords>", "",
         {"XML start-tag not found:  <FreeBasicKeywords>", "XML start-tag not found:  <FreeBasicConstants>"}},
        {"<FreeBasicConstants>x <FreeBasicKeywords>y", "-u",
         {"XML end-tag not found:  </FreeBasicKeywords>", "XML start-tag not found:  <ApiKeywords>",
          "XML end-tag not found:  </FreeBasicConstants>"}},
        {"", "-p",
         {"XML start-tag not found:  <PowerBasicKeywords>", "XML start-tag not found:  <ApiKeywords>",
          "XML start-tag not found:  <PowerBasicConstants>"}},
    };
    for (const Case& c : cases) {
        reported.clear();
        KeywordSet set = KeywordSetForOptions(c.text, c.options, Collect);
        EXPECT_EQ(reported, c.messages) << c.text << " " << c.options;
    }
}
