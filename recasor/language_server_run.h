#pragma once
// "recasor lsp": the language server on standard input and output.

#include "options.h"

namespace recasor {

// Serves until the client says exit or closes standard input; the exit code.
int RunLanguageServer(const RecasorOptions& options);

}  // namespace recasor
