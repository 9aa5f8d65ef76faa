#pragma once
// One run of recasor, from the parsed command line to the exit code:
// 0 when everything is in shape (or was rewritten), 1 when --check or
// --diff found changes, 2 when anything went wrong.

#include "options.h"

namespace recasor {

inline constexpr int kExitInShape = 0;
inline constexpr int kExitChanges = 1;
inline constexpr int kExitError = 2;

int RunRecasor(const RecasorOptions& options);

}  // namespace recasor
