// recasor_bench: recasor on a tree of many small files, against running trx
// once per file and against `cat` of all the files.
//
//   recasor_bench --recasor PATH --trx PATH --keywords PATH [--files N] [--workdir DIR]
//
// Generates one long BASIC text (basic_generator.h) and cuts it at line ends
// into N files (default 10,000) of 1 to 7 KB in folders of 100, then times,
// once each after a warm-up read of the tree:
//   cat            every file, through find and xargs, to /dev/null
//   recasor check  recasor --check TREE (reads and converts, writes nothing)
//   recasor -j1    the same on one thread
//   recasor        recasor TREE on a copy of the tree (rewrites what changes)
//   trx per file   trx FILE once per file (writes FILE.bas beside each)
// and reports wall time, throughput and peak resident memory (wait4).

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <algorithm>
#include <thread>
#include <string>
#include <vector>

#include "basic_generator.h"
#include "process_timer.h"

namespace fs = std::filesystem;
using namespace trx_bench;

namespace {

struct Options {
    std::string recasor, trx, keywords, workdir;
    int files = 10000;
};

[[noreturn]] void Usage(const std::string& problem)
{
    std::fprintf(stderr, "recasor_bench: %s\nusage: recasor_bench --recasor PATH --trx PATH --keywords PATH "
                         "[--files N] [--workdir DIR]\n", problem.c_str());
    std::exit(2);
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; i += 2) {
        std::string name = argv[i];
        if (i + 1 >= argc) Usage("missing value for " + name);
        std::string value = argv[i + 1];
        if (name == "--recasor") options.recasor = fs::absolute(value).string();
        else if (name == "--trx") options.trx = fs::absolute(value).string();
        else if (name == "--keywords") options.keywords = fs::absolute(value).string();
        else if (name == "--workdir") options.workdir = value;
        else if (name == "--files") options.files = std::atoi(value.c_str());
        else Usage("unknown option " + name);
    }
    if (options.recasor.empty() || options.trx.empty() || options.keywords.empty()) Usage("missing a program");
    if (options.files < 1) Usage("--files needs a positive number");
    return options;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Cuts the text at line ends into `count` files of 1 to 7 KB; returns their
// names relative to `tree`.
std::vector<std::string> WriteTree(const std::string& text, const fs::path& tree, int count)
{
    std::vector<std::string> names;
    std::mt19937 random(20261207);
    size_t at = 0;
    for (int i = 0; i < count && at < text.size(); ++i) {
        size_t want = 1024 + random() % (6 * 1024);
        size_t end = text.find('\n', std::min(text.size() - 1, at + want));
        end = end == std::string::npos ? text.size() : end + 1;
        std::string name = "d" + std::to_string(i / 100) + "/f" + std::to_string(i) + ".bas";
        fs::create_directories((tree / name).parent_path());
        std::ofstream(tree / name, std::ios::binary).write(text.data() + at, static_cast<std::streamsize>(end - at));
        names.push_back(name);
        at = end;
    }
    return names;
}

struct Measurement {
    std::string label;
    double seconds = 0;
    long peakKib = 0;
    std::string failure;
};

Measurement Time(const std::string& label, const std::vector<std::string>& argv, const std::string& folder,
                 const std::string& scratch, int expectedExit = 0)
{
    ProcessResult result = run_process(argv, folder, scratch + "/out.txt", scratch + "/err.txt");
    Measurement m{label, result.seconds, result.max_rss_kib, ""};
    if (!result.started || result.term_signal != 0 || result.exit_code != expectedExit) m.failure = describe(result);
    return m;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options = ParseOptions(argc, argv);
    std::string work = options.workdir;
    bool ownWork = work.empty();
    if (ownWork) {
        std::string pattern = "/tmp/recasor_bench.XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) Usage("cannot make a work folder");
        work = pattern;
    }
    fs::create_directories(work);
    const fs::path tree = fs::path(work) / "tree", copy = fs::path(work) / "tree_in_place";

    // About 4 KB per file on average and some lines of tens of KB: room to spare.
    std::vector<std::string> names;
    {
        const fs::path big = fs::path(work) / "all.bas";
        generate_basic_file(big.string(), static_cast<std::uint64_t>(options.files) * 6000, 0x7258'2024'BA51'C0DEull);
        std::string text = ReadFile(big);
        fs::remove(big);
        names = WriteTree(text, tree, options.files);
    }  // the text is freed here: a child's peak memory starts from ours
    fs::copy(tree, copy, fs::copy_options::recursive);
    fs::copy_file(options.keywords, tree / "Keywords.ini");
    std::uint64_t bytes = 0;
    for (const std::string& name : names) bytes += fs::file_size(tree / name);
    std::printf("recasor benchmark: %zu files, %llu bytes (%.1f MiB), %u processors\n\n", names.size(),
                static_cast<unsigned long long>(bytes), bytes / 1048576.0, std::thread::hardware_concurrency());

    const std::string cat = "find . -name '*.bas' -print0 | xargs -0 cat > /dev/null";
    Time("warm-up", {"sh", "-c", cat}, tree.string(), work);
    std::vector<Measurement> results;
    results.push_back(Time("cat", {"sh", "-c", cat}, tree.string(), work));
    results.push_back(Time("recasor --check", {options.recasor, "--check", "."}, tree.string(), work, 1));
    results.push_back(Time("recasor --check -j1", {options.recasor, "--check", "-j", "1", "."}, tree.string(), work, 1));
    results.push_back(Time("recasor (in place)", {options.recasor, "."}, copy.string(), work));

    Measurement trx;
    trx.label = "trx per file";
    for (const std::string& name : names) {
        Measurement one = Time("trx", {options.trx, name}, tree.string(), work);
        trx.seconds += one.seconds;
        trx.peakKib = std::max(trx.peakKib, one.peakKib);
        if (!one.failure.empty()) trx.failure = name + ": " + one.failure;
    }
    results.push_back(trx);

    std::printf("%-22s %9s %9s %12s\n", "command", "seconds", "MiB/s", "peak RSS MiB");
    int failures = 0;
    for (const Measurement& m : results) {
        if (!m.failure.empty()) {
            std::printf("%-22s FAILED: %s\n", m.label.c_str(), m.failure.c_str());
            ++failures;
            continue;
        }
        std::printf("%-22s %9.3f %9.1f %12.1f\n", m.label.c_str(), m.seconds, bytes / 1048576.0 / m.seconds,
                    m.peakKib / 1024.0);
    }
    if (ownWork) fs::remove_all(work);
    return failures == 0 ? 0 : 1;
}
