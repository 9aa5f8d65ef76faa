#pragma once
// Reading a source file in blocks of whole lines, the same on every
// platform.
//
// A line ends at LF (how CRs before it count is the engine's to say: see
// MarkLineFeedLines). A Ctrl-Z byte ends the input. Every other byte, NUL
// included, is passed through. Lines of any length are delivered whole;
// memory grows only with the longest line, never with the file.

#include <cstddef>
#include <cstdio>
#include <functional>

// Past the end of every batch, at least this many more bytes of the buffer
// may be read (their values are unspecified).
inline constexpr size_t kReadableAfterBatch = 16;

// The complete lines of one read, in a writable buffer: every block but
// the input's last ends with an LF; the last holds the rest of the input.
struct LineBatch {
    char* block = nullptr;
    size_t blockLength = 0;
};

enum class LineReadResult { Complete, ReadFailed, Stopped };

// Calls `onBatch` for each batch of lines, in order; it may change the
// bytes of the block, and returns false to stop reading.
using LineBatchHandler = std::function<bool(LineBatch& batch)>;

LineReadResult ReadLines(std::FILE* input, const LineBatchHandler& onBatch);
