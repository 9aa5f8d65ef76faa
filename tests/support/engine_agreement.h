#pragma once
// Which lines the line engine (and so trx) reads as recasor's source model
// does: those made of code, plain "..." strings and at most an apostrophe
// comment at the end, in a line that neither continues a statement nor
// starts inside a block comment. On those lines recasor and the engine must
// give the same result.

#include <string_view>
#include <vector>

#include "source_model.h"

inline bool EngineReadsAlike(std::string_view line, const recasor::SourceState& before,
                             const std::vector<recasor::SourceRegion>& regions)
{
    using recasor::RegionKind;
    if (before.blockDepth > 0 || before.continued) return false;
    for (const recasor::SourceRegion& region : regions) {
        std::string_view text = line.substr(region.start, region.length);
        switch (region.kind) {
            case RegionKind::Code: break;
            case RegionKind::String:
                if (!text.starts_with('"') || text.size() < 2 || !text.ends_with('"')) return false;
                if (before.escapeByDefault && text.find('\\') != std::string_view::npos) return false;
                break;
            case RegionKind::Comment:
                if (!text.starts_with('\'') || region.start + region.length != line.size()) return false;
                break;
            default: return false;
        }
    }
    return true;
}
