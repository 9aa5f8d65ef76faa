#pragma once
// Reading a source file as BASIC lines, the same on every platform.
//
// A line ends at LF; one or two CRs right before the LF belong to the line
// end, and so does a CR that is the last byte of the input. Any other CR is
// text. A Ctrl-Z byte ends the input. The last line needs no line end; an
// input that ends with a line end has no empty line after it. Every other
// byte, NUL included, is passed through. Lines of any length are delivered
// whole; memory grows only with the longest line, never with the file.

#include <cstddef>
#include <cstdio>
#include <functional>
#include <vector>

#include "line_span.h"

// Past the end of every batch, at least this many more bytes of the buffer
// may be read (their values are unspecified).
inline constexpr size_t kReadableAfterBatch = 16;

// The complete lines of one read, in a writable buffer: `block` holds them
// back to back, each followed by its line end (only the input's last line
// may have none); `lines` gives each line's text within the block.
struct LineBatch {
    char* block = nullptr;
    size_t blockLength = 0;
    std::vector<recasor::LineSpan> lines;
};

enum class LineReadResult { Complete, ReadFailed, Stopped };

// Calls `onBatch` for each batch of lines, in order; it may change the
// bytes of the block, and returns false to stop reading.
using LineBatchHandler = std::function<bool(LineBatch& batch)>;

LineReadResult ReadLines(std::FILE* input, const LineBatchHandler& onBatch);
