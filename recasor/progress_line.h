#pragma once
// A progress line on standard error for long runs: shown only when standard
// error is a terminal and the run has taken more than a second, redrawn in
// place, and wiped before anything else is written there.

#include <chrono>
#include <cstddef>

namespace recasor {

struct ProgressLine {
    bool enabled = false;
    bool shown = false;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDrawn;
};

ProgressLine StartProgressLine();
void DrawProgress(ProgressLine& line, size_t done, size_t total);
void WipeProgress(ProgressLine& line);

}  // namespace recasor
