#pragma once
// Converting the collected files on several threads. Each file is read,
// converted and (in place) rewritten by one thread; what the run prints
// comes out in the order of the files, whatever the number of threads.

#include <vector>

#include "options.h"
#include "source_collection.h"

namespace recasor {

struct ConversionTotals {
    bool anyChanged = false;
    bool anyFailed = false;
};

ConversionTotals ConvertFiles(const std::vector<SourceJob>& jobs, RunMode mode, unsigned threads);

}  // namespace recasor
