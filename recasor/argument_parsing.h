#pragma once
// recasor's command line, read with CLI11.

#include <optional>

#include "options.h"

namespace recasor {

// The options, or the exit code when the run ends here: 0 after --help or
// --version (printed on standard output), 2 after a usage error (printed on
// standard error).
struct ParsedArguments {
    RecasorOptions options;
    std::optional<int> exitNow;
};

ParsedArguments ParseArguments(int argc, const char* const* argv, const char* version);

}  // namespace recasor
