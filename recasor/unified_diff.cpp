#include "unified_diff.h"

#include <algorithm>
#include <vector>

#include "line_splitter.h"

namespace recasor {

namespace {

constexpr size_t kContext = 3;

std::string_view LineOf(std::string_view text, const LineSpan& line) { return text.substr(line.start, line.length); }

}  // namespace

std::string UnifiedDiff(std::string_view name, std::string_view before, std::string_view after)
{
    if (before == after) return "";
    std::vector<LineSpan> lines = SplitLines(before);
    // A byte order mark is shown as part of the first line, so that the diff applies.
    if (!lines.empty() && lines[0].start != 0) lines[0] = {0, lines[0].start + lines[0].length};
    std::vector<size_t> changed;
    for (size_t i = 0; i < lines.size(); ++i)
        if (LineOf(before, lines[i]) != LineOf(after, lines[i])) changed.push_back(i);

    std::string diff = "--- " + std::string(name) + "\n+++ " + std::string(name) + "\n";
    size_t next = 0;
    while (next < changed.size()) {
        // One hunk: changed lines whose context overlaps or touches.
        size_t last = next;
        while (last + 1 < changed.size() && changed[last + 1] - changed[last] <= 2 * kContext + 1) ++last;
        size_t first = changed[next] >= kContext ? changed[next] - kContext : 0;
        size_t end = std::min(lines.size(), changed[last] + kContext + 1);
        std::string range = std::to_string(first + 1) + "," + std::to_string(end - first);
        diff += "@@ -" + range + " +" + range + " @@\n";
        for (size_t i = first; i < end;) {
            if (LineOf(before, lines[i]) == LineOf(after, lines[i])) {
                diff.append(" ").append(LineOf(before, lines[i])).append("\n");
                ++i;
                continue;
            }
            // A run of changed lines: the old ones, then the new ones.
            size_t runEnd = i;
            while (runEnd < end && LineOf(before, lines[runEnd]) != LineOf(after, lines[runEnd])) ++runEnd;
            for (size_t k = i; k < runEnd; ++k) diff.append("-").append(LineOf(before, lines[k])).append("\n");
            for (size_t k = i; k < runEnd; ++k) diff.append("+").append(LineOf(after, lines[k])).append("\n");
            i = runEnd;
        }
        next = last + 1;
    }
    return diff;
}

}  // namespace recasor
