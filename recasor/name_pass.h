#pragma once
// Before the files of a run are converted: the names they declare, read
// from each file and from the files their includes read, bound by include
// unit (see include_units.h), for the files whose settings write uses of
// declared names as declared. Each such file is read whole once more for
// this: the declaration pass holds one file at a time per thread, the
// conversion after it streams.

#include <deque>
#include <vector>

#include "name_bindings.h"
#include "source_collection.h"

namespace recasor {

// Sets the `names` of the jobs that write declared names, from spellings
// kept in `spellings`. A file that cannot be read is left to the
// conversion, which reports it; an include that cannot be read declares
// nothing.
void BindNamesOfJobs(std::vector<SourceJob>& jobs, std::deque<FileSpellings>& spellings, unsigned threads);

// The spellings of one text read from elsewhere (standard input), taken as
// the file `path` ("" for none: its includes are not read).
FileSpellings BindNamesOfText(std::string_view text, const std::string& path, const ConversionContext& context);

}  // namespace recasor
