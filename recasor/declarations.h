#pragma once
// The names a BASIC program declares, where it declares them, and where
// each binds: in the whole file (and the files that include it or that it
// includes), inside one procedure, or after a `.` or `->` as a member of a
// record or class. One pass over the code of a text (see statement_tokens.h),
// keyword case-insensitive, with a stack of the blocks open (procedures,
// TYPE bodies, enums, classes) carried from statement to statement.
//
// What declares a name:
// - Variables and constants. FreeBASIC: Dim, ReDim, Static, Const, Var,
//   Common, Extern, Shared, in each form (`Dim x As T = 1, y(9) As T`,
//   `Dim As T Ptr a, b`, `Dim Shared`, `Dim ByRef`, `Const As Integer C = 3`,
//   `Var x = f(a, b)`). PowerBASIC: DIM, REDIM, LOCAL, GLOBAL, STATIC,
//   INSTANCE, THREADED, REGISTER (`LOCAL a, b AS LONG`). A ReDim declares
//   only a name not declared before it. `For i As Integer = ...` declares i.
// - Procedures: the name of a Sub, Function, Property (PowerBASIC: PROPERTY
//   GET|SET), Method, FastProc, of a `Declare`, and the parameters of a
//   procedure that has a body (a Declare's bind nowhere). Operators,
//   constructors and destructors have parameters but no name. `Sub T.m()`
//   declares the member m (a function of namespace N, `Sub N.f()`, declares
//   f at module level).
// - Types: Type, Union, Class (FreeBASIC), `Type A As B` aliases, TYPE,
//   UNION, CLASS, INTERFACE (PowerBASIC); Enum and its members (as names of
//   the scope the enum stands in); Namespace.
// - Members: the fields of a TYPE or UNION body (in all its forms, anonymous
//   nested unions and bit fields too), its `Declare`d procedures, static
//   members; the methods and properties of a PowerBASIC class or interface.
// - Macros and equates: #define, #macro (their parameters bind nowhere),
//   PowerBASIC MACRO (one line or a block; MACRO FUNCTION), %NAME and $NAME
//   (and $$NAME) equates, named with their sigil.
// - Labels: a word followed by `:` as the first thing on a line, unless it is
//   a statement of its own (`Cls:`, `Next:`).
// Scope: inside a procedure (from its header to its End line), names bind in
// it; everything else, and what GLOBAL, THREADED, INSTANCE, Common, Extern,
// Shared, equates and macros declare wherever they stand, binds at module
// level.
//
// Left out, on purpose or for want of real programs that need them:
// - Scope and With blocks: names declared in a Scope block bind in the
//   enclosing procedure or module; names inside macro bodies and Asm blocks
//   are not read.
// - PowerBASIC enum members are names of their own (`Red`), not the
//   `%Colors.Red` a program writes to use them; INSTANCE variables bind at
//   module level, not in their class alone.
// - Only whole words: a type suffix other than those that are word
//   characters (`x#`) is not part of the name.
// - Names declared on the line of a single-line If (`If a Then Dim b`), by
//   DEF FN, or through a macro's expansion.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "name_spelling.h"
#include "source_model.h"

namespace recasor {

// One declaring occurrence of a name.
struct Declaration {
    NameSpelling spelling;  // as written there, type suffix included (`x$`, `%ID_OK`)
    size_t offset;          // where it stands in the text
};

// The names local to one procedure.
struct ProcedureDeclarations {
    size_t begin;  // the start of its header's line
    size_t end;    // the end of its End line (before the line end); without an End, of the
                   // last line of code before the next procedure or the text's end
    std::vector<Declaration> names;  // parameters, variables, constants, labels, local types
    // A member of a type (`Sub T.m`, a constructor, a method of a class):
    // the type's members are names in it without a `This.`.
    bool method = false;
};

// #include "x.bi", #include once "x.bi", #INCLUDE "x.inc".
struct IncludeDirective {
    std::string name;  // as written between the quotes
    size_t offset;     // where the name starts in the text
};

struct FileDeclarations {
    std::vector<Declaration> moduleNames;  // bind in the whole file
    std::vector<Declaration> memberNames;  // bind after a `.` or `->`
    std::vector<ProcedureDeclarations> procedures;  // in the order of the text
    std::vector<IncludeDirective> includes;
    // The names of types (Type, Union, Enum, Class, Interface and aliases),
    // which a type's place (after `As`) takes; also listed where they bind.
    std::vector<Declaration> typeNames;
    // Declarations that bind nowhere and stay as written: a Declare's parameters.
    std::vector<Declaration> unboundNames;
};

// The declarations of `text`, a whole file (any line ends, maybe a UTF-8 byte
// order mark), in the order of the text. A name declared twice is listed
// twice: which spelling wins is the caller's choice.
FileDeclarations FindDeclarations(std::string_view text, const SourceRules& rules);

}  // namespace recasor
