#pragma once
// Finding the nearest settings file above a folder, as .editorconfig and
// .clang-format are found. Each folder is looked at once per run.

#include <deque>
#include <map>
#include <string>

#include "settings.h"

namespace recasor {

struct SettingsFile {
    std::string path;    // the .recasor.toml file
    std::string folder;  // the folder that holds it
    ProjectSettings settings;
    std::string error;   // why it could not be used; empty when it can
};

struct SettingsFiles {
    std::map<std::string, const SettingsFile*> nearestByFolder;  // nullptr: none up to the root
    std::deque<SettingsFile> files;
};

// The settings file in `folder` (an absolute, normal path) or the nearest
// folder above it, up to the root (on Windows the drive's root or the
// UNC share), or nullptr when there is none.
const SettingsFile* NearestSettings(SettingsFiles& known, const std::string& folder);

}  // namespace recasor
