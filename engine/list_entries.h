#pragma once
// Finding the entries of a word list body: runs of bytes between the
// separators (space, CR, LF, comma, semicolon). Only entries made entirely
// of word characters (in either letter case) can ever match a word of a
// line, so only those are reported.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "byte_classes_sse2.h"
#include "word_chars.h"

namespace recasor {

// For 64 bytes of a body: bit i set when byte i is a separator, and when it
// is neither a separator nor a word character.
struct ListBlockBits {
    uint64_t separators = 0;
    uint64_t others = 0;
};

// Classifies 64 readable bytes.
inline ListBlockBits ClassifyListBytes(const char* at)
{
    ListBlockBits bits;
#if defined(__SSE2__)
    for (int k = 0; k < 4; ++k) {
        __m128i bytes = Load16(at + 16 * k);
        __m128i separators = _mm_or_si128(_mm_or_si128(Equal(bytes, ' '), Equal(bytes, '\r')),
                                          _mm_or_si128(_mm_or_si128(Equal(bytes, '\n'), Equal(bytes, ',')), Equal(bytes, ';')));
        uint64_t separatorBits = BitsOf(separators);
        uint64_t wordBits = BitsOf(WordCharBytes(bytes));
        bits.separators |= separatorBits << (16 * k);
        bits.others |= (~(separatorBits | wordBits) & 0xFFFF) << (16 * k);
    }
#else
    for (int i = 0; i < 64; ++i) {
        char c = at[i];
        char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
        bool separator = c == ' ' || c == '\r' || c == '\n' || c == ',' || c == ';';
        bits.separators |= static_cast<uint64_t>(separator) << i;
        bits.others |= static_cast<uint64_t>(!separator && !IsWordChar(lower)) << i;
    }
#endif
    return bits;
}

// Classifies body[at, at + 64); bytes past the body's end count as separators.
ListBlockBits ClassifyListTail(std::string_view body, size_t at);

inline ListBlockBits ClassifyListBlock(std::string_view body, size_t at)
{
    return body.size() - at >= 64 ? ClassifyListBytes(body.data() + at) : ClassifyListTail(body, at);
}

// Calls onEntry(start, length) for each entry of word characters, in order.
template <typename OnEntry>
void ForEachWordEntry(std::string_view body, OnEntry&& onEntry)
{
    bool inEntry = false;
    bool clean = true;  // the entry so far holds word characters only
    size_t entryStart = 0;
    for (size_t block = 0; block < body.size(); block += 64) {
        ListBlockBits bits = ClassifyListBlock(body, block);
        unsigned position = 0;
        while (position < 64) {
            uint64_t ahead = ~0ull << position;
            if (inEntry) {
                uint64_t ends = bits.separators & ahead;
                uint64_t upTo = ends != 0 ? (ends & (0 - ends)) - 1 : ~0ull;
                clean &= (bits.others & ahead & upTo) == 0;
                if (ends == 0) break;
                position = static_cast<unsigned>(__builtin_ctzll(ends));
                if (clean) onEntry(entryStart, block + position - entryStart);
                inEntry = false;
            } else {
                uint64_t starts = ~bits.separators & ahead;
                if (starts == 0) break;
                position = static_cast<unsigned>(__builtin_ctzll(starts));
                entryStart = block + position;
                inEntry = true;
                clean = true;
            }
        }
    }
    if (inEntry && clean) onEntry(entryStart, body.size() - entryStart);
}

}  // namespace recasor
