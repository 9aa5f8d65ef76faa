#include "include_units.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

namespace recasor {

namespace {

// Files joined by includes, either way, share one root.
size_t Root(std::vector<size_t>& parent, size_t file)
{
    while (parent[file] != file) file = parent[file] = parent[parent[file]];
    return file;
}

// The files of one unit in the order the compiler reads them.
void ReadInOrder(const std::vector<UnitFile>& files, size_t file, std::vector<bool>& seen, std::vector<size_t>& order)
{
    if (seen[file]) return;
    seen[file] = true;
    order.push_back(file);
    for (size_t included : files[file].includes) ReadInOrder(files, included, seen, order);
}

}  // namespace

std::optional<std::string> ResolveInclude(const std::string& includingFile, const std::string& name,
                                          const std::vector<std::string>& includeFolders, const IncludeLookup& lookup)
{
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (relative.empty()) return std::nullopt;
    if (std::filesystem::path(relative).is_absolute()) return lookup("", relative);
    if (std::optional<std::string> found = lookup(std::filesystem::path(includingFile).parent_path().string(), relative))
        return found;
    for (const std::string& folder : includeFolders)
        if (std::optional<std::string> found = lookup(folder, relative)) return found;
    return std::nullopt;
}

std::vector<FileSpellings> BindIncludeUnits(const std::vector<UnitFile>& files, const NameRules& rules)
{
    const size_t count = files.size();
    std::vector<size_t> parent(count);
    std::iota(parent.begin(), parent.end(), size_t{0});
    std::vector<bool> included(count, false);
    for (size_t file = 0; file < count; ++file) {
        for (size_t other : files[file].includes) {
            parent[Root(parent, other)] = Root(parent, file);
            if (other != file) included[other] = true;
        }
    }
    // Readers first: the files no other includes, then (for cycles) the rest,
    // each in name order.
    std::vector<size_t> byName(count);
    std::iota(byName.begin(), byName.end(), size_t{0});
    std::sort(byName.begin(), byName.end(), [&](size_t a, size_t b) { return files[a].path < files[b].path; });
    std::vector<bool> seen(count, false);
    std::vector<size_t> order;
    for (bool readers : {true, false})
        for (size_t file : byName)
            if (!readers || !included[file]) ReadInOrder(files, file, seen, order);

    std::vector<UnitSpellings> units(count);
    for (size_t file : order) AddUnitDeclarations(units[Root(parent, file)], files[file].declarations, rules);
    std::vector<FileSpellings> spellings;
    spellings.reserve(count);
    for (size_t file = 0; file < count; ++file)
        spellings.push_back(BindFile(files[file].declarations, units[Root(parent, file)], rules));
    return spellings;
}

}  // namespace recasor
