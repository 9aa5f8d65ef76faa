#include "line_reader.h"

#include <cstring>
#include <vector>

namespace {

constexpr size_t kReadChunk = 1 << 20;
constexpr char kCtrlZ = 0x1A;

size_t TrailingCarriageReturns(const char* text, size_t length, size_t atMost)
{
    size_t count = 0;
    while (count < atMost && count < length && text[length - 1 - count] == '\r') ++count;
    return count;
}

}  // namespace

LineReadResult ReadLines(std::FILE* input, const LineHandler& onLine)
{
    std::vector<char> buffer(kReadChunk + kReadableAfterLine);
    size_t lineStart = 0;  // first byte of the line being collected
    size_t filled = 0;     // bytes of the input held in the buffer
    size_t scanned = 0;    // bytes already known to hold no LF
    bool inputEnded = false;

    for (;;) {
        auto* lineFeed = static_cast<char*>(std::memchr(buffer.data() + scanned, '\n', filled - scanned));
        if (lineFeed != nullptr) {
            size_t end = static_cast<size_t>(lineFeed - buffer.data());
            char* text = buffer.data() + lineStart;
            size_t length = end - lineStart;
            length -= TrailingCarriageReturns(text, length, 2);
            if (!onLine(text, length)) return LineReadResult::Stopped;
            lineStart = scanned = end + 1;
            continue;
        }
        if (inputEnded) break;

        // Keep the unfinished line, make room for at least one more chunk.
        if (lineStart > 0) std::memmove(buffer.data(), buffer.data() + lineStart, filled - lineStart);
        filled -= lineStart;
        scanned = filled;
        lineStart = 0;
        if (buffer.size() - filled < kReadChunk + kReadableAfterLine) buffer.resize(filled + kReadChunk + kReadableAfterLine);

        size_t got = std::fread(buffer.data() + filled, 1, buffer.size() - filled - kReadableAfterLine, input);
        if (std::ferror(input)) return LineReadResult::ReadFailed;
        if (auto* ctrlZ = static_cast<char*>(std::memchr(buffer.data() + filled, kCtrlZ, got))) {
            got = static_cast<size_t>(ctrlZ - (buffer.data() + filled));
            inputEnded = true;
        }
        if (got == 0) inputEnded = true;
        filled += got;
    }

    if (filled > lineStart) {
        char* text = buffer.data() + lineStart;
        size_t length = filled - lineStart;
        length -= TrailingCarriageReturns(text, length, 1);
        if (!onLine(text, length)) return LineReadResult::Stopped;
    }
    return LineReadResult::Complete;
}
