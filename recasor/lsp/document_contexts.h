#pragma once
// The conversion context of each open document, found as recasor finds it
// for a file (the nearest .recasor.toml above the document, the vocabulary
// it names), and built anew when one of those files changes: their stamps
// are checked at every request, and the cache is dropped when the client
// reports changed files.

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "conversion_context.h"
#include "file_stamp.h"
#include "options.h"
#include "settings.h"

namespace recasor {

// The platform calls the server reads files with: whole ordinary files
// only, never waiting on a FIFO or device, as the command line does.
struct ServerFileAccess {
    FileReader readFile;
    std::function<FileStamp(const std::string&)> stampOf;
};

struct KnownSettingsFile {
    FileStamp stamp;
    ProjectSettings settings;
    std::string error;  // "line N: reason" when it cannot be used
};

struct DocumentContexts {
    RecasorOptions options;         // the server's command line
    std::string defaultVocabulary;  // the Keywords.ini installed with the program
    std::map<std::string, KnownSettingsFile> settingsFiles;
    VocabularyCache vocabularies;
    std::map<std::string, FileStamp> vocabularyStamps;
    std::map<std::string, ConversionContext> contexts;  // by everything they were made from
    size_t filesRead = 0;  // settings and vocabulary files (re)read so far
};

// The context for a document at `documentPath` (absolute; empty for a
// document that is no file, which takes the settings of `fallbackFolder`).
// `languageDialect`, the dialect the client named, wins over every other
// source of the dialect.
const ConversionContext& ContextForDocument(DocumentContexts& contexts, const ServerFileAccess& files,
                                            const std::string& documentPath, const std::string& fallbackFolder,
                                            std::optional<Dialect> languageDialect);

// Forgets every file read, so that the next request reads them again.
void ForgetFiles(DocumentContexts& contexts);

}  // namespace recasor
