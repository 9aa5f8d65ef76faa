#include "source_collection.h"

#include "path_text.h"
#include "platform.h"
#include "source_walk.h"

namespace recasor {

namespace {

const SettingsFile* SettingsForFolder(SourceCollection& collection, const std::string& folder)
{
    return collection.options.useSettings ? NearestSettings(collection.settingsFiles, folder) : nullptr;
}

const FileSelection& SelectionForFolder(SourceCollection& collection, const std::string& folder)
{
    const SettingsFile* settings = SettingsForFolder(collection, folder);
    auto known = collection.selections.find(settings);
    if (known != collection.selections.end()) return known->second;
    FileSelection selection = settings != nullptr && settings->error.empty()
                                  ? ResolveSelection(collection.options, &settings->settings, settings->folder)
                                  : ResolveSelection(collection.options, nullptr, "");
    return collection.selections.emplace(settings, std::move(selection)).first->second;
}

void TakeFile(SourceCollection& collection, const std::string& shownName, const std::string& absoluteName)
{
    std::string target = ResolvedName(absoluteName);
    if (!collection.targets.insert(target).second) return;  // reached before, through another name
    const ConversionContext& context = ContextForFolder(collection, FolderOf(absoluteName));
    if (!context.set) {
        collection.failed = true;  // its problem was reported with the context
        return;
    }
    collection.jobs.push_back({shownName, target, &context});
}

}  // namespace

void ReportProblem(const std::string& path, const std::string& reason)
{
    WriteStandardError("recasor: " + path + ": " + reason + "\n");
}

const ConversionContext& ContextForFolder(SourceCollection& collection, const std::string& folder,
                                          std::optional<Dialect> fileDialect)
{
    const SettingsFile* settings = SettingsForFolder(collection, folder);
    auto known = collection.contexts.find({settings, fileDialect});
    if (known != collection.contexts.end()) return known->second;
    ConversionContext context;
    if (settings != nullptr && !settings->error.empty()) {
        context = BrokenContext(settings->path, settings->error);
    } else {
        ConversionSettings resolved =
            ResolveConversion(collection.options, settings != nullptr ? &settings->settings : nullptr,
                              settings != nullptr ? settings->folder : "", collection.defaultVocabulary, fileDialect);
        context = MakeConversionContext(resolved, collection.vocabularies, ReadSourceFile);
    }
    if (!context.set) {
        ReportProblem(context.problemPath, context.problem);
        collection.failed = true;
    }
    return collection.contexts.emplace(std::pair{settings, fileDialect}, std::move(context)).first->second;
}

void CollectSources(SourceCollection& collection, const std::vector<std::string>& paths)
{
    WalkHandlers handlers{
        .selectionFor = [&](const std::string& folder) -> const FileSelection& {
            return SelectionForFolder(collection, folder);
        },
        .takeFile = [&](const std::string& shown, const std::string& absolute) { TakeFile(collection, shown, absolute); },
        .reportError =
            [&](const std::string& shown, const std::string& reason) {
                ReportProblem(shown, reason);
                collection.failed = true;
            },
    };
    for (const std::string& path : paths) {
        std::string absolute = AbsoluteName(collection.currentFolder, path);
        PathState state = LookAtPath(absolute);
        if (!state.exists) {
            handlers.reportError(path, state.problem);
        } else if (state.isFolder) {
            WalkFolder(path, absolute, collection.currentFolder, handlers);
        } else {
            TakeFile(collection, path, absolute);  // named explicitly: taken whatever the patterns say
        }
    }
}

}  // namespace recasor
