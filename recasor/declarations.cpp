#include "declarations.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <unordered_set>
#include <utility>

#include "ascii.h"
#include "statement_tokens.h"
#include "syntax_words.h"

namespace recasor {

namespace {

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

bool SameLetters(std::string_view left, std::string_view right)
{
    if (left.size() != right.size()) return false;
    for (size_t i = 0; i < left.size(); ++i)
        if (AsciiLower(left[i]) != AsciiLower(right[i])) return false;
    return true;
}

// The module names declared so far by their letters in any case, for a
// ReDim to ask whether its name is declared: a table of indexes into the
// names, one for each name however often declared, brought up to date
// when one asks.
class KnownNames {
public:
    bool Contains(const std::vector<Declaration>& names, std::string_view name)
    {
        for (; indexed_ < names.size(); ++indexed_) {
            if (2 * (distinct_ + 1) > slots_.size()) Grow(names);
            size_t hash = Hash(names[indexed_].spelling);
            Slot& slot = Find(names, names[indexed_].spelling, hash);
            if (slot.index == 0) {
                slot = {hash, indexed_ + 1};
                ++distinct_;
            }
        }
        return !slots_.empty() && Find(names, name, Hash(name)).index != 0;
    }

private:
    struct Slot {
        size_t hash = 0;
        size_t index = 0;  // 1 + an index into the names, 0 where free
    };

    // The slot of `name`, or the free one where it would go.
    Slot& Find(const std::vector<Declaration>& names, std::string_view name, size_t hash)
    {
        size_t mask = slots_.size() - 1;
        size_t at = hash & mask;
        while (slots_[at].index != 0 &&
               (slots_[at].hash != hash || !SameLetters(names[slots_[at].index - 1].spelling, name)))
            at = (at + 1) & mask;
        return slots_[at];
    }

    static size_t Hash(std::string_view name)
    {
        uint64_t hash = 14695981039346656037ull;  // 64 bits on 32-bit targets too
        for (char c : name) hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
        return static_cast<size_t>(hash ^ (hash >> 29));
    }

    void Grow(const std::vector<Declaration>& names)
    {
        std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(std::max<size_t>(64, 2 * slots_.size())));
        for (const Slot& slot : old)
            if (slot.index != 0) Find(names, names[slot.index - 1].spelling, slot.hash) = slot;
    }

    std::vector<Slot> slots_;
    size_t distinct_ = 0;  // names in the table
    size_t indexed_ = 0;   // the names before this one are in the table
};

// The state of the pass over one text.
struct Pass {
    const SourceRules& rules;
    FileDeclarations& found;
    std::vector<Block> blocks{};
    std::vector<Declaration> locals{};  // the open procedure's names, until its end
    KnownNames moduleKnown{};           // which a ReDim does not declare again
    std::unordered_set<std::string> namespaces{};  // lower case
    const LogicalLine* line = nullptr;             // the line being read
    size_t lastLineEnd = 0;                        // where the line before it ended
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
    return i < t.size() ? KeywordOf(t[i], pass.rules.dialect) : None;
}

bool SymbolAt(Tokens t, size_t i, char symbol) { return i < t.size() && IsSymbol(t[i], symbol); }

// A word that a program may declare: it starts with a letter or _, holds
// no `.` (`p.x` is a member's use) and is no keyword of the syntax (`As`,
// `Ptr`, `Next`).
bool IsName(const Pass& pass, const Token& token)
{
    if (token.kind != TokenKind::Word || token.text.find('.') != std::string_view::npos) return false;
    char c = AsciiLower(token.text[0]);
    return ((c >= 'a' && c <= 'z') || c == '_') && KeywordOf(token, pass.rules.dialect) == None;
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
    Declaration declaration{spelling, offset};
    if (scope == Scope::Member) pass.found.memberNames.push_back(std::move(declaration));
    else if (scope == Scope::Current && OpenProcedure(pass)) pass.locals.push_back(std::move(declaration));
    else pass.found.moduleNames.push_back(std::move(declaration));
}

void AddName(Pass& pass, Scope scope, const Token& token) { AddName(pass, scope, token.text, token.offset); }

bool IsKnown(Pass& pass, std::string_view name)
{
    for (const Declaration& local : pass.locals)
        if (SameLetters(local.spelling, name)) return true;
    return pass.moduleKnown.Contains(pass.found.moduleNames, name);
}

// Closes the blocks from blocks[index] up; a procedure among them ends at
// `end`, and takes its names (in a list of their number).
void PopBlocks(Pass& pass, size_t index, size_t end)
{
    for (size_t i = index; i < pass.blocks.size(); ++i) {
        if (pass.blocks[i].kind != BlockKind::Procedure) continue;
        ProcedureDeclarations& procedure = pass.found.procedures[pass.blocks[i].procedure];
        procedure.end = end;
        procedure.names.assign(std::make_move_iterator(pass.locals.begin()), std::make_move_iterator(pass.locals.end()));
        pass.locals.clear();
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
    if (t.size() > 1 && IsName(pass, t[1])) {
        AddName(pass, nameScope, t[1]);
        if (kind != BlockKind::Container) pass.found.typeNames.push_back({t[1].text, t[1].offset});
    }
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
    bool typeOfOperator = false;  // `Operator T.Cast`: an operator of a type, before its parameters
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
        if (header.kind == Operator && t[i].kind == TokenKind::Word && t[i].text.find('.') != std::string_view::npos)
            header.typeOfOperator = true;
    }
    return header;
}

// Calls take(name) for each parameter's name.
template <typename Take>
void ForEachParameter(const Pass& pass, Tokens parameters, Take take)
{
    ForEachItem(parameters, 0, [&](Tokens item) {
        size_t i = 0;
        for (SyntaxWord word = WordAt(pass, item, i);
             word == ByVal || word == ByRef || word == Optional || word == Opt || word == Const;
             word = WordAt(pass, item, i))
            ++i;
        if (i < item.size() && IsName(pass, item[i])) take(item[i]);
    });
}

void ReadParameters(Pass& pass, Tokens parameters)
{
    ForEachParameter(pass, parameters, [&](const Token& name) { AddName(pass, Scope::Current, name); });
}

// A Declare's parameters bind nowhere, but are written as they stand.
void ReadDeclaredParameters(Pass& pass, Tokens parameters)
{
    ForEachParameter(pass, parameters,
                     [&](const Token& name) { pass.found.unboundNames.push_back({name.text, name.offset}); });
}

// Whether a procedure is a member of a type: a constructor or destructor,
// one named `T.m` (T no namespace), or one whose name binds as a member.
bool IsMethod(const Pass& pass, const ProcedureHeader& header, Scope nameScope)
{
    if (nameScope == Scope::Member || header.kind == Constructor || header.kind == Destructor) return true;
    if (header.name == nullptr) return header.kind == Operator && header.typeOfOperator;
    size_t dot = header.name->text.rfind('.');
    return dot != std::string_view::npos && !pass.namespaces.contains(Lower(header.name->text.substr(0, dot)));
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
    pass.found.procedures.push_back({pass.line->begin, pass.line->end, {}, IsMethod(pass, header, nameScope)});
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
    if (WordAt(pass, t, 2) != As) return OpenBlock(pass, t, BlockKind::Record, Scope::Current);
    AddName(pass, Scope::Current, t[1]);
    pass.found.typeNames.push_back({t[1].text, t[1].offset});
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
        if (!header->declaration) {
            StartProcedure(pass, *header, Scope::Module);
        } else {
            if (header->name) AddProcedureName(pass, *header->name, Scope::Module);
            ReadDeclaredParameters(pass, header->parameters);
        }
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
            return ReadDeclaredParameters(pass, header->parameters);
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
    if (!header->declaration && (block.kind == BlockKind::Class || block.withBodies)) {
        StartProcedure(pass, *header, Scope::Member);
        return;
    }
    if (header->name) AddName(pass, Scope::Member, *header->name);
    ReadDeclaredParameters(pass, header->parameters);
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

// --- Lines that say nothing ------------------------------------------------

// Whether the pass reads only the starts of statements where it stands:
// the body of a Type or an Enum is read whole.
bool ReadsStatementStartsOnly(const Pass& pass)
{
    return pass.blocks.empty() ||
           (pass.blocks.back().kind != BlockKind::Record && pass.blocks.back().kind != BlockKind::Enum);
}

size_t SkipBlanks(std::string_view text, size_t i)
{
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    return i;
}

// The keyword of the word at text[at], and where what follows it starts.
SyntaxWord KeywordAt(const Pass& pass, std::string_view text, size_t at, size_t& after)
{
    size_t end = WordEnd(text, at);
    after = SkipBlanks(text, end);
    return end > at && !IsNumberStart(text[at]) ? SyntaxWordOf(text.substr(at, end - at), pass.rules.dialect) : None;
}

// What follows End to close each kind of block (see Block::closer).
bool IsBlockCloser(SyntaxWord word)
{
    switch (word) {
    case Sub: case Function: case Property: case Operator: case Constructor: case Destructor: case Method:
    case FastProc: case Type: case Union: case Class: case Interface: case Enum: case Namespace: case Extern:
    case Macro: case EndMacro: case Asm:
        return true;
    default:
        return false;
    }
}

// Keywords by their first four letters (the fourth of a three-letter one is
// no letter), as bits hashed from those letters: a quick no for most words,
// before they are looked up; now and then a yes for a word that is none.
class KeywordStarts {
public:
    explicit KeywordStarts(std::initializer_list<SyntaxWord> words)
    {
        for (SyntaxWord word : words) {
            std::string_view spelling = SpellingOf(word);
            uint32_t key = 0;
            std::memcpy(&key, spelling.data(), std::min<size_t>(4, spelling.size()));
            if (spelling.size() == 3) Set(threes_, key);
            else Set(fours_, key);
        }
    }

    // Whether one of the keywords may start at text[at].
    bool MayStartAt(std::string_view text, size_t at) const
    {
        if (at + 4 > text.size()) return at + 3 <= text.size() && MayStartShort(text.substr(at, 3));
        uint32_t bytes;
        std::memcpy(&bytes, text.data() + at, 4);
        // ORing 0x20 lowers the letters and makes no other byte a letter.
        uint32_t lower = bytes | 0x20202020u;
        bool fourthIsLetter = static_cast<uint8_t>((lower >> 24) - 'a') < 26;
        return Test(fours_, lower) || (!fourthIsLetter && Test(threes_, lower & 0xFFFFFFu));
    }

private:
    static constexpr size_t kBits = 4096;
    using Bits = std::array<uint64_t, kBits / 64>;

    static size_t Hash(uint32_t key) { return (key * 0x9E3779B1u) >> 20; }  // 12 bits
    static void Set(Bits& bits, uint32_t key) { bits[Hash(key) / 64] |= uint64_t{1} << (Hash(key) % 64); }
    static bool Test(const Bits& bits, uint32_t key) { return bits[Hash(key) / 64] >> (Hash(key) % 64) & 1; }

    // Three bytes at the text's end.
    bool MayStartShort(std::string_view three) const
    {
        uint32_t key = 0;
        std::memcpy(&key, three.data(), 3);
        return Test(threes_, key | 0x202020u);
    }

    Bits fours_{};   // of the first four letters of the longer keywords
    Bits threes_{};  // of the keywords of three letters
};

// The keywords that start a statement the pass reads where it reads only
// the starts of statements (see ReadCodeStatement, ReadClassStatement and
// the ends of skipped blocks), and those that End closes a block with.
const KeywordStarts kStatementStarts{
    Abstract, Asm, Callback, Class, Common, Const, Constructor, Declare, Destructor, Dim, End, Enum, Extern,
    FastProc, For, Function, Global, Instance, Interface, Local, Macro, Method, Namespace, Operator, Override,
    Private, Property, Public, ReDim, Register, Shared, Static, Sub, Thread, Threaded, Type, Union, Var, Virtual,
};
const KeywordStarts kCloserStarts{Sub, Function, Property, Operator, Constructor, Destructor, Method, FastProc, Type,
                                  Union, Class, Interface, Enum, Namespace, Extern, Macro, EndMacro, Asm};

// MayMatter for a word at text[at] that its first letters did not turn away.
bool WordMayMatter(const Pass& pass, std::string_view text, size_t at, bool label)
{
    // End and a blank, the most frequent: what follows tells at once.
    if (at + 4 <= text.size() && (text[at] | 0x20) == 'e' && (text[at + 1] | 0x20) == 'n' &&
        (text[at + 2] | 0x20) == 'd' && (text[at + 3] == ' ' || text[at + 3] == '\t')) {
        size_t after = SkipBlanks(text, at + 3);
        return kCloserStarts.MayStartAt(text, after) && IsBlockCloser(KeywordAt(pass, text, after, after));
    }
    size_t after;
    SyntaxWord word = KeywordAt(pass, text, at, after);
    if (word == End) return kCloserStarts.MayStartAt(text, after) && IsBlockCloser(KeywordAt(pass, text, after, after));
    if (word == For) {
        // For i As Integer, not For i = 1.
        if (after == text.size() || !IsTokenWordByte(text[after]) || IsNumberStart(text[after])) return false;
        size_t as = SkipBlanks(text, WordEnd(text, after));
        return KeywordAt(pass, text, as, as) == As;
    }
    if (word != None && word != Standalone) return true;
    return label && after < text.size() && text[after] == ':';
}

// Whether a statement that may start at text[at], of a plain line, may do
// anything to the pass: a directive, an equate, a label (where it starts
// the line, and the line holds a colon), a statement word other than those
// that stand alone, an End of a block, a For that declares its variable.
inline bool MayMatter(const Pass& pass, std::string_view text, size_t at, bool label)
{
    char c = text[at];
    if (c == '#' || c == '%' || c == '$') return true;
    if (!IsTokenWordByte(c) || (!label && !kStatementStarts.MayStartAt(text, at))) return false;
    return WordMayMatter(pass, text, at, label);
}

bool AnyMayMatter(const Pass& pass, std::string_view text, const LineSkim& skim)
{
    for (size_t i = 0; i < skim.headCount; ++i)
        if (MayMatter(pass, text, skim.heads[i], i == 0 && skim.colons)) return true;
    return false;
}

}  // namespace

FileDeclarations FindDeclarations(std::string_view text, const SourceRules& rules)
{
    FileDeclarations found;
    Pass pass{.rules = rules, .found = found};
    LineReader reader(text, rules);
    LineSkim skim;
    LogicalLine line;
    std::vector<Statement> statements;
    auto matters = [&](size_t first) { return MayMatter(pass, text, first, false); };
    while (!reader.AtEnd()) {
        bool read = false;  // whether `line` holds the next logical line's tokens
        if (ReadsStatementStartsOnly(pass)) {
            LineReader::Stop stop = reader.PassQuietLines(matters, pass.lastLineEnd);
            if (stop == LineReader::Stop::End) break;
            if (stop == LineReader::Stop::Quiet) {
                if (!reader.ReadQuiet(line)) continue;
                read = true;
            }
        }
        if (!read) {
            reader.Skim(skim);
            if (skim.plain) {
                if (!skim.hasCode || (ReadsStatementStartsOnly(pass) && !AnyMayMatter(pass, text, skim))) {
                    if (skim.hasCode) pass.lastLineEnd = skim.end;
                    reader.Pass(skim);
                    continue;
                }
                if (!reader.Read(skim, line)) continue;
            } else if (!reader.Read(line)) {
                continue;
            }
        }
        pass.line = &line;
        SplitStatements(line, statements);
        for (const Statement& statement : statements) ReadStatement(pass, statement);
        pass.lastLineEnd = line.end;
    }
    PopBlocks(pass, 0, pass.lastLineEnd);  // a procedure still open ends with the code
    // Lists no longer than what they hold.
    found.moduleNames.shrink_to_fit();
    found.memberNames.shrink_to_fit();
    found.procedures.shrink_to_fit();
    found.includes.shrink_to_fit();
    return found;
}

}  // namespace recasor
