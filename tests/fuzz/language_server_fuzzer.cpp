// Fuzzes the language server's message reader and dispatcher with byte
// streams that follow an initialize and the opening of one document, and
// checks what must hold for every input:
// - the server never crashes, hangs or reads past its input;
// - everything it sends is one framed message of valid JSON;
// - the edits of every formatting answer lie within one line of an open
//   document as it then is, and each replaces a word by the same word in
//   another letter case.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ascii.h"
#include "language_server.h"

using namespace recasor;
using json = nlohmann::json;

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

const char* const kVocabulary =
    "<FreeBasicKeywords>Dim As Print Rem Loop If Then</FreeBasicKeywords><PowerBasicKeywords>DIM PRINT</PowerBasicKeywords>"
    "<ApiKeywords>GetMessage</ApiKeywords><FreeBasicConstants>TRUE</FreeBasicConstants>"
    "<PowerBasicConstants>%NULL</PowerBasicConstants>";

std::string Framed(const std::string& body)
{
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

bool SameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// Whether every edit replaces a word of `document` by itself in another case.
bool EditsFit(const json& edits, TextDocument& document, PositionEncoding encoding)
{
    for (const json& edit : edits) {
        const json& start = edit["range"]["start"];
        const json& end = edit["range"]["end"];
        uint32_t line = start["line"];
        if (line != end["line"] || line >= LineCount(document)) return false;
        std::string_view content = LineContent(document, line);
        size_t from = ByteOffsetOfCharacter(content, start["character"], encoding);
        size_t to = ByteOffsetOfCharacter(content, end["character"], encoding);
        if (to < from || !SameLetters(content.substr(from, to - from), edit["newText"].get<std::string>())) return false;
    }
    return true;
}

// Every sent message: its header, then as many bytes of JSON as it says;
// an answer with edits fits one of the open documents.
void CheckSent(const std::string& framed, LanguageServer& server)
{
    size_t headerEnd = framed.find("\r\n\r\n");
    Check(framed.starts_with("Content-Length: ") && headerEnd != std::string::npos);
    size_t length = std::stoul(framed.substr(16, headerEnd - 16));
    Check(framed.size() == headerEnd + 4 + length);
    json message = json::parse(framed.substr(headerEnd + 4), nullptr, false);
    Check(!message.is_discarded());
    if (!message.contains("result") || !message["result"].is_array() || message["result"].empty()) return;
    bool fits = false;
    for (auto& [uri, document] : server.documents) fits = fits || EditsFit(message["result"], document, server.encoding);
    Check(fits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string stream =
        Framed(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{}}})") +
        Framed(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":)"
               R"({"uri":"file:///w/a.bas","languageId":"freebasic","version":1,"text":"dim a\n/' x\nprint '/ if\r\n"}}})") +
        std::string(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    MessageReader reader{.source =
                             [&](char* buffer, size_t room) {
                                 size_t n = std::min(room, stream.size() - at);
                                 stream.copy(buffer, n, at);
                                 at += n;
                                 return n;
                             },
                         .largestMessage = 1 << 16};
    LanguageServer server;
    server.contexts.defaultVocabulary = "/v/Keywords.ini";
    server.currentFolder = "/w";
    server.files.readFile = [](const std::string& name, std::string& content, std::string& reason) {
        if (name != "/v/Keywords.ini") {
            reason = "no such file";
            return false;
        }
        content = kVocabulary;
        return true;
    };
    server.files.stampOf = [](const std::string& name) {
        return name == "/v/Keywords.ini" ? FileStamp{.exists = true, .ordinaryFile = true} : FileStamp{};
    };
    int exitCode = ServeMessages(server, reader, [&](const std::string& header, const std::string& body) {
        CheckSent(header + body, server);
        return true;
    });
    Check(exitCode == 0 || exitCode == 1);
    Check(at == stream.size() || server.exitCode.has_value());
    return 0;
}
