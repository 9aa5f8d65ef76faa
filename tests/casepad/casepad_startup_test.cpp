// casepad after start: the demonstration text, the first correction pass,
// the lexer's fold levels and the vocabulary's reports.

#include "casepad_fixture.h"

#include "support/files.h"
#include "support/trx_texts.h"

namespace {

std::string Converted(std::string line, const KeywordSet& set) { return ApplyKeywordCase(line, set); }

using CasepadStartTest = CasepadTest;

TEST_F(CasepadStartTest, ShowsSixteenListingsWithTheFirst101LinesCorrected)
{
    const std::vector<std::string> listing = ListingLines();
    ASSERT_EQ(listing.size(), 26u);
    ASSERT_EQ(Send(Sci::SCI_GETLINECOUNT), 417);
    EXPECT_EQ(Line(416), "");
    for (long line = 0; line < 416; ++line) {
        const std::string& original = listing[line % 26];
        std::string expected = line <= 100 ? Converted(original, casepad.state.conversion) : original;
        EXPECT_EQ(Line(line), expected) << "line " << line + 1;
    }
    // The boundary of the first pass, with the shipped vocabulary.
    EXPECT_EQ(Line(24), "End Sub");
    EXPECT_EQ(Line(100), "  Case WM_KEYDOWN");
    EXPECT_EQ(Line(101), "  wend");
    EXPECT_EQ(Line(102), "end sub");
}

TEST_F(CasepadStartTest, LexerMarksEverySubAndFunctionLineAsFoldHeader)
{
    Send(Sci::SCI_COLOURISE, 0, -1);
    for (long line = 0; line < 417; ++line) {
        long inListing = line % 26;
        bool header = line < 416 && (inListing == 9 || inListing == 14 || inListing == 18);
        EXPECT_EQ((Send(Sci::SCI_GETFOLDLEVEL, line) & Sci::SC_FOLDLEVELHEADERFLAG) != 0, header) << "line " << line + 1;
    }
}

// Starts casepad in a fresh folder holding the given Keywords.ini, or none.
class CasepadVocabularyTest : public CasepadTest {
protected:
    void SetUp() override {}
    void StartWith(const char* keywordsIni)
    {
        folder = MakeTemporaryFolder("casepad_vocabulary_test");
        ASSERT_FALSE(folder.empty());
        if (keywordsIni != nullptr) WriteBytes(folder / "Keywords.ini", keywordsIni);
        Start(folder);
    }
    void TearDown() override
    {
        CasepadTest::TearDown();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
};

TEST_F(CasepadVocabularyTest, MissingFileReportsEverySectionBeforeTheWindowShowsAndChangesNothing)
{
    StartWith(nullptr);
    std::vector<std::string> texts;
    for (const Report& report : reports) {
        texts.push_back(report.text);
        EXPECT_FALSE(report.windowVisible) << report.text;
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         StartTagMissingText("FreeBasicKeywords"), StartTagMissingText("PowerBasicKeywords"),
                         StartTagMissingText("ApiKeywords"), StartTagMissingText("FreeBasicConstants"),
                         StartTagMissingText("PowerBasicConstants")}));
    EXPECT_EQ(Send(Sci::SCI_GETLINECOUNT), 417);
    EXPECT_EQ(Line(24), "end sub");
    EXPECT_EQ(Line(22), "  case wm_keydown");
}

TEST_F(CasepadVocabularyTest, MissingPowerBasicSectionsAreReportedAndTheFreeBasicListsConvert)
{
    StartWith("<FreeBasicKeywords>End, Sub; Case\r\nWhile Wend</FreeBasicKeywords>\r\n"
              "<ApiKeywords>GetMessage</ApiKeywords> <FreeBasicConstants>WM_KEYDOWN</FreeBasicConstants>");
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].text, StartTagMissingText("PowerBasicKeywords"));
    EXPECT_EQ(reports[1].text, StartTagMissingText("PowerBasicConstants"));
    EXPECT_EQ(Line(24), "End Sub");
    EXPECT_EQ(Line(21), "  While GetMessage(Msg,%Null,0,0)    'gets a message from the message queque");
    EXPECT_EQ(Line(22), "  Case WM_KEYDOWN");
    EXPECT_EQ(Line(128), "end sub");
}

}  // namespace
