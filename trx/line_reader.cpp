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

// The last LF of text[0, length), or nullptr: sixteen bytes at a time from
// the end where SSE2 can be assumed (memrchr is not everywhere).
const char* FindLastLineFeed(const char* text, size_t length)
{
    size_t end = length;
#if defined(__SSE2__)
    for (; end >= 16; end -= 16) {
        uint32_t bits = recasor::BitsOf(recasor::Equal(recasor::Load16(text + end - 16), '\n'));
        if (bits != 0) return text + end - 16 + (31 - __builtin_clz(bits));
    }
#endif
    while (end > 0)
        if (text[--end] == '\n') return text + end;
    return nullptr;
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
        size_t from = lineStart > scanned ? lineStart : scanned;
        const char* lastLineFeed = FindLastLineFeed(buffer.data() + from, filled - from);
        scanned = filled;
        if (lastLineFeed != nullptr) {
            size_t end = static_cast<size_t>(lastLineFeed - buffer.data()) + 1;
            batch.block = buffer.data() + lineStart;
            batch.blockLength = end - lineStart;
            lineStart = end;
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
        batch.block = buffer.data() + lineStart;
        batch.blockLength = filled - lineStart;
        if (!onBatch(batch)) return LineReadResult::Stopped;
    }
    return LineReadResult::Complete;
}
