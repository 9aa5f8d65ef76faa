#pragma once
// The declaration pass as first written, for the tests to compare the fast
// one against (see declarations.h for what it finds).

#include <string_view>

#include "declarations.h"

namespace reference {

recasor::FileDeclarations FindDeclarations(std::string_view text, const recasor::SourceRules& rules);

}  // namespace reference
