#include "keyword_case.h"

#include <cstring>

#include "ascii.h"
#include "line_bitmaps.h"
#include "vocabulary.h"
#include "word_chars.h"

namespace recasor {

namespace {

// The number of spaces that start the text, eight bytes at a time.
size_t LeadingSpaces(const char* text, size_t length)
{
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t bytes;
        std::memcpy(&bytes, text + i, 8);
        uint64_t others = bytes ^ 0x2020202020202020ull;
        if (others != 0) return i + static_cast<size_t>(__builtin_ctzll(others)) / 8;  // little-endian: first byte lowest
    }
    while (i < length && text[i] == ' ') ++i;
    return i;
}

// Whether the line is a DATA statement: spaces, "DATA" in any case, a
// space. `firstWord` is where the line's first word character is (or its
// end): the costlier test for leading spaces is made only once the word
// there is DATA.
bool StartsDataStatement(const char* text, size_t length, size_t firstWord)
{
    if (length - firstWord < 5 || text[firstWord + 4] != ' ') return false;
    uint32_t word;
    std::memcpy(&word, text + firstWord, 4);
    uint32_t data;
    std::memcpy(&data, "data", 4);
    return (word | 0x20202020u) == data && LeadingSpaces(text, firstWord) == firstWord;
}

template <size_t N>
inline void CopyBytes(char* to, const char* from)
{
    char bytes[N];
    std::memcpy(bytes, from, N);
    std::memcpy(to, bytes, N);
}

// Writes the vocabulary's spelling over the word line[start, end) when it
// is an entry.
[[gnu::always_inline]] inline void ConvertWord(char* line, size_t start, size_t end, size_t readable, const KeywordSet& set)
{
    size_t length = end - start;
    const char* spelling = FindInWordIndex(set.index, line + start, length, readable - start);
    if (spelling == nullptr) return;
    char* word = line + start;
    // Exactly the word's bytes are stored, in two overlapping pieces: a
    // wider store would reach into the next word, whose load would then
    // wait for it to complete.
    if (length >= 8 && length <= 16) {
        CopyBytes<8>(word, spelling);
        CopyBytes<8>(word + length - 8, spelling + length - 8);
    } else if (length >= 4 && length < 8) {
        CopyBytes<4>(word, spelling);
        CopyBytes<4>(word + length - 4, spelling + length - 4);
    } else if (length < 4) {
        word[0] = spelling[0];
        word[length / 2] = spelling[length / 2];
        word[length - 1] = spelling[length - 1];
    } else {
        std::memcpy(word, spelling, length);
    }
}

// Converts one line of a classified block. Walks from word to word through
// the bitmaps and finds the same words as scanning a copy of the line with
// literals blanked, the comment cut off and letters lowered would.
void ConvertLine(char* block, LineSpan span, size_t readable, const LineBitmaps& maps, const KeywordSet& set)
{
    const uint64_t* wordChars = maps.wordChars;
    size_t lineEnd = span.start + span.length;
    size_t firstWord = NextSetBit(wordChars, span.start, lineEnd);
    if (StartsDataStatement(block + span.start, span.length, firstWord - span.start)) {
        // Only the word DATA itself is left outside the items.
        ConvertWord(block, firstWord, firstWord + 4, readable, set);
        return;
    }
    size_t position = span.start;
    while (position < lineEnd) {
        // The block of 64 bytes that holds `position`: its word starts before
        // the first quote or apostrophe, then that mark.
        size_t chunk = position / 64;
        size_t chunkStart = chunk * 64;
        uint64_t words = wordChars[chunk];
        uint64_t before = (words << 1) | (chunk > 0 ? wordChars[chunk - 1] >> 63 : 0);
        if (span.start >= chunkStart) before &= ~(1ull << (span.start - chunkStart));  // the line starts a word
        uint64_t inLine = ~0ull << (position % 64);
        if (lineEnd - chunkStart < 64) inLine &= (1ull << (lineEnd - chunkStart)) - 1;
        uint64_t marks = maps.marks[chunk] & inLine;
        uint64_t beforeMark = marks != 0 ? (marks & (0 - marks)) - 1 : ~0ull;
        uint64_t starts = words & ~before & inLine & beforeMark;
        while (starts != 0) {
            size_t start = chunkStart + static_cast<size_t>(__builtin_ctzll(starts));
            starts &= starts - 1;
            uint64_t ends = ~words & (~0ull << (start % 64));
            size_t end = ends != 0 ? chunkStart + static_cast<size_t>(__builtin_ctzll(ends))
                                   : NextClearBit(wordChars, chunkStart + 64, lineEnd);
            if (end > lineEnd) end = lineEnd;
            ConvertWord(block, start, end, readable, set);
            position = end;
        }
        if (marks == 0) {
            if (position < chunkStart + 64) position = chunkStart + 64;
            continue;
        }
        size_t mark = chunkStart + static_cast<size_t>(__builtin_ctzll(marks));
        if (block[mark] == '\'') return;  // the comment runs to the end of the line
        auto* close = static_cast<const char*>(std::memchr(block + mark + 1, '"', lineEnd - mark - 1));
        if (close == nullptr) {
            // An unclosed string hides all but the line's last character,
            // which can only be a one-letter word (or the comment's start).
            if (lineEnd - 1 > mark && kWordChars[static_cast<unsigned char>(AsciiLower(block[lineEnd - 1]))])
                ConvertWord(block, lineEnd - 1, lineEnd, readable, set);
            return;
        }
        position = static_cast<size_t>(close - block) + 1;
    }
}

}  // namespace

const char* FindKeywordSpelling(const KeywordSet& set, const char* word, size_t length)
{
    return FindInWordIndex(set.index, word, length, length);
}

void ApplyKeywordCase(char* block, size_t readable, const LineSpan* lines, size_t lineCount, const KeywordSet& set)
{
    if (lineCount == 0) return;
    LineBitmaps maps;
    ClassifyText(block, lines[lineCount - 1].start + lines[lineCount - 1].length, readable, maps);
    for (size_t i = 0; i < lineCount; ++i) ConvertLine(block, lines[i], readable, maps, set);
}

std::string& ApplyKeywordCase(std::string& line, const KeywordSet& set)
{
    LineSpan whole{0, line.size()};
    ApplyKeywordCase(line.data(), line.size(), &whole, 1, set);
    return line;
}

}  // namespace recasor
