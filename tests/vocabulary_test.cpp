// Reading Keywords.ini: sections and their problems, word-list
// normalisation, and keyword sets from chosen sections in a case mode.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "keyword_case.h"
#include "vocabulary.h"
#include "vocabulary_file.h"

using namespace recasor;

namespace {

std::string Convert(std::string line, const KeywordSet& set) { return ApplyKeywordCase(line, set); }

std::vector<std::string> ProblemTexts(const Vocabulary& vocabulary)
{
    std::vector<std::string> texts;
    for (const VocabularyProblem& problem : vocabulary.problems) texts.push_back(ProblemText(problem));
    return texts;
}

const char* kAllSections =
    "remarks before\n"
    "<PowerBasicConstants>%NULL $CRLF</PowerBasicConstants> between\n"
    "<ApiKeywords>GetFocus</ApiKeywords>\n"
    "<FreeBasicKeywords>Dim As Integer</FreeBasicKeywords>\n"
    "<FreeBasicConstants>WM_KEYDOWN</FreeBasicConstants>\n"
    "<PowerBasicKeywords>DIM AS LONG</PowerBasicKeywords> after";

}  // namespace

TEST(Vocabulary, SectionBodies)
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
        XmlSection section = GetXmlSection(c.text, "<A>", c.occurrence);
        EXPECT_EQ(section.body, c.body) << c.text;
        EXPECT_EQ(section.problem, TagProblem::None) << c.text;
    }
}

TEST(Vocabulary, MissingTagsGiveZeroAndTheirProblem)
{
    struct Case {
        const char* text;
        int occurrence;
        TagProblem problem;
        const char* message;
    } cases[] = {
        {"no tags here", 1, TagProblem::StartTagMissing, "XML start-tag not found:  <Abc>"},
        {"<abc>lower case tag</abc>", 1, TagProblem::StartTagMissing, "XML start-tag not found:  <Abc>"},
        {"<Abc>never closed", 1, TagProblem::EndTagMissing, "XML end-tag not found:  </Abc>"},
        {"</Abc> end tag only before <Abc>", 1, TagProblem::EndTagMissing, "XML end-tag not found:  </Abc>"},
        // An occurrence that is not there is as absent as a missing tag.
        {"<Abc>x</Abc>", 2, TagProblem::StartTagMissing, "XML start-tag not found:  <Abc>"},
    };
    for (const Case& c : cases) {
        XmlSection section = GetXmlSection(c.text, "<Abc>", c.occurrence);
        EXPECT_EQ(section.body, "0") << c.text;
        EXPECT_EQ(section.problem, c.problem) << c.text;
        EXPECT_EQ(TagProblemText(section.problem, "<Abc>"), c.message) << c.text;
    }
}

TEST(Vocabulary, WordListsAreNormalised)
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

TEST(Vocabulary, SearchIsLowerCaseCopyOfDisplay)
{
    WordList list = BuildWordList("<K>UCase$ GetMessageW \xC4R %WM_X</K>", "<K>");
    EXPECT_EQ(list.display, " UCase$ GetMessageW \xC4R %WM_X ");
    EXPECT_EQ(list.search, " ucase$ getmessagew \xC4r %wm_x ");
}

TEST(Vocabulary, ParsesAllFiveSectionsInAnyOrder)
{
    Vocabulary vocabulary = ParseVocabulary(kAllSections);
    EXPECT_TRUE(vocabulary.problems.empty());
    struct Case {
        Section section;
        const char* display;
    } cases[] = {
        {Section::FreeBasicKeywords, " Dim As Integer "},  {Section::PowerBasicKeywords, " DIM AS LONG "},
        {Section::ApiKeywords, " GetFocus "},              {Section::FreeBasicConstants, " WM_KEYDOWN "},
        {Section::PowerBasicConstants, " %NULL $CRLF "},
    };
    for (const Case& c : cases) EXPECT_EQ(SectionList(vocabulary, c.section).display, c.display) << SectionStartTag(c.section);
}

TEST(Vocabulary, ProblemsComeOnePerSectionInSectionOrder)
{
    struct Case {
        const char* text;
        std::vector<std::string> messages;
    } cases[] = {
        {"", {"XML start-tag not found:  <FreeBasicKeywords>", "XML start-tag not found:  <PowerBasicKeywords>",
              "XML start-tag not found:  <ApiKeywords>", "XML start-tag not found:  <FreeBasicConstants>",
              "XML start-tag not found:  <PowerBasicConstants>"}},
        // The file's order does not matter, nor does the kind of problem.
        {"<PowerBasicConstants>x <ApiKeywords>GetFocus</ApiKeywords> <FreeBasicKeywords>Dim</FreeBasicKeywords>"
         "<FreeBasicConstants></FreeBasicConstants>",
         {"XML start-tag not found:  <PowerBasicKeywords>", "XML end-tag not found:  </PowerBasicConstants>"}},
    };
    for (const Case& c : cases) {
        Vocabulary vocabulary = ParseVocabulary(c.text);
        EXPECT_EQ(ProblemTexts(vocabulary), c.messages) << c.text;
        for (const VocabularyProblem& problem : vocabulary.problems) {
            EXPECT_EQ(FindProblem(vocabulary, problem.section), &problem);
            EXPECT_EQ(SectionList(vocabulary, problem.section).display, " 0 ");
        }
    }
    Vocabulary partial = ParseVocabulary(cases[1].text);
    EXPECT_EQ(FindProblem(partial, Section::ApiKeywords), nullptr);
    EXPECT_EQ(SectionList(partial, Section::FreeBasicConstants).display, "  ");
}

TEST(Vocabulary, KeywordSetsFromChosenSectionsAndCaseModes)
{
    Vocabulary vocabulary = ParseVocabulary(kAllSections);
    struct Case {
        SectionChoice choice;
        CaseMode mode;
        const char* line;
        const char* expected;
    } cases[] = {
        {DialectSections(Dialect::FreeBasic), CaseMode::Mixed, "dim x as integer: getfocus wm_keydown %null",
         "Dim x As Integer: GetFocus WM_KEYDOWN %null"},
        // The case mode acts on the keywords alone.
        {DialectSections(Dialect::FreeBasic), CaseMode::Upper, "dim x as integer: getfocus wm_keydown",
         "DIM x AS INTEGER: GetFocus WM_KEYDOWN"},
        {DialectSections(Dialect::FreeBasic), CaseMode::Lower, "DIM x AS INTEGER: GETFOCUS", "dim x as integer: GetFocus"},
        {DialectSections(Dialect::PowerBasic), CaseMode::Mixed, "dim x as long: getfocus %null $crlf wm_keydown",
         "DIM x AS LONG: GetFocus %NULL $CRLF wm_keydown"},
        {DialectSections(Dialect::PowerBasic), CaseMode::Lower, "DIM x AS LONG", "dim x as long"},
        // Any section can fill any list, and the lists keep their lookup order.
        {{Section::PowerBasicKeywords, Section::FreeBasicKeywords, Section::PowerBasicConstants}, CaseMode::Mixed,
         "dim as integer %null getfocus", "DIM AS Integer %NULL getfocus"},
    };
    for (const Case& c : cases) {
        KeywordSet set = BuildKeywordSet(vocabulary, c.choice, c.mode);
        EXPECT_EQ(Convert(c.line, set), c.expected) << c.line;
    }
    // Building leaves the parsed lists as they were.
    EXPECT_EQ(SectionList(vocabulary, Section::FreeBasicKeywords).display, " Dim As Integer ");
}

TEST(Vocabulary, SetsFromMissingSectionsChangeNothing)
{
    KeywordSet set = BuildKeywordSet(ParseVocabulary("no sections"), DialectSections(Dialect::FreeBasic), CaseMode::Upper);
    EXPECT_EQ(Convert("dim 0 getfocus", set), "dim 0 getfocus");
    KeywordSet empty;
    EXPECT_EQ(Convert("dim x as integer", empty), "dim x as integer");
}

TEST(Vocabulary, ReadsTheFileAsRawBytes)
{
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("vocabulary-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(folder / "a folder");
    const char kBytes[] = "<ApiKeywords>A\r\nB\0C\xFF</ApiKeywords>\x1A tail";
    std::string bytes(kBytes, sizeof kBytes - 1);
    std::ofstream(folder / "Keywords.ini", std::ios::binary) << bytes;

    EXPECT_EQ(ReadVocabularyFile((folder / "Keywords.ini").string()), bytes);
    EXPECT_EQ(ReadVocabularyFile((folder / "missing.ini").string()), std::nullopt);
    EXPECT_EQ(ReadVocabularyFile((folder / "a folder").string()), std::nullopt);
    std::filesystem::remove_all(folder);
}
