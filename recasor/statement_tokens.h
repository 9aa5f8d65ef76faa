#pragma once
// The code of a BASIC text as tokens, line by line and statement by
// statement, for the passes that read what a program says (which names it
// declares) rather than only recasing its words. The source model decides
// what is code: nothing in a string literal, a comment or a DATA item ever
// becomes a word here.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "source_model.h"

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
};

// A line as the compiler reads it: a line of the text with the lines that
// continue it (through a continuation _ at its end) joined on.
struct LogicalLine {
    std::vector<Token> tokens;  // the code's tokens, without the continuation _
    size_t begin = 0;           // where its first line starts
    size_t end = 0;             // where its last line ends, before the line end
};

// Calls `visit` for each logical line of `text` that holds any code, in
// order. Lines end at LF, CR LF or a lone CR; a UTF-8 byte order mark at the
// start belongs to no line. The line passed is reused for the next.
void ReadLogicalLines(std::string_view text, const SourceRules& rules,
                      const std::function<void(const LogicalLine&)>& visit);

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

}  // namespace recasor
