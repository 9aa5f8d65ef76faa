#include "language_server.h"

#include <algorithm>
#include <limits>

#include <nlohmann/json.hpp>

#include "ascii.h"
#include "file_uri.h"
#include "word_edits.h"

namespace recasor {

namespace {

using json = nlohmann::json;

// JSON-RPC's and the protocol's error codes.
enum ErrorCode {
    kParseError = -32700,
    kInvalidRequest = -32600,
    kMethodNotFound = -32601,
    kInvalidParams = -32602,
    kInternalError = -32603,
    kServerNotInitialized = -32002,
};

enum MessageType { kError = 1, kWarning = 2, kInfo = 3, kLog = 4 };

// A request that cannot be answered with a result.
struct RequestError {
    int code;
    std::string message;
};

std::string Dump(const json& message) { return message.dump(-1, ' ', false, json::error_handler_t::replace); }

// A response whose result is given as JSON text.
std::string Response(const json& id, const std::string& result)
{
    return "{\"jsonrpc\":\"2.0\",\"id\":" + Dump(id) + ",\"result\":" + result + "}";
}

std::string ErrorResponse(const json& id, int code, const std::string& message)
{
    return Dump({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

std::string Notification(const std::string& method, json params)
{
    return Dump({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

std::string ClientMessage(const char* method, MessageType type, const std::string& text)
{
    return Notification(method, {{"type", type}, {"message", text}});
}

// What a handler has at hand.
struct Call {
    LanguageServer& server;
    const json& params;
    std::vector<std::string>& outgoing;
};

const json& Member(const json& object, const char* name)
{
    if (!object.is_object() || !object.contains(name))
        throw RequestError{kInvalidParams, std::string("missing parameter \"") + name + "\""};
    return object[name];
}

std::string StringMember(const json& object, const char* name)
{
    const json& value = Member(object, name);
    if (!value.is_string()) throw RequestError{kInvalidParams, std::string("\"") + name + "\" must be a string"};
    return value.get<std::string>();
}

uint32_t CountMember(const json& object, const char* name)
{
    const json& value = Member(object, name);
    if (!value.is_number_unsigned() || value.get<uint64_t>() > std::numeric_limits<uint32_t>::max())
        throw RequestError{kInvalidParams, std::string("\"") + name + "\" must be a number from 0 to 2^32-1"};
    return value.get<uint32_t>();
}

TextPosition PositionMember(const json& object, const char* name)
{
    const json& position = Member(object, name);
    return TextPosition{CountMember(position, "line"), CountMember(position, "character")};
}

TextDocument& DocumentOf(Call& call)
{
    std::string uri = StringMember(Member(call.params, "textDocument"), "uri");
    auto found = call.server.documents.find(uri);
    if (found == call.server.documents.end()) throw RequestError{kInvalidParams, "document not open: " + uri};
    return found->second;
}

void CheckLine(const TextDocument& document, uint32_t line)
{
    if (line >= LineCount(document))
        throw RequestError{kInvalidParams, "line " + std::to_string(line) + " is past the end of the document (" +
                                               std::to_string(LineCount(document)) + " lines)"};
}

std::optional<Dialect> DialectOfLanguage(const std::string& languageId)
{
    if (languageId == "freebasic") return Dialect::FreeBasic;
    if (languageId == "powerbasic") return Dialect::PowerBasic;
    return std::nullopt;
}

// The document's context; when it cannot convert, the user is told once
// (and the log gets the details) and the caller formats nothing.
const ConversionContext* WorkingContext(Call& call, const TextDocument& document)
{
    LanguageServer& server = call.server;
    const ConversionContext& context =
        ContextForDocument(server.contexts, server.files, PathOfFileUri(document.uri), server.currentFolder,
                           DialectOfLanguage(document.languageId));
    if (context.set) return &context;
    if (server.filesReadWhenShown != server.contexts.filesRead) {
        server.problemsShown.clear();  // something was read anew: what is still wrong is news again
        server.filesReadWhenShown = server.contexts.filesRead;
    }
    std::string text = "recasor: " + context.problemPath + ": " + context.problem;
    if (server.problemsShown.insert(text).second) {
        call.outgoing.push_back(ClientMessage("window/showMessage", kError, text));
        call.outgoing.push_back(ClientMessage(
            "window/logMessage", kError, text + " (documents that use it are left unformatted: " + document.uri + ")"));
    }
    return nullptr;
}

// The edits as a JSON array of TextEdits, written straight out: a whole
// document can have tens of thousands, each of which would be five objects
// in a JSON tree.
std::string EditsOf(const std::vector<WordEdit>& edits)
{
    std::string text = "[";
    text.reserve(edits.size() * 96 + 2);
    for (const WordEdit& edit : edits) {
        std::string line = std::to_string(edit.line);
        text += text.size() > 1 ? "," : "";
        text += "{\"range\":{\"start\":{\"line\":" + line + ",\"character\":" + std::to_string(edit.startCharacter) +
                "},\"end\":{\"line\":" + line + ",\"character\":" + std::to_string(edit.endCharacter) +
                "}},\"newText\":" + Dump(edit.newText) + "}";
    }
    return text + "]";
}

// Whether the declared names come from the document's include unit read
// afresh, or from what is known already (a line left by Enter).
enum class NamesRead { Afresh, AsKnown };

std::string Recase(Call& call, TextDocument& document, size_t first, size_t last, NamesRead read)
{
    LanguageServer& server = call.server;
    const ConversionContext* context = WorkingContext(call, document);
    if (context == nullptr) return "[]";
    if (context->settings.identifiers == IdentifierCase::Keep)
        return EditsOf(RecaseLines(document, first, last, RulesOf(*context), server.encoding));
    FileSpellings names = read == NamesRead::Afresh
                              ? DocumentSpellings(server.documents, document, context->settings, server.names, server.files)
                              : LineSpellings(server.documents, document, first, context->settings, server.names, server.files);
    return EditsOf(RecaseLines(document, first, last, RulesOf(*context), server.encoding, &names));
}

// Requests.

// The value at a path of object members, or null when any step is missing.
json Find(const json& object, std::initializer_list<const char*> path)
{
    const json* at = &object;
    for (const char* name : path) {
        if (!at->is_object() || !at->contains(name)) return nullptr;
        at = &(*at)[name];
    }
    return *at;
}

std::string Initialize(Call& call)
{
    LanguageServer& server = call.server;
    if (server.initialized) throw RequestError{kInvalidRequest, "initialize was sent before"};
    json encodings = Find(call.params, {"capabilities", "general", "positionEncodings"});
    bool utf8 = encodings.is_array() && std::find(encodings.begin(), encodings.end(), "utf-8") != encodings.end();
    server.encoding = utf8 ? PositionEncoding::Utf8 : PositionEncoding::Utf16;
    server.registerFileWatchers =
        Find(call.params, {"capabilities", "workspace", "didChangeWatchedFiles", "dynamicRegistration"}) == true;
    server.initialized = true;
    return Dump({{"capabilities",
                  {{"positionEncoding", server.encoding == PositionEncoding::Utf8 ? "utf-8" : "utf-16"},
                   {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
                   {"documentFormattingProvider", true},
                   {"documentRangeFormattingProvider", true},
                   {"documentOnTypeFormattingProvider", {{"firstTriggerCharacter", "\n"}}}}},
                 {"serverInfo", {{"name", "recasor"}, {"version", server.version}}}});
}

std::string Shutdown(Call& call)
{
    call.server.shutdownRequested = true;
    return "null";
}

std::string Formatting(Call& call)
{
    TextDocument& document = DocumentOf(call);
    return Recase(call, document, 0, LineCount(document) - 1, NamesRead::Afresh);
}

// The lines a range touches: a range that ends at the start of a line
// (a selection of whole lines) leaves that line out.
std::string RangeFormatting(Call& call)
{
    TextDocument& document = DocumentOf(call);
    const json& range = Member(call.params, "range");
    TextPosition start = PositionMember(range, "start"), end = PositionMember(range, "end");
    CheckLine(document, start.line);
    CheckLine(document, end.line);
    if (end.line < start.line) std::swap(start, end);
    uint32_t last = end.character == 0 && end.line > start.line ? end.line - 1 : end.line;
    return Recase(call, document, start.line, last, NamesRead::Afresh);
}

// Enter was pressed: the line above the caret's new line is the one left.
std::string OnTypeFormatting(Call& call)
{
    TextDocument& document = DocumentOf(call);
    TextPosition position = PositionMember(call.params, "position");
    CheckLine(document, position.line);
    std::string typed = StringMember(call.params, "ch");
    if (position.line == 0 || (typed != "\n" && typed != "\r\n" && typed != "\r")) return "[]";
    return Recase(call, document, position.line - 1, position.line - 1, NamesRead::AsKnown);
}

// Notifications.

void Initialized(Call& call)
{
    LanguageServer& server = call.server;
    if (!server.registerFileWatchers) return;
    json watchers = json::array({{{"globPattern", "**/.recasor.toml"}}, {{"globPattern", "**/*.ini"}}});
    call.outgoing.push_back(Dump(
        {{"jsonrpc", "2.0"},
         {"id", server.nextRequestId++},
         {"method", "client/registerCapability"},
         {"params",
          {{"registrations",
            json::array({{{"id", "recasor-settings"},
                          {"method", "workspace/didChangeWatchedFiles"},
                          {"registerOptions", {{"watchers", watchers}}}}})}}}}));
}

void DidOpen(Call& call)
{
    const json& item = Member(call.params, "textDocument");
    std::string uri = StringMember(item, "uri");
    std::string text = StringMember(item, "text");
    std::string language = item.contains("languageId") ? StringMember(item, "languageId") : "";
    call.server.documents.insert_or_assign(uri, MakeTextDocument(uri, language, text));
}

void DidChange(Call& call)
{
    TextDocument& document = DocumentOf(call);
    const json& changes = Member(call.params, "contentChanges");
    if (!changes.is_array()) throw RequestError{kInvalidParams, "\"contentChanges\" must be an array"};
    for (const json& change : changes) {
        std::string text = StringMember(change, "text");
        if (!change.contains("range")) {
            document = MakeTextDocument(document.uri, document.languageId, text);
            continue;
        }
        const json& range = Member(change, "range");
        if (!ReplaceRange(document, PositionMember(range, "start"), PositionMember(range, "end"), text,
                          call.server.encoding))
            throw RequestError{kInvalidParams, "a change past the end of the document: " + document.uri};
    }
}

void DidClose(Call& call)
{
    std::string uri = StringMember(Member(call.params, "textDocument"), "uri");
    call.server.documents.erase(uri);
}

void DidChangeWatchedFiles(Call& call)
{
    ForgetFiles(call.server.contexts);
    call.server.names.files.clear();
}

using RequestHandler = std::string (*)(Call&);
using NotificationHandler = void (*)(Call&);

const std::map<std::string, RequestHandler, std::less<>>& RequestHandlers()
{
    static const std::map<std::string, RequestHandler, std::less<>> handlers = {
        {"initialize", Initialize},
        {"shutdown", Shutdown},
        {"textDocument/formatting", Formatting},
        {"textDocument/rangeFormatting", RangeFormatting},
        {"textDocument/onTypeFormatting", OnTypeFormatting},
    };
    return handlers;
}

const std::map<std::string, NotificationHandler, std::less<>>& NotificationHandlers()
{
    static const std::map<std::string, NotificationHandler, std::less<>> handlers = {
        {"initialized", Initialized},
        {"textDocument/didOpen", DidOpen},
        {"textDocument/didChange", DidChange},
        {"textDocument/didClose", DidClose},
        {"workspace/didChangeWatchedFiles", DidChangeWatchedFiles},
    };
    return handlers;
}

void HandleRequest(LanguageServer& server, const std::string& method, const json& id, const json& params,
                   std::vector<std::string>& outgoing)
{
    auto handler = RequestHandlers().find(method);
    if (handler == RequestHandlers().end()) {
        outgoing.push_back(ErrorResponse(id, kMethodNotFound, "unknown method: " + method));
        return;
    }
    if (!server.initialized && method != "initialize") {
        outgoing.push_back(ErrorResponse(id, kServerNotInitialized, "the server is not initialized yet"));
        return;
    }
    if (server.shutdownRequested) {
        outgoing.push_back(ErrorResponse(id, kInvalidRequest, "the server is shutting down"));
        return;
    }
    Call call{server, params, outgoing};
    try {
        outgoing.push_back(Response(id, handler->second(call)));
    } catch (const RequestError& error) {
        outgoing.push_back(ErrorResponse(id, error.code, error.message));
    } catch (const std::exception& error) {
        outgoing.push_back(ErrorResponse(id, kInternalError, error.what()));
    }
}

void HandleNotification(LanguageServer& server, const std::string& method, const json& params,
                        std::vector<std::string>& outgoing)
{
    if (method == "exit") {
        server.exitCode = server.shutdownRequested ? 0 : 1;
        return;
    }
    auto handler = NotificationHandlers().find(method);
    if (handler == NotificationHandlers().end() || !server.initialized) return;
    Call call{server, params, outgoing};
    try {
        handler->second(call);
    } catch (const RequestError& error) {
        outgoing.push_back(ClientMessage("window/logMessage", kError, method + ": " + error.message));
    } catch (const std::exception& error) {
        outgoing.push_back(ClientMessage("window/logMessage", kError, method + ": " + error.what()));
    }
}

bool IsValidId(const json& id) { return id.is_string() || id.is_number_integer() || id.is_null(); }

// Where a body seems to hold the header of the next message, or npos.
size_t NextHeaderIn(std::string_view body)
{
    constexpr std::string_view kName = "content-length:";
    for (size_t at = body.find_first_of("Cc"); at != std::string_view::npos; at = body.find_first_of("Cc", at + 1)) {
        if (body.size() - at < kName.size()) break;
        bool same = true;
        for (size_t k = 0; k < kName.size() && same; ++k) same = AsciiLower(body[at + k]) == kName[k];
        if (same) return at;
    }
    return std::string_view::npos;
}

std::string HeaderOf(const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n"; }

constexpr size_t kLargeMessages = 1 << 20;

void Dispatch(LanguageServer& server, json& message, std::vector<std::string>& outgoing)
{
    if (message.is_discarded()) {
        outgoing.push_back(ErrorResponse(nullptr, kParseError, "the message is no valid JSON"));
        return;
    }
    if (!message.is_object()) {
        outgoing.push_back(ErrorResponse(nullptr, kInvalidRequest, "the message is no JSON object"));
        return;
    }
    bool hasId = message.contains("id");
    json id = hasId ? message["id"] : json();
    if (!message.contains("method")) return;  // a response to one of the server's requests
    if (!message["method"].is_string() || !IsValidId(id)) {
        outgoing.push_back(ErrorResponse(IsValidId(id) ? id : json(), kInvalidRequest, "invalid request"));
        return;
    }
    std::string method = message["method"].get<std::string>();
    const json params = message.contains("params") ? std::move(message["params"]) : json::object();
    if (hasId)
        HandleRequest(server, method, id, params, outgoing);
    else
        HandleNotification(server, method, params, outgoing);
}

}  // namespace

void HandleMessage(LanguageServer& server, std::string_view body, std::vector<std::string>& outgoing)
{
    json message = json::parse(body, nullptr, false);
    Dispatch(server, message, outgoing);
}

int ServeMessages(LanguageServer& server, MessageReader& reader, const MessageSink& send)
{
    std::vector<std::string> outgoing;
    size_t filesRead = server.contexts.filesRead;
    while (!server.exitCode) {
        ReadResult read = ReadMessage(reader);
        if (read.outcome == ReadOutcome::EndOfInput) return 1;
        outgoing.clear();
        if (read.outcome == ReadOutcome::Refused) {
            outgoing.push_back(ErrorResponse(nullptr, kInvalidRequest, read.problem));
        } else {
            json message = json::parse(read.body, nullptr, false);
            // A Content-Length stated too long swallows the start of the next
            // message: give that back and take what comes before it alone.
            size_t next = message.is_discarded() ? NextHeaderIn(read.body) : std::string_view::npos;
            if (next != std::string_view::npos && next > 0) {
                PutBack(reader, std::string_view(read.body).substr(next));
                message = json::parse(std::string_view(read.body).substr(0, next), nullptr, false);
            }
            Dispatch(server, message, outgoing);
        }
        size_t bytes = read.body.size();
        for (const std::string& body : outgoing) {
            if (!send(HeaderOf(body), body)) return 1;
            bytes += body.size();
        }
        if ((bytes > kLargeMessages || filesRead != server.contexts.filesRead) && server.returnFreedMemory)
            server.returnFreedMemory();
        filesRead = server.contexts.filesRead;
    }
    return *server.exitCode;
}

}  // namespace recasor
