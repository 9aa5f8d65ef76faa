#pragma once
// The keywords that shape a declaration: the statement words that start one,
// the words in its syntax slots (`As`, `ByVal`, `Ptr`), the ends of blocks,
// and the words that make a statement on their own (which no label is).
// Each belongs to the dialects that have it.

#include <cstdint>
#include <string_view>

#include "vocabulary.h"

namespace recasor {

enum class SyntaxWord : uint8_t {
    None,
    Abstract, Alias, As, Asm, ByRef, ByVal, Callback, Class, Common, Const, Constructor,
    Declare, Define, Destructor, Dim, End, EndMacro, Enum, Extern, FastProc, For, Function,
    Get, Global, Import, Include, Instance, Interface, Local, Macro, Method, Namespace, Once,
    Operator, Opt, Optional, Override, Pointer, Preserve, Private, Property, Protected, Ptr,
    Public, ReDim, Register, Set, Shared, Static, Sub, Thread, Threaded, Type, Union, Var,
    Virtual,
    Standalone,  // a word that is a statement of its own: Cls, Next, Loop, Else, Return...
};

// The keyword that `word` is in `dialect` (letter case aside), or None.
SyntaxWord SyntaxWordOf(std::string_view word, Dialect dialect);

// How `keyword` is written, in lower case; empty for None and Standalone.
std::string_view SpellingOf(SyntaxWord keyword);

}  // namespace recasor
