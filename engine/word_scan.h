#pragma once
// Finding the words of a block of lines that the conversion looks up, 64
// bytes at a time and without a branch per line or per word: bitmaps of the
// byte classes, the string state as a running XOR of the quotes, comments
// and DATA items filled to the line end by the carries of an addition.
//
// A word is a run of word characters outside string literals, apostrophe
// comments and DATA items; one more is the last character of a line that
// ends inside an unclosed string, when it is a word character.

#include <cstddef>
#include <cstdint>
#include "line_marks.h"

namespace recasor {

// What one block hands on to the next.
struct ScanCarry {
    uint64_t inString = 0;      // all ones when the byte before the block is inside a string
    uint64_t wordBefore = 0;    // 1 when the byte before the block is a word character ...
    uint64_t liveBefore = 0;    // ... and when it belongs to a word to look up
    uint64_t fillCarry = 0;     // the carry of the comment and DATA fill
    uint64_t spaceCarry = 0;    // the carry of the search for each line's first non-space
    uint64_t dataNext = 0;      // DATA items that start in the next block
    uint64_t numberCarry = 0;   // the carry through a number's characters to the byte after it
    uint64_t lineBorrow = 0;    // the borrow of the subtraction that finds the lines' bytes
};

// Words that need no lookup, for a vocabulary in which none is such a word
// (most words of a program are names and numbers, and many are one letter).
struct WordsToSkip {
    bool numbers = false;            // words that start with a digit or & (&H1F, say)
    bool singleCharacters = false;   // words of one character (most, not all: those at a block's end are kept)
};

// Word positions, in scan order: starts[i] and ends[i] delimit the i-th
// word once both are known (a word may end in a later block than it starts).
struct FoundWords {
    static constexpr size_t kBlocksPerRound = 32;
    // At most one word per two bytes, one word left from the round before,
    // and room for the eight-at-a-time writes past the last.
    static constexpr size_t kCapacity = kBlocksPerRound * 32 + 1 + 8;
    size_t starts[kCapacity];
    size_t ends[kCapacity];
    size_t startCount = 0;
    size_t endCount = 0;
};

// Scans the blocks [first, first + count) of the text (block b holds bytes
// [64 b, 64 b + 64)) and appends the positions of their words. `readable`
// counts the bytes from `text` on that may be read; whole blocks are read
// where they can be. Runs the AVX2 build of the scan where the processor
// has it.
void ScanBlocks(const char* text, size_t readable, const LineMarks& marks, size_t first, size_t count,
                const WordsToSkip& skip, ScanCarry& carry, FoundWords& words);

// The two builds of the scan, which find the same words: the one for any
// processor of the target (SSE2 where it can be assumed, else byte by
// byte), and where it is built, one that classifies 32 bytes at a time
// with AVX2.
namespace baseline {
void ScanBlocks(const char* text, size_t readable, const LineMarks& marks, size_t first, size_t count,
                const WordsToSkip& skip, ScanCarry& carry, FoundWords& words);
}
#if defined(RECASOR_AVX2_SCAN)
namespace avx2 {
void ScanBlocks(const char* text, size_t readable, const LineMarks& marks, size_t first, size_t count,
                const WordsToSkip& skip, ScanCarry& carry, FoundWords& words);
}
#endif

// Whether ScanBlocks runs the AVX2 build.
bool ScanUsesAvx2();

}  // namespace recasor
