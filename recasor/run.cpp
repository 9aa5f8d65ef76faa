#include "run.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <thread>

#include "installed_files.h"
#include "name_pass.h"
#include "language_server_run.h"
#include "parallel_conversion.h"
#include "path_text.h"
#include "platform.h"
#include "source_collection.h"
#include "source_conversion.h"
#include "stream_conversion.h"
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
    const RunMode mode = collection.options.mode;
    const ConversionRules rules = RulesOf(context);
    bool changed = false, writable = true;
    auto block = [&](std::string_view original, std::string_view after) {
        changed = changed || original != after;
        if (mode == RunMode::InPlace) writable = writable && WriteStandardOutput(std::string(after));
        return writable && !(changed && mode == RunMode::Check);
    };
    // The input is read whole for a diff, which shows lines of both texts,
    // and where the names it declares are written as declared; else it
    // streams through, a block at a time.
    bool named = context.settings.identifiers == IdentifierCase::Declaration;
    if (mode == RunMode::Diff || named) {
        std::string content, reason;
        if (!ReadStandardInput(content, reason)) {
            ReportProblem(kStandardInputName, reason);
            return kExitError;
        }
        std::optional<FileSpellings> names;
        if (named) names = BindNamesOfText(content, fileName ? AbsoluteName(collection.currentFolder, *fileName) : "", context);
        if (mode == RunMode::Diff) {
            std::string converted = ConvertSource(content, rules, names ? &*names : nullptr);
            changed = converted != content;
            writable = WriteStandardOutput(UnifiedDiff(shownName, content, converted));
        } else {
            StreamConversion conversion = StartStreamConversion(rules, names ? &*names : nullptr);
            for (size_t at = 0; at < content.size() && !conversion.stopped; at += kSourcePieceBytes)
                TakePiece(conversion, std::string_view(content).substr(at, kSourcePieceBytes), block);
            FinishStreamConversion(conversion, block);
        }
    } else {
        StreamConversion conversion = StartStreamConversion(rules);
        std::string buffer(kSourcePieceBytes, '\0');
        while (!conversion.stopped) {
            size_t got = ReadStandardInputSome(buffer.data(), buffer.size());
            if (got == 0) break;
            TakePiece(conversion, std::string_view(buffer.data(), got), block);
        }
        FinishStreamConversion(conversion, block);
    }
    if (mode == RunMode::Check && changed) writable = WriteStandardOutput(shownName + "\n");
    if (!writable) {
        ReportProblem(kStandardInputName, "cannot write to standard output");
        return kExitError;
    }
    return changed && mode != RunMode::InPlace ? kExitChanges : kExitInShape;
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
    std::deque<FileSpellings> names;
    BindNamesOfJobs(collection.jobs, names, ThreadCount(options));
    ConversionTotals totals = ConvertFiles(collection.jobs, options.mode, ThreadCount(options));
    if (collection.failed || totals.anyFailed) return kExitError;
    return totals.anyChanged && options.mode != RunMode::InPlace ? kExitChanges : kExitInShape;
}

}  // namespace recasor
