#include "settings_files.h"

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "source_files.h"

namespace recasor {

namespace {

bool IsOrdinaryFile(const std::string& name)
{
    struct stat info;
    return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

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
    std::filesystem::path at(folder);
    for (;;) {
        auto cached = known.nearestByFolder.find(at.string());
        if (cached != known.nearestByFolder.end()) {
            nearest = cached->second;
            break;
        }
        visited.push_back(at.string());
        std::string candidate = (at / kSettingsFileName).string();
        if (IsOrdinaryFile(candidate)) {
            nearest = &known.files.emplace_back(LoadSettingsFile(candidate, at.string()));
            break;
        }
        if (!at.has_relative_path()) break;  // the root
        at = at.parent_path();
    }
    for (const std::string& name : visited) known.nearestByFolder[name] = nearest;
    return nearest;
}

}  // namespace recasor
