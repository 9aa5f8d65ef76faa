#include "word_index.h"

#include "word_chars.h"

namespace recasor {

namespace {

using namespace word_index_detail;

constexpr size_t kFirstTableSize = 256;
// The first tables are sized from the vocabulary text's length: about one
// short word per 32 bytes and one long word per 40, but no larger than the
// shipped vocabulary's largest choice of sections needs, so that a text of
// duplicates reserves no room for words that never come.
constexpr size_t kLargestFirstTable = size_t{1} << 14;
constexpr size_t kSpareBytes = 16;
constexpr size_t kFirstBuckets = 64;
constexpr size_t kLargestFirstBuckets = size_t{1} << 12;

// Keeps the long-word table at most three quarters full.
bool NeedsRoom(const WordIndex& index) { return (index.longUsed + 1) * 4 > index.table.size() * 3; }

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

// What the index records of every word added, short or long.
void CountNewWord(WordIndex& index, const char* entry, size_t length)
{
    ++index.used;
    if (IsNumberStart(entry[0])) index.hasNumberKeys = true;
    if (length == 1) index.hasOneByteKeys = true;
    if (length > index.longestKey) index.longestKey = length;
}

// One bucket more than the mask reaches, always empty: a lookup whose tag
// matches nothing in its home bucket reads that one instead.
void SetBuckets(WordIndex& index, size_t count)
{
    index.buckets.assign(count + 1, WordBucket{});
    index.bucketMask = count - 1;
    index.bucketTags.assign(count + 1, 0);
}

// Puts a short word into the first free slot along its buckets, marking
// every full bucket it passes, unless a slot on the way holds it already.
bool PlaceShortWord(WordIndex& index, const char* spelling, size_t length, const FoldedWord& folded)
{
    for (size_t bucket = folded.hash & index.bucketMask;; bucket = (bucket + 1) & index.bucketMask) {
        for (size_t k = 0; k < kBucketSlots; ++k) {
            char* slot = index.buckets[bucket].slots[k];
            if (slot[0] == 0) {
                std::memcpy(slot, spelling, length);
                index.bucketTags[bucket] |= SlotTag(folded.hash) << (8 * k);
                return true;
            }
            if (SlotMatches(slot, length, folded)) return false;
        }
        index.bucketTags[bucket] |= PassedOverBit(folded.hash);
    }
}

// Keeps the buckets at most three quarters full on average: few lookups go
// on past their home bucket.
void GrowBuckets(WordIndex& index)
{
    std::vector<WordBucket> old;
    old.swap(index.buckets);
    SetBuckets(index, old.empty() ? kFirstBuckets : (old.size() - 1) * 2);
    for (const WordBucket& bucket : old) {
        for (const char* slot : bucket.slots) {
            if (slot[0] == 0) break;
            size_t length = strnlen(slot, kShortWord);
            PlaceShortWord(index, slot, length, FoldWord(slot, length, kShortWord));
        }
    }
}

bool InsertShort(WordIndex& index, const char* entry, const char* spelling, size_t length)
{
    if (index.buckets.empty() || (index.shortUsed + 1) * 4 > (index.buckets.size() - 1) * kBucketSlots * 3)
        GrowBuckets(index);
    if (!PlaceShortWord(index, spelling, length, FoldWord(entry, length, length))) return false;
    ++index.shortUsed;
    CountNewWord(index, entry, length);
    return true;
}

// Puts a new long key in its slot unless it is there already.
// `spellingOffset` says where the spelling will be; it is stored only when
// the key is new.
bool InsertLong(WordIndex& index, const char* entry, size_t length, uint32_t spellingOffset)
{
    if (NeedsRoom(index)) Grow(index);
    FoldedWord folded = FoldWord(entry, length, length);
    WordIndexSlot& slot = index.table[FindSlot(index, entry, length, folded)];
    if (slot.keyLength != 0) return false;  // the first list and leftmost place win
    slot.keyLength = static_cast<uint32_t>(length);
    slot.spellingOffset = spellingOffset;
    slot.hashTag = HashTag(folded.hash);
    ++index.longUsed;
    CountNewWord(index, entry, length);
    return true;
}

}  // namespace

void PrepareWordIndex(WordIndex& index, size_t textBytes)
{
    size_t buckets = kFirstBuckets;
    while (buckets < kLargestFirstBuckets && buckets * kBucketSlots * 3 / 4 < textBytes / 32) buckets *= 2;
    SetBuckets(index, buckets);
    size_t slots = kFirstTableSize;
    while (slots < kLargestFirstTable && slots * 3 / 4 < textBytes / 40) slots *= 2;
    index.table.assign(slots, WordIndexSlot{});
    index.mask = slots - 1;
}

bool AddToWordIndex(WordIndex& index, std::string_view entry, std::string_view spelling)
{
    if (entry.empty()) return false;
    if (entry.size() <= kShortWord) return InsertShort(index, entry.data(), spelling.data(), entry.size());
    // The long spellings always end in 16 spare bytes, so that 16 bytes can
    // be read from the start of any of them.
    if (index.spellings.empty()) index.spellings.assign(kSpareBytes, ' ');
    size_t offset = index.spellings.size() - kSpareBytes;
    if (offset + spelling.size() >= kOwnSpelling) return false;
    if (!InsertLong(index, entry.data(), entry.size(), static_cast<uint32_t>(offset | kOwnSpelling))) return false;
    index.spellings.insert(offset, spelling);
    return true;
}

bool AddTextEntryToWordIndex(WordIndex& index, size_t start, size_t length)
{
    std::string_view entry = index.text.substr(start, length);
    // Too close to the text's end to read 16 bytes from: a copy of its own.
    if (length <= kShortWord || index.text.size() - start < kSpareBytes || start >= kOwnSpelling)
        return AddToWordIndex(index, entry, entry);
    return InsertLong(index, entry.data(), length, static_cast<uint32_t>(start));
}

}  // namespace recasor
