#include "word_scan.h"

#include <array>
#include <cstring>

#include "bit_arithmetic.h"
#include "byte_classes_sse2.h"
#include "scan_build.h"
#include "word_chars.h"

namespace recasor::RECASOR_SCAN_BUILD {

namespace {

// One bit per byte of a 64-byte block, for each class the scan needs.
struct ByteClassBits {
    uint64_t word = 0;        // word characters, in either case
    uint64_t quote = 0;       // "
    uint64_t apostrophe = 0;  // '
    uint64_t space = 0;       // the space character only (a tab is no space to DATA)
    uint64_t letterD = 0;     // d or D
    uint64_t letterA = 0;     // a or A
    uint64_t numberStart = 0; // 0 to 9, and & (which starts &H, &O and &B literals)
};

enum ClassFlag : uint8_t { kWord = 1, kQuote = 2, kApostrophe = 4, kSpace = 8, kLetterD = 16, kLetterA = 32, kNumberStart = 64 };

constexpr std::array<uint8_t, 256> MakeClassTable()
{
    std::array<uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        int lower = c >= 'A' && c <= 'Z' ? c + 32 : c;
        uint8_t flags = kWordChars[static_cast<size_t>(lower)] ? kWord : 0;
        if (c == '"') flags |= kQuote;
        if (c == '\'') flags |= kApostrophe;
        if (c == ' ') flags |= kSpace;
        if (lower == 'd') flags |= kLetterD;
        if (lower == 'a') flags |= kLetterA;
        if (IsNumberStart(static_cast<char>(c))) flags |= kNumberStart;
        table[static_cast<size_t>(c)] = flags;
    }
    return table;
}

constexpr std::array<uint8_t, 256> kClassTable = MakeClassTable();

// The first `count` bytes (at most 64), one at a time; the bits above are clear.
ByteClassBits ClassifyBytes(const char* at, size_t count)
{
    ByteClassBits bits;
    for (size_t i = 0; i < count; ++i) {
        uint8_t flags = kClassTable[static_cast<unsigned char>(at[i])];
        bits.word |= uint64_t{(flags & kWord) != 0} << i;
        bits.quote |= uint64_t{(flags & kQuote) != 0} << i;
        bits.apostrophe |= uint64_t{(flags & kApostrophe) != 0} << i;
        bits.space |= uint64_t{(flags & kSpace) != 0} << i;
        bits.letterD |= uint64_t{(flags & kLetterD) != 0} << i;
        bits.letterA |= uint64_t{(flags & kLetterA) != 0} << i;
        bits.numberStart |= uint64_t{(flags & kNumberStart) != 0} << i;
    }
    return bits;
}

#if defined(RECASOR_SCAN_BUILD_AVX2)
inline __m256i InRange32(__m256i bytes, char low, char high)
{
    __m256i shifted = _mm256_sub_epi8(bytes, _mm256_set1_epi8(static_cast<char>(low + 128)));
    return _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(high - low - 127)), shifted);
}

inline __m256i Equal32(__m256i bytes, char c) { return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(c)); }

inline uint64_t BitsOf32(__m256i bytes) { return static_cast<uint32_t>(_mm256_movemask_epi8(bytes)); }

// Word characters by two lookups in tables of 16 entries: for each low half
// of a byte, a bit for each high half 0 to 7 that makes a word character
// with it, and for each high half its bit (none for bytes from 0x80 on).
struct LowHalfTable {
    alignas(16) uint8_t highHalves[16];
};

constexpr LowHalfTable MakeWordCharLowHalves()
{
    LowHalfTable table{};
    for (int c = 0; c < 128; ++c) {
        int lower = c >= 'A' && c <= 'Z' ? c + 32 : c;
        if (kWordChars[static_cast<size_t>(lower)]) table.highHalves[c & 15] |= static_cast<uint8_t>(1 << (c >> 4));
    }
    return table;
}

constexpr LowHalfTable kWordCharLowHalves = MakeWordCharLowHalves();

// Zero where a byte is no word character.
inline __m256i WordCharBits32(__m256i bytes)
{
    const __m256i byLowHalf =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(kWordCharLowHalves.highHalves)));
    const __m256i byHighHalf = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                                1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    __m256i low = _mm256_shuffle_epi8(byLowHalf, _mm256_and_si256(bytes, nibble));
    __m256i high = _mm256_shuffle_epi8(byHighHalf, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble));
    return _mm256_and_si256(low, high);
}

// The same classes as the SSE2 build below, 32 bytes at a time.
ByteClassBits ClassifyBlock(const char* at)
{
    ByteClassBits bits;
    const __m256i fold = _mm256_set1_epi8(0x20);
    for (int k = 0; k < 2; ++k) {
        __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32 * k));
        __m256i folded = _mm256_or_si256(bytes, fold);
        int shift = 32 * k;
        bits.word |= (~BitsOf32(_mm256_cmpeq_epi8(WordCharBits32(bytes), _mm256_setzero_si256())) & 0xFFFFFFFFu) << shift;
        bits.quote |= BitsOf32(Equal32(bytes, '"')) << shift;
        bits.apostrophe |= BitsOf32(Equal32(bytes, '\'')) << shift;
        bits.space |= BitsOf32(Equal32(bytes, ' ')) << shift;
        bits.letterD |= BitsOf32(Equal32(folded, 'd')) << shift;
        bits.letterA |= BitsOf32(Equal32(folded, 'a')) << shift;
        bits.numberStart |= BitsOf32(_mm256_or_si256(InRange32(bytes, '0', '9'), Equal32(bytes, '&'))) << shift;
    }
    return bits;
}
#elif defined(__SSE2__)
ByteClassBits ClassifyBlock(const char* at)
{
    ByteClassBits bits;
    const __m128i fold = _mm_set1_epi8(0x20);
    for (int k = 0; k < 4; ++k) {
        __m128i bytes = Load16(at + 16 * k);
        __m128i folded = _mm_or_si128(bytes, fold);
        int shift = 16 * k;
        bits.word |= uint64_t{BitsOf(WordCharBytes(bytes))} << shift;
        bits.quote |= uint64_t{BitsOf(Equal(bytes, '"'))} << shift;
        bits.apostrophe |= uint64_t{BitsOf(Equal(bytes, '\''))} << shift;
        bits.space |= uint64_t{BitsOf(Equal(bytes, ' '))} << shift;
        bits.letterD |= uint64_t{BitsOf(Equal(folded, 'd'))} << shift;
        bits.letterA |= uint64_t{BitsOf(Equal(folded, 'a'))} << shift;
        bits.numberStart |= uint64_t{BitsOf(_mm_or_si128(InRange(bytes, '0', '9'), Equal(bytes, '&')))} << shift;
    }
    return bits;
}
#else
ByteClassBits ClassifyBlock(const char* at) { return ClassifyBytes(at, 64); }
#endif

inline bool BitAt(const uint64_t* bits, size_t position) { return (bits[position / 64] >> (position % 64)) & 1; }

// Appends the position of every set bit, eight at a time without a test per
// bit (the writes past the last are harmless: the capacity allows them).
inline void AppendPositions(size_t* positions, size_t& count, size_t base, uint64_t bits)
{
    size_t found = static_cast<size_t>(__builtin_popcountll(bits));
    size_t* out = positions + count;
    for (size_t written = 0; written < found || written == 0; written += 8) {
        for (int i = 0; i < 8; ++i) {
            out[written + i] = base + LowestBit(bits | (uint64_t{1} << 63));
            bits &= bits - 1;
        }
    }
    count += found;
}

// Whether the line has "DATA " (any case) from `at` on, where its first
// non-space byte is a D and the next possibly an A.
bool StartsDataStatement(const char* text, size_t at, const LineMarks& marks)
{
    for (size_t i = at + 1; i <= at + 4; ++i)
        if (BitAt(marks.ends, i)) return false;  // the line ends too soon
    return (text[at + 1] | 0x20) == 'a' && (text[at + 2] | 0x20) == 't' && (text[at + 3] | 0x20) == 'a' &&
           text[at + 4] == ' ';
}

}  // namespace

void ScanBlocks(const char* text, size_t readable, const LineMarks& marks, size_t first, size_t count,
                const WordsToSkip& skip, ScanCarry& carry, FoundWords& words)
{
    const uint64_t numbersToSkip = skip.numbers ? ~uint64_t{0} : 0;
    const uint64_t singlesToSkip = skip.singleCharacters ? ~uint64_t{0} : 0;
    for (size_t block = first; block < first + count; ++block) {
        size_t base = block * 64;
        ByteClassBits classes;
        if (base + 64 <= readable) {
            classes = ClassifyBlock(text + base);
        } else if (base < readable) {
            classes = ClassifyBytes(text + base, readable - base);
        }
        uint64_t lineStarts = marks.starts[block];
        uint64_t lineEnds = marks.ends[block];
        // Each line's end less its start sets the bits of its bytes.
        uint64_t inLine = SubtractWithBorrow(lineEnds, lineStarts, carry.lineBorrow);
        uint64_t word = classes.word & inLine;
        uint64_t space = classes.space & inLine;

        // Inside a string: an odd number of quotes since the line's start.
        // The running XOR spans lines; after a line with an odd count the
        // rest is flipped back (rare: an unclosed string, a quote in a comment).
        uint64_t stringBefore = carry.inString & 1;
        uint64_t inString = PrefixXor(classes.quote & inLine) ^ carry.inString;
        for (uint64_t odd = ((inString << 1) | stringBefore) & lineEnds; odd != 0;) {
            size_t at = LowestBit(odd);
            inString ^= ~uint64_t{0} << at;
            odd = ((inString << 1) | stringBefore) & lineEnds & (~uint64_t{1} << at);
        }
        carry.inString = 0 - (inString >> 63);

        // DATA statements: the carry of spaces plus the line starts among
        // them stops at each line's first non-space byte.
        uint64_t leadingSpaces = lineStarts & space;
        uint64_t spaceCarries = AddWithCarry(space, leadingSpaces, carry.spaceCarry) ^ space ^ leadingSpaces;
        uint64_t firstNonSpace = ((lineStarts & ~space) | spaceCarries) & ~space & inLine;
        uint64_t dataItems = carry.dataNext;
        carry.dataNext = 0;
        uint64_t candidates = firstNonSpace & classes.letterD & ((classes.letterA >> 1) | (uint64_t{1} << 63));
        for (; candidates != 0; candidates &= candidates - 1) {
            size_t at = base + LowestBit(candidates);
            if (!StartsDataStatement(text, at, marks)) continue;
            size_t items = at + 4 - base;  // the space after DATA
            if (items < 64)
                dataItems |= uint64_t{1} << items;
            else
                carry.dataNext |= uint64_t{1} << (items - 64);
        }

        // Comments and DATA items run to the line end: adding their starts
        // to the bytes that are no line end carries through to it.
        uint64_t hiddenFrom = (classes.apostrophe & inLine & ~inString) | dataItems;
        uint64_t notLineEnd = ~lineEnds;
        uint64_t hidden = hiddenFrom | (AddWithCarry(notLineEnd, hiddenFrom, carry.fillCarry) ^ notLineEnd ^ hiddenFrom);

        uint64_t live = inLine & ~inString & ~hidden;
        uint64_t beforeLineEnd = (lineEnds >> 1) | (marks.ends[block + 1] << 63);
        uint64_t lastOfUnclosed = word & inString & beforeLineEnd & ~hidden;
        live |= lastOfUnclosed;

        uint64_t wordBefore = (word << 1) | carry.wordBefore;
        uint64_t liveBefore = (live << 1) | carry.liveBefore;
        carry.wordBefore = word >> 63;
        carry.liveBefore = live >> 63;
        uint64_t starts = word & ~wordBefore & live;
        uint64_t ends = ~word & wordBefore & liveBefore;
        // A number is no vocabulary word: its start, and its end found by
        // the carry from the start through its characters, are dropped.
        uint64_t numberStarts = starts & classes.numberStart & ~lastOfUnclosed & numbersToSkip;
        uint64_t numberEnds = (AddWithCarry(word, numberStarts, carry.numberCarry) ^ word ^ numberStarts) & ~word;
        starts = (starts & ~numberStarts) | lastOfUnclosed;
        ends &= ~numberEnds;
        // Nor is a single character: a start whose end follows at once.
        uint64_t singles = starts & (ends >> 1) & singlesToSkip;
        AppendPositions(words.starts, words.startCount, base, starts & ~singles);
        AppendPositions(words.ends, words.endCount, base, ends & ~(singles << 1));
    }
}

}  // namespace recasor::RECASOR_SCAN_BUILD
