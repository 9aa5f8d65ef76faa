// Runs a child process (fork/execvp/wait4) and reports its wall time and
// peak resident memory.
#pragma once

#include <string>
#include <vector>

namespace trx_bench {

struct ProcessResult {
    bool started = false;   // false if fork or exec failed
    std::string error;      // why it did not start
    double seconds = 0.0;   // wall time from fork to wait4's return
    double cpu_seconds = 0.0;  // user + system time of the child
    long max_rss_kib = 0;   // ru_maxrss of the child
    int exit_code = -1;     // valid when the child exited normally
    int term_signal = 0;    // non-zero when the child was killed by a signal

    bool ok() const { return started && term_signal == 0 && exit_code == 0; }
};

// Runs argv[0] (looked up in PATH if it has no '/') with the given
// arguments in directory `cwd`. Standard input comes from `stdin_path`
// (/dev/null when empty); standard output and standard error are appended
// to the given files.
ProcessResult run_process(const std::vector<std::string>& argv,
                          const std::string& cwd,
                          const std::string& stdout_path,
                          const std::string& stderr_path,
                          const std::string& stdin_path = "");

// Human-readable description of how the process ended.
std::string describe(const ProcessResult& r);

}  // namespace trx_bench
