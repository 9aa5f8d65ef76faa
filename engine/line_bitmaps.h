#pragma once
// Bit-per-byte maps of a text (one line or a block of lines), so that the
// conversion can jump from word to word instead of testing every byte.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace recasor {

// Storage for the maps: on the stack for the usual short line, on the heap
// for a long line or a block.
struct LineBitmaps {
    static constexpr size_t kInlineBlocks = 16;  // lines of up to 1023 bytes
    uint64_t inlineBits[2 * kInlineBlocks];
    std::vector<uint64_t> heapBits;
    uint64_t* wordChars = nullptr;  // bit i: line[i] is a word character, in any case
    uint64_t* marks = nullptr;      // bit i: line[i] is a double quote or an apostrophe
};

// Fills both maps for text[0, length); bits from `length` on are clear.
// `readable` (at least `length`) says how many bytes from `text` on may be
// read; with 16 to spare the last bytes are classified like the others.
void ClassifyText(const char* text, size_t length, size_t readable, LineBitmaps& maps);

// The first position in [from, limit) whose bit is `wanted`, else limit.
template <bool wanted>
inline size_t NextBitOf(const uint64_t* bits, size_t from, size_t limit)
{
    constexpr uint64_t kFlip = wanted ? 0 : ~0ull;
    if (from >= limit) return limit;
    size_t block = from / 64;
    uint64_t pending = (bits[block] ^ kFlip) & (~0ull << (from % 64));
    while (pending == 0) {
        if (++block * 64 >= limit) return limit;
        pending = bits[block] ^ kFlip;
    }
    size_t found = block * 64 + static_cast<size_t>(__builtin_ctzll(pending));
    return found < limit ? found : limit;
}

inline size_t NextClearBit(const uint64_t* bits, size_t from, size_t limit) { return NextBitOf<false>(bits, from, limit); }
inline size_t NextSetBit(const uint64_t* bits, size_t from, size_t limit) { return NextBitOf<true>(bits, from, limit); }

}  // namespace recasor
