#pragma once
// Walking folders for source files. Folders are walked recursively, in name
// order; a symbolic link to a file is taken like the file (the file it
// points to is the one rewritten), a link to a folder is not followed (nor,
// on Windows, a junction). Hidden and system files are walked like any
// other.

#include <functional>
#include <string>

#include "settings.h"

namespace recasor {

struct WalkHandlers {
    // The selection that applies to the entries of a folder (absolute name).
    std::function<const FileSelection&(const std::string& folder)> selectionFor;
    // A file to convert: the name to show and its absolute name.
    std::function<void(const std::string& shownName, const std::string& absoluteName)> takeFile;
    std::function<void(const std::string& shownName, const std::string& reason)> reportError;
};

// `shownFolder` is the folder as the user named it, `absoluteFolder` its
// absolute, normal name; `currentFolder` is where relative patterns of the
// command line start.
void WalkFolder(const std::string& shownFolder, const std::string& absoluteFolder, const std::string& currentFolder,
                const WalkHandlers& handlers);

}  // namespace recasor
