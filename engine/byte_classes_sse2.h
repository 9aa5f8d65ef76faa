#pragma once
// The byte tests of the block scans, sixteen bytes at a time (SSE2). Only
// for builds that may assume SSE2; the others scan byte by byte.

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

namespace recasor {

// Bytes in [low, high], by a signed compare after shifting the range to the
// bottom of the signed byte range.
inline __m128i InRange(__m128i bytes, char low, char high)
{
    __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(low + 128)));
    return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(high - low - 127)));
}

inline __m128i Equal(__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); }

// Word characters in either letter case (see word_chars.h).
inline __m128i WordCharBytes(__m128i bytes)
{
    __m128i letters = InRange(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), 'a', 'z');
    __m128i digits = InRange(bytes, '0', '9');
    __m128i dollarToAmpersand = InRange(bytes, '$', '&');
    __m128i questionAndAt = InRange(bytes, '?', '@');
    __m128i singles = _mm_or_si128(_mm_or_si128(Equal(bytes, '!'), Equal(bytes, '.')), Equal(bytes, '_'));
    return _mm_or_si128(_mm_or_si128(letters, digits),
                        _mm_or_si128(_mm_or_si128(dollarToAmpersand, questionAndAt), singles));
}

inline __m128i Load16(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }

inline uint32_t BitsOf(__m128i bytes) { return static_cast<uint32_t>(_mm_movemask_epi8(bytes)); }

}  // namespace recasor

#endif
