#include "settings_files.h"

#include <vector>

#include "path_text.h"
#include "platform.h"

namespace recasor {

namespace {

SettingsFile LoadSettingsFile(const std::string& path, const std::string& folder)
{
    SettingsFile file{path, folder, {}, {}};
    std::string text, reason;
    if (!ReadSourceFile(path, text, reason))
        file.error = reason;
    else
        ParseSettings(text, file.settings, file.error);
    return file;
}

}  // namespace

const SettingsFile* NearestSettings(SettingsFiles& known, const std::string& folder)
{
    std::vector<std::string> visited;
    const SettingsFile* nearest = nullptr;
    std::string at = folder;
    for (;;) {
        auto cached = known.nearestByFolder.find(at);
        if (cached != known.nearestByFolder.end()) {
            nearest = cached->second;
            break;
        }
        visited.push_back(at);
        std::string candidate = TextOf(PathOf(at) / kSettingsFileName);
        if (IsOrdinaryFile(candidate)) {
            nearest = &known.files.emplace_back(LoadSettingsFile(candidate, at));
            break;
        }
        if (IsTopFolder(at)) break;
        at = FolderOf(at);
    }
    for (const std::string& name : visited) known.nearestByFolder[name] = nearest;
    return nearest;
}

}  // namespace recasor
