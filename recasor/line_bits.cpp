#include "line_bits.h"

#include "bit_arithmetic.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(RECASOR_AVX2_SCAN)
#include <immintrin.h>

#include "word_scan.h"
#endif

namespace recasor {

namespace {

// One bit per byte of a 64-byte block, for each class the marking needs.
struct Classes {
    uint64_t lineEnd = 0;  // LF, CR
    uint64_t blank = 0;    // space, tab
    uint64_t loud = 0;     // a colon, a _ with no letter on either side, /' where block comments count
};

bool IsLetter(char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26; }

// Bytes [at, at + count) of the text, of which at[-1] and at[count] (where
// they are in the text) are neighbours.
Classes ClassifyBytes(std::string_view text, size_t at, size_t count, bool blockComments)
{
    Classes bits;
    for (size_t i = 0; i < count; ++i) {
        size_t k = at + i;
        char c = text[k];
        uint64_t bit = uint64_t{1} << i;
        bool letterBefore = k > 0 && IsLetter(text[k - 1]);
        bool letterAfter = k + 1 < text.size() && IsLetter(text[k + 1]);
        bits.lineEnd |= c == '\n' || c == '\r' ? bit : 0;
        bits.blank |= c == ' ' || c == '\t' ? bit : 0;
        bool loud = c == ':' || (c == '_' && !letterBefore && !letterAfter) ||
                    (blockComments && c == '\'' && k > 0 && text[k - 1] == '/');
        bits.loud |= loud ? bit : 0;
    }
    return bits;
}

#if defined(__SSE2__)
inline __m128i Is(__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); }
inline uint64_t MaskOf(__m128i bytes) { return static_cast<uint32_t>(_mm_movemask_epi8(bytes)); }
// a to z in either case: (byte | 0x20) - 'a' below 26, as signed bytes compare.
inline __m128i Letters(__m128i bytes)
{
    return _mm_cmplt_epi8(_mm_sub_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), _mm_set1_epi8(static_cast<char>('a' + 128))),
                          _mm_set1_epi8(static_cast<char>(26 - 128)));
}

// The 64 bytes from `at`, which has a byte before it and one after.
template <bool kBlockComments>
Classes Classify(const char* at)
{
    Classes bits;
    for (int k = 0; k < 4; ++k) {
        const char* from = at + 16 * k;
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from - 1));
        __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 1));
        __m128i lonely = _mm_andnot_si128(_mm_or_si128(Letters(before), Letters(after)), Is(bytes, '_'));
        __m128i loud = _mm_or_si128(Is(bytes, ':'), lonely);
        if constexpr (kBlockComments) loud = _mm_or_si128(loud, _mm_and_si128(Is(bytes, '\''), Is(before, '/')));
        int shift = 16 * k;
        bits.lineEnd |= MaskOf(_mm_or_si128(Is(bytes, '\n'), Is(bytes, '\r'))) << shift;
        bits.blank |= MaskOf(_mm_or_si128(Is(bytes, ' '), Is(bytes, '\t'))) << shift;
        bits.loud |= MaskOf(loud) << shift;
    }
    return bits;
}
#endif

#if defined(RECASOR_AVX2_SCAN)
__attribute__((target("avx2"))) inline __m256i Is256(__m256i bytes, char c)
{
    return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(c));
}
__attribute__((target("avx2"))) inline uint64_t MaskOf256(__m256i bytes)
{
    return static_cast<uint32_t>(_mm256_movemask_epi8(bytes));
}
__attribute__((target("avx2"))) inline __m256i Letters256(__m256i bytes)
{
    __m256i folded = _mm256_sub_epi8(_mm256_or_si256(bytes, _mm256_set1_epi8(0x20)), _mm256_set1_epi8(static_cast<char>('a' + 128)));
    return _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(26 - 128)), folded);
}

template <bool kBlockComments>
__attribute__((target("avx2"))) Classes Classify256(const char* at)
{
    Classes bits;
    for (int k = 0; k < 2; ++k) {
        const char* from = at + 32 * k;
        __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
        __m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from - 1));
        __m256i after = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 1));
        __m256i lonely = _mm256_andnot_si256(_mm256_or_si256(Letters256(before), Letters256(after)), Is256(bytes, '_'));
        __m256i loud = _mm256_or_si256(Is256(bytes, ':'), lonely);
        if constexpr (kBlockComments) loud = _mm256_or_si256(loud, _mm256_and_si256(Is256(bytes, '\''), Is256(before, '/')));
        int shift = 32 * k;
        bits.lineEnd |= MaskOf256(_mm256_or_si256(Is256(bytes, '\n'), Is256(bytes, '\r'))) << shift;
        bits.blank |= MaskOf256(_mm256_or_si256(Is256(bytes, ' '), Is256(bytes, '\t'))) << shift;
        bits.loud |= MaskOf256(loud) << shift;
    }
    return bits;
}
#endif

// Marks the stretch from `base`, each full block classified by `classify`.
template <bool kBlockComments, typename Classifier>
__attribute__((always_inline)) inline void MarkWith(std::string_view text, size_t base, LineBits& bits,
                                                     Classifier classify)
{
    bits.base = base;
    bits.end = std::min(text.size(), base + 64 * LineBits::kBlocks);
    // What one block hands on to the next; the stretch starts a line.
    uint64_t lineEndBefore = 1, blankCarry = 0;
    for (size_t block = 0; block < LineBits::kBlocks; ++block) {
        size_t at = base + 64 * block;
        if (at >= bits.end) {
            bits.lineEnds[block] = ~uint64_t{0};
            bits.firsts[block] = bits.loud[block] = bits.events[block] = 0;
            continue;
        }
        size_t count = std::min<size_t>(64, bits.end - at);
        // Read well ahead: a stretch starts anywhere in a page, where the
        // processor's own reading ahead stops.
        if (at + 1024 < text.size()) __builtin_prefetch(text.data() + at + 1024);
        // The wide loads read a byte before the block and one after.
        bool wide = count == 64 && at > 0 && at + 65 <= text.size();
        Classes c = wide ? classify(text.data() + at) : ClassifyBytes(text, at, count, kBlockComments);
        uint64_t valid = count == 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
        uint64_t lineEnd = c.lineEnd | ~valid;
        uint64_t starts = ((lineEnd << 1) | lineEndBefore) & ~lineEnd;
        lineEndBefore = lineEnd >> 63;

        // Each line's first byte other than a blank: the carry of the blanks
        // plus the line starts among them stops there.
        uint64_t leading = starts & c.blank;
        uint64_t carried = AddWithCarry(c.blank, leading, blankCarry) ^ c.blank ^ leading;

        uint64_t firsts = ((starts & ~c.blank) | carried) & ~c.blank & ~lineEnd;
        bits.lineEnds[block] = lineEnd;
        bits.firsts[block] = firsts;
        bits.loud[block] = c.loud & valid;
        bits.events[block] = firsts | (c.loud & valid);
    }
}

template <bool kBlockComments>
void MarkBytewise(std::string_view text, size_t base, LineBits& bits)
{
    MarkWith<kBlockComments>(text, base, bits,
                             [&](const char* at) { return ClassifyBytes(text, at - text.data(), 64, kBlockComments); });
}

#if defined(__SSE2__)
template <bool kBlockComments>
void MarkSse2(std::string_view text, size_t base, LineBits& bits)
{
    MarkWith<kBlockComments>(text, base, bits, Classify<kBlockComments>);
}
#endif

#if defined(RECASOR_AVX2_SCAN)
template <bool kBlockComments>
__attribute__((target("avx2"))) void MarkAvx2(std::string_view text, size_t base, LineBits& bits)
{
    MarkWith<kBlockComments>(text, base, bits, Classify256<kBlockComments>);
}
#endif

}  // namespace

bool HasLineBitsBuild(LineBitsBuild build)
{
    switch (build) {
    case LineBitsBuild::Bytes: return true;
#if defined(__SSE2__)
    case LineBitsBuild::Sse2: return true;
#endif
#if defined(RECASOR_AVX2_SCAN)
    case LineBitsBuild::Avx2: return ScanUsesAvx2();
#endif
    default: return false;
    }
}

void MarkLineBits(std::string_view text, size_t base, const SourceRules& rules, LineBits& bits, LineBitsBuild build)
{
    bool blockComments = rules.blockComments;
    switch (build) {
#if defined(RECASOR_AVX2_SCAN)
    case LineBitsBuild::Avx2: return blockComments ? MarkAvx2<true>(text, base, bits) : MarkAvx2<false>(text, base, bits);
#endif
#if defined(__SSE2__)
    case LineBitsBuild::Sse2: return blockComments ? MarkSse2<true>(text, base, bits) : MarkSse2<false>(text, base, bits);
#endif
    default: return blockComments ? MarkBytewise<true>(text, base, bits) : MarkBytewise<false>(text, base, bits);
    }
}

void MarkLineBits(std::string_view text, size_t base, const SourceRules& rules, LineBits& bits)
{
    static const LineBitsBuild fastest = HasLineBitsBuild(LineBitsBuild::Avx2)   ? LineBitsBuild::Avx2
                                         : HasLineBitsBuild(LineBitsBuild::Sse2) ? LineBitsBuild::Sse2
                                                                                 : LineBitsBuild::Bytes;
    MarkLineBits(text, base, rules, bits, fastest);
}

}  // namespace recasor
