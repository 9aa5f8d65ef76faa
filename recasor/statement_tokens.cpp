#include "statement_tokens.h"

#include <array>

#include "line_splitter.h"
#include "word_chars.h"

namespace recasor {

namespace {

// The word characters in either case.
constexpr std::array<bool, 256> kWordBytes = [] {
    std::array<bool, 256> table = kWordChars;
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = true;
    return table;
}();

bool IsWordByte(char c) { return kWordBytes[static_cast<unsigned char>(c)]; }

// Appends the tokens of code bytes [start, end) of `line`, which starts at
// `lineOffset` in the text.
void TokenizeCode(std::string_view line, size_t start, size_t end, size_t lineOffset,
                  std::vector<Token>& tokens)
{
    size_t i = start;
    while (i < end) {
        char c = line[i];
        size_t from = i;
        TokenKind kind = TokenKind::Symbol;
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        if (IsWordByte(c)) {
            while (i < end && IsWordByte(line[i])) ++i;
            kind = IsNumberStart(c) ? TokenKind::Number : TokenKind::Word;
        } else {
            i += (c == '-' && i + 1 < end && line[i + 1] == '>') ? 2 : 1;
        }
        tokens.push_back({line.substr(from, i - from), lineOffset + from, kind});
    }
}

// Appends the tokens of one line of the text.
void TokenizeLine(std::string_view line, size_t lineOffset, const std::vector<SourceRegion>& regions,
                  std::vector<Token>& tokens)
{
    for (const SourceRegion& region : regions) {
        size_t start = region.start;
        size_t end = start + region.length;
        if (region.kind == RegionKind::Code || region.kind == RegionKind::FixedWord)
            TokenizeCode(line, start, end, lineOffset, tokens);
        else if (region.kind == RegionKind::String)
            tokens.push_back({line.substr(start, region.length), lineOffset + start, TokenKind::String});
    }
}

// The length of the line that starts at `start`, and where the next begins.
struct LineExtent {
    size_t length;
    size_t next;
};

LineExtent LineFrom(std::string_view text, size_t start)
{
    size_t end = start;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    if (end == text.size()) return {end - start, end};
    bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    return {end - start, end + (crlf ? 2 : 1)};
}

}  // namespace

void ReadLogicalLines(std::string_view text, const SourceRules& rules,
                      const std::function<void(const LogicalLine&)>& visit)
{
    SourceState state;
    std::vector<SourceRegion> regions;
    LogicalLine logical;
    bool joining = false;  // the line before continues into this one
    size_t start = text.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
    while (start < text.size()) {
        LineExtent extent = LineFrom(text, start);
        std::string_view line = text.substr(start, extent.length);
        if (!joining) {
            logical.tokens.clear();
            logical.begin = start;
        }
        MarkLine(line, rules, state, regions);
        TokenizeLine(line, start, regions, logical.tokens);
        logical.end = start + extent.length;
        joining = state.continued;
        if (joining && !logical.tokens.empty() && logical.tokens.back().text == "_") logical.tokens.pop_back();
        if (!joining && !logical.tokens.empty()) visit(logical);
        start = extent.next;
    }
    if (joining && !logical.tokens.empty()) visit(logical);
}

void SplitStatements(const LogicalLine& line, std::vector<Statement>& statements)
{
    statements.clear();
    const std::vector<Token>& tokens = line.tokens;
    size_t start = !tokens.empty() && tokens[0].kind == TokenKind::Number ? 1 : 0;
    bool directive = start < tokens.size() && IsSymbol(tokens[start], '#');
    bool first = true;
    auto add = [&](size_t end, bool colon) {
        if (end > start) statements.push_back({std::span(tokens).subspan(start, end - start), first, colon});
        first = false;
        start = end + 1;
    };
    for (size_t i = start; i < tokens.size(); ++i) {
        bool beforeNumber = i + 1 < tokens.size() && tokens[i + 1].kind == TokenKind::Number;
        if (!directive && !beforeNumber && IsSymbol(tokens[i], ':')) add(i, true);
    }
    add(tokens.size(), false);
}

}  // namespace recasor
