#include "line_bitmaps.h"

#include "ascii.h"
#include "byte_classes_sse2.h"
#include "word_chars.h"

namespace recasor {

namespace {

uint64_t LowBitsMask(size_t bits) { return bits >= 64 ? ~0ull : (1ull << bits) - 1; }

#if defined(__SSE2__)
void Classify16(const char* at, uint32_t& wordBits, uint32_t& markBits)
{
    __m128i bytes = Load16(at);
    wordBits = BitsOf(WordCharBytes(bytes));
    markBits = BitsOf(_mm_or_si128(Equal(bytes, '"'), Equal(bytes, '\'')));
}
#endif

}  // namespace

void ClassifyText(const char* text, size_t length, size_t readable, LineBitmaps& maps)
{
    size_t blocks = length / 64 + 1;  // one 64-bit block of bits per 64 bytes
    if (blocks <= LineBitmaps::kInlineBlocks) {
        maps.wordChars = maps.inlineBits;
        maps.marks = maps.inlineBits + LineBitmaps::kInlineBlocks;
    } else {
        maps.heapBits.resize(2 * blocks);
        maps.wordChars = maps.heapBits.data();
        maps.marks = maps.heapBits.data() + blocks;
    }
    for (size_t block = 0; block < blocks; ++block) maps.wordChars[block] = maps.marks[block] = 0;

    size_t at = 0;
#if !defined(__SSE2__)
    (void)readable;  // the byte-wise path never reads past `length`
#else
    // 64 bytes at a time while they can be read ...
    for (; at < length && at + 64 <= readable; at += 64) {
        uint32_t words[4], marks[4];
        for (int k = 0; k < 4; ++k) Classify16(text + at + 16 * k, words[k], marks[k]);
        maps.wordChars[at / 64] = words[0] | (uint64_t{words[1]} << 16) | (uint64_t{words[2]} << 32) | (uint64_t{words[3]} << 48);
        maps.marks[at / 64] = marks[0] | (uint64_t{marks[1]} << 16) | (uint64_t{marks[2]} << 32) | (uint64_t{marks[3]} << 48);
    }
#endif
    // ... then 16 at a time; bytes read past the end are masked off below.
    for (; at < length; at += 16) {
        uint64_t wordBits = 0, markBits = 0;
#if defined(__SSE2__)
        if (at + 16 <= readable) {
            uint32_t blockWords, blockMarks;
            Classify16(text + at, blockWords, blockMarks);
            wordBits = blockWords;
            markBits = blockMarks;
        } else
#endif
        {
            size_t to = at + 16 < length ? at + 16 : length;
            for (size_t i = at; i < to; ++i) {
                wordBits |= static_cast<uint64_t>(IsWordChar(AsciiLower(text[i]))) << (i - at);
                markBits |= static_cast<uint64_t>(text[i] == '"' || text[i] == '\'') << (i - at);
            }
        }
        maps.wordChars[at / 64] |= wordBits << (at % 64);
        maps.marks[at / 64] |= markBits << (at % 64);
    }
    uint64_t keep = LowBitsMask(length % 64);
    maps.wordChars[length / 64] &= keep;
    maps.marks[length / 64] &= keep;
}

}  // namespace recasor
