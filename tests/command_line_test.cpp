// From raw command lines and argument vectors to file name and options.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"

TEST(CommandLine, TailOfRawLine)
{
    struct Case {
        const char* raw;
        const char* tail;
    } cases[] = {
        {"TRX.EXE prog.bas -u", "prog.bas -u"},
        {"TRX.EXE", ""},
        {"TRX.EXE ", ""},
        {"TRX.EXE  two spaces", " two spaces"},
        {"\"C:\\My Tools\\TRX.EXE\" \"my prog.bas\" -p", "\"my prog.bas\" -p"},
        {"\"C:\\My Tools\\TRX.EXE\"", ""},
        {"\"C:\\TRX.EXE\"x y", "y"},
        {"\"C:\\My Tools\\TRX.EXE prog.bas", ""},  // program name never closed
        {"TRX.EXE\tprog.bas", ""},                 // a tab does not separate
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandTailFromRawLine(c.raw), c.tail) << c.raw;
}

TEST(CommandLine, TailOfArgumentVector)
{
    struct Case {
        std::vector<const char*> argv;
        const char* tail;
    } cases[] = {
        {{"trx"}, ""},
        {{"trx", ""}, "\"\""},
        {{"trx", "my prog.bas", "-u", "-p"}, "\"my prog.bas\" -u -p"},
        {{"trx", "prog.bas", "-u"}, "prog.bas -u"},
        {{"trx", "a\tb"}, "a\tb"},
        {{"trx", " "}, "\" \""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandTailFromArguments(static_cast<int>(c.argv.size()), c.argv.data()), c.tail);
}

TEST(CommandLine, FileNameAndOptions)
{
    struct Case {
        const char* tail;
        const char* sourceName;
        const char* optionsText;
    } cases[] = {
        {"", "", ""},
        {"   ", "", ""},
        {"prog.bas", "prog.bas", ""},
        {"  prog.bas   -u  -p  ", "prog.bas", "  -u  -p"},
        {"my prog.bas -u", "my", "prog.bas -u"},
        {"\"my prog.bas\" -u -p", "my prog.bas", "-u -p"},
        {"\"my prog.bas\"-u-p", "my prog.bas", "-u-p"},
        {"\"my prog.bas\"  -u", "my prog.bas", " -u"},
        {"\"my prog.bas -u", "my prog.bas -u", ""},
        {"\"\"", "", ""},
        {"\"\" -u", "", "-u"},
        {"-u", "-u", ""},
        {"\tprog.bas\t", "\tprog.bas\t", ""},
    };
    for (const Case& c : cases) {
        CommandLine parsed = ParseCommandLine(c.tail);
        EXPECT_EQ(parsed.sourceName, c.sourceName) << "tail: [" << c.tail << "]";
        EXPECT_EQ(parsed.optionsText, c.optionsText) << "tail: [" << c.tail << "]";
    }
}
