#pragma once
// The bit arithmetic of the 64-byte scans: the running XOR that tells
// strings, the addition whose carries fill a run of bits, the subtraction
// whose borrow spans blocks, the lowest set bit.
//
// Internal to each file that includes it (an unnamed namespace): the scans
// are built twice, once for AVX2, and a helper shared across the two builds
// could be taken by the linker from either.

#include <cstddef>
#include <cstdint>

namespace recasor {
namespace {

// Bit i of the result: the XOR of bits 0 to i.
inline uint64_t PrefixXor(uint64_t bits)
{
    for (int shift = 1; shift < 64; shift *= 2) bits ^= bits << shift;
    return bits;
}

inline uint64_t AddWithCarry(uint64_t left, uint64_t right, uint64_t& carry)
{
    uint64_t sum = left + right;
    uint64_t carryOut = sum < left;
    uint64_t total = sum + carry;
    carry = carryOut | (total < sum);
    return total;
}

inline uint64_t SubtractWithBorrow(uint64_t left, uint64_t right, uint64_t& borrow)
{
    uint64_t difference = left - right;
    uint64_t borrowOut = left < right;
    uint64_t total = difference - borrow;
    borrow = borrowOut | (difference < borrow);
    return total;
}

inline size_t LowestBit(uint64_t bits) { return static_cast<size_t>(__builtin_ctzll(bits)); }

}  // namespace
}  // namespace recasor
