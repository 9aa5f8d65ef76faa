#pragma once
// Turning the command line's paths into the list of files to convert, each
// with the context (settings and keyword set) of its nearest settings file.
// Problems (a missing path, a broken settings or vocabulary file) are
// written to standard error at once, each once, and mark the run failed.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "conversion_context.h"
#include "name_bindings.h"
#include "options.h"
#include "settings_files.h"

namespace recasor {

struct SourceJob {
    std::string shownName;  // as the user would write it
    std::string target;     // the file read and rewritten (a link resolved)
    const ConversionContext* context;
    const FileSpellings* names = nullptr;  // when declared names are written as declared
};

struct SourceCollection {
    const RecasorOptions& options;
    std::string currentFolder;
    std::string defaultVocabulary;
    SettingsFiles settingsFiles{};
    VocabularyCache vocabularies{};
    // By settings file (nullptr: none) and the dialect a file name tells.
    std::map<std::pair<const SettingsFile*, std::optional<Dialect>>, ConversionContext> contexts{};
    std::map<const SettingsFile*, FileSelection> selections{};
    std::set<std::string> targets{};
    std::vector<SourceJob> jobs{};
    bool failed = false;
};

// Writes "recasor: PATH: reason" to standard error.
void ReportProblem(const std::string& path, const std::string& reason);

// The context for files in `folder` (absolute), made on first use.
// `fileDialect` is the dialect where neither the options nor the settings
// name one.
const ConversionContext& ContextForFolder(SourceCollection& collection, const std::string& folder,
                                          std::optional<Dialect> fileDialect = std::nullopt);

// Adds the files that the paths name (walking folders) to `collection.jobs`.
void CollectSources(SourceCollection& collection, const std::vector<std::string>& paths);

}  // namespace recasor
