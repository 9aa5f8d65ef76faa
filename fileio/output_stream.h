#pragma once
// The stream part of an output, the same on every platform (for the
// platform layers of output_file.h).

#include "output_file.h"

// Flushes and closes the output's stream; true when every write and the
// close succeeded. The stream is gone afterwards either way.
bool CloseOutputStream(PendingOutput& output);
