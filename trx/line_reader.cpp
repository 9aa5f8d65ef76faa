#include "line_reader.h"

#include <cstring>

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

LineReadResult ReadLines(std::FILE* input, const LineBatchHandler& onBatch)
{
    std::vector<char> buffer(kReadChunk + kReadableAfterBatch);
    size_t lineStart = 0;  // first byte of the line being collected
    size_t filled = 0;     // bytes of the input held in the buffer
    size_t scanned = 0;    // bytes from lineStart on known to hold no LF
    bool inputEnded = false;
    LineBatch batch;

    for (;;) {
        batch.lines.clear();
        size_t from = lineStart > scanned ? lineStart : scanned;
        while (auto* lineFeed = static_cast<char*>(std::memchr(buffer.data() + from, '\n', filled - from))) {
            size_t end = static_cast<size_t>(lineFeed - buffer.data());
            size_t length = end - lineStart;
            length -= TrailingCarriageReturns(buffer.data() + lineStart, length, 2);
            batch.lines.push_back({lineStart, length});
            lineStart = from = end + 1;
        }
        scanned = filled;
        if (!batch.lines.empty()) {
            size_t batchStart = batch.lines.front().start;
            for (recasor::LineSpan& line : batch.lines) line.start -= batchStart;
            batch.block = buffer.data() + batchStart;
            batch.blockLength = lineStart - batchStart;
            if (!onBatch(batch)) return LineReadResult::Stopped;
        }
        if (inputEnded) break;

        // Keep the unfinished line, make room for at least one more chunk.
        if (lineStart > 0) std::memmove(buffer.data(), buffer.data() + lineStart, filled - lineStart);
        filled -= lineStart;
        scanned -= lineStart;
        lineStart = 0;
        if (buffer.size() - filled < kReadChunk + kReadableAfterBatch) buffer.resize(filled + kReadChunk + kReadableAfterBatch);

        size_t got = std::fread(buffer.data() + filled, 1, buffer.size() - filled - kReadableAfterBatch, input);
        if (std::ferror(input)) return LineReadResult::ReadFailed;
        if (auto* ctrlZ = static_cast<char*>(std::memchr(buffer.data() + filled, kCtrlZ, got))) {
            got = static_cast<size_t>(ctrlZ - (buffer.data() + filled));
            inputEnded = true;
        }
        if (got == 0) inputEnded = true;
        filled += got;
    }

    if (filled > lineStart) {
        size_t length = filled - lineStart;
        batch.lines.assign(1, {0, length - TrailingCarriageReturns(buffer.data() + lineStart, length, 1)});
        batch.block = buffer.data() + lineStart;
        batch.blockLength = length;
        if (!onBatch(batch)) return LineReadResult::Stopped;
    }
    return LineReadResult::Complete;
}
