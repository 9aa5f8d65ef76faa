#pragma once
// Cutting a source text into lines for recasor, which gives back every byte
// it was given: LF, CR LF and a lone CR each end a line (as in Scintilla and
// in old Mac files), so a comment or string never runs on past a lone CR.

#include <string_view>
#include <vector>

#include "line_span.h"

namespace recasor {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The lines of `text` without their line ends, in order. A UTF-8 byte order
// mark at the very start belongs to no line, so the first line starts after
// it. A text that ends with a line end has no empty line after it.
std::vector<LineSpan> SplitLines(std::string_view text);

}  // namespace recasor
