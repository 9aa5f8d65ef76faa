#pragma once
// A unified diff between a source text and its conversion. The conversion
// changes letter case only, so line i of one is line i of the other and no
// alignment search is needed. Lines are shown without their line ends, each
// ended by LF, with three lines of context.

#include <string>
#include <string_view>

namespace recasor {

// "" when the texts are equal. `before` and `after` must have the same
// length and the same line ends.
std::string UnifiedDiff(std::string_view name, std::string_view before, std::string_view after);

}  // namespace recasor
