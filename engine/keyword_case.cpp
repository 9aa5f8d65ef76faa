#include "keyword_case.h"

#include <cstring>

#include "byte_classes_sse2.h"
#include "vocabulary.h"
#include "word_scan.h"

namespace recasor {

namespace {

// Writes the spelling over the word of `length` bytes at `word`, exactly its
// bytes.
void WriteSpelling(char* word, const char* spelling, size_t length) { std::memcpy(word, spelling, length); }

// Converts one word the plain way: looked up through the index's routine,
// written byte for byte.
void ConvertWordPlainly(char* block, size_t start, size_t end, size_t readable, const WordIndex& index)
{
    if (const char* spelling = FindInWordIndex(index, block + start, end - start, readable - start))
        WriteSpelling(block + start, spelling, end - start);
}

#if defined(__SSE2__)
struct LengthMasks {
    alignas(16) uint8_t bytes[kShortWord + 1][16];  // 0xFF in the first n bytes
};

constexpr LengthMasks MakeLengthMasks()
{
    LengthMasks masks{};
    for (size_t n = 0; n <= kShortWord; ++n)
        for (size_t i = 0; i < n; ++i) masks.bytes[n][i] = 0xFF;
    return masks;
}

constexpr LengthMasks kLengthMasks = MakeLengthMasks();

inline __m128i LengthMask(size_t length) { return _mm_load_si128(reinterpret_cast<const __m128i*>(kLengthMasks.bytes[length])); }

// A folded key held in a vector, as the index's two halves.
inline word_index_detail::FoldedWord HalvesOf(__m128i key)
{
    word_index_detail::FoldedWord folded;
    folded.head0 = static_cast<uint64_t>(_mm_cvtsi128_si64(key));
    folded.head1 = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(key, key)));
    return folded;
}

// All ones for a nonzero value below 2^31, else zero, computed so that the
// compiler cannot turn it into a branch on the value: the empty assembly
// statement hides what the result is made of.
inline uint32_t AllOnesUnlessZero(uint32_t value)
{
    uint32_t mask = 0u - ((0u - value) >> 31);
    asm("" : "+r"(mask));
    return mask;
}

// A word that the fast path leaves for later: its spelling is written after
// the 16-byte writes of the words before it, which carry its old bytes.
struct LateWord {
    size_t start;
    size_t length;
    const char* spelling;
};

// Converts the words [0, count) of the list, all of them ending before
// `writable` (the bytes up to it may be written back as they were).
// Each short word costs one probe of one bucket: the 16 bytes from its
// start are written back as the spelling blended over the old bytes (or
// the old bytes alone). All words' bytes are read before the first write,
// so that no load waits for a store to a place it overlaps.
void ConvertWordsFast(char* block, size_t writable, const size_t* starts, const size_t* ends, size_t count,
                      const WordIndex& index)
{
    using namespace word_index_detail;
    __m128i results[FoundWords::kCapacity];  // each word's 16 bytes as they were
    LateWord late[FoundWords::kCapacity];
    size_t lateCount = 0;
    // Only words near the end may have fewer than 16 bytes to write.
    size_t fast = count;
    while (fast > 0 && starts[fast - 1] + kShortWord > writable) --fast;
    const __m128i foldBits = _mm_set1_epi8(0x20);
    // Three passes, each a short chain of work per word, so that the
    // processor overlaps the words' memory accesses: the folded words and
    // their hashes, with a request for the buckets' tags; the slot whose tag
    // matches, with a request for its line; then the comparison and blend.
    __m128i keys[FoundWords::kCapacity];
    uint64_t hashes[FoundWords::kCapacity];
    const char* candidates[FoundWords::kCapacity];
    uint32_t tagWords[FoundWords::kCapacity];
    const uint64_t* bucketTags = index.bucketTags.data();
    const WordBucket* buckets = index.buckets.data();
    const size_t bucketMask = index.bucketMask;
    for (size_t i = 0; i < fast; ++i) {
        size_t length = ends[i] - starts[i];
        if (length > kShortWord) {
            // Rare: a long word, looked up now; the passes below see it as
            // a word of no bytes, which no slot holds.
            if (const char* spelling = FindInWordIndex(index, block + starts[i], length, writable - starts[i]))
                late[lateCount++] = {starts[i], length, spelling};
            length = 0;
        }
        __m128i mask = LengthMask(length);
        __m128i bytes = Load16(block + starts[i]);
        __m128i key = _mm_or_si128(_mm_and_si128(bytes, mask), _mm_and_si128(mask, foldBits));
        results[i] = bytes;
        FoldedWord halves = HalvesOf(key);
        uint64_t hash = Mix(halves.head0, halves.head1);
        keys[i] = key;
        hashes[i] = hash;
        __builtin_prefetch(&bucketTags[hash & bucketMask]);
    }
    for (size_t i = 0; i < fast; ++i) {
        uint64_t hash = hashes[i];
        size_t home = hash & bucketMask;
        uint64_t tagWord = bucketTags[home];
        uint32_t tagged = TagMatches(tagWord, SlotTag(hash));
        // The slot whose tag matches, else the always empty bucket past the
        // last (no branch, and no cache miss for the many words no list holds).
        size_t bucket = tagged != 0 ? home : bucketMask + 1;
        size_t slot = static_cast<size_t>(__builtin_ctz(tagged | 0x80000000u)) / 8;
        candidates[i] = buckets[bucket].slots[slot];
        tagWords[i] = tagged | MayHavePassed(tagWord, hash);
        __builtin_prefetch(candidates[i]);
    }
    for (size_t i = 0; i < fast; ++i) {
        size_t start = starts[i];
        size_t length = ends[i] - start;
        __m128i bytes = results[i];
        __m128i key = keys[i];
        __m128i spelling = Load16(candidates[i]);
        // The key's folding bits are exactly its first `length` bytes' 0x20s.
        uint32_t differing = BitsOf(_mm_cmpeq_epi8(_mm_or_si128(spelling, _mm_and_si128(key, foldBits)), key)) ^ 0xFFFF;
        bool hit = differing == 0;
        __m128i useMask = LengthMask(hit && length <= kShortWord ? length : 0);
        // No later load reads the block: the word's bytes were taken in the
        // first pass, so this store holds up nothing.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block + start),
                         _mm_or_si128(_mm_and_si128(spelling, useMask), _mm_andnot_si128(useMask, bytes)));
        // Rare: another slot with the same tag, or a word placed past a
        // full home bucket. A third of the words miss, in no pattern a
        // predictor learns, so the test must not branch on the miss itself.
        uint32_t goOn = tagWords[i] & AllOnesUnlessZero(differing);
        if (__builtin_expect((goOn != 0) & (length <= kShortWord), 0)) {
            FoldedWord folded = HalvesOf(key);
            folded.hash = hashes[i];
            if (const char* later = FindShortWord(index, folded.hash & bucketMask, length, folded))
                late[lateCount++] = {start, length, later};
        }
    }
    for (size_t i = 0; i < lateCount; ++i) WriteSpelling(block + late[i].start, late[i].spelling, late[i].length);
    for (size_t i = fast; i < count; ++i) ConvertWordPlainly(block, starts[i], ends[i], writable, index);
}
#endif

// Converts the words whose both ends are known and keeps the rest (one
// word at most, still running at the end of the scanned blocks).
void ConvertFoundWords(char* block, size_t writable, FoundWords& words, const WordIndex& index)
{
    size_t complete = words.endCount;
#if defined(__SSE2__)
    if (!index.buckets.empty())
        ConvertWordsFast(block, writable, words.starts, words.ends, complete, index);
    else
#endif
        for (size_t i = 0; i < complete; ++i) ConvertWordPlainly(block, words.starts[i], words.ends[i], writable, index);
    for (size_t i = complete; i < words.startCount; ++i) words.starts[i - complete] = words.starts[i];
    words.startCount -= complete;
    words.endCount = 0;
}

}  // namespace

const char* FindKeywordSpelling(const KeywordSet& set, const char* word, size_t length)
{
    return FindInWordIndex(set.index, word, length, length);
}

void ApplyKeywordCase(char* block, size_t readable, const LineMarks& marks, const KeywordSet& set)
{
    ScanCarry carry;
    FoundWords words;
    WordsToSkip skip;
    skip.numbers = !set.index.hasNumberKeys;
    skip.singleCharacters = !set.index.hasOneByteKeys;
    for (size_t first = 0; first < marks.blockCount; first += FoundWords::kBlocksPerRound) {
        size_t count = marks.blockCount - first < FoundWords::kBlocksPerRound ? marks.blockCount - first
                                                                             : FoundWords::kBlocksPerRound;
        ScanBlocks(block, readable, marks, first, count, skip, carry, words);
        ConvertFoundWords(block, marks.textEnd, words, set.index);
    }
}

void ApplyKeywordCase(char* block, size_t readable, const LineSpan* lines, size_t lineCount, const KeywordSet& set)
{
    if (lineCount == 0) return;
    LineMarks marks;
    MarkLines(lines, lineCount, marks);
    ApplyKeywordCase(block, readable, marks, set);
}

std::string& ApplyKeywordCase(std::string& line, const KeywordSet& set)
{
    LineSpan whole{0, line.size()};
    ApplyKeywordCase(line.data(), line.size(), &whole, 1, set);
    return line;
}

}  // namespace recasor
