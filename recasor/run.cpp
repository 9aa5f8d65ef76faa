#include "run.h"

#include <algorithm>
#include <string>
#include <thread>

#include "installed_files.h"
#include "language_server_run.h"
#include "parallel_conversion.h"
#include "path_text.h"
#include "platform.h"
#include "source_collection.h"
#include "source_conversion.h"
#include "unified_diff.h"

namespace recasor {

namespace {

constexpr const char* kStandardInputName = "-";

// Standard input to standard output, with the settings of the current
// folder, or of the file that --stdin-filename names (then also shown in
// place of "-").
int RunFilter(SourceCollection& collection)
{
    const std::optional<std::string>& fileName = collection.options.stdinFileName;
    std::string shownName = fileName.value_or(kStandardInputName);
    const ConversionContext& context =
        fileName ? ContextForFolder(collection,
                                    TextOf((PathOf(collection.currentFolder) / PathOf(*fileName)).lexically_normal().parent_path()),
                                    DialectOfFileName(*fileName))
                 : ContextForFolder(collection, collection.currentFolder);
    if (!context.set) return kExitError;
    std::string content, reason;
    if (!ReadStandardInput(content, reason)) {
        ReportProblem(kStandardInputName, reason);
        return kExitError;
    }
    std::string converted = ConvertSource(content, RulesOf(context));
    bool changed = converted != content;
    std::string output;
    switch (collection.options.mode) {
        case RunMode::InPlace: output = converted; break;
        case RunMode::Check: output = changed ? shownName + "\n" : ""; break;
        case RunMode::Diff: output = UnifiedDiff(shownName, content, converted); break;
    }
    if (!WriteStandardOutput(output)) {
        ReportProblem(kStandardInputName, "cannot write to standard output");
        return kExitError;
    }
    return changed && collection.options.mode != RunMode::InPlace ? kExitChanges : kExitInShape;
}

unsigned ThreadCount(const RecasorOptions& options)
{
    if (options.jobs > 0) return options.jobs;
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

int RunRecasor(const RecasorOptions& options)
{
    if (options.languageServer) return RunLanguageServer(options);
    SourceCollection collection{.options = options,
                                .currentFolder = CurrentFolder(),
                                .defaultVocabulary = InstalledVocabularyPath()};
    bool filter = options.paths.empty() || (options.paths.size() == 1 && options.paths[0] == kStandardInputName);
    if (filter) {
        if (options.paths.empty() && StandardInputIsTerminal()) {
            ReportProblem(kStandardInputName, "no PATH given and standard input is a terminal (see recasor --help)");
            return kExitError;
        }
        return RunFilter(collection);
    }
    for (const std::string& path : options.paths) {
        if (path == kStandardInputName) {
            ReportProblem(kStandardInputName, "standard input cannot be converted together with other paths");
            return kExitError;
        }
    }
    CollectSources(collection, options.paths);
    ConversionTotals totals = ConvertFiles(collection.jobs, options.mode, ThreadCount(options));
    if (collection.failed || totals.anyFailed) return kExitError;
    return totals.anyChanged && options.mode != RunMode::InPlace ? kExitChanges : kExitInShape;
}

}  // namespace recasor
