#pragma once
// Letter case in this system concerns the ASCII letters only; every other byte,
// including all bytes from 128 up, is left exactly as it is.

#include <string>

namespace recasor {

inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }

inline void LowerInPlace(std::string& text)
{
    for (char& c : text) c = AsciiLower(c);
}

inline void UpperInPlace(std::string& text)
{
    for (char& c : text) c = AsciiUpper(c);
}

}  // namespace recasor
