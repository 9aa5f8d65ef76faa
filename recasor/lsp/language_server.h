#pragma once
// recasor as a language server: open documents kept in memory and recased
// on request (the whole document, a range of lines, or the line just left
// when Enter is pressed), with the settings and vocabulary recasor would
// use for the document's file. One thread; messages are handled in order.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "document_contexts.h"
#include "document_names.h"
#include "message_reader.h"
#include "text_document.h"

namespace recasor {

struct LanguageServer {
    DocumentContexts contexts;
    ServerFileAccess files;
    std::string currentFolder;  // settings of documents that are no files start here
    std::string version;
    bool initialized = false;
    bool shutdownRequested = false;
    std::optional<int> exitCode;  // set by the exit notification
    PositionEncoding encoding = PositionEncoding::Utf16;
    bool registerFileWatchers = false;
    std::map<std::string, TextDocument, std::less<>> documents;  // by URI
    NameIndex names;  // declarations of files read from disk
    std::set<std::string> problemsShown;  // each told to the user once while its files stay as they are
    size_t filesReadWhenShown = 0;
    int64_t nextRequestId = 1;
    // Gives memory that was freed back to the system, where the platform can:
    // called after a message that needed much for a moment (a whole document
    // formatted, a vocabulary read), so that the server holds little between
    // requests.
    std::function<void()> returnFreedMemory;
};

// Handles one message (a JSON-RPC body) and appends the bodies of the
// messages to send, in order, to `outgoing`.
void HandleMessage(LanguageServer& server, std::string_view body, std::vector<std::string>& outgoing);

// Writes one message: its header, then its body; false when the output is gone.
using MessageSink = std::function<bool(const std::string& header, const std::string& body)>;

// Serves messages from `reader` until the exit notification or the end of
// the input, and returns the exit code: 0 after shutdown and exit, else 1.
int ServeMessages(LanguageServer& server, MessageReader& reader, const MessageSink& send);

}  // namespace recasor
