#include "word_index.h"

#include <limits>

namespace recasor {

namespace {

using namespace word_index_detail;

constexpr size_t kFirstTableSize = 256;
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
        size_t i = FoldWord(spelling, slot.keyLength, slot.keyLength).hash & mask;
        while (index.table[i].keyLength != 0) i = (i + 1) & mask;
        index.table[i] = slot;
    }
}

}  // namespace

bool AddToWordIndex(WordIndex& index, std::string_view entry, std::string_view spelling)
{
    // Offsets are 32 bits wide: a vocabulary of 4 GiB of distinct words is
    // beyond what any of the programs could read in the first place.
    if (entry.empty() || index.spellings.size() + entry.size() > std::numeric_limits<uint32_t>::max()) return false;
    if (NeedsRoom(index)) Grow(index);
    if (index.filter.empty()) index.filter.assign(kFilterBits / 64, 0);

    FoldedWord folded = FoldWord(entry.data(), entry.size(), entry.size());
    WordIndexSlot& slot = index.table[FindSlot(index, entry.data(), entry.size(), folded)];
    if (slot.keyLength != 0) return false;  // the first list and leftmost place win
    slot.head0 = folded.head0;
    slot.head1 = folded.head1;
    slot.keyLength = static_cast<uint32_t>(entry.size());
    slot.spellingOffset = static_cast<uint32_t>(index.spellings.size());
    index.spellings.append(spelling);
    ++index.used;
    uint64_t bit = folded.hash >> 48;
    index.filter[bit / 64] |= 1ull << (bit % 64);
    if (entry.size() > index.longestKey) index.longestKey = entry.size();
    return true;
}

void FinishWordIndex(WordIndex& index) { index.spellings.append(16, ' '); }

}  // namespace recasor
