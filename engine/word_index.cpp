#include "word_index.h"

#include "word_chars.h"

namespace recasor {

namespace {

using namespace word_index_detail;

// Only entries made entirely of word characters can ever match a word of a
// line, so only those need a slot (and only on those is folding exact).
bool CanMatchWord(const char* entry, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (!IsWordChar(entry[i])) return false;
    return true;
}

size_t CountEntries(const std::string& search)
{
    size_t count = 0;
    for (char c : search) count += (c == ' ');
    return count;
}

void AddEntry(WordIndex& index, const std::string& search, const std::string& display, size_t start, size_t length,
              uint32_t listNumber)
{
    const char* entry = search.data() + start;
    FoldedWord folded = FoldWord(entry, length, length);
    WordIndexSlot& slot = index.table[FindSlot(index, entry, length, folded)];
    if (slot.keyLength != 0) return;  // the first list and leftmost place win
    slot.head0 = folded.head0;
    slot.head1 = folded.head1;
    slot.keyLength = static_cast<uint32_t>(length);
    slot.listNumber = listNumber;
    slot.entryOffset = start;
    slot.tailOffset = index.tails.size();
    for (size_t i = 16; i < length; ++i) index.tails += static_cast<char>(entry[i] | 0x20);
    slot.spellingOffset = index.spellings.size();
    index.spellings.append(display, start, length);
    uint64_t bit = folded.hash >> 48;
    index.filter[bit / 64] |= 1ull << (bit % 64);
    if (length > index.longestKey) index.longestKey = length;
}

}  // namespace

WordIndex BuildWordIndex(std::initializer_list<ListStrings> lists)
{
    WordIndex index;
    size_t entries = 0;
    for (const ListStrings& list : lists) entries += CountEntries(*list.first);
    size_t tableSize = 16;
    while (tableSize < entries * 2) tableSize *= 2;
    index.table.resize(tableSize);
    index.filter.assign((1u << 16) / 64, 0);

    uint32_t listNumber = 0;
    for (const auto& [search, display] : lists) {
        // Entries are the runs between single spaces; an empty run is no entry.
        size_t start = 0;
        while (start < search->size()) {
            size_t end = search->find(' ', start);
            if (end == std::string::npos) end = search->size();
            size_t length = end - start;
            // The substring search needs a space on both sides of the entry.
            bool enclosed = start > 0 && end < search->size();
            if (length > 0 && enclosed && CanMatchWord(search->data() + start, length))
                AddEntry(index, *search, *display, start, length, listNumber);
            start = end + 1;
        }
        ++listNumber;
    }
    index.spellings.append(16, ' ');
    return index;
}

}  // namespace recasor
