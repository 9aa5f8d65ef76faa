// lsp_bench: the language server's response times and memory on a document
// of 10,000 lines.
//
//   lsp_bench --recasor PATH --keywords PATH [--runs N]
//
// In-process (the server's own handling of a message, from the request's
// bytes to the framed response, median of many runs):
// - one character typed in the middle of the document (didChange);
// - Enter pressed after that: on-type formatting of the line just left,
//   and the same after an edit on the first line (every comment state below
//   it is found again);
// - formatting the whole document.
// With the real program, over pipes: start to `initialize` answered, and the
// peak memory after opening and formatting the document, against the
// document's size and the vocabulary table's.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "basic_generator.h"
#include "language_server.h"
#include "vocabulary.h"

extern char** environ;

using namespace recasor;
using json = nlohmann::json;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kLines = 10000;
const char* const kUri = "file:///bench/doc.bas";

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The first 10,000 lines of a generated source, leaving out its few very
// long lines, which a hand-written program does not have.
std::string TenThousandLines()
{
    std::string path = (fs::temp_directory_path() / "lsp_bench_source.bas").string();
    trx_bench::generate_basic_file(path, 2 << 20, 0x7258'2024'BA51'C0DEull);
    std::string source = ReadAll(path);
    fs::remove(path);
    std::string text;
    size_t lines = 0;
    for (size_t start = 0; start < source.size() && lines < kLines;) {
        size_t end = source.find('\n', start);
        end = end == std::string::npos ? source.size() : end + 1;
        if (end - start < 400) {
            text.append(source, start, end - start);
            ++lines;
        }
        start = end;
    }
    return text;
}

std::string Message(json message)
{
    message["jsonrpc"] = "2.0";
    return message.dump();
}

json Change(size_t line, size_t character, size_t endCharacter, const std::string& text)
{
    return {{"method", "textDocument/didChange"},
            {"params",
             {{"textDocument", {{"uri", kUri}, {"version", 2}}},
              {"contentChanges",
               json::array({{{"range",
                              {{"start", {{"line", line}, {"character", character}}},
                               {"end", {{"line", line}, {"character", endCharacter}}}}},
                             {"text", text}}})}}}};
}

json OnType(size_t line)
{
    return {{"id", 9},
            {"method", "textDocument/onTypeFormatting"},
            {"params",
             {{"textDocument", {{"uri", kUri}}},
              {"position", {{"line", line}, {"character", 0}}},
              {"ch", "\n"},
              {"options", json::object()}}}};
}

const json kFormatting = {{"id", 8}, {"method", "textDocument/formatting"}, {"params", {{"textDocument", {{"uri", kUri}}}}}};

// The time one message takes, framing of the answers included.
double Handle(LanguageServer& server, const std::string& body)
{
    std::vector<std::string> outgoing;
    auto start = Clock::now();
    HandleMessage(server, body, outgoing);
    for (std::string& message : outgoing) message.insert(0, "Content-Length: " + std::to_string(message.size()) + "\r\n\r\n");
    return Seconds(start);
}

LanguageServer ServerOn(const std::string& keywords, const std::string& text)
{
    LanguageServer server;
    server.contexts.defaultVocabulary = keywords;
    server.currentFolder = "/";
    server.files.readFile = [](const std::string& name, std::string& content, std::string& reason) {
        std::error_code error;
        if (!fs::is_regular_file(name, error)) {
            reason = "no such file";
            return false;
        }
        content = ReadAll(name);
        return true;
    };
    server.files.stampOf = [](const std::string& name) {
        std::error_code error;
        if (!fs::exists(name, error)) return FileStamp{};
        return FileStamp{.exists = true,
                         .ordinaryFile = fs::is_regular_file(name, error),
                         .modifiedNanoseconds = fs::last_write_time(name, error).time_since_epoch().count(),
                         .size = fs::is_regular_file(name, error) ? fs::file_size(name, error) : 0};
    };
    Handle(server, Message({{"id", 1}, {"method", "initialize"}, {"params", {{"capabilities", json::object()}}}}));
    Handle(server, Message({{"method", "textDocument/didOpen"},
                            {"params",
                             {{"textDocument",
                               {{"uri", kUri}, {"languageId", "freebasic"}, {"version", 1}, {"text", text}}}}}}));
    return server;
}

// The real program over pipes.
struct ServerProcess {
    pid_t pid = -1;
    int toServer = -1;
    int fromServer = -1;
};

ServerProcess Start(const std::string& recasor)
{
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv = {const_cast<char*>(recasor.c_str()), const_cast<char*>("lsp"), nullptr};
    ServerProcess process;
    if (posix_spawn(&process.pid, recasor.c_str(), &actions, nullptr, argv.data(), environ) != 0) return {};
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    process.toServer = in[1];
    process.fromServer = out[0];
    return process;
}

void Send(const ServerProcess& process, const std::string& body)
{
    std::string framed = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    for (size_t done = 0; done < framed.size();) {
        ssize_t n = ::write(process.toServer, framed.data() + done, framed.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// Reads until a response with this id has come whole.
void AwaitResponse(const ServerProcess& process, int id)
{
    std::string received;
    char buffer[1 << 16];
    std::string marker = "\"id\":" + std::to_string(id);
    for (;;) {
        size_t header = received.find("\r\n\r\n");
        if (header != std::string::npos) {
            size_t length = std::stoul(received.substr(16, header - 16));
            if (received.size() >= header + 4 + length) {
                bool ours = received.substr(header + 4, length).find(marker) != std::string::npos;
                received.erase(0, header + 4 + length);
                if (ours) return;
                continue;
            }
        }
        ssize_t n = ::read(process.fromServer, buffer, sizeof buffer);
        if (n <= 0) return;
        received.append(buffer, static_cast<size_t>(n));
    }
}

// A field of /proc/PID/status in KiB: "VmHWM" (the peak) or "VmRSS" (now).
long MemoryKiB(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(field + ":")) return std::stol(line.substr(field.size() + 1));
    return -1;
}

void Stop(const ServerProcess& process)
{
    Send(process, Message({{"id", 99}, {"method", "shutdown"}}));
    AwaitResponse(process, 99);
    Send(process, Message({{"method", "exit"}}));
    ::close(process.toServer);
    ::close(process.fromServer);
    int status = 0;
    ::waitpid(process.pid, &status, 0);
}

size_t TableBytes(const KeywordSet& set)
{
    const WordIndex& index = set.index;
    return index.buckets.size() * sizeof(WordBucket) + index.bucketTags.size() * sizeof(uint64_t) +
           index.table.size() * sizeof(WordIndexSlot) + index.spellings.size() + index.text.size();
}

}  // namespace

int main(int argc, char** argv)
{
    std::string recasor, keywords;
    int runs = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--recasor") recasor = argv[i + 1];
        if (option == "--keywords") keywords = argv[i + 1];
        if (option == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    }
    if (recasor.empty() || keywords.empty()) {
        std::fprintf(stderr, "usage: lsp_bench --recasor PATH --keywords PATH [--runs N]\n");
        return 2;
    }
    keywords = fs::absolute(keywords).string();
    std::string text = TenThousandLines();

    LanguageServer server = ServerOn(keywords, text);
    std::vector<double> typed, enter, enterAfterTop, whole;
    for (int run = 0; run < runs; ++run) {
        size_t line = 4000 + static_cast<size_t>(run) * 7 % 2000;
        typed.push_back(Handle(server, Message(Change(line, 2, 2, "x"))));
        Handle(server, Message(Change(line, 2, 3, "")));
        enter.push_back(Handle(server, Message(OnType(line + 1))));
        Handle(server, Message(Change(0, 0, 0, " ")));
        Handle(server, Message(Change(0, 0, 1, "")));
        enterAfterTop.push_back(Handle(server, Message(OnType(kLines - 1))));
    }
    for (int run = 0; run < std::max(3, runs / 20); ++run) whole.push_back(Handle(server, kFormatting.dump()));
    std::vector<std::string> answer;
    HandleMessage(server, Message(kFormatting), answer);
    size_t edits = json::parse(answer.back())["result"].size();

    // The real program.
    std::vector<double> starts;
    for (int run = 0; run < 20; ++run) {
        auto start = Clock::now();
        ServerProcess process = Start(recasor);
        Send(process, Message({{"id", 1}, {"method", "initialize"}, {"params", {{"capabilities", json::object()}}}}));
        AwaitResponse(process, 1);
        starts.push_back(Seconds(start));
        Stop(process);
    }
    ServerProcess process = Start(recasor);
    Send(process, Message({{"id", 1}, {"method", "initialize"}, {"params", {{"capabilities", json::object()}}}}));
    AwaitResponse(process, 1);
    long idle = MemoryKiB(process.pid, "VmRSS");
    Send(process, Message({{"method", "textDocument/didOpen"},
                           {"params", {{"textDocument", {{"uri", kUri}, {"languageId", "freebasic"}, {"version", 1}, {"text", text}}}}}}));
    Send(process, Message(kFormatting));
    AwaitResponse(process, 8);
    Send(process, Message({{"id", 10}, {"method", "bench/nothing"}}));  // after the server's clean-up
    AwaitResponse(process, 10);
    long formatted = MemoryKiB(process.pid, "VmRSS"), peak = MemoryKiB(process.pid, "VmHWM");
    Stop(process);
    KeywordSet set = BuildKeywordSetFromText(ReadAll(keywords), DialectSections(Dialect::FreeBasic), CaseMode::Mixed);

    std::printf("language server benchmark: %zu lines, %zu bytes (median of %d runs in-process)\n", kLines, text.size(), runs);
    std::printf("  one character typed (didChange)                  %8.3f ms\n", Median(typed) * 1e3);
    std::printf("  Enter: on-type formatting of the line left       %8.3f ms\n", Median(enter) * 1e3);
    std::printf("  the same after an edit on the first line          %8.3f ms\n", Median(enterAfterTop) * 1e3);
    std::printf("  whole document formatted (%zu edits)          %8.3f ms\n", edits, Median(whole) * 1e3);
    std::printf("  start to initialize answered (process, median)   %8.3f ms\n", Median(starts) * 1e3);
    std::printf("  memory: %ld KiB after initialize; %ld KiB with the document open and formatted (peak %ld KiB)\n",
                idle, formatted, peak);
    std::printf("               (document %zu KiB, vocabulary table %zu KiB)\n", text.size() / 1024, TableBytes(set) / 1024);
    return 0;
}
