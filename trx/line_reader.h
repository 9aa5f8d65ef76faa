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

// Past the end of every line handed out, at least this many more bytes of
// the buffer may be read (their values are unspecified).
inline constexpr size_t kReadableAfterLine = 16;

enum class LineReadResult { Complete, ReadFailed, Stopped };

// Calls `onLine` for each line with its text (without line end) in a
// writable buffer; `onLine` may change the bytes in place, and returns false
// to stop reading.
using LineHandler = std::function<bool(char* text, size_t length)>;

LineReadResult ReadLines(std::FILE* input, const LineHandler& onLine);
