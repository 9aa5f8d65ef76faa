#pragma once
// The vocabulary file itself: its usual name, and reading it whole. The rest
// of the engine works on text and never opens a file.

#include <optional>
#include <string>

namespace recasor {

inline constexpr const char* kKeywordsFileName = "Keywords.ini";

// The whole file as raw bytes, or nothing when it cannot be opened or read.
std::optional<std::string> ReadVocabularyFile(const std::string& fileName);

}  // namespace recasor
