#include "source_walk.h"

#include <algorithm>
#include <vector>

#include "path_text.h"
#include "platform.h"

namespace recasor {

namespace {

// A pattern with a separator matches the path below its base folder; one
// without matches the entry's own name.
bool MatchesAny(const std::vector<std::string>& patterns, const std::string& base, const std::string& currentFolder,
                const std::string& entryPath, const std::string& entryName)
{
    for (const std::string& pattern : patterns) {
        if (!HasSeparator(pattern)) {
            if (MatchesPattern(pattern, entryName, false)) return true;
            continue;
        }
        std::string below = TextOf(PathOf(entryPath).lexically_relative(PathOf(base.empty() ? currentFolder : base)));
        if (MatchesPattern(pattern, below, true)) return true;
    }
    return false;
}

}  // namespace

void WalkFolder(const std::string& shownFolder, const std::string& absoluteFolder, const std::string& currentFolder,
                const WalkHandlers& handlers)
{
    std::vector<FolderEntry> entries;
    std::string reason;
    if (!ListFolder(absoluteFolder, entries, reason)) {
        handlers.reportError(shownFolder, "cannot read the folder: " + reason);
        return;
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });

    // Copied: the handler may look up other folders' selections meanwhile.
    const FileSelection selection = handlers.selectionFor(absoluteFolder);
    for (const FolderEntry& entry : entries) {
        std::string path = TextOf(PathOf(absoluteFolder) / PathOf(entry.name));
        std::string shown = ShownChild(shownFolder, entry.name);
        if (MatchesAny(selection.exclude, selection.excludeBase, currentFolder, path, entry.name)) continue;
        if (entry.isFolder) {
            if (!entry.isLink) WalkFolder(shown, path, currentFolder, handlers);
            continue;
        }
        if (!MatchesAny(selection.include, selection.includeBase, currentFolder, path, entry.name)) continue;
        // Whatever else it is (a broken link, a FIFO), reading will say so.
        handlers.takeFile(shown, path);
    }
}

}  // namespace recasor
