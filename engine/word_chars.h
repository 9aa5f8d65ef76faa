#pragma once
// The characters a BASIC word is made of. At the bottom of the engine: the
// conversion, the line maps and the lookup table all rest on this one test.

#include <array>
#include <string_view>

namespace recasor {

constexpr std::array<bool, 256> MakeWordCharTable()
{
    std::array<bool, 256> table{};
    for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
    for (int c = '0'; c <= '9'; ++c) table[c] = true;
    for (char c : std::string_view("_%&$.!?@")) table[static_cast<unsigned char>(c)] = true;
    return table;
}

inline constexpr std::array<bool, 256> kWordChars = MakeWordCharTable();

// Letters a to z, digits and _ % & $ . ! ? @ (tested on lower-case text).
inline bool IsWordChar(char c) { return kWordChars[static_cast<unsigned char>(c)]; }

// The characters a number starts with: a digit, or the & of &H, &O and &B.
constexpr bool IsNumberStart(char c) { return (c >= '0' && c <= '9') || c == '&'; }

}  // namespace recasor
