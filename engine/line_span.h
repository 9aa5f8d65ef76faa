#pragma once
// One line of a text block, without its line end.

#include <cstddef>

namespace recasor {

// The line's text is block[start, start + length).
struct LineSpan {
    size_t start;
    size_t length;
};

}  // namespace recasor
