#include "language_server_posix.h"

#include <malloc.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "installed_files.h"
#include "language_server.h"
#include "source_files.h"
#include "posix/write_all.h"

#ifndef RECASOR_VERSION
#define RECASOR_VERSION "0"
#endif

namespace recasor {

namespace {

size_t ReadStandardInputSome(char* buffer, size_t size)
{
    for (;;) {
        ssize_t got = ::read(STDIN_FILENO, buffer, size);
        if (got >= 0) return static_cast<size_t>(got);
        if (errno != EINTR) return 0;
    }
}

}  // namespace

int RunLanguageServer(const RecasorOptions& options)
{
    // A client that goes away shows as a failed write, not as a signal.
    ::signal(SIGPIPE, SIG_IGN);
    LanguageServer server;
    server.contexts.options = options;
    server.contexts.defaultVocabulary = InstalledVocabularyPath();
    server.files = ServerFileAccess{ReadSourceFile, ReadFileStamp};
    server.currentFolder = std::filesystem::current_path().string();
    server.version = RECASOR_VERSION;
    server.returnFreedMemory = [] { ::malloc_trim(0); };
    MessageReader reader{.source = ReadStandardInputSome};
    return ServeMessages(server, reader, [](const std::string& header, const std::string& body) {
        return WriteAll(STDOUT_FILENO, header) && WriteAll(STDOUT_FILENO, body);
    });
}

}  // namespace recasor
