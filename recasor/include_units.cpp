#include "include_units.h"

#include <algorithm>
#include <numeric>

#include "path_text.h"

namespace recasor {

namespace {

// Files joined by includes, either way, share one root.
size_t Root(std::vector<size_t>& parent, size_t file)
{
    while (parent[file] != file) file = parent[file] = parent[parent[file]];
    return file;
}

// A stretch of one file's text, as the compiler reads the unit.
struct Stretch {
    size_t file;
    size_t from;
    size_t to;
};

// The stretches of a file and, where its #includes stand, of the files they
// read (each file once), in the order the compiler reads them.
void ReadInOrder(const std::vector<UnitFile>& files, size_t file, std::vector<bool>& seen, std::vector<Stretch>& order)
{
    if (seen[file]) return;
    seen[file] = true;
    size_t from = 0;
    for (const IncludedFile& include : files[file].includes) {
        order.push_back({file, from, include.offset});
        from = include.offset;
        ReadInOrder(files, include.file, seen, order);
    }
    order.push_back({file, from, SIZE_MAX});
}

}  // namespace

std::optional<std::string> ResolveInclude(const std::string& includingFile, const std::string& name,
                                          const std::vector<std::string>& includeFolders, const IncludeLookup& exists)
{
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');  // FreeBASIC takes either separator
    if (relative.empty()) return std::nullopt;
    std::string here = AbsoluteName(FolderOf(includingFile), relative);
    if (exists(here)) return here;
    for (const std::string& folder : includeFolders) {
        std::string there = AbsoluteName(folder, relative);
        if (exists(there)) return there;
    }
    return std::nullopt;
}

size_t GatherFile(UnitGathering& gathering, const std::string& path, FileDeclarations declarations)
{
    auto known = gathering.byPath.find(path);
    if (known != gathering.byPath.end()) return known->second;
    size_t at = gathering.files.size();
    gathering.byPath.emplace(path, at);
    gathering.files.push_back({path, std::move(declarations), {}});
    if (path.empty()) return at;  // no file: no folder to look for includes in
    std::vector<std::pair<size_t, std::string>> included;  // where, and which file
    for (const IncludeDirective& include : gathering.files[at].declarations.includes)
        if (std::optional<std::string> found =
                ResolveInclude(path, include.name, gathering.includeFolders, gathering.exists))
            included.emplace_back(include.offset, *found);
    for (const auto& [offset, file] : included) {
        auto gathered = gathering.byPath.find(file);
        size_t index = gathered != gathering.byPath.end() ? gathered->second
                                                            : GatherFile(gathering, file, gathering.read(file));
        gathering.files[at].includes.push_back({offset, index});
    }
    return at;
}

std::vector<FileSpellings> BindIncludeUnits(const std::vector<UnitFile>& files, const NameRules& rules)
{
    const size_t count = files.size();
    std::vector<size_t> parent(count);
    std::iota(parent.begin(), parent.end(), size_t{0});
    std::vector<bool> included(count, false);
    for (size_t file = 0; file < count; ++file) {
        for (const IncludedFile& other : files[file].includes) {
            parent[Root(parent, other.file)] = Root(parent, file);
            if (other.file != file) included[other.file] = true;
        }
    }
    // Readers first: the files no other includes, then (for cycles) the rest,
    // each in name order.
    std::vector<size_t> byName(count);
    std::iota(byName.begin(), byName.end(), size_t{0});
    std::sort(byName.begin(), byName.end(), [&](size_t a, size_t b) { return files[a].path < files[b].path; });
    std::vector<bool> seen(count, false);
    std::vector<Stretch> order;
    for (bool readers : {true, false})
        for (size_t file : byName)
            if (!readers || !included[file]) ReadInOrder(files, file, seen, order);

    std::vector<UnitSpellings> units(count);
    for (const Stretch& stretch : order)
        AddUnitDeclarations(units[Root(parent, stretch.file)], files[stretch.file].declarations, rules, stretch.from,
                            stretch.to);
    std::vector<FileSpellings> spellings;
    spellings.reserve(count);
    for (size_t file = 0; file < count; ++file)
        spellings.push_back(BindFile(files[file].declarations, units[Root(parent, file)], rules));
    return spellings;
}

}  // namespace recasor
