#include "word_index.h"

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
    size_t mask = index.mask = index.table.size() - 1;
    for (const WordIndexSlot& slot : old) {
        if (slot.keyLength == 0) continue;
        const char* spelling = SpellingOf(index, slot);
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
    index.mask = size - 1;
}

namespace {

// Puts a new key in its slot unless it is there already. `spellingOffset`
// says where the spelling will be; it is stored only when the key is new.
bool Insert(WordIndex& index, const char* entry, size_t length, uint32_t spellingOffset)
{
    if (NeedsRoom(index)) Grow(index);
    if (index.filter.empty()) index.filter.assign(kFilterBits / 64, 0);
    FoldedWord folded = FoldWord(entry, length, length);
    WordIndexSlot& slot = index.table[FindSlot(index, entry, length, folded)];
    if (slot.keyLength != 0) return false;  // the first list and leftmost place win
    slot.keyLength = static_cast<uint32_t>(length);
    slot.spellingOffset = spellingOffset;
    slot.hashTag = HashTag(folded.hash);
    ++index.used;
    uint64_t bit = folded.hash >> 48;
    index.filter[bit / 64] |= 1ull << (bit % 64);
    auto first = static_cast<unsigned char>(entry[0] | 0x20);
    index.firstBytes[first / 64] |= 1ull << (first % 64);
    if (length > index.longestKey) index.longestKey = length;
    return true;
}

}  // namespace

bool AddToWordIndex(WordIndex& index, std::string_view entry, std::string_view spelling)
{
    // The spellings always end in 16 spare bytes, so that 16 bytes can be
    // read from the start of any of them.
    if (index.spellings.empty()) index.spellings.assign(kSpareBytes, ' ');
    size_t offset = index.spellings.size() - kSpareBytes;
    if (entry.empty() || offset + spelling.size() >= kOwnSpelling) return false;
    if (!Insert(index, entry.data(), entry.size(), static_cast<uint32_t>(offset | kOwnSpelling))) return false;
    index.spellings.insert(offset, spelling);
    return true;
}

bool AddTextEntryToWordIndex(WordIndex& index, size_t start, size_t length)
{
    std::string_view entry = index.text.substr(start, length);
    // Too close to the text's end to read 16 bytes from: a copy of its own.
    if (index.text.size() - start < kSpareBytes || start >= kOwnSpelling) return AddToWordIndex(index, entry, entry);
    return length > 0 && Insert(index, entry.data(), length, static_cast<uint32_t>(start));
}

}  // namespace recasor
