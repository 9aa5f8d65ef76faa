#pragma once
// The lines of a text as bitmaps, one bit per byte: where each line starts
// and where its text ends. The conversion works from these, whichever way
// the lines were found.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "line_span.h"

namespace recasor {

// The lines of a block as bitmaps, one bit per byte: on the stack for a
// short text (a line of an editor, say), on the heap for a longer one. Not
// to be copied: the pointers lead into the record itself.
struct LineMarks {
    static constexpr size_t kInlineWords = 18;  // texts of up to 1087 bytes
    uint64_t* starts = nullptr;  // each line's first byte
    uint64_t* ends = nullptr;    // the byte after each line's text
    size_t textEnd = 0;          // the end of the last line
    size_t blockCount = 0;       // 64-byte blocks to scan: every one that holds a line byte or textEnd
    // From MarkLineFeedLines: the text ends of the lines whose line end is
    // not exactly CR LF (an LF alone, or the first of CR CR LF; the last
    // line's, when the text does not end with an LF, is not among them),
    // and whether every line ends in exactly CR LF.
    uint64_t* otherEnds = nullptr;
    bool allEndInCrLf = false;
    uint64_t inlineBits[3 * kInlineWords];
    std::vector<uint64_t> heapBits;

    LineMarks() = default;
    LineMarks(const LineMarks&) = delete;
    LineMarks& operator=(const LineMarks&) = delete;
};

// Marks the lines, which must be in ascending order with at least one byte
// (a line end) between two of them.
void MarkLines(const LineSpan* lines, size_t count, LineMarks& marks);

// Marks the lines of a text split at LF: one or two CRs right before an LF
// belong to the line end, any other CR is text. The last line may end
// without an LF; a CR that is then the text's last byte belongs to its line
// end. A text that ends with an LF has no empty line after it. `readable`
// (at least `length`) counts the bytes from `text` on that may be read.
// Runs the AVX2 build where the processor has it, as the word scan does.
void MarkLineFeedLines(const char* text, size_t length, size_t readable, LineMarks& marks);

// The two builds of MarkLineFeedLines, which mark the same lines.
namespace baseline {
void MarkLineFeedLines(const char* text, size_t length, size_t readable, LineMarks& marks);
}
#if defined(RECASOR_AVX2_SCAN)
namespace avx2 {
void MarkLineFeedLines(const char* text, size_t length, size_t readable, LineMarks& marks);
}
#endif

// For the marking routines: one bit of a bitmap.
inline void SetBit(uint64_t* bits, size_t position) { bits[position / 64] |= uint64_t{1} << (position % 64); }
inline void ClearBit(uint64_t* bits, size_t position) { bits[position / 64] &= ~(uint64_t{1} << (position % 64)); }

// For the marking routines: points the bitmaps at room for `blocks` 64-byte
// blocks and the one after (the scan looks at the next block's first bit);
// with `clear`, all bits clear, else only those of the block after.
void PrepareLineMarks(LineMarks& marks, size_t blocks, bool clear);

// Calls onLine(start, end) for each marked line, in order; the line's text
// is [start, end).
template <typename OnLine>
void ForEachMarkedLine(const LineMarks& marks, OnLine&& onLine)
{
    size_t words = marks.blockCount + 1;
    size_t endWord = 0;
    uint64_t endBits = words > 0 ? marks.ends[0] : 0;
    for (size_t word = 0; word < words; ++word) {
        for (uint64_t startBits = marks.starts[word]; startBits != 0; startBits &= startBits - 1) {
            while (endBits == 0 && endWord + 1 < words) endBits = marks.ends[++endWord];
            if (endBits == 0) return;
            size_t start = 64 * word + static_cast<size_t>(__builtin_ctzll(startBits));
            size_t end = 64 * endWord + static_cast<size_t>(__builtin_ctzll(endBits));
            endBits &= endBits - 1;
            onLine(start, end);
        }
    }
}

}  // namespace recasor
