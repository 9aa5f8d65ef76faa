// engine_bench: the engine in-process, without the process and file costs
// that trx_bench sees. What casepad and recasor get from it.
//
//   engine_bench --keywords PATH [--runs N]
//
// Reports, best of N runs: loading the vocabulary the way casepad does
// (parse all sections, then the set) and the way trx does (the set straight
// from the text); converting one typical line as casepad's live correction
// does (string form, per line); and converting a 1 MiB generated source as
// blocks of lines (what a tool over a tree of files does per file).
#include "basic_generator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "keyword_case.h"
#include "vocabulary.h"
#include "vocabulary_file.h"

using namespace recasor;

namespace {

using Clock = std::chrono::steady_clock;

template <typename Work>
double BestSeconds(int runs, Work&& work)
{
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The lines of a text and their spans, as trx's reader delivers them.
std::vector<LineSpan> SpansOf(const std::string& text)
{
    std::vector<LineSpan> spans;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t length = end - start;
        if (length > 0 && text[end - 1] == '\r') --length;
        spans.push_back({start, length});
        start = end + 1;
    }
    return spans;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string keywords;
    int runs = 7;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--keywords") keywords = argv[i + 1];
        if (option == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    }
    std::optional<std::string> text = ReadVocabularyFile(keywords);
    if (keywords.empty() || !text) {
        std::fprintf(stderr, "usage: engine_bench --keywords PATH [--runs N]\n");
        return 2;
    }
    SectionChoice freeBasic = DialectSections(Dialect::FreeBasic);

    double readFile = BestSeconds(runs, [&] { ReadVocabularyFile(keywords); });
    double parsed = BestSeconds(runs, [&] { BuildKeywordSet(ParseVocabulary(*text), freeBasic, CaseMode::Mixed); });
    double fromText = BestSeconds(runs, [&] { BuildKeywordSetFromText(*text, freeBasic, CaseMode::Mixed); });
    KeywordSet set = BuildKeywordSetFromText(*text, freeBasic, CaseMode::Mixed);

    const std::string line = "    If GetMessage(Msg, %NULL, 0, 0) Then dim x as integer : print \"dim\" ' done";
    const int kLines = 200000;
    double lines = BestSeconds(runs, [&] {
        for (int i = 0; i < kLines; ++i) {
            std::string copy = line;
            ApplyKeywordCase(copy, set);
        }
    });

    std::string source_path = (std::filesystem::temp_directory_path() / "engine_bench_source.bas").string();
    trx_bench::generate_basic_file(source_path, 1 << 20, 0x7258'2024'BA51'C0DEull);
    std::string source = ReadAll(source_path);
    std::filesystem::remove(source_path);
    std::vector<LineSpan> spans = SpansOf(source);
    source.append(16, ' ');  // the scan may read 16 bytes past the last line
    double blocks = BestSeconds(runs, [&] {
        std::string copy = source;
        ApplyKeywordCase(copy.data(), copy.size(), spans.data(), spans.size(), set);
    });

    std::printf("engine benchmark (best of %d)\n", runs);
    std::printf("  read Keywords.ini (%zu bytes)               %8.3f ms\n", text->size(), readFile * 1e3);
    std::printf("  set from parsed sections (casepad's way)    %8.3f ms\n", parsed * 1e3);
    std::printf("  set straight from the text (trx's way)      %8.3f ms\n", fromText * 1e3);
    std::printf("  one line, string form (%zu bytes)            %8.1f ns\n", line.size(), lines / kLines * 1e9);
    std::printf("  1 MiB source as blocks of lines (%zu lines)  %8.1f MiB/s\n", spans.size(),
                (source.size() - 16) / (1024.0 * 1024.0) / blocks);
    return 0;
}
