#pragma once
// Include units: the files that #include joins, whose module-level names
// bind in all of them. A file's includes are found as the compiler finds
// them, in the including file's folder, then in the include folders of the
// settings. The names of a unit are taken in the order the compiler reads
// them: from each file that no other includes (in name order), each
// #include read where it stands, each file once; so which declaration of a
// name comes first does not depend on the order files are given in.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "declarations.h"
#include "name_bindings.h"

namespace recasor {

// The file that `name` (as written after #include, / or \ between folders)
// names when seen from `folder`, or nothing when there is no such file.
// The platform's lookup: a name whose letter case differs from the file's
// is found where the file system ignores case, and may be elsewhere too.
using IncludeLookup = std::function<std::optional<std::string>(const std::string& folder, const std::string& name)>;

// The file an #include in `includingFile` reads, or nothing.
std::optional<std::string> ResolveInclude(const std::string& includingFile, const std::string& name,
                                          const std::vector<std::string>& includeFolders, const IncludeLookup& lookup);

struct UnitFile {
    std::string path;  // absolute and normal
    FileDeclarations declarations;
    std::vector<size_t> includes;  // the files its #includes read, as indices, in the order of the text
};

// The spellings of each file, by the index of `files`.
std::vector<FileSpellings> BindIncludeUnits(const std::vector<UnitFile>& files, const NameRules& rules);

}  // namespace recasor
