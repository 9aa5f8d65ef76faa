// FindDeclarations as first written: every line through the source model,
// its code as tokens, split into statements, each statement parsed. Slow
// but plain; the fast pass must find exactly what this finds.

#include "support/reference_declarations.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

#include "ascii.h"
#include "line_splitter.h"
#include "syntax_words.h"
#include "word_chars.h"

namespace reference {

using namespace recasor;

namespace {

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

struct LogicalLine {
    std::vector<Token> tokens;  // the code's tokens, without the continuation _
    size_t begin = 0;           // where its first line starts
    size_t end = 0;             // where its last line ends, before the line end
};

struct Statement {
    std::span<const Token> tokens;  // never empty
    bool startsLine = false;        // the first on its line (after a line number, if any)
    bool endsWithColon = false;     // a `:` ended it
};

inline bool IsSymbol(const Token& token, char symbol)
{
    return token.kind == TokenKind::Symbol && token.text.size() == 1 && token.text[0] == symbol;
}

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

using Tokens = std::span<const Token>;
using enum SyntaxWord;

enum class BlockKind : uint8_t {
    Procedure,  // a procedure's body
    Record,     // the body of a Type, Union or FreeBASIC Class
    Enum,
    Class,      // a PowerBASIC CLASS
    Interface,  // a PowerBASIC INTERFACE
    Container,  // a Namespace or an Extern "C" block: what is inside binds at module level
    Skipped,    // a macro's body or an Asm block, which hold no declarations of their own
};

struct Block {
    BlockKind kind;
    SyntaxWord closer;        // what follows End (or #) to close it: Sub, Type, EndMacro...
    size_t procedure = 0;     // a Procedure's index in FileDeclarations::procedures
    bool withBodies = false;  // an Interface inside a CLASS, whose methods have bodies
};

enum class Scope : uint8_t {
    Current,  // the open procedure, else the module
    Module,
    Member,
};

// The state of the pass over one text.
struct Pass {
    const SourceRules& rules;
    FileDeclarations& found;
    std::vector<Block> blocks{};
    // Lower-case names declared so far, which a ReDim does not declare again.
    std::unordered_set<std::string> moduleKnown{};
    std::unordered_set<std::string> procedureKnown{};  // in the open procedure
    std::unordered_set<std::string> namespaces{};      // lower case
    const LogicalLine* line = nullptr;                 // the line being read
    size_t lastLineEnd = 0;                            // where the line before it ended
};

std::string Lower(std::string_view text)
{
    std::string lower(text);
    LowerInPlace(lower);
    return lower;
}

// The keyword at t[i], None where there is none.
SyntaxWord WordAt(const Pass& pass, Tokens t, size_t i)
{
    return i < t.size() && t[i].kind == TokenKind::Word ? SyntaxWordOf(t[i].text, pass.rules.dialect) : None;
}

bool SymbolAt(Tokens t, size_t i, char symbol) { return i < t.size() && IsSymbol(t[i], symbol); }

// A word that a program may declare: it starts with a letter or _, holds
// no `.` (`p.x` is a member's use) and is no keyword of the syntax (`As`,
// `Ptr`, `Next`).
bool IsName(const Pass& pass, const Token& token)
{
    if (token.kind != TokenKind::Word || token.text.find('.') != std::string_view::npos) return false;
    char c = AsciiLower(token.text[0]);
    return ((c >= 'a' && c <= 'z') || c == '_') && SyntaxWordOf(token.text, pass.rules.dialect) == None;
}

bool Opens(const Token& token) { return IsSymbol(token, '(') || IsSymbol(token, '[') || IsSymbol(token, '{'); }
bool Closes(const Token& token) { return IsSymbol(token, ')') || IsSymbol(token, ']') || IsSymbol(token, '}'); }

// The index of what closes the bracket at t[open], or t.size().
size_t MatchingClose(Tokens t, size_t open)
{
    int depth = 0;
    for (size_t i = open; i < t.size(); ++i) {
        if (Opens(t[i])) ++depth;
        else if (Closes(t[i]) && --depth == 0) return i;
    }
    return t.size();
}

size_t SkipGroup(Tokens t, size_t open) { return std::min(MatchingClose(t, open) + 1, t.size()); }

// Calls `read` for each item of the comma-separated list that starts at
// t[from]; commas inside brackets (bounds, initialisers) separate nothing.
template <typename Read>
void ForEachItem(Tokens t, size_t from, Read read)
{
    size_t start = from;
    int depth = 0;
    for (size_t i = from; i < t.size(); ++i) {
        if (Opens(t[i])) ++depth;
        else if (Closes(t[i])) --depth;
        else if (depth <= 0 && IsSymbol(t[i], ',')) {
            read(t.subspan(start, i - start));
            start = i + 1;
        }
    }
    if (start < t.size()) read(t.subspan(start));
}

// Past the type that starts at t[i]: `Integer`, `Const ZString Ptr`,
// `String * 20`, `Function(ByVal x As Integer) As Integer`.
size_t SkipType(const Pass& pass, Tokens t, size_t i)
{
    while (WordAt(pass, t, i) == Const) ++i;
    SyntaxWord word = WordAt(pass, t, i);
    if (word == Sub || word == Function) {
        ++i;
        if (SymbolAt(t, i, '(')) i = SkipGroup(t, i);
        if (WordAt(pass, t, i) == As) i = SkipType(pass, t, i + 1);
    } else if (i < t.size() && t[i].kind == TokenKind::Word) {
        ++i;
    }
    for (;;) {
        word = WordAt(pass, t, i);
        if (word == Ptr || word == Pointer || word == Const) {
            ++i;
        } else if (SymbolAt(t, i, '*') && i + 1 < t.size()) {
            i = Opens(t[i + 1]) ? SkipGroup(t, i + 1) : i + 2;
        } else {
            return i;
        }
    }
}

std::optional<size_t> OpenProcedure(const Pass& pass)
{
    for (auto block = pass.blocks.rbegin(); block != pass.blocks.rend(); ++block)
        if (block->kind == BlockKind::Procedure) return block->procedure;
    return std::nullopt;
}

void AddName(Pass& pass, Scope scope, std::string_view spelling, size_t offset)
{
    Declaration declaration{NameSpelling(spelling), offset};
    if (scope == Scope::Member) {
        pass.found.memberNames.push_back(std::move(declaration));
        return;
    }
    std::optional<size_t> procedure = scope == Scope::Current ? OpenProcedure(pass) : std::nullopt;
    if (procedure) {
        pass.found.procedures[*procedure].names.push_back(std::move(declaration));
        pass.procedureKnown.insert(Lower(spelling));
    } else {
        pass.found.moduleNames.push_back(std::move(declaration));
        pass.moduleKnown.insert(Lower(spelling));
    }
}

void AddName(Pass& pass, Scope scope, const Token& token) { AddName(pass, scope, token.text, token.offset); }

bool IsKnown(const Pass& pass, std::string_view name)
{
    std::string lower = Lower(name);
    return pass.procedureKnown.contains(lower) || pass.moduleKnown.contains(lower);
}

// Closes the blocks from blocks[index] up; a procedure among them ends at `end`.
void PopBlocks(Pass& pass, size_t index, size_t end)
{
    for (size_t i = index; i < pass.blocks.size(); ++i) {
        if (pass.blocks[i].kind != BlockKind::Procedure) continue;
        pass.found.procedures[pass.blocks[i].procedure].end = end;
        pass.procedureKnown.clear();
    }
    pass.blocks.resize(index);
}

// `End <closer>` closes the innermost block it names, and every block left
// open inside it; an End that names no open block (End If, End Select) is
// no block's end here.
void CloseBlock(Pass& pass, SyntaxWord closer)
{
    for (size_t i = pass.blocks.size(); i-- > 0;) {
        if (pass.blocks[i].closer == closer) {
            PopBlocks(pass, i, pass.line->end);
            return;
        }
    }
}

// What a statement closes: `End Sub` Sub, `#endmacro` EndMacro, else None.
SyntaxWord ClosingWord(const Pass& pass, Tokens t)
{
    if (WordAt(pass, t, 0) == End) return WordAt(pass, t, 1);
    if (SymbolAt(t, 0, '#') && WordAt(pass, t, 1) == EndMacro) return EndMacro;
    return None;
}

void OpenBlock(Pass& pass, Tokens t, BlockKind kind, Scope nameScope, bool withBodies = false)
{
    if (t.size() > 1 && IsName(pass, t[1])) AddName(pass, nameScope, t[1]);
    pass.blocks.push_back({kind, WordAt(pass, t, 0), 0, withBodies});
}

// --- Variables -------------------------------------------------------------

void ReadVariable(Pass& pass, Tokens item, Scope scope, bool redim)
{
    size_t i = WordAt(pass, item, 0) == ByRef ? 1 : 0;
    if (i >= item.size() || !IsName(pass, item[i])) return;
    const Token& name = item[i];
    // A ReDim of a name declared before, or of a member, only resizes it.
    if (redim && ((i + 1 < item.size() && item[i + 1].text == "->") || IsKnown(pass, name.text))) return;
    if (pass.rules.dialect == Dialect::PowerBasic) {
        for (size_t k = i + 1; k + 1 < item.size(); ++k)
            if (WordAt(pass, item, k) == As && WordAt(pass, item, k + 1) == Global) scope = Scope::Module;
    }
    AddName(pass, scope, name);
}

// Dim and its kin: `Dim Shared x(9) As T = ..., y`, `Dim As T Ptr a, b`,
// `Common /block/ a`, `LOCAL a, b AS LONG`.
void ReadVariables(Pass& pass, Tokens t, Scope scope, bool redim = false)
{
    size_t i = 1;
    for (SyntaxWord word = WordAt(pass, t, i); word == Shared || word == Preserve || word == ByRef || word == Import;
         word = WordAt(pass, t, i))
        ++i;
    if (SymbolAt(t, i, '/')) {
        ++i;
        while (i < t.size() && !IsSymbol(t[i], '/')) ++i;
        ++i;
    }
    if (WordAt(pass, t, i) == As) i = SkipType(pass, t, i + 1);
    ForEachItem(t, i, [&](Tokens item) { ReadVariable(pass, item, scope, redim); });
}

// --- Procedures ------------------------------------------------------------

struct ProcedureHeader {
    bool declaration = false;  // a Declare: no body follows
    SyntaxWord kind = None;    // Sub, Function, Property, Method...
    const Token* name = nullptr;  // none for operators, constructors and destructors
    Tokens parameters;         // between the parentheses
};

bool IsHeaderModifier(SyntaxWord word)
{
    switch (word) {
    case Private: case Public: case Static: case Declare: case Const: case Virtual: case Abstract:
    case Override: case Callback: case Thread: case Class:
        return true;
    default:
        return false;
    }
}

bool IsProcedureKind(SyntaxWord word)
{
    switch (word) {
    case Sub: case Function: case Property: case Operator: case Constructor: case Destructor: case Method:
    case FastProc:
        return true;
    default:
        return false;
    }
}

// `Private Sub name Alias "x" (ByVal a As T) As T`, `CALLBACK FUNCTION f`,
// `PROPERTY GET p`, `Declare Operator Cast () As String`; not `Function = x`.
std::optional<ProcedureHeader> ParseProcedureHeader(const Pass& pass, Tokens t)
{
    ProcedureHeader header;
    size_t i = 0;
    for (; IsHeaderModifier(WordAt(pass, t, i)); ++i)
        if (WordAt(pass, t, i) == Declare) header.declaration = true;
    header.kind = WordAt(pass, t, i++);
    if (!IsProcedureKind(header.kind) || SymbolAt(t, i, '=')) return std::nullopt;
    if (header.kind == Property && (WordAt(pass, t, i) == Get || WordAt(pass, t, i) == Set)) ++i;
    if (header.kind != Operator && header.kind != Constructor && header.kind != Destructor) {
        if (i >= t.size() || t[i].kind != TokenKind::Word) return std::nullopt;
        header.name = &t[i++];
    }
    for (; i < t.size() && WordAt(pass, t, i) != As; ++i) {
        if (SymbolAt(t, i, '(')) {
            header.parameters = t.subspan(i + 1, MatchingClose(t, i) - i - 1);
            break;
        }
    }
    return header;
}

void ReadParameters(Pass& pass, Tokens parameters)
{
    ForEachItem(parameters, 0, [&](Tokens item) {
        size_t i = 0;
        for (SyntaxWord word = WordAt(pass, item, i);
             word == ByVal || word == ByRef || word == Optional || word == Opt || word == Const;
             word = WordAt(pass, item, i))
            ++i;
        if (i < item.size() && IsName(pass, item[i])) AddName(pass, Scope::Current, item[i]);
    });
}

// A procedure's name binds where `scope` says; `T.m` names the member m,
// `N.f` of a namespace N the module-level f.
void AddProcedureName(Pass& pass, const Token& name, Scope scope)
{
    size_t dot = name.text.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.text.size()) {
        AddName(pass, scope, name);
        return;
    }
    bool inNamespace = pass.namespaces.contains(Lower(name.text.substr(0, dot)));
    AddName(pass, inNamespace ? Scope::Module : Scope::Member, name.text.substr(dot + 1), name.offset + dot + 1);
}

void StartProcedure(Pass& pass, const ProcedureHeader& header, Scope nameScope)
{
    // A procedure left without its End ends on the line before the next one
    // (or on the same line, where both start on one).
    for (size_t i = 0; i < pass.blocks.size(); ++i) {
        if (pass.blocks[i].kind == BlockKind::Procedure) {
            bool sameLine = pass.found.procedures[pass.blocks[i].procedure].begin == pass.line->begin;
            PopBlocks(pass, i, sameLine ? pass.line->end : pass.lastLineEnd);
            break;
        }
    }
    if (header.name) AddProcedureName(pass, *header.name, nameScope);
    pass.blocks.push_back({BlockKind::Procedure, header.kind, pass.found.procedures.size()});
    pass.found.procedures.push_back({pass.line->begin, pass.line->end, {}});
    ReadParameters(pass, header.parameters);
}

// --- Statements by where they stand ----------------------------------------

void ReadDirective(Pass& pass, Tokens t)
{
    SyntaxWord directive = WordAt(pass, t, 1);
    if (directive == Include) {
        size_t i = WordAt(pass, t, 2) == Once ? 3 : 2;
        if (i >= t.size() || t[i].kind != TokenKind::String) return;
        std::string_view literal = t[i].text;
        size_t open = literal.find('"');
        if (open == std::string_view::npos) return;
        size_t close = literal.size() > open + 1 && literal.back() == '"' ? literal.size() - 1 : literal.size();
        pass.found.includes.push_back(
            {std::string(literal.substr(open + 1, close - open - 1)), t[i].offset + open + 1});
    } else if (directive == Define || directive == Macro) {
        if (t.size() > 2 && IsName(pass, t[2])) AddName(pass, Scope::Module, t[2]);
        if (directive == Macro) pass.blocks.push_back({BlockKind::Skipped, EndMacro});
    }
}

// PowerBASIC: `MACRO name = text`, `MACRO name(a, b) = text`, or a block
// up to END MACRO: `MACRO name(a)`, `MACRO FUNCTION name(a)`.
void ReadPowerBasicMacro(Pass& pass, Tokens t)
{
    size_t i = WordAt(pass, t, 1) == Function ? 2 : 1;
    if (i >= t.size() || !IsName(pass, t[i])) return;
    AddName(pass, Scope::Module, t[i]);
    size_t after = SymbolAt(t, i + 1, '(') ? SkipGroup(t, i + 1) : i + 1;
    if (!SymbolAt(t, after, '=')) pass.blocks.push_back({BlockKind::Skipped, Macro});
}

// `Type Point`, `Union U`, `Type Handle As Integer` (an alias: no body).
void ReadRecordHeader(Pass& pass, Tokens t)
{
    if (t.size() < 2 || !IsName(pass, t[1])) return;  // Type<T>(...), TYPE SET
    if (WordAt(pass, t, 2) == As) AddName(pass, Scope::Current, t[1]);
    else OpenBlock(pass, t, BlockKind::Record, Scope::Current);
}

bool IsLabel(const Pass& pass, const Statement& statement)
{
    return statement.startsLine && statement.endsWithColon && statement.tokens.size() == 1 &&
           IsName(pass, statement.tokens[0]);
}

// PowerBASIC's `%NAME = 1`, `$NAME = "x"`, `$$NAME = "x"`.
bool IsEquate(const Pass& pass, Tokens t)
{
    return pass.rules.dialect == Dialect::PowerBasic && t.size() > 1 && t[0].kind == TokenKind::Word &&
           (t[0].text[0] == '%' || t[0].text[0] == '$') && IsSymbol(t[1], '=');
}

void ReadCodeStatement(Pass& pass, const Statement& statement)
{
    Tokens t = statement.tokens;
    if (IsLabel(pass, statement)) return AddName(pass, Scope::Current, t[0]);
    if (IsEquate(pass, t)) return AddName(pass, Scope::Module, t[0]);
    SyntaxWord first = WordAt(pass, t, 0);
    if (first == End) return CloseBlock(pass, WordAt(pass, t, 1));
    if (std::optional<ProcedureHeader> header = ParseProcedureHeader(pass, t)) {
        if (!header->declaration) StartProcedure(pass, *header, Scope::Module);
        else if (header->name) AddProcedureName(pass, *header->name, Scope::Module);
        return;
    }
    bool freeBasic = pass.rules.dialect == Dialect::FreeBasic;
    switch (first) {
    case Dim: case Static: case Const: case Var: case Local: case Register:
        return ReadVariables(pass, t, Scope::Current);
    case ReDim:
        return ReadVariables(pass, t, Scope::Current, true);
    case Common: case Shared: case Global: case Threaded: case Instance:
        return ReadVariables(pass, t, Scope::Module);
    case Extern:
        if (t.size() > 1 && t[1].kind == TokenKind::String)
            return pass.blocks.push_back({BlockKind::Container, Extern});
        return ReadVariables(pass, t, Scope::Module);
    case For:
        if (t.size() > 2 && IsName(pass, t[1]) && WordAt(pass, t, 2) == As) AddName(pass, Scope::Current, t[1]);
        return;
    case Type: case Union:
        return ReadRecordHeader(pass, t);
    case Class:
        if (freeBasic) return ReadRecordHeader(pass, t);
        return OpenBlock(pass, t, BlockKind::Class, Scope::Module);
    case Interface:
        return OpenBlock(pass, t, BlockKind::Interface, Scope::Module);
    case Enum:
        return OpenBlock(pass, t, BlockKind::Enum, Scope::Current);
    case Namespace:
        if (t.size() > 1) pass.namespaces.insert(Lower(t[1].text));
        return OpenBlock(pass, t, BlockKind::Container, Scope::Module);
    case Macro:
        if (!freeBasic) ReadPowerBasicMacro(pass, t);
        return;
    case Asm:
        if (t.size() == 1) pass.blocks.push_back({BlockKind::Skipped, Asm});
        return;
    default:
        return;
    }
}

// Leaves the Type and Enum bodies left open: a procedure with a body never
// stands in one, so their End is missing.
void LeaveRecords(Pass& pass)
{
    while (!pass.blocks.empty() &&
           (pass.blocks.back().kind == BlockKind::Record || pass.blocks.back().kind == BlockKind::Enum))
        pass.blocks.pop_back();
}

void AddMembers(Pass& pass, Tokens t, size_t from)
{
    ForEachItem(t, from, [&](Tokens item) {
        if (!item.empty() && IsName(pass, item[0])) AddName(pass, Scope::Member, item[0]);
    });
}

// Inside a Type or Union: `x As T`, `a(3) As T = {..}, b As T`,
// `As T Ptr a, b`, `flag : 1 As Integer`, `Static n As T`,
// `Declare Sub m()`, an anonymous `Union`.
void ReadRecordStatement(Pass& pass, const Statement& statement)
{
    Tokens t = statement.tokens;
    SyntaxWord first = WordAt(pass, t, 0);
    if (first == End) return CloseBlock(pass, WordAt(pass, t, 1));
    if ((first == Type || first == Union) && t.size() == 1)
        return pass.blocks.push_back({BlockKind::Record, first});
    if (std::optional<ProcedureHeader> header = ParseProcedureHeader(pass, t)) {
        if (header->declaration) {
            if (header->name) AddName(pass, Scope::Member, *header->name);
            return;
        }
        LeaveRecords(pass);
        return ReadCodeStatement(pass, statement);
    }
    size_t i = first == Static ? 1 : 0;
    if (WordAt(pass, t, i) == As) return AddMembers(pass, t, SkipType(pass, t, i + 1));
    bool field = i < t.size() && IsName(pass, t[i]) &&
                 (SymbolAt(t, i + 1, '(') || WordAt(pass, t, i + 1) == As || SymbolAt(t, i + 1, ':'));
    if (field) AddMembers(pass, t, i);
}

// Inside an Enum: `Red`, `Green = 2, Blue`.
void ReadEnumStatement(Pass& pass, const Statement& statement)
{
    Tokens t = statement.tokens;
    if (WordAt(pass, t, 0) == End) return CloseBlock(pass, WordAt(pass, t, 1));
    if (ParseProcedureHeader(pass, t)) {
        LeaveRecords(pass);
        return ReadCodeStatement(pass, statement);
    }
    ForEachItem(t, 0, [&](Tokens item) {
        if (!item.empty() && IsName(pass, item[0])) AddName(pass, Scope::Current, item[0]);
    });
}

// Inside a PowerBASIC CLASS or INTERFACE: INSTANCE variables, interfaces,
// and methods and properties, with bodies in a class, without elsewhere.
void ReadClassStatement(Pass& pass, const Statement& statement, Block block)
{
    Tokens t = statement.tokens;
    SyntaxWord first = WordAt(pass, t, 0);
    if (first == End) return CloseBlock(pass, WordAt(pass, t, 1));
    if (first == Instance) return ReadVariables(pass, t, Scope::Module);
    if (first == Interface) return OpenBlock(pass, t, BlockKind::Interface, Scope::Module, block.kind == BlockKind::Class);
    std::optional<ProcedureHeader> header = ParseProcedureHeader(pass, t);
    if (!header) return;
    if (!header->declaration && (block.kind == BlockKind::Class || block.withBodies))
        StartProcedure(pass, *header, Scope::Member);
    else if (header->name)
        AddName(pass, Scope::Member, *header->name);
}

void ReadStatement(Pass& pass, const Statement& statement)
{
    Tokens t = statement.tokens;
    Block top = pass.blocks.empty() ? Block{BlockKind::Container, None} : pass.blocks.back();
    if (top.kind == BlockKind::Skipped) {
        if (ClosingWord(pass, t) == top.closer) pass.blocks.pop_back();
        return;
    }
    if (IsSymbol(t[0], '#')) return ReadDirective(pass, t);
    switch (top.kind) {
    case BlockKind::Record: return ReadRecordStatement(pass, statement);
    case BlockKind::Enum: return ReadEnumStatement(pass, statement);
    case BlockKind::Class: case BlockKind::Interface: return ReadClassStatement(pass, statement, top);
    default: return ReadCodeStatement(pass, statement);
    }
}

}  // namespace

FileDeclarations FindDeclarations(std::string_view text, const SourceRules& rules)
{
    FileDeclarations found;
    Pass pass{.rules = rules, .found = found};
    std::vector<Statement> statements;
    ReadLogicalLines(text, rules, [&](const LogicalLine& line) {
        pass.line = &line;
        SplitStatements(line, statements);
        for (const Statement& statement : statements) ReadStatement(pass, statement);
        pass.lastLineEnd = line.end;
    });
    PopBlocks(pass, 0, pass.lastLineEnd);  // a procedure still open ends with the code
    return found;
}

}  // namespace reference
