#pragma once
// The code of a BASIC text as tokens, line by line and statement by
// statement, for the passes that read what a program says (which names it
// declares) rather than only recasing its words. The source model decides
// what is code: nothing in a string literal, a comment or a DATA item ever
// becomes a word here.
//
// Most lines of a program say nothing such a pass looks for, and the
// reader lets it tell them at a glance, without the source model and
// without tokens: a quiet line (line_bits.h) by its first token, found for
// many lines at once with bit arithmetic, another plain line (below) by the
// places where its statements may start. Only the lines the pass wants are
// read as tokens, and only those the model must read go through it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "line_bits.h"
#include "source_model.h"
#include "syntax_words.h"
#include "word_chars.h"

namespace recasor {

enum class TokenKind : uint8_t {
    Word,    // a run of word characters (see word_chars.h) that is no number: `wParam`, `x$`, `%ID_OK`, `t.x`
    Number,  // a run of word characters that starts with a digit or &: `10`, `&HFF`, `1.5`
    String,  // a whole string literal, with its quotes and its ! or $ prefix
    Symbol,  // one other byte, or the two bytes of ->
};

struct Token {
    std::string_view text;  // a view of the text that was read
    size_t offset;          // where `text` starts in it
    TokenKind kind;
    // A Word's keyword, looked up when first asked: most words are never asked about.
    mutable SyntaxWord word = SyntaxWord::None;
    mutable bool looked = false;
};

// The keyword `token` is in `dialect` (see syntax_words.h): None for any
// token but a Word.
inline SyntaxWord KeywordOf(const Token& token, Dialect dialect)
{
    if (token.kind != TokenKind::Word) return SyntaxWord::None;
    if (!token.looked) {
        token.word = SyntaxWordOf(token.text, dialect);
        token.looked = true;
    }
    return token.word;
}

// A line as the compiler reads it: a line of the text with the lines that
// continue it (through a continuation _ at its end) joined on.
struct LogicalLine {
    std::vector<Token> tokens;  // the code's tokens, without the continuation _
    size_t begin = 0;           // where its first line starts
    size_t end = 0;             // where its last line ends, before the line end
};

// A look at one line of the text. The line is plain when the source model
// would find in it nothing but code, "..." strings (with "" for a quote)
// and an apostrophe comment at its end, and hand nothing on to the next
// line: it continues no line and is continued by none (no _ standing
// alone), stands in no block comment and opens none (no /'), holds no !" or
// $" (FreeBASIC) nor, after Option Escape, a backslash in a string, and no
// statement of it starts with OPTION.
// The heads of a plain line are where its statements may start: its first
// token (after a number that starts the line), and the first token after
// each colon outside its strings and its comment. Every statement of the
// line starts at one of them (a REM, the items of a DATA statement or a
// colon before a number make some heads no statement's start).
struct LineSkim {
    static constexpr size_t kMostHeads = 16;  // a line with more is not plain

    bool plain = false;
    bool hasCode = false;  // it holds a token: of a plain line, whether it holds more than blanks and a comment
    bool colons = false;   // it holds a colon outside its strings and its comment
    size_t end = 0;        // the line's end, before its line end
    size_t next = 0;       // where the next line starts
    size_t headCount = 0;
    std::array<size_t, kMostHeads> heads{};  // offsets in the text, in order
};

// Reads the lines of a text in order, one plain line or one logical line
// at a time, with the source model's state carried from line to line.
// Lines end at LF, CR LF or a lone CR; a UTF-8 byte order mark at the
// start belongs to no line.
class LineReader {
public:
    LineReader(std::string_view text, const SourceRules& rules);

    bool AtEnd() const { return position_ >= text_.size(); }

    // Where PassQuietLines stopped: at the text's end, before a quiet line
    // whose first token matters, or before a line it cannot tell about.
    enum class Stop : uint8_t { End, Quiet, Other };

    // Passes the quiet lines from here on (see line_bits.h) whose first
    // token `matters`, called with its offset, says nothing to (lines of
    // blanks and a comment among them), and stops before the first line that
    // is not such a line. Sets `lastCode` to the end of the last line passed
    // that holds a token, where one does.
    template <typename Matters>
    Stop PassQuietLines(Matters&& matters, size_t& lastCode);

    // Reads the quiet line that PassQuietLines stopped before, as Read does.
    bool ReadQuiet(LogicalLine& line);

    // Looks at the next line without moving on. Of a line that is not
    // plain only `plain` is set.
    void Skim(LineSkim& skim) const;

    // Moves past the plain line that Skim looked at last.
    void Pass(const LineSkim& skim)
    {
        position_ = skim.next;
        state_.continued = false;
    }

    // Reads the next logical line through the source model into `line`
    // (whose tokens are replaced); false when it holds no code.
    bool Read(LogicalLine& line);

    // Reads the plain line that Skim looked at last, as Read does.
    bool Read(const LineSkim& skim, LogicalLine& line);

private:
    // Appends the tokens of the plain line text_[start, end) in which no
    // statement starts with REM or DATA; false, with tokens half made, where
    // a string in it is one the model reads otherwise (escaped).
    bool TokenizePlain(size_t start, size_t end, std::vector<Token>& tokens) const;

    size_t NextLineStart(size_t lineEnd) const
    {
        if (lineEnd == text_.size()) return lineEnd;
        return lineEnd + (text_[lineEnd] == '\r' && lineEnd + 1 < text_.size() && text_[lineEnd + 1] == '\n' ? 2 : 1);
    }

    // Whether OPTION ESCAPE may start at text_[at], which changes how the
    // lines after it read.
    bool MayEscapeAt(size_t at) const
    {
        return rules_.escapedStrings && !state_.escapeByDefault && (text_[at] | 0x20) == 'o' && StartsOption(at);
    }
    bool StartsOption(size_t at) const;
    bool StartsRem(size_t at) const;

    std::string_view text_;
    SourceRules rules_;
    SourceState state_;
    size_t position_;
    std::vector<SourceRegion> regions_;
    LineBits bits_;  // of the stretch that PassQuietLines looked at last
};

template <typename Matters>
LineReader::Stop LineReader::PassQuietLines(Matters&& matters, size_t& lastCode)
{
    if (state_.continued || state_.blockDepth > 0) return Stop::Other;
    const size_t size = text_.size();
    // The first tokens of the last two lines passed that hold one: a line
    // given up after its first token was looked at is not passed.
    size_t last = size, beforeLast = size;
    auto noteCode = [&](size_t first) {
        if (first != size) lastCode = bits_.First(bits_.lineEnds, first, bits_.end);
    };
    while (position_ < size) {
        const size_t start = position_;
        if (start >= bits_.end) MarkLineBits(text_, start, rules_, bits_);
        // The lines that end in this stretch: the last may go on past it.
        size_t limit = size;
        if (bits_.end < size) {
            limit = LastBit(bits_, bits_.lineEnds, start, bits_.end);
            if (limit == bits_.end) {
                if (bits_.base == start) return Stop::Other;  // a line longer than a stretch
                MarkLineBits(text_, start, rules_, bits_);
                continue;
            }
        }
        // The events of the stretch's words in turn, bit by bit.
        const size_t base = bits_.base;
        const size_t words = (limit - base + 63) / 64;  // those that hold positions before `limit`
        size_t word = (start - base) / 64;
        uint64_t pending = bits_.events[word] & (~uint64_t{0} << ((start - base) % 64));
        for (;;) {
            while (pending == 0 && ++word < words) pending = bits_.events[word];
            if (pending == 0) break;
            size_t bit = static_cast<size_t>(__builtin_ctzll(pending));
            size_t at = base + word * 64 + bit;
            if (at >= limit) break;
            pending &= pending - 1;
            char c = text_[at];
            bool loud = (bits_.loud[word] >> bit) & 1;
            bool told = !loud && !IsNumberStart(c) && !MayEscapeAt(at);  // the bits tell all of the line
            if (told) {
                // A comment, or a REM, to the line end: nothing after it counts.
                bool rem = (c | 0x20) == 'r' && StartsRem(at);
                if (c == '\'' || rem) {
                    if (rem) beforeLast = std::exchange(last, at);
                    size_t end = bits_.First(bits_.lineEnds, at, limit);
                    if (end == limit) break;
                    word = (end - base) / 64;
                    pending = bits_.events[word] & (~uint64_t{0} << ((end - base) % 64));
                    continue;
                }
                if (!matters(at)) {
                    beforeLast = std::exchange(last, at);
                    continue;
                }
            }
            // Stop before the line that holds `at`: quiet if nothing loud follows in it.
            size_t lineEnd = LastBit(bits_, bits_.lineEnds, start, at);
            position_ = lineEnd == at ? start : NextLineStart(lineEnd);
            noteCode(last != size && last >= position_ ? beforeLast : last);
            if (!told) return Stop::Other;
            size_t end = bits_.First(bits_.lineEnds, at, bits_.end);
            return bits_.First(bits_.loud, at, end) == end ? Stop::Quiet : Stop::Other;
        }
        noteCode(last);
        last = beforeLast = size;
        position_ = NextLineStart(limit);
    }
    return Stop::End;
}

// One statement of a logical line.
struct Statement {
    std::span<const Token> tokens;  // never empty
    bool startsLine = false;        // the first on its line (after a line number, if any)
    bool endsWithColon = false;     // a `:` ended it
};

// Replaces `statements` with those of `line`: it is cut at each `:`, except
// - in a directive (a line that starts with #): a #define's body may hold colons;
// - before a number: FreeBASIC's bit fields, `flag : 1 As Integer`.
// A line number at the line's start is dropped.
void SplitStatements(const LogicalLine& line, std::vector<Statement>& statements);

// Whether `token` is the one-byte Symbol `symbol`.
inline bool IsSymbol(const Token& token, char symbol)
{
    return token.kind == TokenKind::Symbol && token.text.size() == 1 && token.text[0] == symbol;
}

// The bytes of a word in either case: the word characters and the upper-case letters.
inline constexpr std::array<bool, 256> kTokenWordBytes = [] {
    std::array<bool, 256> table = kWordChars;
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = true;
    return table;
}();

inline bool IsTokenWordByte(char c) { return kTokenWordBytes[static_cast<unsigned char>(c)]; }

// The end of the run of word bytes from text[i].
inline size_t WordEnd(std::string_view text, size_t i)
{
    while (i < text.size() && IsTokenWordByte(text[i])) ++i;
    return i;
}

}  // namespace recasor
