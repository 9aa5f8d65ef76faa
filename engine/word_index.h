#pragma once
// A lookup table from words to their vocabulary spellings.
//
// Entries are added in lookup order (first list first, leftmost entry
// first); a word already present keeps its first spelling, so a duplicate
// takes no space. That is the answer the plain search for " word " in the
// lists' lower-case strings gives.
//
// Keys are held "folded": every byte ORed with 0x20. On the word characters
// (letters, digits, _ % & $ . ! ? @) folding ignores letter case and maps no
// two lower-case words to the same key, so a word can be looked up straight
// from the line, in whatever case it is written, without a lowered copy.
//
// Every key byte feeds the hash and the table doubles as it fills, so
// loading and lookups stay near-linear even for words crafted to look alike.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace recasor {

// Words of up to 16 bytes sit in buckets of four, one cache line each: a
// slot holds the spelling padded with zero bytes, so that one load of a
// line answers a lookup. The key is not stored: the spelling folds to it.
inline constexpr size_t kBucketSlots = 4;
inline constexpr size_t kShortWord = 16;

struct alignas(64) WordBucket {
    char slots[kBucketSlots][kShortWord];  // a zero first byte marks a free slot; slots fill in order
};

// Longer words: a slot holds where the spelling is, and enough of the hash
// to pass over most other keys without looking at their spellings.
struct WordIndexSlot {
    uint32_t spellingOffset = 0;  // in WordIndex::text, or with kOwnSpelling in WordIndex::spellings
    uint32_t keyLength = 0;       // 0 marks an empty slot
    uint32_t hashTag = 0;         // the hash's upper half
};

inline constexpr uint32_t kOwnSpelling = 0x80000000u;

struct WordIndex {
    // Short words: open addressing over buckets. Each bucket has a word of
    // tags beside it: a byte per slot from the hash of the word it holds
    // (0 while free), so that a lookup compares one slot at most, and a
    // filter of the words that had to pass the bucket, full, on their way to
    // a later one: only where a word's bit is set there does a lookup that
    // missed go on to the next bucket.
    std::vector<WordBucket> buckets;  // a power of two, and one more, always empty, that no word calls home
    std::vector<uint64_t> bucketTags; // one per bucket
    size_t bucketMask = 0;
    size_t shortUsed = 0;

    // Long words: open addressing over slots.
    std::vector<WordIndexSlot> table;  // size a power of two
    size_t mask = 0;                   // the table's size less one (no division by the slot size per lookup)
    size_t longUsed = 0;
    std::string_view text;             // a vocabulary text whose entries serve as spellings where they stand
    std::shared_ptr<const std::string> ownText;  // that text, when the index keeps it itself
    std::string spellings;             // long spellings of their own, 16 spare bytes after the last
    size_t longestKey = 0;

    size_t used = 0;                   // distinct words, short and long
    // What no lookup is needed for: numbers, unless a word starts with a
    // digit or &, and single characters, unless a word is one.
    bool hasNumberKeys = false;
    bool hasOneByteKeys = false;
};

// Both kinds of offset are 31 bits wide: a vocabulary of 2 GiB is beyond
// what any of the programs could read in the first place. Entries past that
// are left out (the adding routines return false).

// Adds one entry (made of word characters, in any case) with a copy of the
// spelling to write for it, unless the key is already present. Returns
// whether it was added.
bool AddToWordIndex(WordIndex& index, std::string_view entry, std::string_view spelling);

// The same for the entry text[start, start + length), spelled as it stands
// in the text, without a copy.
bool AddTextEntryToWordIndex(WordIndex& index, size_t start, size_t length);

// Makes room for the entries of a vocabulary text of `textBytes` bytes.
// Optional: the table grows as needed anyway.
void PrepareWordIndex(WordIndex& index, size_t textBytes);

namespace word_index_detail {

constexpr uint64_t kFoldBits = 0x2020202020202020ull;

// Masks that keep the first n bytes of a 16-byte block (n = 0 to 16), as
// two 8-byte halves.
struct ByteMasks {
    uint64_t low[17];
    uint64_t high[17];
};

constexpr ByteMasks MakeByteMasks()
{
    ByteMasks masks{};
    for (int n = 0; n <= 16; ++n) {
        masks.low[n] = n >= 8 ? ~0ull : (1ull << (8 * n)) - 1;
        masks.high[n] = n >= 16 ? ~0ull : n > 8 ? (1ull << (8 * (n - 8))) - 1 : 0;
    }
    return masks;
}

inline constexpr ByteMasks kByteMasks = MakeByteMasks();

// Mixes two 64-bit halves so that every input bit reaches the low bits
// (the table index) and the high bits (the tag): the two halves of their
// full 128-bit product, folded together, where the compiler has one. The
// constants make neither factor zero: a folded key byte always has bit 5 set.
inline uint64_t Mix(uint64_t left, uint64_t right)
{
    left ^= 0x9E3779B97F4A7C15ull;
    right ^= 0xC2B2AE3D27D4EB4Full;
#if defined(__SIZEOF_INT128__)
    unsigned __int128 product = static_cast<unsigned __int128>(left) * right;
    return static_cast<uint64_t>(product) ^ static_cast<uint64_t>(product >> 64);
#else
    // The finaliser of MurmurHash3 over both halves, in turn.
    uint64_t value = left;
    for (uint64_t next : {right, uint64_t{0}}) {
        value ^= value >> 33;
        value *= 0xFF51AFD7ED558CCDull;
        value ^= value >> 33;
        value *= 0xC4CEB9FE1A85EC53ull;
        value ^= value >> 33;
        value ^= next;
    }
    return value;
#endif
}

struct FoldedWord {
    uint64_t head0 = 0;
    uint64_t head1 = 0;
    uint64_t hash = 0;
};

inline FoldedWord FoldWord(const char* word, size_t length, size_t readable)
{
    FoldedWord folded;
    if (readable >= 16) {
        std::memcpy(&folded.head0, word, 8);
        std::memcpy(&folded.head1, word + 8, 8);
    } else {
        char padded[16] = {};
        std::memcpy(padded, word, length < 16 ? length : 16);
        std::memcpy(&folded.head0, padded, 8);
        std::memcpy(&folded.head1, padded + 8, 8);
    }
    size_t head = length < 16 ? length : 16;
    folded.head0 = (folded.head0 | kFoldBits) & kByteMasks.low[head];
    folded.head1 = (folded.head1 | kFoldBits) & kByteMasks.high[head];
    if (length <= 16) {
        // The length is implied: folded word characters are never zero.
        folded.hash = Mix(folded.head0, folded.head1);
        return folded;
    }
    // The bytes from 16 on, eight at a time, the last eight overlapping
    // the ones before where the length is not a multiple of eight.
    uint64_t tail = length;
    for (size_t i = 16; i < length; i += 8) {
        size_t at = i + 8 <= length ? i : length - 8;
        uint64_t bytes;
        std::memcpy(&bytes, word + at, 8);
        tail = Mix(tail, bytes | kFoldBits);
    }
    folded.hash = Mix(folded.head0 ^ tail, folded.head1);
    return folded;
}

inline uint32_t HashTag(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }

inline const char* SpellingOf(const WordIndex& index, const WordIndexSlot& slot)
{
    const char* base = (slot.spellingOffset & kOwnSpelling) != 0 ? index.spellings.data() : index.text.data();
    return base + (slot.spellingOffset & ~kOwnSpelling);
}

// Whether the stored spelling folds to the word's key. A spelling always
// has 16 bytes readable.
inline bool KeyMatches(const WordIndex& index, const WordIndexSlot& slot, const char* word, size_t length,
                       const FoldedWord& folded)
{
    const char* spelling = SpellingOf(index, slot);
    uint64_t head0, head1;
    std::memcpy(&head0, spelling, 8);
    std::memcpy(&head1, spelling + 8, 8);
    size_t head = length < 16 ? length : 16;
    if (((head0 | kFoldBits) & kByteMasks.low[head]) != folded.head0) return false;
    if (((head1 | kFoldBits) & kByteMasks.high[head]) != folded.head1) return false;
    for (size_t i = 16; i < length; ++i)
        if ((spelling[i] | 0x20) != (word[i] | 0x20)) return false;
    return true;
}

// The slot that holds the word, or the empty slot where it would go.
inline size_t FindSlot(const WordIndex& index, const char* word, size_t length, const FoldedWord& folded)
{
    size_t mask = index.mask;
    uint32_t tag = HashTag(folded.hash);
    for (size_t i = folded.hash & mask;; i = (i + 1) & mask) {
        const WordIndexSlot& slot = index.table[i];
        if (slot.keyLength == 0) return i;
        if (slot.hashTag == tag && slot.keyLength == length && KeyMatches(index, slot, word, length, folded)) return i;
    }
}

// Whether a bucket slot holds the folded word of `length` bytes (1 to 16).
// A folded word byte is never 0x20, which a free or shorter slot shows once
// folded, and a longer slot shows a byte where the word's key has zero.
inline bool SlotMatches(const char* slot, size_t length, const FoldedWord& folded)
{
    uint64_t slot0, slot1;
    std::memcpy(&slot0, slot, 8);
    std::memcpy(&slot1, slot + 8, 8);
    return (slot0 | (kFoldBits & kByteMasks.low[length])) == folded.head0 &&
           (slot1 | (kFoldBits & kByteMasks.high[length])) == folded.head1;
}

// A bucket's tag word: byte k (of the low four) the tag of slot k, the top
// 8 bits of the hash (a 0 made 1: 0 marks a free slot), and in the upper
// half one bit, chosen by 5 other bits of the hash, for each word that
// passed the bucket.
inline constexpr uint32_t kEveryTagByte = 0x01010101u;

inline uint32_t SlotTag(uint64_t hash)
{
    uint32_t tag = static_cast<uint32_t>(hash >> 56);
    return tag | static_cast<uint32_t>(tag == 0);
}

inline uint64_t PassedOverBit(uint64_t hash) { return uint64_t{1} << (32 + ((hash >> 51) & 31)); }

// Nonzero when a word of this hash may have passed the bucket, full: a
// lookup that found it nowhere in the bucket goes on to the next one.
inline uint32_t MayHavePassed(uint64_t tagWord, uint64_t hash)
{
    return static_cast<uint32_t>((tagWord & PassedOverBit(hash)) >> 32);
}

// Bit 7 of byte k set where slot k of the tag word carries the tag; exact
// for the lowest one set (a borrow may mark bytes above it).
inline uint32_t TagMatches(uint64_t tagWord, uint32_t tag)
{
    uint32_t differences = static_cast<uint32_t>(tagWord) ^ (tag * kEveryTagByte);
    return (differences - kEveryTagByte) & ~differences & (kEveryTagByte << 7);
}

// The slot that holds a short word, or nullptr; the search starts at the
// word's home bucket.
inline const char* FindShortWord(const WordIndex& index, size_t bucket, size_t length, const FoldedWord& folded)
{
    for (;; bucket = (bucket + 1) & index.bucketMask) {
        const WordBucket& slots = index.buckets[bucket];
        for (const char* slot : slots.slots) {
            if (slot[0] == 0) return nullptr;
            if (SlotMatches(slot, length, folded)) return slot;
        }
        if (MayHavePassed(index.bucketTags[bucket], folded.hash) == 0) return nullptr;
    }
}

}  // namespace word_index_detail

// Looks up a word made of word characters, in any letter case, and returns
// its spelling (at least 16 bytes readable) or nullptr. Up to `readable`
// bytes from `word` on may be read (at least `length`); with 16 the word is
// loaded in two plain 8-byte reads.
inline const char* FindInWordIndex(const WordIndex& index, const char* word, size_t length, size_t readable)
{
    using namespace word_index_detail;
    if (length == 0) return nullptr;
    if (length <= kShortWord) {
        if (index.buckets.empty()) return nullptr;
        FoldedWord folded = FoldWord(word, length, readable);
        return FindShortWord(index, folded.hash & index.bucketMask, length, folded);
    }
    if (length > index.longestKey) return nullptr;
    FoldedWord folded = FoldWord(word, length, readable);
    const WordIndexSlot& slot = index.table[FindSlot(index, word, length, folded)];
    if (slot.keyLength == 0) return nullptr;
    return SpellingOf(index, slot);
}

}  // namespace recasor
