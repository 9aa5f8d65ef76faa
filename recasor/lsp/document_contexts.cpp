#include "document_contexts.h"

#include "path_text.h"

namespace recasor {

namespace {

constexpr size_t kMostContexts = 64;

// The nearest settings file at or above `folder`, or "" when there is none.
std::string NearestSettingsPath(const ServerFileAccess& files, const std::string& folder)
{
    for (std::string at = folder;; at = FolderOf(at)) {
        std::string candidate = TextOf(PathOf(at) / kSettingsFileName);
        if (files.stampOf(candidate).ordinaryFile) return candidate;
        if (IsTopFolder(at)) return "";
    }
}

const KnownSettingsFile& ReadSettingsFile(DocumentContexts& contexts, const ServerFileAccess& files,
                                          const std::string& path)
{
    FileStamp stamp = files.stampOf(path);
    auto known = contexts.settingsFiles.find(path);
    if (known != contexts.settingsFiles.end() && known->second.stamp == stamp) return known->second;
    ++contexts.filesRead;
    KnownSettingsFile file{stamp, {}, {}};
    std::string text;
    if (!files.readFile(path, text, file.error)) file.error = "cannot read the settings file: " + file.error;
    else ParseSettings(text, file.settings, file.error);
    return contexts.settingsFiles.insert_or_assign(path, std::move(file)).first->second;
}

// Drops a vocabulary whose file changed since it was read.
void RefreshVocabulary(DocumentContexts& contexts, const ServerFileAccess& files, const std::string& path)
{
    FileStamp stamp = files.stampOf(path);
    auto known = contexts.vocabularyStamps.find(path);
    if (known != contexts.vocabularyStamps.end() && known->second == stamp) return;
    contexts.vocabularies.erase(path);
    contexts.vocabularyStamps[path] = stamp;
    ++contexts.filesRead;
}

std::string StampKey(const FileStamp& stamp)
{
    return std::to_string(stamp.modifiedNanoseconds) + "/" + std::to_string(stamp.size) + "/" +
           std::to_string(stamp.identity);
}

// Everything a context is made from, as one key.
std::string ContextKey(const ConversionSettings& settings, const FileStamp& vocabularyStamp)
{
    std::string key = std::to_string(static_cast<int>(settings.dialect)) + std::to_string(static_cast<int>(settings.keywordCase));
    key += "\n" + settings.vocabularyPath + "\n" + StampKey(vocabularyStamp);
    for (const std::string& word : settings.extraWords) key += "\n+" + word;
    for (const std::string& word : settings.keptWords) key += "\n-" + word;
    key += settings.identifiers == IdentifierCase::Keep ? "\nkeep" : "\ndeclaration";
    for (const std::string& folder : settings.includeFolders) key += "\n#" + folder;
    return key;
}

// The context made under `key`, made now when there is none.
template <typename Make>
const ConversionContext& Remember(DocumentContexts& contexts, const std::string& key, Make make)
{
    auto known = contexts.contexts.find(key);
    if (known != contexts.contexts.end()) return known->second;
    if (contexts.contexts.size() >= kMostContexts) contexts.contexts.clear();
    return contexts.contexts.emplace(key, make()).first->second;
}

}  // namespace

const ConversionContext& ContextForDocument(DocumentContexts& contexts, const ServerFileAccess& files,
                                            const std::string& documentPath, const std::string& fallbackFolder,
                                            std::optional<Dialect> languageDialect)
{
    std::string folder = documentPath.empty() ? fallbackFolder : FolderOf(documentPath);
    std::string settingsPath = contexts.options.useSettings ? NearestSettingsPath(files, folder) : "";
    const ProjectSettings* settings = nullptr;
    std::string settingsFolder;
    if (!settingsPath.empty()) {
        const KnownSettingsFile& file = ReadSettingsFile(contexts, files, settingsPath);
        if (!file.error.empty()) {
            return Remember(contexts, "broken\n" + settingsPath + "\n" + file.error,
                            [&] { return BrokenContext(settingsPath, file.error); });
        }
        settings = &file.settings;
        settingsFolder = FolderOf(settingsPath);
    }
    RecasorOptions options = contexts.options;
    if (languageDialect) options.dialect = languageDialect;
    ConversionSettings resolved = ResolveConversion(options, settings, settingsFolder, contexts.defaultVocabulary,
                                                    DialectOfFileName(documentPath));
    RefreshVocabulary(contexts, files, resolved.vocabularyPath);
    return Remember(contexts, ContextKey(resolved, contexts.vocabularyStamps[resolved.vocabularyPath]), [&] {
        ConversionContext context = MakeConversionContext(resolved, contexts.vocabularies, files.readFile);
        // The keyword set is all a context needs: the parsed lists, twice the
        // file's size, are read again in the rare case of another context.
        contexts.vocabularies.clear();
        return context;
    });
}

void ForgetFiles(DocumentContexts& contexts)
{
    contexts.settingsFiles.clear();
    contexts.vocabularies.clear();
    contexts.vocabularyStamps.clear();
    contexts.contexts.clear();
    ++contexts.filesRead;
}

}  // namespace recasor
