// Reading Keywords.ini: sections, word-list normalisation, loaders and their
// messages.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "keyword_case.h"
#include "messages.h"
#include "vocabulary.h"

namespace {

std::vector<std::string> reported;
void Collect(const std::string& text) { reported.push_back(text); }

class VocabularyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reported.clear();
        SetMessageRoutine(Collect);
    }
    void TearDown() override { SetMessageRoutine(nullptr); }
};

// Runs a loader inside a fresh folder holding the given Keywords.ini.
class LoaderTest : public VocabularyTest {
protected:
    void SetUp() override
    {
        VocabularyTest::SetUp();
        previous = std::filesystem::current_path();
        folder = std::filesystem::temp_directory_path() / ("vocabulary-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
        VocabularyTest::TearDown();
    }
    void WriteKeywordsFile(const std::string& text) { std::ofstream(kKeywordsFileName, std::ios::binary) << text; }
    std::filesystem::path previous, folder;
};

bool ExistsOnDisk(const std::string& name) { return std::filesystem::exists(name); }
bool NeverExists(const std::string&) { return false; }

std::string Convert(std::string line, const KeywordSet& set) { return ApplyKeywordCase(line, set); }

const char* kAllSections =
    "remarks before\n"
    "<PowerBasicConstants>%NULL $CRLF</PowerBasicConstants> between\n"
    "<ApiKeywords>GetFocus</ApiKeywords>\n"
    "<FreeBasicKeywords>Dim As Integer</FreeBasicKeywords>\n"
    "<FreeBasicConstants>WM_KEYDOWN</FreeBasicConstants>\n"
    "<PowerBasicKeywords>DIM AS LONG</PowerBasicKeywords> after";

}  // namespace

TEST_F(VocabularyTest, SectionBodies)
{
    struct Case {
        const char* text;
        int occurrence;
        const char* body;
    } cases[] = {
        {"x<A>one two</A>y", 1, "one two"},
        {"<A></A>", 1, ""},
        {"<A>first</A><A>second</A>", 1, "first"},
        {"<A>first</A><A>second</A>", 2, "second"},
        {"<A>first</A><A>second</A>", 0, "first"},   // below 1 counts as 1
        {"<A>first</A><A>second</A>", -3, "first"},
        {"</A> <A>body</A>", 1, "body"},            // end tag before the start tag is skipped
        {"<A>a\r\n</B></A>", 1, "a\r\n</B>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetXmlSection(c.text, "<A>", c.occurrence), c.body) << c.text;
    }
    EXPECT_TRUE(reported.empty());
}

TEST_F(VocabularyTest, MissingTagsAreReportedAndGiveZero)
{
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"no tags here", "XML start-tag not found:  <Abc>"},
        {"<abc>lower case tag</abc>", "XML start-tag not found:  <Abc>"},
        {"<Abc>never closed", "XML end-tag not found:  </Abc>"},
        {"</Abc> end tag only before <Abc>", "XML end-tag not found:  </Abc>"},
    };
    for (const Case& c : cases) {
        reported.clear();
        EXPECT_EQ(GetXmlSection(c.text, "<Abc>", 1), "0") << c.text;
        EXPECT_EQ(reported, std::vector<std::string>{c.message}) << c.text;
    }
    // An occurrence that is not there is as absent as a missing tag.
    reported.clear();
    EXPECT_EQ(GetXmlSection("<Abc>x</Abc>", "<Abc>", 2), "0");
    EXPECT_EQ(reported, std::vector<std::string>{"XML start-tag not found:  <Abc>"});
}

TEST_F(VocabularyTest, WordListsAreNormalised)
{
    struct Case {
        const char* body;
        const char* display;
    } cases[] = {
        {"Abs,Access;\r\nAlias  Asc", " Abs Access Alias Asc "},
        {",Abs,", "  Abs  "},
        {"", "  "},
        {"A\tB", " A\tB "},
        {"   ;;,,\r\n\r\n   ", "   "},
    };
    for (const Case& c : cases) {
        std::string text = std::string("<FreeBasicKeywords>") + c.body + "</FreeBasicKeywords>";
        WordList list = BuildWordList(text, "<FreeBasicKeywords>");
        EXPECT_EQ(list.display, c.display) << c.body;
    }
    WordList missing = BuildWordList("nothing", "<X>");
    EXPECT_EQ(missing.display, " 0 ");
    EXPECT_EQ(missing.search, " 0 ");
}

TEST_F(VocabularyTest, SearchIsLowerCaseCopyOfDisplay)
{
    WordList list = BuildWordList("<K>UCase$ GetMessageW \xC4R %WM_X</K>", "<K>");
    EXPECT_EQ(list.display, " UCase$ GetMessageW \xC4R %WM_X ");
    EXPECT_EQ(list.search, " ucase$ getmessagew \xC4r %wm_x ");
}

TEST_F(VocabularyTest, OptionsChooseDialectAndCase)
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

TEST_F(LoaderTest, BatchLoaderUsesTheDialectSectionsAndCaseMode)
{
    WriteKeywordsFile(kAllSections);
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
    for (const Case& c : cases) {
        KeywordSet set = LoadKeywords(c.options, ExistsOnDisk);
        EXPECT_EQ(Convert(c.line, set), c.expected) << c.options;
    }
    EXPECT_TRUE(reported.empty());
}

TEST_F(LoaderTest, BatchLoaderReportsOnlyTheSectionsItReads)
{
    WriteKeywordsFile("<PowerBasicKeywords>Dim</PowerBasicKeywords><ApiKeywords></ApiKeywords>");
    LoadKeywords("-p", ExistsOnDisk);
    EXPECT_EQ(reported, std::vector<std::string>{"XML start-tag not found:  <PowerBasicConstants>"});

    reported.clear();
    LoadKeywords("", ExistsOnDisk);
    EXPECT_EQ(reported, (std::vector<std::string>{"XML start-tag not found:  <FreeBasicKeywords>",
                                                  "XML start-tag not found:  <FreeBasicConstants>"}));
}

TEST_F(LoaderTest, BatchLoaderWithoutVocabularyFile)
{
    KeywordSet set = LoadKeywords("", NeverExists);
    EXPECT_EQ(reported, std::vector<std::string>{"File not found: \"Keywords.ini\""});
    EXPECT_TRUE(set.keywords.display.empty());
    EXPECT_EQ(Convert("dim x as integer", set), "dim x as integer");
}

TEST_F(LoaderTest, EditorLoaderReadsFiveSectionsAndConvertsFreeBasic)
{
    WriteKeywordsFile(kAllSections);
    EditorVocabulary vocabulary = LoadKeywords();
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(vocabulary.powerBasicKeywords.display, " DIM AS LONG ");
    EXPECT_EQ(vocabulary.powerBasicConstants.display, " %NULL $CRLF ");
    EXPECT_EQ(Convert("dim a as long: wm_keydown %null", vocabulary.conversion), "Dim a As long: WM_KEYDOWN %null");
}

TEST_F(LoaderTest, EditorLoaderReportsEverySectionOfAMissingFile)
{
    EditorVocabulary vocabulary = LoadKeywords();
    EXPECT_EQ(reported, (std::vector<std::string>{
                            "XML start-tag not found:  <FreeBasicKeywords>",
                            "XML start-tag not found:  <PowerBasicKeywords>",
                            "XML start-tag not found:  <ApiKeywords>",
                            "XML start-tag not found:  <FreeBasicConstants>",
                            "XML start-tag not found:  <PowerBasicConstants>",
                        }));
    EXPECT_EQ(Convert("dim 0", vocabulary.conversion), "dim 0");
}

TEST_F(LoaderTest, EditorLoaderWithoutPowerBasicSectionsStillConverts)
{
    WriteKeywordsFile("<FreeBasicKeywords>Dim</FreeBasicKeywords><ApiKeywords>GetFocus</ApiKeywords>"
                      "<FreeBasicConstants>WM_KEYDOWN</FreeBasicConstants>");
    EditorVocabulary vocabulary = LoadKeywords();
    EXPECT_EQ(reported, (std::vector<std::string>{"XML start-tag not found:  <PowerBasicKeywords>",
                                                  "XML start-tag not found:  <PowerBasicConstants>"}));
    EXPECT_EQ(Convert("dim getfocus wm_keydown", vocabulary.conversion), "Dim GetFocus WM_KEYDOWN");
}
