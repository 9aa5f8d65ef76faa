#include "command_line.h"

std::string CommandTailFromRawLine(std::string_view rawLine)
{
    size_t from = 0;
    if (!rawLine.empty() && rawLine[0] == '"') {
        size_t closingQuote = rawLine.find('"', 1);
        // A program name whose quote never closes leaves nothing behind it.
        if (closingQuote == std::string_view::npos) return std::string();
        from = closingQuote + 1;
    }
    size_t space = rawLine.find(' ', from);
    if (space == std::string_view::npos) return std::string();
    return std::string(rawLine.substr(space + 1));
}

std::string CommandTailFromArguments(int argc, const char* const* argv)
{
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (i > 1) tail += ' ';
        bool quote = argument.empty() || argument.find(' ') != std::string_view::npos;
        if (quote) tail += '"';
        tail.append(argument);
        if (quote) tail += '"';
    }
    return tail;
}

CommandLine ParseCommandLine(std::string_view commandTail)
{
    size_t first = commandTail.find_first_not_of(' ');
    std::string_view tail;
    if (first != std::string_view::npos) tail = commandTail.substr(first, commandTail.find_last_not_of(' ') - first + 1);

    CommandLine result;
    if (!tail.empty() && tail[0] == '"') {
        size_t closingQuote = tail.find('"', 1);
        if (closingQuote == std::string_view::npos) {
            result.sourceName = tail.substr(1);
            return result;
        }
        result.sourceName = tail.substr(1, closingQuote - 1);
        std::string_view options = tail.substr(closingQuote + 1);
        if (!options.empty() && options[0] == ' ') options.remove_prefix(1);
        result.optionsText = options;
        return result;
    }
    size_t space = tail.find(' ');
    if (space == std::string_view::npos) {
        result.sourceName = tail;
        return result;
    }
    result.sourceName = tail.substr(0, space);
    result.optionsText = tail.substr(space + 1);
    return result;
}
