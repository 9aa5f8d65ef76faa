#include "line_reader.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "byte_classes_sse2.h"

namespace {

// Small enough that a short file touches little memory (every fresh page
// costs), large enough that reads and batches stay few.
constexpr size_t kReadChunk = 1 << 18;
constexpr char kCtrlZ = 0x1A;

// A buffer that grows but never clears its bytes: they are all read into
// before use, and zero-filling would touch every page of it for nothing.
struct ReadBuffer {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;

    char* data() { return bytes.get(); }

    // Grows to `wanted` bytes, keeping the first `kept`.
    void Grow(size_t wanted, size_t kept)
    {
        if (wanted <= size) return;
        std::unique_ptr<char[]> larger(new char[wanted]);
        if (kept > 0) std::memcpy(larger.get(), bytes.get(), kept);
        bytes = std::move(larger);
        size = wanted;
    }
};

// Calls onLineFeed(position) for each LF in text[from, to), in order: 64
// bytes at a time where SSE2 can be assumed (short lines make a call to
// memchr per line the larger cost), the rest with memchr.
template <typename OnLineFeed>
void ForEachLineFeed(const char* text, size_t from, size_t to, OnLineFeed&& onLineFeed)
{
#if defined(__SSE2__)
    for (; from + 64 <= to; from += 64) {
        uint64_t bits = 0;
        for (int k = 0; k < 4; ++k)
            bits |= uint64_t{recasor::BitsOf(recasor::Equal(recasor::Load16(text + from + 16 * k), '\n'))} << (16 * k);
        for (; bits != 0; bits &= bits - 1) onLineFeed(from + static_cast<size_t>(__builtin_ctzll(bits)));
    }
#endif
    while (auto* lineFeed = static_cast<const char*>(std::memchr(text + from, '\n', to - from))) {
        size_t at = static_cast<size_t>(lineFeed - text);
        onLineFeed(at);
        from = at + 1;
    }
}

size_t TrailingCarriageReturns(const char* text, size_t length, size_t atMost)
{
    size_t count = 0;
    while (count < atMost && count < length && text[length - 1 - count] == '\r') ++count;
    return count;
}

}  // namespace

LineReadResult ReadLines(std::FILE* input, const LineBatchHandler& onBatch)
{
    ReadBuffer buffer;
    buffer.Grow(kReadChunk + kReadableAfterBatch, 0);
    size_t lineStart = 0;  // first byte of the line being collected
    size_t filled = 0;     // bytes of the input held in the buffer
    size_t scanned = 0;    // bytes from lineStart on known to hold no LF
    bool inputEnded = false;
    LineBatch batch;

    for (;;) {
        batch.lines.clear();
        size_t from = lineStart > scanned ? lineStart : scanned;
        ForEachLineFeed(buffer.data(), from, filled, [&](size_t end) {
            size_t length = end - lineStart;
            length -= TrailingCarriageReturns(buffer.data() + lineStart, length, 2);
            batch.lines.push_back({lineStart, length});
            lineStart = end + 1;
        });
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
        if (buffer.size - filled < kReadChunk + kReadableAfterBatch) {
            // A line longer than the buffer: grow by half again, so that
            // a long line costs amortised linear time.
            size_t wanted = filled + kReadChunk + kReadableAfterBatch;
            buffer.Grow(wanted > buffer.size + buffer.size / 2 ? wanted : buffer.size + buffer.size / 2, filled);
        }

        size_t got = std::fread(buffer.data() + filled, 1, buffer.size - filled - kReadableAfterBatch, input);
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
