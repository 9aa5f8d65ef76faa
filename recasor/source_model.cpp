#include "source_model.h"

#include "source_model_scan.h"

namespace recasor {

SourceRules DialectSourceRules(Dialect dialect)
{
    bool freeBasic = dialect == Dialect::FreeBasic;
    return SourceRules{.dialect = dialect,
                       .blockComments = freeBasic,
                       .continuationComments = freeBasic,
                       .escapedStrings = freeBasic};
}

void MarkLine(std::string_view line, const SourceRules& rules, SourceState& state, std::vector<SourceRegion>& regions)
{
    regions.clear();
    source_scan::ScanText(
        {line.data(), line.size(), line.size()}, rules, state,
        [&](size_t start, size_t length, RegionKind kind) {
            regions.push_back({static_cast<uint32_t>(start), static_cast<uint32_t>(length), kind});
        },
        [](size_t, size_t) {});
}

namespace {

// Whether the line may hold an Option Escape statement: one starts the
// line (after a line number, maybe), or follows a colon.
bool MayHoldOptionEscape(std::string_view line)
{
    source_scan::Text text{line.data(), line.size(), line.size()};
    size_t at = source_scan::SkipBlanks(text, 0);
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
    return source_scan::WordAt(text, source_scan::SkipBlanks(text, at), "option") ||
           line.find(':') != std::string_view::npos;
}

}  // namespace

void AdvanceSourceState(std::string_view line, const SourceRules& rules, SourceState& state)
{
    // Only block comment markers (which hold an apostrophe), a continuation
    // _ and Option Escape hand anything on to the next line.
    bool markers = rules.blockComments && line.find('\'') != std::string_view::npos;
    bool escape = rules.escapedStrings && !state.escapeByDefault && MayHoldOptionEscape(line);
    if (state.blockDepth == 0 && !markers && !escape && line.find('_') == std::string_view::npos) {
        state.continued = false;
        return;
    }
    source_scan::ScanText({line.data(), line.size(), line.size()}, rules, state, [](size_t, size_t, RegionKind) {},
                          [](size_t, size_t) {});
}

}  // namespace recasor
