#include "vocabulary_file.h"

#include <cstdio>

namespace recasor {

std::optional<std::string> ReadVocabularyFile(const std::string& fileName)
{
    // Read to the end rather than trusting a size from seeking: a folder
    // opened as a stream reports an absurd size and then fails to read.
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string text;
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return text;
}

}  // namespace recasor
