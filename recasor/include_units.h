#pragma once
// Include units: the files that #include joins, whose module-level names
// bind in all of them. A file's includes are found as the compiler finds
// them, in the including file's folder, then in the include folders of the
// settings. The names of a unit are taken in the order the compiler reads
// them: from each file that no other includes (in name order), the included
// file's names where its #include stands, each file once; so which
// declaration of a name comes first does not depend on the order files are
// given in.

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "declarations.h"
#include "name_bindings.h"

namespace recasor {

// Whether a file of this name (absolute and normal) is there to be read.
using IncludeLookup = std::function<bool(const std::string& path)>;

// The file an #include of `name` (as written after #include, with "/" or
// "\" between folders) in `includingFile` reads, or nothing.
std::optional<std::string> ResolveInclude(const std::string& includingFile, const std::string& name,
                                          const std::vector<std::string>& includeFolders, const IncludeLookup& exists);

// An #include that reads a file of the unit: where it stands, and the file.
struct IncludedFile {
    size_t offset;
    size_t file;  // an index of the unit's files
};

struct UnitFile {
    std::string path;  // absolute and normal
    FileDeclarations declarations;
    std::vector<IncludedFile> includes;  // in the order of the text
};

// Files gathered with the files their includes read, each once.
struct UnitGathering {
    std::vector<std::string> includeFolders;
    IncludeLookup exists;
    std::function<FileDeclarations(const std::string& path)> read;  // the declarations of a file not gathered yet
    std::vector<UnitFile> files;
    std::map<std::string, size_t> byPath;
};

// Adds a file whose declarations are at hand (unless it is there already),
// then, one after the other, the files its includes read. Its index.
size_t GatherFile(UnitGathering& gathering, const std::string& path, FileDeclarations declarations);

// The spellings of each file, by the index of `files`.
std::vector<FileSpellings> BindIncludeUnits(const std::vector<UnitFile>& files, const NameRules& rules);

}  // namespace recasor
