// trx_bench: measures the trx batch tool against a plain file copy.
//
//   trx_bench --trx PATH --keywords PATH [--before PATH] [--recasor PATH] [--size-mb N] [--runs N] [--workdir DIR]
//
// Generates a large BASIC source file and a small one, then times a C
// read/write copy loop, `cp` and trx with each option on them (best CPU time
// of N runs after one untimed warm-up each), the vocabulary's load time,
// and trx on two hostile vocabularies. With --before, a second trx binary
// runs the same commands in the same rounds, and the outputs of both are
// compared byte for byte. With --recasor, recasor runs on the big file too,
// as a filter and as a check (of the file it has converted), with
// identifiers recased to their declarations and kept.
#include "basic_generator.h"
#include "hostile_vocabulary.h"
#include "process_timer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace trx_bench;

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kSeed = 0x7258'2024'BA51'C0DEull;
constexpr const char* kInputName = "bench_input.bas";
constexpr const char* kCopyName = "bench_copy.bas";
constexpr const char* kTinyName = "bench_10k.bas";
constexpr const char* kEmptyName = "bench_empty.bas";
constexpr const char* kHostileName = "hostile.bas";
constexpr std::uint64_t kTinyBytes = 10 * 1000;

struct Options {
    std::string trx;
    std::string before;  // optional: the trx to compare with
    std::string recasor; // optional: recasor, measured on the same file
    std::string keywords;
    std::string workdir;  // empty: fresh temporary directory
    double size_mb = 64;
    int runs = 3;
};

void usage(std::ostream& os) {
    os << "usage: trx_bench --trx PATH --keywords PATH [--before PATH] [--recasor PATH] [--size-mb N] [--runs N]"
          " [--workdir DIR]\n"
          "  --trx PATH       trx executable to measure\n"
          "  --before PATH    a second trx (an older build) measured in the same rounds\n"
          "  --recasor PATH   recasor, measured as a check and as a filter on the big file\n"
          "  --keywords PATH  Keywords.ini copied next to the generated input\n"
          "  --size-mb N      size of the generated input in MiB (default 64)\n"
          "  --runs N         timed runs per command, the best is reported (default 3)\n"
          "  --workdir DIR    keep the files in DIR (default: temporary dir, removed at the end)\n";
}

[[noreturn]] void fail_usage(const std::string& message) {
    std::cerr << "trx_bench: " << message << "\n";
    usage(std::cerr);
    std::exit(2);
}

Options parse_args(int argc, char** argv) {
    Options opt;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            usage(std::cout);
            std::exit(0);
        }
        std::string value;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= argc) fail_usage("missing value for " + arg);
            value = argv[++i];
        } else {
            fail_usage("unexpected argument '" + arg + "'");
        }

        char* end = nullptr;
        if (arg == "--trx") {
            opt.trx = value;
        } else if (arg == "--before") {
            opt.before = value;
        } else if (arg == "--recasor") {
            opt.recasor = fs::absolute(value).lexically_normal().string();
        } else if (arg == "--keywords") {
            opt.keywords = value;
        } else if (arg == "--workdir") {
            opt.workdir = value;
        } else if (arg == "--size-mb") {
            opt.size_mb = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(opt.size_mb > 0) || opt.size_mb > 1024 * 1024)
                fail_usage("--size-mb needs a positive number, got '" + value + "'");
        } else if (arg == "--runs") {
            const long runs = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || runs < 1 || runs > 1000)
                fail_usage("--runs needs a number from 1 to 1000, got '" + value + "'");
            opt.runs = static_cast<int>(runs);
        } else {
            fail_usage("unknown option " + arg);
        }
    }

    if (opt.trx.empty()) fail_usage("--trx PATH is required");
    if (opt.keywords.empty()) fail_usage("--keywords PATH is required");
    std::error_code ec;
    if (!fs::is_regular_file(opt.trx, ec) || access(opt.trx.c_str(), X_OK) != 0)
        fail_usage("trx binary '" + opt.trx + "' does not exist or is not executable");
    if (!fs::is_regular_file(opt.keywords, ec) || access(opt.keywords.c_str(), R_OK) != 0)
        fail_usage("keyword file '" + opt.keywords + "' does not exist or is not readable");
    if (!opt.before.empty() && (!fs::is_regular_file(opt.before, ec) || access(opt.before.c_str(), X_OK) != 0))
        fail_usage("trx binary '" + opt.before + "' does not exist or is not executable");
    // The children run inside the work directory, so relative paths would break.
    opt.trx = fs::absolute(opt.trx).lexically_normal().string();
    if (!opt.before.empty()) opt.before = fs::absolute(opt.before).lexically_normal().string();
    opt.keywords = fs::absolute(opt.keywords).lexically_normal().string();
    return opt;
}

// The work directory; removed on exit when it is our own temporary one.
class WorkDir {
public:
    explicit WorkDir(const std::string& requested) {
        if (!requested.empty()) {
            fs::create_directories(requested);
            path_ = fs::absolute(requested).string();
            return;
        }
        std::string tmpl = "/tmp/trx_bench.XXXXXX";
        if (mkdtemp(tmpl.data()) == nullptr)
            throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
        path_ = tmpl;
        owned_ = true;
    }
    ~WorkDir() {
        if (owned_) {
            std::error_code ec;
            fs::remove_all(path_, ec);
        }
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    bool owned() const { return owned_; }

private:
    std::string path_;
    bool owned_ = false;
};

struct Command {
    std::string label;              // as shown in the table
    std::string tag;                // names the capture files
    std::vector<std::string> argv;  // run inside the work directory
    std::string output;             // file the command creates
    std::uint64_t input_bytes = 0;
    std::string subdir;             // runs there instead of the work directory
    std::string baseline;           // label of the command its ratio refers to
    std::string stdin_name;         // a file standard input comes from (none: /dev/null)

    // Results.
    double best_seconds = 0;
    double best_cpu_seconds = 0;
    long peak_rss_kib = 0;
    std::optional<std::string> failure;
    std::uint64_t output_bytes = 0;

    Command(std::string label_, std::string tag_, std::vector<std::string> argv_,
            std::string output_, std::uint64_t input_bytes_, std::string baseline_ = "",
            std::string subdir_ = "")
        : label(std::move(label_)), tag(std::move(tag_)), argv(std::move(argv_)),
          output(std::move(output_)), input_bytes(input_bytes_), subdir(std::move(subdir_)),
          baseline(std::move(baseline_)) {}

    std::string cwd(const std::string& root) const { return subdir.empty() ? root : root + "/" + subdir; }
};

std::string with_commas(std::uint64_t n) {
    std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string read_head(const std::string& path, std::size_t max_bytes) {
    std::ifstream in(path, std::ios::binary);
    std::string text(max_bytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(max_bytes));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// Runs a command once; returns false (and records why) if it failed.
bool run_once(Command& cmd, const WorkDir& dir, bool timed) {
    std::error_code ec;
    const std::string out = cmd.cwd(dir.path()) + "/" + cmd.output;
    if (!cmd.output.empty()) fs::remove(out, ec);  // every run creates its output afresh

    const std::string stdout_path = dir.file("stdout_" + cmd.tag + ".txt");
    if (cmd.output.empty()) fs::remove(stdout_path, ec);  // the command's output goes there
    const ProcessResult r = run_process(cmd.argv, cmd.cwd(dir.path()), stdout_path,
                                        dir.file("stderr_" + cmd.tag + ".txt"),
                                        cmd.stdin_name.empty() ? "" : dir.file(cmd.stdin_name));
    if (!r.ok()) {
        cmd.failure = describe(r);
        return false;
    }
    if (!cmd.output.empty() && !fs::is_regular_file(out, ec)) {
        cmd.failure = "output " + cmd.output + " is missing";
        return false;
    }
    cmd.output_bytes = fs::file_size(cmd.output.empty() ? stdout_path : out, ec);
    if (timed) {
        if (cmd.best_seconds == 0 || r.seconds < cmd.best_seconds) cmd.best_seconds = r.seconds;
        if (cmd.best_cpu_seconds == 0 || r.cpu_seconds < cmd.best_cpu_seconds) cmd.best_cpu_seconds = r.cpu_seconds;
        cmd.peak_rss_kib = std::max(cmd.peak_rss_kib, r.max_rss_kib);
    }
    return true;
}

// Warns about anything a command wrote to stdout or stderr.
void report_captured_output(const Command& cmd, const WorkDir& dir) {
    for (const char* stream : {"stdout", "stderr"}) {
        const std::string path = dir.file(std::string(stream) + "_" + cmd.tag + ".txt");
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        if (ec || size == 0) continue;
        std::cerr << "warning: '" << cmd.label << "' wrote " << size << " bytes to " << stream;
        if (!dir.owned()) std::cerr << " (" << path << ")";
        std::cerr << ":\n" << read_head(path, 600);
        if (size > 600) std::cerr << "\n...";
        std::cerr << "\n";
    }
}

double mib(std::uint64_t bytes) { return static_cast<double>(bytes) / kMiB; }

// The copy loop binary, built beside this one.
std::string copy_loop_path() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (self.parent_path() / "copy_loop").string();
}

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool same_bytes(const std::string& left, const std::string& right) {
    return fs::exists(left) && fs::exists(right) && read_all(left) == read_all(right);
}

const Command* find_command(const std::vector<Command>& cmds, const std::string& label) {
    for (const Command& cmd : cmds)
        if (cmd.label == label) return &cmd;
    return nullptr;
}

// The trx commands for one binary; `who` ("" or "before ") prefixes labels.
void add_trx_commands(std::vector<Command>& cmds, const std::string& trx, const std::string& who,
                      std::uint64_t big_bytes, std::uint64_t tiny_bytes) {
    const std::string big_out = std::string(kInputName) + ".bas";
    const std::string tag = who.empty() ? "trx" : "before";
    for (const char* option : {"-m", "-u", "-l", "-p"})
        cmds.push_back({who + "trx FILE " + option, tag + option, {trx, kInputName, option}, big_out, big_bytes,
                        "copy loop FILE"});
    cmds.push_back({who + "trx 10KB -m", tag + "_tiny", {trx, kTinyName, "-m"}, std::string(kTinyName) + ".bas",
                    tiny_bytes, "cp 10KB"});
    cmds.push_back({who + "trx EMPTY", tag + "_empty", {trx, kEmptyName, "-m"}, std::string(kEmptyName) + ".bas", 0});
    cmds.push_back({who + "trx EMPTY, no ini", tag + "_noini", {trx, kEmptyName, "-m"},
                    std::string(kEmptyName) + ".bas", 0, "", "novocab"});
    cmds.push_back({who + "trx colliding", tag + "_coll", {trx, kHostileName, "-m"},
                    std::string(kHostileName) + ".bas", 0, "", "colliding"});
    cmds.push_back({who + "trx duplicates", tag + "_dup", {trx, kHostileName, "-m"},
                    std::string(kHostileName) + ".bas", 0, "", "duplicates"});
}

// recasor on the big file, with identifiers recased to their declarations
// (its default) and kept as written: as a filter, and as a check of the
// file recasor has converted already (so that it reads it to the end: on
// the file as generated, a check stops at the first line that changes).
void add_recasor_commands(std::vector<Command>& cmds, const std::string& recasor, std::uint64_t big_bytes) {
    const std::string vocabulary = "--vocabulary=Keywords.ini";
    for (const char* identifiers : {"declaration", "keep"}) {
        const std::string option = std::string("--identifiers=") + identifiers;
        Command filter{std::string("recasor filter, ") + identifiers, std::string("filter_") + identifiers,
                       {recasor, "--no-settings", vocabulary, option}, "", big_bytes, "trx FILE -m"};
        filter.stdin_name = kInputName;
        cmds.push_back(filter);
        const std::string recased = std::string("recased_") + identifiers + ".bas";
        Command check{std::string("recasor --check, ") + identifiers, std::string("check_") + identifiers,
                      {recasor, "--check", "--no-settings", vocabulary, option, recased}, "", big_bytes,
                      "trx FILE -m"};
        cmds.push_back(check);
    }
}

// The big file as recasor converts it, for the checks above.
void write_recased_inputs(const std::string& recasor, const WorkDir& dir) {
    for (const char* identifiers : {"declaration", "keep"}) {
        const std::string recased = dir.file(std::string("recased_") + identifiers + ".bas");
        std::error_code ec;
        fs::remove(recased, ec);  // run_process appends to what is there
        const ProcessResult r = run_process({recasor, "--no-settings", "--vocabulary=Keywords.ini",
                                             std::string("--identifiers=") + identifiers},
                                            dir.path(), recased, dir.file("stderr_recase.txt"), dir.file(kInputName));
        if (!r.ok()) throw std::runtime_error("recasor could not convert the input: " + describe(r));
    }
}

void print_vocabulary_load(const std::vector<Command>& cmds, const std::string& who) {
    const Command* with = find_command(cmds, who + "trx EMPTY");
    const Command* without = find_command(cmds, who + "trx EMPTY, no ini");
    if (with == nullptr || without == nullptr || with->failure || without->failure) return;
    std::printf("%-8s vocabulary load (CPU, EMPTY with minus without Keywords.ini): %.2f ms; "
                "peak RSS on EMPTY %.1f MiB\n",
                who.empty() ? "after" : "before", (with->best_cpu_seconds - without->best_cpu_seconds) * 1000,
                with->peak_rss_kib / 1024.0);
}

int run_benchmark(const Options& opt) {
    WorkDir dir(opt.workdir);
    std::cout << "trx benchmark\n"
              << "  trx      : " << opt.trx << "\n";
    if (!opt.before.empty()) std::cout << "  before   : " << opt.before << "\n";
    std::cout << "  workdir  : " << dir.path() << (dir.owned() ? " (removed at the end)" : "") << "\n";

    fs::copy_file(opt.keywords, dir.file("Keywords.ini"), fs::copy_options::overwrite_existing);

    const auto gen_start = std::chrono::steady_clock::now();
    const auto big_bytes = static_cast<std::uint64_t>(opt.size_mb * kMiB);
    const GeneratedFile big = generate_basic_file(dir.file(kInputName), big_bytes, kSeed);
    const double gen_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - gen_start).count();
    const GeneratedFile tiny = generate_basic_file(dir.file(kTinyName), kTinyBytes, kSeed);
    { std::ofstream empty(dir.file(kEmptyName), std::ios::trunc); }
    fs::create_directories(dir.file("novocab"));
    fs::copy_file(dir.file(kEmptyName), dir.file("novocab/") + kEmptyName, fs::copy_options::overwrite_existing);
    fs::create_directories(dir.file("colliding"));
    fs::create_directories(dir.file("duplicates"));
    const std::uint64_t colliding_ini =
        write_colliding_vocabulary(dir.file("colliding"), kHostileName, 262144, 3400 * 1000);
    const std::uint64_t duplicate_ini = write_duplicate_vocabulary(dir.file("duplicates"), kHostileName, 20 * kMiB);

    // A child's peak RSS counts what this process held when it forked: give
    // back what the generators used.
    malloc_trim(0);

    std::printf("  input    : %s, %s bytes (%.1f MiB), %s lines, %s LF-only, longest line %s bytes\n",
                kInputName, with_commas(big.bytes).c_str(), mib(big.bytes),
                with_commas(big.lines).c_str(), with_commas(big.lf_only_lines).c_str(),
                with_commas(big.longest_line).c_str());
    std::printf("  small    : %s, %s bytes, %s lines\n", kTinyName, with_commas(tiny.bytes).c_str(),
                with_commas(tiny.lines).c_str());
    std::printf("  hostile  : colliding/Keywords.ini %s bytes (262,144 words differing in bytes 6, 7, 14, 15), "
                "duplicates/Keywords.ini %s bytes (600 distinct words)\n",
                with_commas(colliding_ini).c_str(), with_commas(duplicate_ini).c_str());
    std::printf("  generated in %.2f s; best of %d run(s) after one warm-up run each\n\n",
                gen_seconds, opt.runs);
    std::fflush(stdout);

    const std::string loop = copy_loop_path();
    std::vector<Command> cmds = {
        {"copy loop FILE", "loop", {loop, kInputName, kCopyName}, kCopyName, big.bytes},
        {"cp FILE COPY", "cp", {"/bin/cp", kInputName, kCopyName}, kCopyName, big.bytes, "copy loop FILE"},
        {"copy loop 10KB", "loop_tiny", {loop, kTinyName, kCopyName}, kCopyName, tiny.bytes, "cp 10KB"},
        {"cp 10KB", "cp_tiny", {"/bin/cp", kTinyName, kCopyName}, kCopyName, tiny.bytes},
    };
    add_trx_commands(cmds, opt.trx, "", big.bytes, tiny.bytes);
    if (!opt.before.empty()) add_trx_commands(cmds, opt.before, "before ", big.bytes, tiny.bytes);
    if (!opt.recasor.empty()) {
        write_recased_inputs(opt.recasor, dir);
        add_recasor_commands(cmds, opt.recasor, big.bytes);
    }
    for (const Command& cmd : cmds) {
        for (const char* stream : {"stdout_", "stderr_"}) {
            std::ofstream truncate(dir.file(stream + cmd.tag + ".txt"), std::ios::trunc);
        }
    }

    // Warm the page cache (and the binaries) first, then interleave the
    // timed runs so that slow drifts in machine load hit every command alike.
    for (Command& cmd : cmds) run_once(cmd, dir, false);
    for (int run = 0; run < opt.runs; ++run) {
        for (Command& cmd : cmds) {
            if (!cmd.failure) run_once(cmd, dir, true);
        }
    }

    std::printf("%-24s %8s %8s %9s %8s %13s\n", "command", "CPU s", "wall s", "MiB/s", "ratio", "peak RSS MiB");
    for (const Command& cmd : cmds) {
        if (cmd.failure) {
            std::printf("%-24s FAILED: %s\n", cmd.label.c_str(), cmd.failure->c_str());
            continue;
        }
        char ratio[48] = "-";
        if (const Command* base = find_command(cmds, cmd.baseline); base != nullptr && !base->failure &&
                                                                    base->best_cpu_seconds > 0)
            std::snprintf(ratio, sizeof ratio, "%.2f", cmd.best_cpu_seconds / base->best_cpu_seconds);
        char speed[32] = "-";
        if (cmd.input_bytes > 0 && cmd.best_cpu_seconds > 0)
            std::snprintf(speed, sizeof speed, "%.1f", mib(cmd.input_bytes) / cmd.best_cpu_seconds);
        std::printf("%-24s %8.4f %8.4f %9s %8s %13.1f\n", cmd.label.c_str(), cmd.best_cpu_seconds,
                    cmd.best_seconds, speed, ratio, cmd.peak_rss_kib / 1024.0);
    }
    std::printf("(ratio: CPU time over that of the copy loop on the same file, for the 10 KB file over cp's, "
                "for recasor over trx -m's)\n\n");
    print_vocabulary_load(cmds, "");
    if (!opt.before.empty()) print_vocabulary_load(cmds, "before ");
    std::fflush(stdout);

    bool ok = true;
    if (!opt.before.empty()) {
        // The same output from both binaries, for every option.
        for (const char* option : {"-m", "-u", "-l", "-p"}) {
            Command after = *find_command(cmds, std::string("trx FILE ") + option);
            Command before = *find_command(cmds, std::string("before trx FILE ") + option);
            const std::string out = dir.file(after.output);
            if (!run_once(after, dir, false)) continue;
            fs::rename(out, out + ".after");
            if (!run_once(before, dir, false)) continue;
            const bool same = same_bytes(out, out + ".after");
            std::printf("outputs of trx FILE %s, before and after: %s\n", option, same ? "identical" : "DIFFERENT");
            ok = ok && same;
        }
    }

    for (const Command& cmd : cmds) {
        report_captured_output(cmd, dir);
        if (cmd.failure) {
            std::cerr << "error: '" << cmd.label << "' failed: " << *cmd.failure << "\n";
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Large blocks straight from and back to the system, so that nothing the
    // generators used stays resident (see the malloc_trim after them).
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    const Options opt = parse_args(argc, argv);
    try {
        return run_benchmark(opt);
    } catch (const std::exception& e) {
        std::cerr << "trx_bench: " << e.what() << "\n";
        return 1;
    }
}
