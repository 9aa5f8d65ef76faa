// The comment scanner and the line splitter: which bytes of each line are
// comment, across lines and in both dialects, and where lines end.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comment_scanner.h"
#include "line_splitter.h"

using namespace recasor;

namespace {

// The lines with every comment byte shown as '#'.
std::vector<std::string> MarkComments(const std::vector<std::string>& lines, Dialect dialect)
{
    CommentState state;
    std::vector<TextRange> ranges;
    std::vector<std::string> marked;
    for (std::string line : lines) {
        FindCommentRanges(line, DialectCommentRules(dialect), state, ranges);
        for (const TextRange& range : ranges) line.replace(range.start, range.length, range.length, '#');
        marked.push_back(line);
    }
    return marked;
}

struct ScanCase {
    std::vector<std::string> lines;
    std::vector<std::string> freeBasic;   // marked
    std::vector<std::string> powerBasic;  // marked; empty: the lines unmarked
};

}  // namespace

TEST(CommentScanner, CommentsOfBothDialects)
{
    const std::vector<ScanCase> cases = {
        // Apostrophe comments; an apostrophe inside a string is text.
        {{"print x 'dim"}, {"print x ####"}, {}},
        {{"print \"it's\" ' dim"}, {"print \"it's\" #####"}, {}},
        // REM at the start of a statement, the keyword itself is code.
        {{"rem print it"}, {"rem#########"}, {"rem#########"}},
        {{"  REM"}, {"  REM"}, {"  REM"}},
        {{"x = 1 : Rem dim"}, {"x = 1 : Rem####"}, {"x = 1 : Rem####"}},
        {{"\trem\tx"}, {"\trem##"}, {"\trem##"}},
        {{"remark = 1 : print rem"}, {"remark = 1 : print rem"}, {}},
        {{"10 rem x", "  20\tREM y", "30rem = 1", "x = 40 rem"},
         {"10 rem##", "  20\tREM##", "30rem = 1", "x = 40 rem"},
         {}},
        {{"print \"a:rem b\""}, {"print \"a:rem b\""}, {}},
        {{"x.rem = 1", "rem$ = \"\""}, {"x.rem = 1", "rem$ = \"\""}, {}},
        // Block comments: inside a statement, nested, across lines.
        {{"print \"Hello\" /' embedded '/ \" world\""},
         {"print \"Hello\" ############## \" world\""},
         {"print \"Hello\" /######################"}},
        {{"/' a /' b '/ c '/ dim"}, {"################# dim"}, {"/####################"}},
        {{"dim a /' one", "two", "three '/ as integer"},
         {"dim a ######", "###", "######## as integer"},
         {"dim a /#####", "two", "three #############"}},
        {{"/' /' nested", "'/ still in", "'/ out"},
         {"############", "###########", "## out"},
         {"/###########", "###########", "######"}},
        // Markers in strings are text; after a comment nothing opens.
        {{"print \"/'\" : print 1"}, {"print \"/'\" : print 1"}, {}},
        {{"' old /' not a block", "print"}, {"####################", "print"}, {}},
        {{"x = 1 '/ closes nothing", "dim"}, {"x = 1 #################", "dim"}, {}},
        // REM after a block comment at the start of a statement.
        {{"/' c '/ rem x"}, {"####### rem##"}, {"/############"}},
        // After a line continuation the rest of the line is a comment (FreeBASIC).
        {{"foo a, _ more /' words", "b"}, {"foo a, _##############", "b"}, {"foo a, _ more /#######", "b"}},
        {{"my_var = _x"}, {"my_var = _x"}, {}},
    };
    for (const ScanCase& c : cases) {
        EXPECT_EQ(MarkComments(c.lines, Dialect::FreeBasic), c.freeBasic) << c.lines[0];
        std::vector<std::string> powerBasic = c.powerBasic.empty() ? c.freeBasic : c.powerBasic;
        EXPECT_EQ(MarkComments(c.lines, Dialect::PowerBasic), powerBasic) << c.lines[0];
    }
}

TEST(LineSplitter, EveryLineEndEndsALine)
{
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"\r\r\n\n", {"", "", ""}},
        {"a\n\r", {"a", ""}},
        {"\xEF\xBB\xBF" "dim\r\n", {"dim"}},
        {"x\xEF\xBB\xBF", {"x\xEF\xBB\xBF"}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        for (const LineSpan& span : SplitLines(c.text)) got.push_back(c.text.substr(span.start, span.length));
        EXPECT_EQ(got, c.lines) << "text: " << c.text;
    }
}
