#pragma once
// Which directory entries count as found in TRX's existence test. Only the
// attribute byte is compared with the mask: the runtime's directory search
// passes Windows' higher attribute bits through (compressed 0x800, not
// content-indexed 0x2000, sparse 0x200, temporary 0x100, ...), and those do
// not make an existing file any less there. System (0x04) and volume label
// (0x08) still keep an entry from counting.

inline constexpr unsigned kAttributeByte = 0xFF;

inline bool WithinAttributeMask(unsigned attributes, unsigned mask) { return (attributes & kAttributeByte & ~mask) == 0; }
