// Marking the lines of a text split at LF, from its LF and CR bytes. Built
// once for any processor and, where the build allows, once more with AVX2
// (RECASOR_SCAN_BUILD_AVX2), each in its own namespace, as the word scan is.

#include "line_marks.h"

#include "byte_classes_sse2.h"
#include "scan_build.h"

namespace recasor::RECASOR_SCAN_BUILD {

namespace {

// The LFs and CRs among `count` bytes (at most 64).
void FindLineEndBytes(const char* at, size_t count, uint64_t& lineFeeds, uint64_t& carriageReturns)
{
    lineFeeds = carriageReturns = 0;
    size_t i = 0;
#if defined(RECASOR_SCAN_BUILD_AVX2)
    for (; i + 32 <= count; i += 32) {
        __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + i));
        auto bitsOf = [](__m256i matches) { return uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(matches))}; };
        lineFeeds |= bitsOf(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\n'))) << i;
        carriageReturns |= bitsOf(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\r'))) << i;
    }
#endif
#if defined(__SSE2__)
    for (; i + 16 <= count; i += 16) {
        __m128i bytes = Load16(at + i);
        lineFeeds |= uint64_t{BitsOf(Equal(bytes, '\n'))} << i;
        carriageReturns |= uint64_t{BitsOf(Equal(bytes, '\r'))} << i;
    }
#endif
    for (; i < count; ++i) {
        lineFeeds |= uint64_t{at[i] == '\n'} << i;
        carriageReturns |= uint64_t{at[i] == '\r'} << i;
    }
}

// The LFs and CRs of block `block` of the text; none past `length`.
inline void FindBlockLineEndBytes(const char* text, size_t length, size_t readable, size_t block,
                                  uint64_t& lineFeeds, uint64_t& carriageReturns)
{
    size_t base = 64 * block;
    if (base >= length) {
        lineFeeds = carriageReturns = 0;
        return;
    }
    size_t count = length - base < 64 ? length - base : 64;
    if (count == 64 || base + 64 > readable) {
        FindLineEndBytes(text + base, count, lineFeeds, carriageReturns);
        return;
    }
    // Read the whole block, keep the bits of the text's bytes.
    uint64_t keep = (uint64_t{1} << count) - 1;
    FindLineEndBytes(text + base, 64, lineFeeds, carriageReturns);
    lineFeeds &= keep;
    carriageReturns &= keep;
}

}  // namespace

void MarkLineFeedLines(const char* text, size_t length, size_t readable, LineMarks& marks)
{
    size_t blocks = length / 64 + 1;
    PrepareLineMarks(marks, blocks, false);  // every block's bits are written below
    // Block by block, where lines start and their texts end, from the LFs
    // and CRs of the block and of the next one.
    uint64_t lineFeeds, carriageReturns;
    FindBlockLineEndBytes(text, length, readable, 0, lineFeeds, carriageReturns);
    uint64_t lineFeedBefore = 1;  // the text's start counts as after an LF
    uint64_t carriageReturnBefore = 0;
    uint64_t anyOtherEnd = 0;
    for (size_t block = 0; block < blocks; ++block) {
        uint64_t nextLineFeeds, nextCarriageReturns;
        FindBlockLineEndBytes(text, length, readable, block + 1, nextLineFeeds, nextCarriageReturns);
        uint64_t afterCr = (carriageReturns << 1) | carriageReturnBefore;
        uint64_t beforeLf = (lineFeeds >> 1) | (nextLineFeeds << 63);
        uint64_t twoBeforeLf = (lineFeeds >> 2) | (nextLineFeeds << 62);
        uint64_t beforeCr = (carriageReturns >> 1) | (nextCarriageReturns << 63);
        uint64_t lineFeedAlone = lineFeeds & ~afterCr;
        uint64_t crLf = carriageReturns & beforeLf & ~afterCr;
        uint64_t crCrLf = carriageReturns & beforeCr & twoBeforeLf;  // the first of the two CRs ends the text
        marks.otherEnds[block] = lineFeedAlone | crCrLf;
        anyOtherEnd |= lineFeedAlone | crCrLf;
        marks.starts[block] = (lineFeeds << 1) | lineFeedBefore;
        marks.ends[block] = lineFeedAlone | crLf | crCrLf;
        lineFeedBefore = lineFeeds >> 63;
        carriageReturnBefore = carriageReturns >> 63;
        lineFeeds = nextLineFeeds;
        carriageReturns = nextCarriageReturns;
    }
    bool endsWithLineFeed = length > 0 && text[length - 1] == '\n';
    if (endsWithLineFeed || length == 0) {
        ClearBit(marks.starts, length);  // no line after the last LF
    } else {
        SetBit(marks.ends, length - (text[length - 1] == '\r' ? 1 : 0));
    }
    marks.allEndInCrLf = anyOtherEnd == 0 && (endsWithLineFeed || length == 0);
    // The last line's end: the highest bit of `ends`.
    marks.textEnd = 0;
    for (size_t block = blocks; block-- > 0;) {
        if (marks.ends[block] != 0) {
            marks.textEnd = 64 * block + 63 - static_cast<size_t>(__builtin_clzll(marks.ends[block]));
            break;
        }
    }
    marks.blockCount = marks.textEnd / 64 + 1;
}

}  // namespace recasor::RECASOR_SCAN_BUILD
