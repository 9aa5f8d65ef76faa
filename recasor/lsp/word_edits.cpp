#include "word_edits.h"

#include <algorithm>

#include "ascii.h"
#include "line_splitter.h"
#include "source_conversion.h"
#include "word_chars.h"

namespace recasor {

namespace {

bool IsWordByte(char c) { return IsWordChar(AsciiLower(c)); }

// The part of a line that is converted: a byte order mark at the start of
// the document belongs to no line, as in a file.
std::string_view ConvertedPart(TextDocument& document, size_t line)
{
    std::string_view content = LineContent(document, line);
    if (line == 0 && content.starts_with(kUtf8ByteOrderMark)) content.remove_prefix(kUtf8ByteOrderMark.size());
    return content;
}

// Makes the comment state at the start of `line` known.
void LearnStatesUpTo(TextDocument& document, size_t line, const SourceRules& rules)
{
    if (!(document.stateRules == rules)) {
        document.stateRules = rules;
        document.knownStates = 1;
    }
    if (document.lineStartStates.size() < LineCount(document)) document.lineStartStates.resize(LineCount(document));
    document.lineStartStates[0] = SourceState{};
    for (; document.knownStates <= line; ++document.knownStates) {
        size_t above = document.knownStates - 1;
        SourceState state = document.lineStartStates[above];
        AdvanceSourceState(ConvertedPart(document, above), rules, state);
        document.lineStartStates[above + 1] = state;
    }
}

// One edit per word in which `before` and `after` differ; `prefix` is the
// line's content before them (a byte order mark).
void AddWordEdits(uint32_t line, std::string_view content, size_t prefix, std::string_view before,
                  std::string_view after, PositionEncoding encoding, std::vector<WordEdit>& edits)
{
    size_t counted = 0;  // characters are counted from the line start once, left to right
    uint32_t characters = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        size_t start = i, end = i + 1;
        while (start > 0 && IsWordByte(before[start - 1])) --start;
        while (end < before.size() && IsWordByte(before[end])) ++end;
        characters += CharacterOfByteOffset(content.substr(counted), prefix + start - counted, encoding);
        counted = prefix + start;
        uint32_t length = static_cast<uint32_t>(end - start);  // word bytes are ASCII
        edits.push_back({line, characters, characters + length, std::string(after.substr(start, end - start))});
        i = end;
    }
}

}  // namespace

std::vector<WordEdit> RecaseLines(TextDocument& document, size_t first, size_t last, const ConversionRules& rules,
                                  PositionEncoding encoding, const FileSpellings* names)
{
    LearnStatesUpTo(document, first, rules.source);
    // The document's own bytes, line ends and all, so that offsets in them
    // are offsets in the document; a byte order mark is no line's.
    size_t from = document.lineStarts[first];
    if (first == 0 && LineContent(document, 0).starts_with(kUtf8ByteOrderMark)) from += kUtf8ByteOrderMark.size();
    std::string text = TextBetween(document, from, LineContentEnd(document, last));
    SourceState state = document.lineStartStates[first];
    std::string converted;
    if (names != nullptr) {
        DeclaredNames declared{*names, from, {}};
        converted = ConvertLines(text, rules, state, &declared);
    } else {
        converted = ConvertLines(text, rules, state);
    }

    std::vector<WordEdit> edits;
    for (size_t line = first; line <= last; ++line) {
        size_t start = std::max(document.lineStarts[line], from) - from;
        size_t length = LineContentEnd(document, line) - from - start;
        std::string_view before = std::string_view(text).substr(start, length);
        std::string_view after = std::string_view(converted).substr(start, length);
        if (before == after) continue;
        std::string_view content = LineContent(document, line);
        AddWordEdits(static_cast<uint32_t>(line), content, content.size() - before.size(), before, after, encoding,
                     edits);
    }
    return edits;
}

}  // namespace recasor
