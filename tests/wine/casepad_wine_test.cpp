// casepad.exe under Wine, on the real KAVRIX.DLL: started as a user would,
// driven by real key presses and mouse clicks (xdotool), and read from
// outside by a helper that asks the editor through messages that pass
// between processes (casepad_probe.exe).

#include <unistd.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "casepad/listing_lines.h"
#include "keyword_case.h"
#include "scintilla_messages.h"
#include "support/files.h"
#include "support/processes.h"
#include "support/trx_texts.h"
#include "vocabulary.h"
#include "vocabulary_file.h"
#include "wine_session.h"

namespace {

constexpr unsigned int SCI_GETLINEVISIBLE = 2228;
const char* const kMainWindowTitle = "^KAVRIX\\.DLL editor example$";
const char* const kAboutText = "Example for KAVRIX.DLL by the Recasor developers";

// The line as casepad shows it after the case correction: the engine with
// the shipped vocabulary, lists of the FreeBasic dialect.
std::string Corrected(std::string line)
{
    using namespace recasor;
    static const KeywordSet vocabulary = BuildKeywordSet(
        ParseVocabulary(ReadVocabularyFile(SHIPPED_KEYWORDS_INI).value_or("")), DialectSections(Dialect::FreeBasic),
        CaseMode::Mixed);
    return recasor::ApplyKeywordCase(line, vocabulary);
}

// Polls `condition` until it holds or `seconds` pass: the program handles
// key presses and clicks on its own time.
bool Eventually(const std::function<bool()>& condition, int seconds = 15)
{
    for (int look = 0; look < seconds * 10; ++look) {
        if (condition()) return true;
        ::usleep(100 * 1000);
    }
    return condition();
}

class CasepadWineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeTemporaryFolder("casepad_wine_case");
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override
    {
        if (casepad.pid > 0) WaitForExitWithin(casepad.pid, 0);  // one left running is killed
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Starts casepad.exe (KAVRIX.DLL beside it) in `folder`, with the
    // shipped Keywords.ini there or none, and waits for its window, closing
    // the vocabulary's message boxes on the way. Returns whether the window
    // was hidden each time such a box was on screen.
    bool Start(bool withKeywords = true)
    {
        if (withKeywords) fs::copy_file(SHIPPED_KEYWORDS_INI, folder / "Keywords.ini");
        casepad = StartUnderWine({CASEPAD_WINDOWS_EXE}, folder);
        bool hiddenDuringBoxes = true;
        EXPECT_TRUE(Eventually([&] {
            bool windowShown = !XdoTool({"search", "--onlyvisible", "--name", kMainWindowTitle}).empty();
            if (CloseMessageBoxes("^casepad$") > 0 && windowShown) hiddenDuringBoxes = false;
            return windowShown;
        })) << "casepad's window did not appear";
        window = XdoTool({"search", "--onlyvisible", "--name", kMainWindowTitle});
        XdoTool({"windowfocus", "--sync", window});
        return hiddenDuringBoxes;
    }

    int WaitForEnd()
    {
        int exitCode = WaitForExitWithin(casepad.pid, 20);
        casepad.pid = -1;
        return exitCode;
    }

    std::string XdoTool(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> command = {"xdotool"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        std::string output = OutputOf({.argv = command}, folder / "xdotool.out");
        return output.substr(0, output.find('\n'));
    }

    void Keys(const std::vector<std::string>& keys)
    {
        std::vector<std::string> arguments = {"key", "--delay", "30"};
        arguments.insert(arguments.end(), keys.begin(), keys.end());
        XdoTool(arguments);
    }

    // A click at a screen point given as "X Y".
    void ClickAt(const std::string& point)
    {
        std::istringstream coordinates(point);
        std::string x, y;
        coordinates >> x >> y;
        XdoTool({"mousemove", "--sync", x, y, "click", "1"});
    }

    // The probe's answers, one per query.
    std::vector<std::string> Probe(const std::vector<std::string>& queries)
    {
        std::vector<std::string> command = {WINE_PROGRAM, CASEPAD_PROBE_EXE};
        command.insert(command.end(), queries.begin(), queries.end());
        std::istringstream output(OutputOf({.argv = command, .workDir = folder}, folder / "probe.out"));
        std::vector<std::string> answers;
        for (std::string line; std::getline(output, line);) answers.push_back(line);
        return answers;
    }
    std::string Ask(const std::string& query)
    {
        std::vector<std::string> answers = Probe({query});
        return answers.empty() ? "" : answers.front();
    }
    long Ask(unsigned int message, long wParam = 0)
    {
        std::string answer = Ask(std::to_string(message) + ":" + std::to_string(wParam));
        return answer.empty() ? -999 : std::stol(answer);
    }

    // The editor's lines without their line ends (WM_GETTEXT); the empty
    // last line is kept.
    std::vector<std::string> Lines()
    {
        return SplitLines(OutputOf({.argv = {WINE_PROGRAM, CASEPAD_PROBE_EXE, "text"}, .workDir = folder}, folder / "text.out") + "\r");
    }
    std::string Line(size_t line)
    {
        std::vector<std::string> lines = Lines();
        return line < lines.size() ? lines[line] : "(no line " + std::to_string(line) + ")";
    }

    long CaretLine() { return Ask(SCI_LINEFROMPOSITION, Ask(SCI_GETCURRENTPOS)); }
    bool Visible(long line) { return Ask(SCI_GETLINEVISIBLE, line) != 0; }
    bool Expanded(long line) { return Ask(SCI_GETFOLDEXPANDED, line) != 0; }

    fs::path folder;
    WineProgram casepad;
    std::string window;
};

TEST_F(CasepadWineTest, ShowsTheListingWithTheFirst101LinesCorrectedAndEndsWithCodeZeroOnExit)
{
    Start();
    EXPECT_EQ(Ask("title"), "KAVRIX.DLL editor example");
    std::istringstream sizes(Ask("sizes"));
    std::string clientSize, editorSize;
    sizes >> clientSize >> editorSize;
    EXPECT_EQ(editorSize, clientSize) << "the editor fills the client area";

    EXPECT_EQ(Ask(SCI_GETLINECOUNT), 417);
    const std::vector<std::string> listing = ListingLines();
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 417u);
    EXPECT_EQ(lines[416], "");
    for (size_t line = 0; line < 416; ++line) {
        const std::string& original = listing[line % 26];
        EXPECT_EQ(lines[line], line <= 100 ? Corrected(original) : original) << "line " << line + 1;
    }
    EXPECT_NE(lines[24], listing[24]) << "the shipped vocabulary corrects \"end sub\"";

    // The lexer got "fold": SUB and FUNCTION lines are fold headers.
    for (long line : {0L, 8L, 9L, 10L, 13L, 14L, 18L, 19L})
        EXPECT_EQ((Ask(SCI_GETFOLDLEVEL, line) & SC_FOLDLEVELHEADERFLAG) != 0, line == 9 || line == 14 || line == 18) << "line " << line + 1;

    // "Exit" is the first item of the menu bar.
    ClickAt(Ask("menubar"));
    EXPECT_EQ(WaitForEnd(), 0);
}

TEST_F(CasepadWineTest, CorrectsALineWhenTheCaretLeavesItAndNeverWhileItStays)
{
    Start();
    Keys({"ctrl+Home", "Down"});
    ASSERT_TRUE(Eventually([&] { return CaretLine() == 1; }));
    Keys({"--repeat", "101", "Down"});
    ASSERT_TRUE(Eventually([&] { return CaretLine() == 102; }));
    EXPECT_EQ(Line(101), Corrected("  wend")) << "left behind on the way down";
    EXPECT_NE(Corrected("  wend"), "  wend");
    EXPECT_EQ(Line(102), "end sub") << "the caret is on it";

    Keys({"End", "Return"});
    ASSERT_TRUE(Eventually([&] { return CaretLine() == 103; }));
    EXPECT_EQ(Line(102), Corrected("end sub"));
    XdoTool({"type", "--delay", "30", "dim x as integer"});
    ASSERT_TRUE(Eventually([&] { return Line(103) == "dim x as integer"; })) << Line(103);
    Keys({"Left", "Home", "End"});
    ::usleep(500 * 1000);
    EXPECT_EQ(Line(103), "dim x as integer") << "never corrected while the caret stays";
    long caret = Ask(SCI_GETCURRENTPOS);

    Keys({"Up"});
    ASSERT_TRUE(Eventually([&] { return CaretLine() == 102; }));
    EXPECT_TRUE(Eventually([&] { return Line(103) == Corrected("dim x as integer"); })) << Line(103);
    EXPECT_NE(Corrected("dim x as integer"), "dim x as integer");
    EXPECT_LT(Ask(SCI_GETCURRENTPOS), caret) << "the caret stays where Up put it";
    EXPECT_EQ(Ask(SCI_GETLINECOUNT), 418);

    // Closing the window through its system menu ends the program as Exit does.
    Keys({"alt+F4"});
    EXPECT_EQ(WaitForEnd(), 0);
}

TEST_F(CasepadWineTest, FoldsSubsFromTheMenuAndFromTheLineNumberMargin)
{
    Start();
    // Caret in the body of "Sub Test1" (line 10, a header).
    Keys({"ctrl+Home", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down"});
    ASSERT_TRUE(Eventually([&] { return CaretLine() == 11; }));

    Keys({"alt+t"});  // &Toggle current sub
    ASSERT_TRUE(Eventually([&] { return !Visible(10); })) << "the block did not fold";
    EXPECT_EQ(CaretLine(), 9) << "the caret goes to the header";
    EXPECT_FALSE(Expanded(9));
    EXPECT_FALSE(Visible(12));
    EXPECT_TRUE(Visible(9));
    EXPECT_TRUE(Visible(14));
    Keys({"alt+t"});
    ASSERT_TRUE(Eventually([&] { return Visible(10); })) << "the block did not unfold";
    EXPECT_EQ(CaretLine(), 9);

    // Toggle all subs &below: every header from the caret's on folds...
    const std::vector<long> headers = {9, 14, 18, 35, 399, 404, 408};
    Keys({"alt+b"});
    ASSERT_TRUE(Eventually([&] { return !Visible(10); }));
    for (long header : headers) EXPECT_FALSE(Expanded(header)) << "line " << header + 1;
    EXPECT_FALSE(Visible(409));
    EXPECT_TRUE(Visible(408));
    // ...and, run again on the folded block, unfolds.
    Keys({"alt+b"});
    ASSERT_TRUE(Eventually([&] { return Visible(10); }));
    for (long header : headers) EXPECT_TRUE(Expanded(header)) << "line " << header + 1;

    // A click on the number of a line inside "Function Test2" folds that block.
    ClickAt(Ask("margin:15"));
    ASSERT_TRUE(Eventually([&] { return !Visible(15); })) << "the margin click did not fold";
    EXPECT_FALSE(Expanded(14));
    EXPECT_TRUE(Expanded(9));
    EXPECT_EQ(CaretLine(), 14);

    Keys({"alt+x"});  // E&xit
    EXPECT_EQ(WaitForEnd(), 0);
}

TEST_F(CasepadWineTest, AboutAtTheRightEndOfTheMenuBarShowsWhoMadeIt)
{
    Start();
    // "&About..." stands at the right end of the menu bar: clicked there,
    // then chosen by its access key.
    ClickAt(Ask("menubar-end"));
    ASSERT_TRUE(Eventually([&] { return CloseMessageBoxes("^About\\.\\.\\.$") > 0; })) << "no About box from the click";
    XdoTool({"windowfocus", "--sync", window});
    Keys({"alt+a"});
    ASSERT_TRUE(Eventually([&] { return CloseMessageBoxes("^About\\.\\.\\.$") > 0; })) << "no About box from Alt+A";
    EXPECT_EQ(MessageBoxTexts(casepad), (std::vector<std::string>{kAboutText, kAboutText}));
    XdoTool({"windowfocus", "--sync", window});
    Keys({"alt+x"});
    EXPECT_EQ(WaitForEnd(), 0);
}

TEST_F(CasepadWineTest, MissingKeywordsIniIsReportedBeforeTheWindowAndNothingIsCorrected)
{
    EXPECT_TRUE(Start(false)) << "a box came while the window was shown";
    EXPECT_EQ(MessageBoxTexts(casepad),
              (std::vector<std::string>{StartTagMissingText("FreeBasicKeywords"), StartTagMissingText("PowerBasicKeywords"),
                                        StartTagMissingText("ApiKeywords"), StartTagMissingText("FreeBasicConstants"),
                                        StartTagMissingText("PowerBasicConstants")}));
    EXPECT_EQ(Line(24), "end sub");
    Keys({"alt+x"});
    EXPECT_EQ(WaitForEnd(), 0);
}

TEST_F(CasepadWineTest, MissingOrForeignKavrixDllGivesAMessageAndEndsWithCodeOne)
{
    struct DllCase {
        const char* what;
        const char* dll;  // copied as KAVRIX.DLL beside casepad.exe; nullptr: none
        const char* messageStart;
    };
    const DllCase cases[] = {
        {"no KAVRIX.DLL", nullptr, "Cannot load the editing component:\n"},
        {"a module without the component's functions", TRX_WINDOWS_EXE, "Not the editing component casepad needs:\n"},
    };
    fs::copy_file(SHIPPED_KEYWORDS_INI, folder / "Keywords.ini");
    for (const DllCase& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path program = folder / c.what / "casepad.exe";
        fs::create_directories(program.parent_path());
        fs::copy_file(CASEPAD_WINDOWS_EXE, program);
        if (c.dll != nullptr) fs::copy_file(c.dll, program.parent_path() / "KAVRIX.DLL");
        casepad = StartUnderWine({program.string()}, folder);
        EXPECT_EQ(WaitForExitWithin(casepad.pid, 30, [] { CloseMessageBoxes("^casepad$"); }), 1);
        casepad.pid = -1;
        const std::vector<std::string> texts = MessageBoxTexts(casepad);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].rfind(c.messageStart, 0), 0u) << texts[0];
        EXPECT_NE(texts[0].find(WindowsPath(program.parent_path() / "KAVRIX.DLL")), std::string::npos) << texts[0];
    }
}

}  // namespace
