#pragma once
// Converting a text that comes in pieces of any size (a file read a block
// at a time, standard input), in blocks of whole lines: memory stays a block
// plus the longest line, whatever the text's size. The source state and the
// declared names' cursor go on from block to block; a CR at a piece's end
// waits for the next piece, which may hold its LF.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "source_conversion.h"

namespace recasor {

// Receives each block as it was and as converted (of the same length), in
// order; false stops the conversion.
using ConvertedBlock = std::function<bool(std::string_view original, std::string_view converted)>;

inline constexpr size_t kStreamBlockBytes = 1 << 20;

struct StreamConversion {
    ConversionRules rules;
    std::optional<DeclaredNames> names;
    size_t blockBytes;  // lines are converted once this many bytes wait
    SourceState state;
    std::string pending;  // bytes taken and not yet converted: the start of a line
    std::string work;     // the block being converted, and room after it
    bool started = false;
    bool stopped = false;
};

StreamConversion StartStreamConversion(const ConversionRules& rules, const FileSpellings* names = nullptr,
                                       size_t blockBytes = kStreamBlockBytes);

// Takes the next piece of the text; converts what whole lines there are
// once they make a block. False when `block` asked to stop.
bool TakePiece(StreamConversion& conversion, std::string_view piece, const ConvertedBlock& block);

// The text has ended: converts the rest.
bool FinishStreamConversion(StreamConversion& conversion, const ConvertedBlock& block);

}  // namespace recasor
