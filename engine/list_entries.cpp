#include "list_entries.h"

#include <cstring>

#include "byte_classes_sse2.h"
#include "word_chars.h"

namespace recasor {

namespace {


#if defined(__SSE2__)
ListBlockBits Classify64(const char* at)
{
    ListBlockBits bits;
    for (int k = 0; k < 4; ++k) {
        __m128i bytes = Load16(at + 16 * k);
        __m128i separators = _mm_or_si128(_mm_or_si128(Equal(bytes, ' '), Equal(bytes, '\r')),
                                          _mm_or_si128(_mm_or_si128(Equal(bytes, '\n'), Equal(bytes, ',')), Equal(bytes, ';')));
        uint64_t separatorBits = BitsOf(separators);
        uint64_t wordBits = BitsOf(WordCharBytes(bytes));
        bits.separators |= separatorBits << (16 * k);
        bits.others |= (~(separatorBits | wordBits) & 0xFFFF) << (16 * k);
    }
    return bits;
}
#else
ListBlockBits Classify64(const char* at)
{
    ListBlockBits bits;
    for (int i = 0; i < 64; ++i) {
        char c = at[i];
        char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
        bool separator = c == ' ' || c == '\r' || c == '\n' || c == ',' || c == ';';
        bits.separators |= static_cast<uint64_t>(separator) << i;
        bits.others |= static_cast<uint64_t>(!separator && !IsWordChar(lower)) << i;
    }
    return bits;
}
#endif

}  // namespace

ListBlockBits ClassifyListBlock(std::string_view body, size_t at)
{
    if (body.size() - at >= 64) return Classify64(body.data() + at);
    char padded[64];
    std::memset(padded, ' ', sizeof padded);
    std::memcpy(padded, body.data() + at, body.size() - at);
    return Classify64(padded);
}

}  // namespace recasor
