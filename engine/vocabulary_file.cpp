#include "vocabulary_file.h"

#include <cstdio>

namespace recasor {

namespace {

// The file's size plus one (so that the end shows without growing), or a
// modest guess when the size is unknown. A folder opened as a stream
// reports an absurd size, so a size beyond any real vocabulary is ignored.
size_t FirstReadSize(std::FILE* file)
{
    constexpr long kGuess = 1 << 16;
    constexpr long kLargestTrusted = 1L << 30;
    if (std::fseek(file, 0, SEEK_END) != 0) return kGuess;
    long size = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return 0;
    return static_cast<size_t>(size > 0 && size < kLargestTrusted ? size + 1 : kGuess);
}

}  // namespace

std::optional<std::string> ReadVocabularyFile(const std::string& fileName)
{
    // Read to the end rather than trusting the size: the size only tells
    // how much room to make, straight in the string that keeps the text.
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string text(FirstReadSize(file), '\0');
    size_t used = 0;
    bool failed = text.empty();  // the file could not be rewound
    while (!failed) {
        if (used == text.size()) text.resize(text.size() * 2);
        size_t got = std::fread(text.data() + used, 1, text.size() - used, file);
        used += got;
        if (got == 0) break;
    }
    failed = failed || std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    text.resize(used);
    return text;
}

}  // namespace recasor
