#include "language_server_run.h"

#include "file_stamp.h"
#include "installed_files.h"
#include "language_server.h"
#include "platform.h"

#ifndef RECASOR_VERSION
#define RECASOR_VERSION "0"
#endif

namespace recasor {

int RunLanguageServer(const RecasorOptions& options)
{
    KeepRunningWhenOutputCloses();
    LanguageServer server;
    server.contexts.options = options;
    server.contexts.defaultVocabulary = InstalledVocabularyPath();
    server.files = ServerFileAccess{ReadSourceFile, ReadFileStamp};
    server.currentFolder = CurrentFolder();
    server.version = RECASOR_VERSION;
    server.returnFreedMemory = ReturnFreedMemory;
    MessageReader reader;
    reader.source = ReadStandardInputSome;
    return ServeMessages(server, reader, [](const std::string& header, const std::string& body) {
        return WriteStandardOutput(header) && WriteStandardOutput(body);
    });
}

}  // namespace recasor
