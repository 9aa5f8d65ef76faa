#include "progress_line.h"

#include <string>

#include "platform.h"

namespace recasor {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

}  // namespace

ProgressLine StartProgressLine()
{
    ProgressLine line;
    line.enabled = StandardErrorIsTerminal();
    line.start = Clock::now();
    return line;
}

void DrawProgress(ProgressLine& line, size_t done, size_t total)
{
    auto now = Clock::now();
    if (!line.enabled || now - line.start < kQuietStart || (line.shown && now - line.lastDrawn < kRedrawEvery)) return;
    WriteStandardError("\rrecasor: " + std::to_string(done) + " of " + std::to_string(total) + " files\x1b[K");
    line.shown = true;
    line.lastDrawn = now;
}

void WipeProgress(ProgressLine& line)
{
    if (!line.shown) return;
    WriteStandardError("\r\x1b[K");
    line.shown = false;
}

}  // namespace recasor
