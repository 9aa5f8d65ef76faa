// trx_bench: measures the trx batch tool against a plain file copy.
//
//   trx_bench --trx PATH --keywords PATH [--size-mb N] [--runs N] [--workdir DIR]
//
// Generates a large BASIC source file, then times `cp FILE COPY`,
// `trx FILE -m`, `trx FILE -u` and `trx FILE -p` (best of N runs after one
// untimed warm-up each) and reports throughput, the ratio to cp and peak
// resident memory. A second run on a ~1 MiB file shows whether peak memory
// depends on the input size.
#include "basic_generator.h"
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

#include <unistd.h>

namespace fs = std::filesystem;
using namespace trx_bench;

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kSeed = 0x7258'2024'BA51'C0DEull;
constexpr const char* kInputName = "bench_input.bas";
constexpr const char* kSmallName = "bench_small.bas";
constexpr const char* kCopyName = "bench_copy.bas";

struct Options {
    std::string trx;
    std::string keywords;
    std::string workdir;  // empty: fresh temporary directory
    double size_mb = 64;
    int runs = 3;
};

void usage(std::ostream& os) {
    os << "usage: trx_bench --trx PATH --keywords PATH [--size-mb N] [--runs N] [--workdir DIR]\n"
          "  --trx PATH       trx executable to measure\n"
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
    // The children run inside the work directory, so relative paths would break.
    opt.trx = fs::absolute(opt.trx).lexically_normal().string();
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

    // Results.
    double best_seconds = 0;
    long peak_rss_kib = 0;
    std::optional<std::string> failure;
    std::uint64_t output_bytes = 0;

    Command(std::string label_, std::string tag_, std::vector<std::string> argv_,
            std::string output_, std::uint64_t input_bytes_)
        : label(std::move(label_)), tag(std::move(tag_)), argv(std::move(argv_)),
          output(std::move(output_)), input_bytes(input_bytes_) {}
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
    fs::remove(dir.file(cmd.output), ec);  // every run creates its output afresh

    const ProcessResult r = run_process(cmd.argv, dir.path(), dir.file("stdout_" + cmd.tag + ".txt"),
                                        dir.file("stderr_" + cmd.tag + ".txt"));
    if (!r.ok()) {
        cmd.failure = describe(r);
        return false;
    }
    const std::string out = dir.file(cmd.output);
    if (!fs::is_regular_file(out, ec)) {
        cmd.failure = "output " + cmd.output + " is missing";
        return false;
    }
    cmd.output_bytes = fs::file_size(out, ec);
    if (timed) {
        if (cmd.best_seconds == 0 || r.seconds < cmd.best_seconds) cmd.best_seconds = r.seconds;
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

int run_benchmark(const Options& opt) {
    WorkDir dir(opt.workdir);
    std::cout << "trx benchmark\n"
              << "  trx      : " << opt.trx << "\n"
              << "  workdir  : " << dir.path() << (dir.owned() ? " (removed at the end)" : "")
              << "\n";

    fs::copy_file(opt.keywords, dir.file("Keywords.ini"), fs::copy_options::overwrite_existing);

    const auto gen_start = std::chrono::steady_clock::now();
    const auto big_bytes = static_cast<std::uint64_t>(opt.size_mb * kMiB);
    const GeneratedFile big = generate_basic_file(dir.file(kInputName), big_bytes, kSeed);
    const double gen_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - gen_start).count();
    const GeneratedFile small = generate_basic_file(dir.file(kSmallName), kMiB, kSeed);

    std::printf("  input    : %s, %s bytes (%.1f MiB), %s lines, %s LF-only, longest line %s bytes\n",
                kInputName, with_commas(big.bytes).c_str(), mib(big.bytes),
                with_commas(big.lines).c_str(), with_commas(big.lf_only_lines).c_str(),
                with_commas(big.longest_line).c_str());
    std::printf("  small    : %s, %s bytes (%.1f MiB), %s lines (prefix of the input)\n", kSmallName,
                with_commas(small.bytes).c_str(), mib(small.bytes), with_commas(small.lines).c_str());
    std::printf("  generated in %.2f s; best of %d run(s) after one warm-up run each\n\n",
                gen_seconds, opt.runs);
    std::fflush(stdout);

    const std::string big_out = std::string(kInputName) + ".bas";
    std::vector<Command> cmds = {
        {"cp FILE COPY", "cp", {"/bin/cp", kInputName, kCopyName}, kCopyName, big.bytes},
        {"trx FILE -m", "trx_m", {opt.trx, kInputName, "-m"}, big_out, big.bytes},
        {"trx FILE -u", "trx_u", {opt.trx, kInputName, "-u"}, big_out, big.bytes},
        {"trx FILE -p", "trx_p", {opt.trx, kInputName, "-p"}, big_out, big.bytes},
        {"trx SMALL -m", "trx_small", {opt.trx, kSmallName, "-m"}, std::string(kSmallName) + ".bas",
         small.bytes},
    };
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

    const Command& cp = cmds.front();
    std::printf("%-14s %9s %9s %7s %13s %9s\n", "command", "best s", "MiB/s", "x cp",
                "peak RSS MiB", "out MiB");
    for (const Command& cmd : cmds) {
        if (cmd.failure) {
            std::printf("%-14s FAILED: %s\n", cmd.label.c_str(), cmd.failure->c_str());
            continue;
        }
        char ratio[32] = "-";
        if (cmd.input_bytes == cp.input_bytes && !cp.failure && cp.best_seconds > 0)
            std::snprintf(ratio, sizeof ratio, "%.2f", cmd.best_seconds / cp.best_seconds);
        const double speed = cmd.best_seconds > 0 ? mib(cmd.input_bytes) / cmd.best_seconds : 0;
        std::printf("%-14s %9.3f %9.1f %7s %13.1f %9.1f\n", cmd.label.c_str(), cmd.best_seconds,
                    speed, ratio, cmd.peak_rss_kib / 1024.0, mib(cmd.output_bytes));
    }

    const Command& big_m = cmds[1];
    const Command& small_m = cmds.back();
    if (!big_m.failure && !small_m.failure) {
        std::printf("\npeak RSS of trx -m: %.1f MiB on %.1f MiB input, %.1f MiB on %.1f MiB input\n",
                    big_m.peak_rss_kib / 1024.0, mib(big.bytes), small_m.peak_rss_kib / 1024.0,
                    mib(small.bytes));
        std::fflush(stdout);
        // A few MiB of slack: allocator arenas and buffers for the longest line.
        if (big_m.peak_rss_kib > small_m.peak_rss_kib * 3 / 2 + 4096)
            std::cerr << "warning: trx peak memory grows with the input size\n";
    }
    std::fflush(stdout);

    bool ok = true;
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
    const Options opt = parse_args(argc, argv);
    try {
        return run_benchmark(opt);
    } catch (const std::exception& e) {
        std::cerr << "trx_bench: " << e.what() << "\n";
        return 1;
    }
}
