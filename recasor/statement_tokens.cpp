#include "statement_tokens.h"

#include <algorithm>

#include "byte_search.h"
#include "line_bits.h"
#include "line_splitter.h"
#include "source_model_scan.h"

namespace recasor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// The first position in [from, end) whose byte is no blank, or `end`.
size_t FindFirstNotBlank(const char* text, size_t from, size_t end)
{
    while (from < end && IsBlank(text[from])) ++from;
    return from;
}

}  // namespace

namespace {

// A word or number from text[i], a symbol (-> is one), or a string literal
// from its quote to its closing quote ("" is a quote inside) or `end`.
size_t TokenEnd(std::string_view text, size_t i, size_t end)
{
    char c = text[i];
    if (IsTokenWordByte(c)) return std::min(WordEnd(text, i), end);
    if (c == '"') {
        for (++i; i < end; ++i)
            if (text[i] == '"' && (++i == end || text[i] != '"')) return i;
        return end;
    }
    return i + ((c == '-' && i + 1 < end && text[i + 1] == '>') ? 2 : 1);
}

// Appends the token text[from, to).
void AddToken(std::string_view text, size_t from, size_t to, std::vector<Token>& tokens)
{
    char c = text[from];
    TokenKind kind = c == '"'                 ? TokenKind::String
                     : !IsTokenWordByte(c)    ? TokenKind::Symbol
                     : IsNumberStart(c)       ? TokenKind::Number
                                              : TokenKind::Word;
    tokens.push_back({text.substr(from, to - from), from, kind});
}

// Appends the tokens of the code text[start, end): words, numbers, symbols.
void TokenizeCode(std::string_view text, size_t start, size_t end, std::vector<Token>& tokens)
{
    for (size_t i = start; i < end;) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == '"') {  // not in code the model marks; a symbol if it were
            tokens.push_back({text.substr(i, 1), i, TokenKind::Symbol});
            ++i;
            continue;
        }
        size_t to = TokenEnd(text, i, end);
        AddToken(text, i, to, tokens);
        i = to;
    }
}

}  // namespace

LineReader::LineReader(std::string_view text, const SourceRules& rules)
    : text_(text), rules_(rules), position_(text.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0)
{
}

void LineReader::Skim(LineSkim& skim) const
{
    skim.plain = false;
    if (state_.continued || state_.blockDepth > 0) return;
    const char* bytes = text_.data();
    const size_t size = text_.size();
    const size_t start = position_;
    auto noToken = [&](size_t at) { return at == size || IsLineEnd(bytes[at]) || bytes[at] == '\''; };

    size_t heads = 0;
    skim.colons = false;
    size_t i = FindFirstNotBlank(bytes, start, size);
    skim.hasCode = !noToken(i);
    if (skim.hasCode) {
        if (IsNumberStart(bytes[i])) i = FindFirstNotBlank(bytes, WordEnd(text_, i), size);
        if (!noToken(i)) skim.heads[heads++] = i;
    }
    for (;;) {
        i = FindFirstOf<'"', '\'', ':', '_', '\n', '\r'>(bytes, i, size, size);
        if (i == size) break;
        char c = bytes[i];
        if (c == '"') {
            // A prefixed string may hold escapes; after Option Escape a plain one may too.
            if (rules_.escapedStrings && i > start && (bytes[i - 1] == '!' || bytes[i - 1] == '$')) return;
            // To the closing quote ("" is a quote inside), or the line end.
            for (i = i + 1;; i += 2) {
                i = state_.escapeByDefault ? FindFirstOf<'"', '\\', '\n', '\r'>(bytes, i, size, size)
                                           : FindFirstOf<'"', '\n', '\r'>(bytes, i, size, size);
                if (i == size || bytes[i] != '"') break;
                if (i + 1 == size || bytes[i + 1] != '"') {
                    ++i;
                    break;
                }
            }
            if (i < size && bytes[i] == '\\') return;
        } else if (c == '\'') {
            if (rules_.blockComments && i > start && bytes[i - 1] == '/') return;
            i = FindFirstOf<'\n', '\r'>(bytes, i, size, size);
            break;
        } else if (c == ':') {
            skim.colons = true;
            i = FindFirstNotBlank(bytes, i + 1, size);
            if (noToken(i)) continue;
            if (heads == LineSkim::kMostHeads) return;
            skim.heads[heads++] = i;
        } else if (c == '_') {
            // A _ standing alone continues the line.
            if ((i == start || !IsTokenWordByte(bytes[i - 1])) && (i + 1 == size || !IsTokenWordByte(bytes[i + 1])))
                return;
            ++i;
        } else {
            break;  // the line end
        }
    }
    // OPTION ESCAPE where a statement starts would change how the lines after read.
    if (rules_.escapedStrings && !state_.escapeByDefault) {
        for (size_t k = 0; k < heads; ++k)
            if ((bytes[skim.heads[k]] | 0x20) == 'o' && source_scan::WordAt({bytes, size, size}, skim.heads[k], "option"))
                return;
    }
    skim.plain = true;
    skim.end = i;
    skim.next = i == size ? size : i + (bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n' ? 2 : 1);
    skim.headCount = heads;
}

bool LineReader::StartsOption(size_t at) const
{
    return source_scan::WordAt({text_.data(), text_.size(), text_.size()}, at, "option");
}

bool LineReader::StartsRem(size_t at) const
{
    return source_scan::WordAt({text_.data(), text_.size(), text_.size()}, at, "rem");
}

bool LineReader::Read(LogicalLine& line)
{
    line.tokens.clear();
    line.begin = position_;
    const size_t size = text_.size();
    do {
        size_t start = position_;
        size_t end = FindFirstOf<'\n', '\r'>(text_.data(), start, size, size);
        MarkLine(text_.substr(start, end - start), rules_, state_, regions_);
        for (const SourceRegion& region : regions_) {
            size_t from = start + region.start;
            size_t to = from + region.length;
            if (region.kind == RegionKind::Code || region.kind == RegionKind::FixedWord)
                TokenizeCode(text_, from, to, line.tokens);
            else if (region.kind == RegionKind::String)
                line.tokens.push_back({text_.substr(from, region.length), from, TokenKind::String});
        }
        line.end = end;
        position_ = end == size ? size : end + (text_[end] == '\r' && end + 1 < size && text_[end + 1] == '\n' ? 2 : 1);
        if (state_.continued && !line.tokens.empty() && line.tokens.back().text == "_") line.tokens.pop_back();
    } while (state_.continued && !AtEnd());
    return !line.tokens.empty();
}

bool LineReader::TokenizePlain(size_t start, size_t end, std::vector<Token>& tokens) const
{
    for (size_t i = start; i < end;) {
        char c = text_[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c == '\'') break;
        if (c == '"') {
            // !"..." and $"..." strings, and after Option Escape plain ones with a backslash.
            if (rules_.escapedStrings && i > start && (text_[i - 1] == '!' || text_[i - 1] == '$')) return false;
            size_t to = TokenEnd(text_, i, end);
            if (state_.escapeByDefault && text_.substr(i, to - i).find('\\') != std::string_view::npos) return false;
            tokens.push_back({text_.substr(i, to - i), i, TokenKind::String});
            i = to;
            continue;
        }
        size_t to = TokenEnd(text_, i, end);
        AddToken(text_, i, to, tokens);
        i = to;
    }
    return true;
}

bool LineReader::Read(const LineSkim& skim, LogicalLine& line)
{
    // A REM or the items of a DATA statement are no code: the model says where.
    const source_scan::Text text{text_.data(), text_.size(), text_.size()};
    for (size_t k = 0; k < skim.headCount; ++k)
        if (source_scan::WordAt(text, skim.heads[k], "rem") || source_scan::WordAt(text, skim.heads[k], "data"))
            return Read(line);
    line.tokens.clear();
    line.begin = position_;
    line.end = skim.end;
    if (!TokenizePlain(position_, skim.end, line.tokens)) return Read(line);
    Pass(skim);
    return !line.tokens.empty();
}

bool LineReader::ReadQuiet(LogicalLine& line)
{
    const size_t size = text_.size();
    size_t end = bits_.First(bits_.lineEnds, position_, bits_.end);
    size_t first = bits_.First(bits_.firsts, position_, end);
    const source_scan::Text text{text_.data(), size, size};
    if (source_scan::WordAt(text, first, "rem") || source_scan::WordAt(text, first, "data")) return Read(line);
    line.tokens.clear();
    line.begin = position_;
    line.end = end;
    if (!TokenizePlain(first, end, line.tokens)) return Read(line);
    position_ = NextLineStart(end);
    state_.continued = false;
    return !line.tokens.empty();
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
