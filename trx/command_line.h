#pragma once
// From the program's command line to the source file name and the options.

#include <string>
#include <string_view>

// The command tail of a raw Windows-style command line: after a quoted
// program name (or from the start), everything after the first space.
std::string CommandTailFromRawLine(std::string_view rawLine);

// The command tail rebuilt from an argument vector (argv[0] is the program):
// arguments joined by single spaces, an empty argument or one holding a
// space enclosed in double quotes.
std::string CommandTailFromArguments(int argc, const char* const* argv);

struct CommandLine {
    std::string sourceName;
    std::string optionsText;
};

// Splits the tail into the file name (quoted when it holds spaces) and the
// options text that follows it.
CommandLine ParseCommandLine(std::string_view commandTail);
