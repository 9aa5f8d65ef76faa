#pragma once
// Finding the next byte of a small set, sixteen bytes at a time where the
// build may assume SSE2 (byte by byte elsewhere): what lets the source model
// pass over the long runs of bytes that start nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace recasor {

// The first position in [from, end) whose byte is one of Set..., or `end`.
// Bytes up to `readable` (at least `end`) may be read.
template <char... Set>
size_t FindFirstOf(const char* text, size_t from, size_t end, size_t readable)
{
    size_t i = from;
#if defined(__SSE2__)
    for (; i < end && i + 16 <= readable; i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(Set)))), ...);
        uint32_t bits = static_cast<uint32_t>(_mm_movemask_epi8(hits));
        if (bits != 0) return std::min(end, i + static_cast<size_t>(__builtin_ctz(bits)));
    }
#else
    (void)readable;
#endif
    for (; i < end; ++i)
        if (((text[i] == Set) || ...)) return i;
    return end;
}

template <char... Set>
size_t FindFirstOf(const char* text, size_t from, size_t end)
{
    return FindFirstOf<Set...>(text, from, end, end);
}

}  // namespace recasor
