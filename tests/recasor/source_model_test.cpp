// The source model and the line splitter: what each byte of a line is
// (code, string, comment, DATA item, fixed word), across lines and in both
// dialects, and where lines end.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "line_splitter.h"
#include "source_model.h"

using namespace recasor;

namespace {

// The lines with their regions shown: code as it is, strings as 's',
// comments as '#', DATA items as '=', fixed words as '~'.
std::vector<std::string> Marked(const std::vector<std::string>& lines, Dialect dialect)
{
    SourceState state;
    std::vector<SourceRegion> regions;
    std::vector<std::string> marked;
    for (std::string line : lines) {
        MarkLine(line, DialectSourceRules(dialect), state, regions);
        for (const SourceRegion& region : regions) {
            const char shown[] = {0, 's', '#', '=', '~'};
            if (region.kind != RegionKind::Code)
                line.replace(region.start, region.length, region.length, shown[static_cast<int>(region.kind)]);
        }
        marked.push_back(line);
    }
    return marked;
}

struct ScanCase {
    std::vector<std::string> lines;
    std::vector<std::string> freeBasic;   // marked
    std::vector<std::string> powerBasic;  // marked; empty: as in FreeBASIC
};

}  // namespace

TEST(SourceModel, RegionsOfBothDialects)
{
    const std::vector<ScanCase> cases = {
        // Apostrophe comments; an apostrophe inside a string is text.
        {{"print x 'dim"}, {"print x ####"}, {}},
        {{"print \"it's\" ' dim"}, {"print ssssss #####"}, {}},
        // REM at the start of a statement, the keyword itself is code.
        {{"rem print it"}, {"rem#########"}, {}},
        {{"  REM"}, {"  REM"}, {}},
        {{"x = 1 : Rem dim"}, {"x = 1 : Rem####"}, {}},
        {{"\trem\tx"}, {"\trem##"}, {}},
        {{"remark = 1 : print rem"}, {"remark = 1 : print rem"}, {}},
        {{"10 rem x", "  20\tREM y", "30rem = 1", "x = 40 rem"}, {"10 rem##", "  20\tREM##", "30rem = 1", "x = 40 rem"}, {}},
        {{"print \"a:rem b\""}, {"print sssssssss"}, {}},
        {{"x.rem = 1", "rem$ = \"\""}, {"x.rem = 1", "rem$ = ss"}, {}},
        // Block comments: inside a statement, nested, across lines.
        {{"print \"Hello\" /' embedded '/ \" world\""},
         {"print sssssss ############## ssssssss"},
         {"print sssssss /######################"}},
        {{"/' a /' b '/ c '/ dim"}, {"################# dim"}, {"/####################"}},
        {{"dim a /' one", "two", "three '/ as integer"},
         {"dim a ######", "###", "######## as integer"},
         {"dim a /#####", "two", "three #############"}},
        {{"/' /' nested", "'/ still in", "'/ out"}, {"############", "###########", "## out"}, {"/###########", "###########", "######"}},
        // Markers in strings are text; after a comment nothing opens.
        {{"print \"/'\" : print 1"}, {"print ssss : print 1"}, {}},
        {{"' old /' not a block", "print"}, {"####################", "print"}, {}},
        {{"x = 1 '/ closes nothing", "dim"}, {"x = 1 #################", "dim"}, {}},
        {{"/' c '/ rem x"}, {"####### rem##"}, {"/############"}},
        // After a line continuation the rest of the line is a comment (FreeBASIC);
        // a REM on the line it continues on starts no statement.
        {{"foo a, _ more /' words", "b"}, {"foo a, _##############", "b"}, {"foo a, _ more /#######", "b"}},
        {{"my_var = _x"}, {"my_var = _x"}, {}},
        {{"print a, _", "rem b", "rem c"}, {"print a, _", "rem b", "rem##"}, {}},
        // Escaped strings: a backslash takes the next character with it;
        // $"..." never escapes, "" is a quote in every string.
        {{"IupSetAttributes(frame, !\"TITLE=\\\"This is the frame\\\"\")"},
         {"IupSetAttributes(frame, ssssssssssssssssssssssssssssss)"},
         {"IupSetAttributes(frame, !sssssssssThis is the frame\\ss)"}},
        {{"If Left(filename, 1) = !\"\\\"\" then"}, {"If Left(filename, 1) = sssss then"}, {"If Left(filename, 1) = !sssssssss"}},
        {{"x = $\"C:\\\" : y = !\"a\"\"b\\\\\" : z"}, {"x = ssssss : y = sssssssss : z"}, {"x = $sssss : y = !ssssssss : z"}},
        {{"a$\"x\" : b!\"\\\"\" : c"}, {"a$sss : b!ssssssss"}, {}},  // a suffix, no prefix
        // Option Escape makes plain strings escaped from there on.
        {{"x = \"a\\\" : b\"", "option  escape ' on", "x = \"a\\\" : b\""},
         {"x = ssss : bs", "option  escape ####", "x = sssssssss"},
         {"x = ssss : bs", "option  escape ####", "x = ssss : bs"}},
        {{"print \"option escape\"", "' option escape", "x = \"\\\" : y"}, {"print sssssssssssssss", "###############", "x = sss : y"}, {}},
        // DATA items run to the end of the statement.
        {{"data 1, \"a:b\", c : print x ' c"}, {"data=============: print x ###"}, {}},
        {{"x: data print", "  Data", "database = 1", "data\tprint"}, {"x: data======", "  Data", "database = 1", "data======"}, {}},
        // `once` after #include and #pragma is a word of its own (FreeBASIC).
        {{"#include once \"windows.bi\"", "#pragma once", "#INCLUDE  ONCE \"a.inc\"", "x = once"},
         {"#include ~~~~ ssssssssssss", "#pragma ~~~~", "#INCLUDE  ~~~~ sssssss", "x = once"},
         {"#include once ssssssssssss", "#pragma once", "#INCLUDE  ONCE sssssss", "x = once"}},
    };
    for (const ScanCase& c : cases) {
        EXPECT_EQ(Marked(c.lines, Dialect::FreeBasic), c.freeBasic) << c.lines[0];
        std::vector<std::string> powerBasic = c.powerBasic.empty() ? c.freeBasic : c.powerBasic;
        EXPECT_EQ(Marked(c.lines, Dialect::PowerBasic), powerBasic) << c.lines[0];
    }
}

TEST(SourceModel, RegionsCoverEachLineAndTheFastStateAgrees)
{
    std::mt19937 random(11);
    const std::string pieces[] = {"dim", " ", "\"", "'", "/'", "'/", "_", ":", "!\"", "$\"", "\\", "rem ", "data ",
                                  "option escape", "#include once", "a_b", "10 ", "\t", "x"};
    for (Dialect dialect : {Dialect::FreeBasic, Dialect::PowerBasic}) {
        SourceRules rules = DialectSourceRules(dialect);
        SourceState marked, advanced;
        std::vector<SourceRegion> regions;
        for (int round = 0; round < 20000; ++round) {
            std::string line;
            for (int k = random() % 8; k > 0; --k) line += pieces[random() % std::size(pieces)];
            MarkLine(line, rules, marked, regions);
            AdvanceSourceState(line, rules, advanced);
            ASSERT_EQ(marked, advanced) << line;
            size_t covered = 0;
            for (const SourceRegion& region : regions) {
                ASSERT_EQ(region.start, covered) << line;
                ASSERT_GT(region.length, 0u) << line;
                covered += region.length;
            }
            ASSERT_EQ(covered, line.size()) << line;
            if (round % 50 == 0) marked = advanced = SourceState{};
        }
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
