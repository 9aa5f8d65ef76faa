#include "source_walk.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace recasor {

namespace fs = std::filesystem;

namespace {

// A pattern with a "/" matches the path below its base folder; one without
// matches the entry's own name.
bool MatchesAny(const std::vector<std::string>& patterns, const std::string& base, const std::string& currentFolder,
                const fs::path& entry)
{
    for (const std::string& pattern : patterns) {
        if (pattern.find('/') == std::string::npos) {
            if (::fnmatch(pattern.c_str(), entry.filename().c_str(), FNM_PERIOD) == 0) return true;
            continue;
        }
        fs::path below = entry.lexically_relative(base.empty() ? fs::path(currentFolder) : fs::path(base));
        if (::fnmatch(pattern.c_str(), below.c_str(), FNM_PATHNAME | FNM_PERIOD) == 0) return true;
    }
    return false;
}

std::string ShownChild(const std::string& shownFolder, const std::string& name)
{
    if (shownFolder.empty() || shownFolder.back() == '/') return shownFolder + name;
    return shownFolder + "/" + name;
}

}  // namespace

void WalkFolder(const std::string& shownFolder, const std::string& absoluteFolder, const std::string& currentFolder,
                const WalkHandlers& handlers)
{
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(absoluteFolder, error), end; !error && it != end; it.increment(error))
        entries.push_back(*it);
    if (error) {
        handlers.reportError(shownFolder, "cannot read the folder: " + error.message());
        return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path().filename() < b.path().filename(); });

    // Copied: the handler may look up other folders' selections meanwhile.
    const FileSelection selection = handlers.selectionFor(absoluteFolder);
    for (const fs::directory_entry& entry : entries) {
        std::string name = entry.path().filename().string();
        std::string shown = ShownChild(shownFolder, name);
        if (MatchesAny(selection.exclude, selection.excludeBase, currentFolder, entry.path())) continue;
        bool isLink = entry.is_symlink(error);
        bool isFolder = entry.is_directory(error);  // follows a link
        if (isFolder) {
            if (!isLink) WalkFolder(shown, entry.path().string(), currentFolder, handlers);
            continue;
        }
        if (!MatchesAny(selection.include, selection.includeBase, currentFolder, entry.path())) continue;
        // Whatever else it is (a broken link, a FIFO), reading will say so.
        handlers.takeFile(shown, entry.path().string());
    }
}

}  // namespace recasor
