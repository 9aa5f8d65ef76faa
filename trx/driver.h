#pragma once
// The batch tool from command tail to exit code.

#include <string>

namespace recasor {
struct KeywordSet;
}

inline constexpr const char* kDefaultSourceName = "C:\\Test.bas";

// Runs one conversion as the user asked for it; always returns 0.
int RunTrx(const std::string& commandTail);

// Shows the command-line syntax.
void ShowUsage();

// Converts `sourceName` into `sourceName` + ".bas". Reports a source that
// cannot be read, an output that cannot be written or memory that runs out
// (then no output is written), and plays the completion sounds only when
// the whole output is in place.
void ProcessFile(const std::string& sourceName, const recasor::KeywordSet& set);
