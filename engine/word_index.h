#pragma once
// A lookup table over the entries of up to three word lists.
//
// A word is looked up as " word " in each list's `search` string, first list
// first, leftmost occurrence first. The table answers the same question with
// one hash probe: every entry maps to the list and position of the first
// place where that substring search would find it, and keeps a copy of its
// `display` spelling for fast writing.
//
// Keys are held "folded": every byte ORed with 0x20. On the word characters
// (letters, digits, _ % & $ . ! ? @) folding ignores letter case and maps no
// two lower-case words to the same key, so a word can be looked up straight
// from the line, in whatever case it is written, without a lowered copy.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace recasor {

struct WordIndexSlot {
    uint64_t head0 = 0;         // folded bytes 0-7 of the key, zero padded
    uint64_t head1 = 0;         // folded bytes 8-15
    size_t entryOffset = 0;     // entry start in its list's strings
    size_t spellingOffset = 0;  // its display spelling in WordIndex::spellings
    size_t tailOffset = 0;      // folded key bytes from 16 on, in WordIndex::tails
    uint32_t keyLength = 0;     // 0 marks an empty slot
    uint32_t listNumber = 0;    // which list answered
};

struct WordIndex {
    std::vector<WordIndexSlot> table;  // open addressing, size a power of two
    std::vector<uint64_t> filter;      // one bit per hash value range: a cheap "surely absent"
    std::string tails;
    std::string spellings;             // display spellings, 16 spare bytes after the last
    size_t longestKey = 0;
};

struct WordIndexHit {
    uint32_t listNumber;
    size_t entryOffset;
    const char* spelling;  // the display spelling, at least 16 bytes readable
};

// A list's `search` and `display` strings.
using ListStrings = std::pair<const std::string*, const std::string*>;

// Indexes the entries of the given lists, in order. The lists must not
// change afterwards.
WordIndex BuildWordIndex(std::initializer_list<ListStrings> lists);

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
    uint64_t hash = (folded.head0 * 0x9E3779B97F4A7C15ull) ^ (folded.head1 * 0xC2B2AE3D27D4EB4Full) ^ length;
    for (size_t i = 16; i < length; ++i) hash = (hash ^ static_cast<unsigned char>(word[i] | 0x20)) * 0x100000001B3ull;
    folded.hash = hash ^ (hash >> 29);
    return folded;
}

inline bool MayHold(const WordIndex& index, uint64_t hash)
{
    uint64_t bit = hash >> 48;
    return (index.filter[bit / 64] >> (bit % 64)) & 1;
}

inline bool TailsMatch(const WordIndex& index, const WordIndexSlot& slot, const char* word, size_t length)
{
    const char* tail = index.tails.data() + slot.tailOffset;
    for (size_t i = 16; i < length; ++i)
        if (tail[i - 16] != static_cast<char>(word[i] | 0x20)) return false;
    return true;
}

// The slot that holds the word, or the empty slot where it would go.
inline size_t FindSlot(const WordIndex& index, const char* word, size_t length, const FoldedWord& folded)
{
    size_t mask = index.table.size() - 1;
    for (size_t i = folded.hash & mask;; i = (i + 1) & mask) {
        const WordIndexSlot& slot = index.table[i];
        if (slot.keyLength == 0) return i;
        if (slot.head0 == folded.head0 && slot.head1 == folded.head1 && slot.keyLength == length &&
            (length <= 16 || TailsMatch(index, slot, word, length)))
            return i;
    }
}

}  // namespace word_index_detail

// Looks up a word made of word characters, in any letter case. Up to
// `readable` bytes from `word` on may be read (at least `length`); with 16
// the word is loaded in two plain 8-byte reads.
[[gnu::always_inline]] inline bool FindInWordIndex(const WordIndex& index, const char* word, size_t length, size_t readable, WordIndexHit& hit)
{
    using namespace word_index_detail;
    if (length == 0 || length > index.longestKey) return false;
    FoldedWord folded = FoldWord(word, length, readable);
    if (!MayHold(index, folded.hash)) return false;
    const WordIndexSlot& slot = index.table[FindSlot(index, word, length, folded)];
    if (slot.keyLength == 0) return false;
    hit = {slot.listNumber, slot.entryOffset, index.spellings.data() + slot.spellingOffset};
    return true;
}

}  // namespace recasor
