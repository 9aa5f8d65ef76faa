#include "word_index.h"

#include <cstring>

#include "keyword_case.h"

namespace {

uint32_t HashWord(const char* word, size_t length)
{
    uint32_t hash = 2166136261u;  // FNV-1a
    for (size_t i = 0; i < length; ++i) {
        hash ^= static_cast<unsigned char>(word[i]);
        hash *= 16777619u;
    }
    return hash;
}

// Only entries made entirely of word characters can ever match a word of a
// line, so only those need a slot.
bool CanMatchWord(const char* entry, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (!IsWordChar(entry[i])) return false;
    return true;
}

size_t TableSizeFor(size_t entries)
{
    size_t size = 16;
    while (size < entries * 2) size *= 2;
    return size;
}

size_t CountEntries(const std::string& search)
{
    size_t count = 0;
    for (char c : search) count += (c == ' ');
    return count;
}

const WordIndexSlot* FindSlot(const WordIndex& index, const char* word, size_t length, uint32_t hash)
{
    size_t mask = index.slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const WordIndexSlot& slot = index.slots[i];
        if (slot.keyLength == 0) return &slot;
        if (slot.hash == hash && slot.keyLength == length &&
            std::memcmp(index.keys.data() + slot.keyOffset, word, length) == 0)
            return &slot;
    }
}

}  // namespace

WordIndex BuildWordIndex(std::initializer_list<const std::string*> searchStrings)
{
    WordIndex index;
    size_t entries = 0;
    for (const std::string* search : searchStrings) entries += CountEntries(*search);
    index.slots.resize(TableSizeFor(entries));

    uint32_t listNumber = 0;
    for (const std::string* search : searchStrings) {
        // Entries are the runs between single spaces; an empty run is no entry.
        size_t start = 0;
        while (start < search->size()) {
            size_t end = search->find(' ', start);
            if (end == std::string::npos) end = search->size();
            const char* entry = search->data() + start;
            size_t length = end - start;
            // The substring search needs a space on both sides of the entry.
            bool enclosed = start > 0 && end < search->size();
            if (length > 0 && enclosed && CanMatchWord(entry, length)) {
                uint32_t hash = HashWord(entry, length);
                auto* slot = const_cast<WordIndexSlot*>(FindSlot(index, entry, length, hash));
                if (slot->keyLength == 0) {  // the first list and leftmost place win
                    slot->hash = hash;
                    slot->keyOffset = static_cast<uint32_t>(index.keys.size());
                    slot->keyLength = static_cast<uint32_t>(length);
                    slot->listNumber = listNumber;
                    slot->entryOffset = start;
                    index.keys.append(entry, length);
                    if (length > index.longestKey) index.longestKey = length;
                }
            }
            start = end + 1;
        }
        ++listNumber;
    }
    return index;
}

bool FindInWordIndex(const WordIndex& index, const char* word, size_t length, WordIndexHit& hit)
{
    if (length == 0 || length > index.longestKey) return false;
    const WordIndexSlot* slot = FindSlot(index, word, length, HashWord(word, length));
    if (slot->keyLength == 0) return false;
    hit = {slot->listNumber, slot->entryOffset};
    return true;
}
