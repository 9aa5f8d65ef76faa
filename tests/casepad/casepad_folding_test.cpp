// Folding SUB and FUNCTION blocks from the two menu commands and from
// clicks on the line-number margin.

#include "casepad_fixture.h"

#include "scintilla_messages.h"

namespace {

// Every listing copy k holds three blocks, headed by lines 26k + 9, 14, 18.
std::vector<long> HeadersFrom(long firstLine)
{
    std::vector<long> headers;
    for (long k = 0; k < 16; ++k)
        for (long offset : {9, 14, 18})
            if (26 * k + offset >= firstLine) headers.push_back(26 * k + offset);
    return headers;
}
const long kLastHeader = 26 * 15 + 18;

class CasepadFoldTest : public CasepadTest {
protected:
    std::vector<long> FoldedLines() const
    {
        std::vector<long> folded;
        for (long line = 0; line < Send(Sci::SCI_GETLINECOUNT); ++line)
            if (!Expanded(line)) folded.push_back(line);
        return folded;
    }
    void Command(int id) { DispatchCommand(casepad.state, id); }
};

struct ToggleCase {
    const char* name;
    long caretLine;
    long headerLine;             // where the caret ends up
    std::vector<long> foldedAfter;
};

TEST_F(CasepadFoldTest, ToggleCurrentSubFoldsTheEnclosingBlockAndUnfoldsItAgain)
{
    const ToggleCase cases[] = {
        {"on a header", 9, 9, {9}},
        {"inside a body", 11, 9, {9}},
        {"on the closing line of a function", 16, 14, {14}},
        {"in the last block", kLastHeader + 3, kLastHeader, {kLastHeader}},
        {"outside any block", 4, 0, {}},
    };
    for (const ToggleCase& test : cases) {
        SCOPED_TRACE(test.name);
        PlaceCaret(test.caretLine, 2);
        Command(ID_TOGGLE_SUB);
        EXPECT_EQ(FoldedLines(), test.foldedAfter);
        EXPECT_EQ(Send(Sci::SCI_GETCURRENTPOS), LineStart(test.headerLine));
        if (!test.foldedAfter.empty()) EXPECT_FALSE(Visible(test.headerLine + 1));
        Command(ID_TOGGLE_SUB);
        EXPECT_EQ(FoldedLines(), std::vector<long>{});
        EXPECT_EQ(Send(Sci::SCI_GETCURRENTPOS), LineStart(test.headerLine));
    }
}

TEST_F(CasepadFoldTest, ToggleAllSubsBelowFoldsEveryLaterBlockToTheSameStateOnly)
{
    // From the first body every block folds, the last ones included (they
    // lie far below what has been displayed); run again, all unfold.
    PlaceCaret(11);
    Command(ID_TOGGLE_BELOW);
    EXPECT_EQ(FoldedLines(), HeadersFrom(0));
    EXPECT_EQ(CaretLine(), 9);
    Command(ID_TOGGLE_BELOW);
    EXPECT_EQ(FoldedLines(), std::vector<long>{});

    // A block that is folded already stays folded; blocks above the caret
    // line are not touched.
    PlaceCaret(26 * 3 + 14);
    Command(ID_TOGGLE_SUB);
    PlaceCaret(26 * 2 + 11);
    Command(ID_TOGGLE_BELOW);
    EXPECT_EQ(FoldedLines(), HeadersFrom(26 * 2 + 9));
    EXPECT_EQ(CaretLine(), 26 * 2 + 9);
}

TEST_F(CasepadFoldTest, ToggleAllSubsBelowAtTheEdges)
{
    PlaceCaret(kLastHeader + 5);
    Command(ID_TOGGLE_BELOW);
    EXPECT_EQ(FoldedLines(), std::vector<long>{kLastHeader});

    // Outside any block the target is the expansion state the component
    // reports for line -1 (expanded): later folded blocks open up.
    PlaceCaret(4);
    Command(ID_TOGGLE_BELOW);
    EXPECT_EQ(FoldedLines(), std::vector<long>{});
    EXPECT_EQ(CaretLine(), 0);
}

TEST_F(CasepadFoldTest, ClickOnTheLineNumberMarginFoldsTheBlockOfThatLine)
{
    long y = Send(Sci::SCI_POINTYFROMPOSITION, 0, LineStart(11)) + Send(Sci::SCI_TEXTHEIGHT, 11) / 2;
    QTest::mouseClick(casepad.editor->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, static_cast<int>(y)));
    Settle();
    EXPECT_EQ(FoldedLines(), std::vector<long>{9});
    EXPECT_EQ(CaretLine(), 9);

    // Clicks reported for other margins do nothing.
    PlaceCaret(40, 1);
    for (int margin : {0, 2, 3}) DispatchNotification(casepad.state, SCN_MARGINCLICK, LineStart(40), margin);
    EXPECT_EQ(FoldedLines(), std::vector<long>{9});
    EXPECT_EQ(Send(Sci::SCI_GETCURRENTPOS), LineStart(40) + 1);
}

TEST_F(CasepadFoldTest, UnknownCommandsAndNotificationsChangeNothing)
{
    PlaceCaret(128, 3);  // an uncorrected "end sub"
    for (int id : {0, 100, 104, 908, 910, -1}) Command(id);
    for (int code : {0, 2000, 2008, 2009, 2011}) DispatchNotification(casepad.state, code, LineStart(11), 1);
    Settle();
    EXPECT_EQ(FoldedLines(), std::vector<long>{});
    EXPECT_EQ(Send(Sci::SCI_GETCURRENTPOS), LineStart(128) + 3);
    EXPECT_EQ(Line(128), "end sub");
    EXPECT_EQ(Send(Sci::SCI_GETLINECOUNT), 417);
}

}  // namespace
