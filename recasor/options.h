#pragma once
// What the command line asks recasor to do.

#include <optional>
#include <string>
#include <vector>

#include "vocabulary.h"

namespace recasor {

// How the names a program declares are written at their uses: as their
// declaration writes them, or as they stand (the vocabulary alone decides).
enum class IdentifierCase { Declaration, Keep };

enum class RunMode {
    InPlace,  // rewrite the files that change
    Check,    // list the files that would change
    Diff,     // show what would change as a unified diff
};

struct RecasorOptions {
    std::vector<std::string> paths;  // "-" is standard input
    RunMode mode = RunMode::InPlace;
    // Given on the command line, these replace the project settings.
    std::optional<Dialect> dialect;
    std::optional<CaseMode> keywordCase;
    std::optional<std::string> vocabulary;
    std::optional<IdentifierCase> identifiers;
    std::optional<std::vector<std::string>> include;
    std::optional<std::vector<std::string>> exclude;
    bool useSettings = true;  // false: no settings file is looked for
    unsigned jobs = 0;        // 0: one per processor
    // The filter converts standard input as if it were this file: its
    // settings, and the dialect its extension tells where they name none.
    std::optional<std::string> stdinFileName;
    bool languageServer = false;  // "recasor lsp": serve the language server protocol on stdin/stdout
};

}  // namespace recasor
