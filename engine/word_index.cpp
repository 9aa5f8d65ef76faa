#include "word_index.h"

#include <limits>

namespace recasor {

namespace {

using namespace word_index_detail;

constexpr size_t kFirstTableSize = 256;
constexpr size_t kSpareBytes = 16;
constexpr size_t kLargestFirstTable = size_t{1} << 15;
constexpr size_t kFilterBits = size_t{1} << 16;

// Keeps the table at most three quarters full.
bool NeedsRoom(const WordIndex& index) { return (index.used + 1) * 4 > index.table.size() * 3; }

void Grow(WordIndex& index)
{
    std::vector<WordIndexSlot> old;
    old.swap(index.table);
    index.table.resize(old.empty() ? kFirstTableSize : old.size() * 2);
    size_t mask = index.table.size() - 1;
    for (const WordIndexSlot& slot : old) {
        if (slot.keyLength == 0) continue;
        const char* spelling = index.spellings.data() + slot.spellingOffset;
        size_t i = FoldWord(spelling, slot.keyLength, slot.keyLength).hash & mask;  // the spelling folds to the key
        while (index.table[i].keyLength != 0) i = (i + 1) & mask;
        index.table[i] = slot;
    }
}

}  // namespace

void PrepareWordIndex(WordIndex& index, size_t textBytes)
{
    // A first table for about one entry per eight bytes of text, but no
    // larger than the shipped vocabulary needs: a text of duplicates must
    // not reserve room for words that never come.
    size_t size = kFirstTableSize;
    while (size < kLargestFirstTable && size * 3 / 4 < textBytes / 8) size *= 2;
    index.table.assign(size, WordIndexSlot{});
    index.spellings.reserve(textBytes + kSpareBytes);
}

bool AddToWordIndex(WordIndex& index, std::string_view entry, std::string_view spelling)
{
    // Offsets are 32 bits wide: a vocabulary of 4 GiB of distinct words is
    // beyond what any of the programs could read in the first place.
    if (entry.empty() || index.spellings.size() + entry.size() + 16 > std::numeric_limits<uint32_t>::max())
        return false;
    if (NeedsRoom(index)) Grow(index);
    if (index.filter.empty()) index.filter.assign(kFilterBits / 64, 0);

    // The spellings always end in 16 spare bytes, so that 16 bytes can be
    // read from the start of any of them.
    if (index.spellings.empty()) index.spellings.assign(kSpareBytes, ' ');
    FoldedWord folded = FoldWord(entry.data(), entry.size(), entry.size());
    WordIndexSlot& slot = index.table[FindSlot(index, entry.data(), entry.size(), folded)];
    if (slot.keyLength != 0) return false;  // the first list and leftmost place win
    size_t offset = index.spellings.size() - kSpareBytes;
    index.spellings.resize(offset);
    index.spellings.append(spelling).append(kSpareBytes, ' ');
    slot.keyLength = static_cast<uint32_t>(entry.size());
    slot.spellingOffset = static_cast<uint32_t>(offset);
    slot.hashTag = HashTag(folded.hash);
    ++index.used;
    uint64_t bit = folded.hash >> 48;
    index.filter[bit / 64] |= 1ull << (bit % 64);
    if (entry.size() > index.longestKey) index.longestKey = entry.size();
    return true;
}

}  // namespace recasor
