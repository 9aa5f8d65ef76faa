#pragma once
// Words a dialect reserves: no program can declare them, so a declaration
// that seems to name one is none, and they always keep the vocabulary's
// spelling. FreeBASIC's are the words its compiler reserves; for
// PowerBASIC no such list is at hand, and the declaration rules themselves
// keep its statements and types from being taken for names.

#include <string_view>

#include "vocabulary.h"

namespace recasor {

// `word` in lower case.
bool IsReservedWord(Dialect dialect, std::string_view word);

}  // namespace recasor
