#pragma once
// Where the lines of a stretch of text end and where their first token
// stands, found 64 bytes at a time with bit arithmetic, and which lines
// hold anything that may make them more than they seem: for a reader that
// passes over the many lines whose first word is all it needs (see
// LineReader::PassQuietLines in statement_tokens.h).
//
// A line is quiet here when it holds no colon (which may start another
// statement), no _ with no letter beside it (which may continue the line)
// and, where the rules have block comments, no /' (which may open one): its
// only statement starts at its first token, whatever strings and comments
// it holds, and it hands nothing on to the next line. Each line is read as
// if nothing came before it: the reader asks only about lines that start
// with no block comment open and no line continued into them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "source_model.h"

namespace recasor {

struct LineBits {
    static constexpr size_t kBlocks = 64;  // a stretch of 4 KiB

    size_t base = 0;  // where the stretch starts in the text: a line's start
    size_t end = 0;   // where it ends: 4 KiB on, or the text's end
    // One bit per byte, byte base + 64 * k + i at bit i of word k.
    std::array<uint64_t, kBlocks> lineEnds{};  // LF and CR, and every byte past `end`
    std::array<uint64_t, kBlocks> firsts{};    // each line's first byte other than a blank
    std::array<uint64_t, kBlocks> loud{};      // what makes a line not quiet
    std::array<uint64_t, kBlocks> events{};    // firsts and loud together

    // The first position in [from, to) whose bit of `words` is set, or `to`
    // (base <= from <= to <= end).
    size_t First(const std::array<uint64_t, kBlocks>& words, size_t from, size_t to) const
    {
        size_t at = from - base;
        size_t stop = to - base;
        while (at < stop) {
            uint64_t bits = words[at / 64] >> (at % 64);
            if (bits != 0) return std::min(to, base + at + static_cast<size_t>(__builtin_ctzll(bits)));
            at = (at / 64 + 1) * 64;
        }
        return to;
    }
};

// The last position in [from, to) whose bit of `words` is set, or `to`
// (base <= from <= to <= end).
inline size_t LastBit(const LineBits& bits, const std::array<uint64_t, LineBits::kBlocks>& words, size_t from,
                      size_t to)
{
    size_t low = from - bits.base;
    for (size_t at = to - bits.base; at > low;) {
        size_t word = (at - 1) / 64;
        size_t top = at - word * 64;  // bits [0, top) of the word are before `at`
        uint64_t set = words[word] & (top == 64 ? ~uint64_t{0} : (uint64_t{1} << top) - 1);
        if (set != 0) {
            size_t found = word * 64 + 63 - static_cast<size_t>(__builtin_clzll(set));
            return found >= low ? bits.base + found : to;
        }
        at = word * 64;
    }
    return to;
}

// Fills `bits` for the stretch of `text` from `base`, the start of a line.
void MarkLineBits(std::string_view text, size_t base, const SourceRules& rules, LineBits& bits);

// The ways the bits are found: byte by byte, 16 bytes at a time (SSE2), 32
// (AVX2). MarkLineBits takes the fastest the build and the processor have;
// the tests hold the others to the same bits.
enum class LineBitsBuild : uint8_t { Bytes, Sse2, Avx2 };
bool HasLineBitsBuild(LineBitsBuild build);
void MarkLineBits(std::string_view text, size_t base, const SourceRules& rules, LineBits& bits, LineBitsBuild build);

}  // namespace recasor
