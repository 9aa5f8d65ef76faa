#pragma once
// A lookup table over the `search` strings of up to three word lists.
//
// A word is looked up as " word " in each list's `search` string, first list
// first, leftmost occurrence first. The table answers the same question with
// one hash probe: every entry maps to the list and position of the first
// place where that substring search would find it.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

struct WordIndexSlot {
    uint32_t hash = 0;
    uint32_t keyOffset = 0;   // into WordIndex::keys
    uint32_t keyLength = 0;   // 0 marks an empty slot
    uint32_t listNumber = 0;  // which list answered
    size_t entryOffset = 0;   // entry start in that list's strings
};

struct WordIndex {
    std::vector<WordIndexSlot> slots;  // open addressing, size a power of two
    std::string keys;                  // the lower-case entries, back to back
    size_t longestKey = 0;
};

struct WordIndexHit {
    uint32_t listNumber;
    size_t entryOffset;
};

// Indexes the entries of the given `search` strings, in order.
WordIndex BuildWordIndex(std::initializer_list<const std::string*> searchStrings);

// Looks up a lower-case word; false when no list holds it.
bool FindInWordIndex(const WordIndex& index, const char* word, size_t length, WordIndexHit& hit);
