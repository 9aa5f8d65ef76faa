// Live keyword case: the line the caret leaves is corrected, by real key
// presses on the component; lines are written only when they change.

#include "casepad_fixture.h"

#include "live_case.h"

namespace {

class CasepadLiveCaseTest : public CasepadTest {
protected:
    void Key(Qt::Key key, int times = 1)
    {
        for (int i = 0; i < times; ++i) QTest::keyClick(casepad.editor, key);
        Settle();
    }
    void Type(const char* text)
    {
        QTest::keyClicks(casepad.editor, text);
        Settle();
    }
    std::string Document() const
    {
        std::string text(static_cast<size_t>(Send(Sci::SCI_GETTEXTLENGTH)) + 1, '\0');
        casepad.editor->SendScintilla(Sci::SCI_GETTEXT, text.size(), text.data());
        text.pop_back();
        return text;
    }
    void ForgetChanges()
    {
        Send(Sci::SCI_EMPTYUNDOBUFFER);
        Send(Sci::SCI_SETSAVEPOINT);
    }
    bool Modified() const { return Send(Sci::SCI_GETMODIFY) != 0; }
    const KeywordSet& Vocabulary() const { return casepad.state.conversion; }
};

struct LeaveCase {
    const char* name;
    std::vector<Qt::Key> keys;  // after typing "end sub" on the empty line 26
    long caretLineAfter;
    std::string line26, line27;
};

TEST_F(CasepadLiveCaseTest, TypedLineIsCorrectedWhenTheCaretLeavesItAndNotBefore)
{
    const LeaveCase cases[] = {
        {"down", {Qt::Key_Down}, 26, "End Sub", "'Demo listing for KAVRIX.DLL"},
        {"up", {Qt::Key_Up}, 24, "End Sub", "'Demo listing for KAVRIX.DLL"},
        {"enter in the middle", {Qt::Key_Home, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return}, 26, "End ", "sub"},
    };
    for (const LeaveCase& test : cases) {
        SCOPED_TRACE(test.name);
        TearDown();
        Start();
        PlaceCaret(25);
        Type("end sub");
        EXPECT_EQ(Line(25), "end sub");
        for (Qt::Key key : test.keys) {
            EXPECT_EQ(Line(25), "end sub") << "changed while the caret stayed";
            Key(key);
        }
        EXPECT_EQ(CaretLine(), test.caretLineAfter);
        EXPECT_EQ(Line(25), test.line26);
        EXPECT_EQ(Line(26), test.line27);
    }
}

TEST_F(CasepadLiveCaseTest, FirstMoveAwayFromTheFirstLineCorrectsIt)
{
    SetDocument("end sub\rwhile x\r");
    Send(Sci::SCI_GOTOPOS, 3);
    Settle();
    EXPECT_EQ(Line(0), "end sub");
    Key(Qt::Key_Down);
    EXPECT_EQ(Line(0), "End Sub");
    EXPECT_EQ(Line(1), "while x");
}

TEST_F(CasepadLiveCaseTest, RewriteKeepsTheCaretAndOnlyChangedLinesAreWritten)
{
    // An uncorrected "end sub" below the first pass, left with the Down key.
    PlaceCaret(128, 4);
    ForgetChanges();
    QTest::keyClick(casepad.editor, Qt::Key_Down);
    long caret = Send(Sci::SCI_GETCURRENTPOS);
    Settle();
    EXPECT_EQ(Line(128), "End Sub");
    EXPECT_EQ(Send(Sci::SCI_GETCURRENTPOS), caret);
    EXPECT_TRUE(CanUndo());

    // Lines that are already right, and lines that do not exist, are not
    // written at all.
    ForgetChanges();
    PlaceCaret(20, 2);
    Key(Qt::Key_Down, 3);
    PlaceCaret(200, 1);
    for (long line : {0L, 24L, 128L, 417L, 5000L}) RecaseLine(casepad.state.editor, Vocabulary(), line);
    EXPECT_FALSE(CanUndo());
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Send(Sci::SCI_GETCURRENTPOS), LineStart(200) + 1);
    EXPECT_EQ(Send(Sci::SCI_GETLINECOUNT), 417);
}

TEST_F(CasepadLiveCaseTest, LineLeftByAFoldCommandIsCorrected)
{
    PlaceCaret(128, 2);  // in the body of the SUB that starts on line 122
    DispatchCommand(casepad.state, ID_TOGGLE_SUB);
    Settle();
    EXPECT_EQ(CaretLine(), 122);
    EXPECT_EQ(Line(128), "End Sub");
    EXPECT_EQ(Line(122), "sub Test3");
}

TEST_F(CasepadLiveCaseTest, LeavingALineThatWasDeletedWritesNothing)
{
    PlaceCaret(416);
    Send(Sci::SCI_SETSEL, LineStart(300), Send(Sci::SCI_GETTEXTLENGTH));
    Key(Qt::Key_Delete);
    EXPECT_EQ(Send(Sci::SCI_GETLINECOUNT), 301);
    EXPECT_EQ(Send(Sci::SCI_GETTEXTLENGTH), LineStart(300));
    EXPECT_EQ(Line(299), ListingLines()[299 % 26]);
    EXPECT_EQ(CaretLine(), 300);
}

struct DocumentCase {
    const char* name;
    std::string before, after;  // the whole document, around the start-up pass
};

TEST_F(CasepadLiveCaseTest, StartUpPassOnOtherDocumentsKeepsLineEndsAndBytes)
{
    using namespace std::string_literals;
    const DocumentCase cases[] = {
        {"every kind of line end", "dim a\r\nend sub\nwhile\rwend", "Dim a\r\nEnd Sub\nWhile\rWend"},
        {"a single line is not corrected", "end sub", "end sub"},
        {"two lines are", "end sub\rend sub", "End Sub\rEnd Sub"},
        {"a line holding a NUL byte is left whole", "end sub \0 x\rend sub\r"s, "end sub \0 x\rEnd Sub\r"s},
        {"an empty document", "", ""},
    };
    for (const DocumentCase& test : cases) {
        SCOPED_TRACE(test.name);
        SetDocument(test.before);
        RecaseFirstLines(casepad.state.editor, Vocabulary());
        EXPECT_EQ(Document(), test.after);
    }
}

TEST_F(CasepadLiveCaseTest, GetLineTextDropsOnlyTheLineEnd)
{
    SetDocument("a\rb\nc\r\n\r\n  d  ");
    const std::vector<std::string> expected = {"a", "b", "c", "", "  d  "};
    for (size_t line = 0; line < expected.size(); ++line) EXPECT_EQ(Line(static_cast<long>(line)), expected[line]);
    EXPECT_EQ(Line(5), "");
}

}  // namespace
