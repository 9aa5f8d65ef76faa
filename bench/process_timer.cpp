#include "process_timer.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trx_bench {

namespace {

// In the child only: report errno through the pipe and leave.
[[noreturn]] void child_fail(int report_fd, int err) {
    ssize_t ignored = write(report_fd, &err, sizeof err);
    (void)ignored;
    _exit(127);
}

bool redirect(const char* path, int flags, int target_fd) {
    int fd = open(path, flags, 0644);
    if (fd < 0) return false;
    if (fd != target_fd) {
        if (dup2(fd, target_fd) < 0) return false;
        close(fd);
    }
    return true;
}

}  // namespace

ProcessResult run_process(const std::vector<std::string>& argv,
                          const std::string& cwd,
                          const std::string& stdout_path,
                          const std::string& stderr_path,
                          const std::string& stdin_path) {
    ProcessResult result;
    if (argv.empty()) {
        result.error = "empty command";
        return result;
    }

    // Build the argv array before forking: the child must not allocate.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    // The child writes errno here if chdir/open/exec fails; a successful
    // exec closes the pipe (O_CLOEXEC) and the parent reads EOF.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        result.error = std::string("pipe2: ") + std::strerror(errno);
        return result;
    }

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid < 0) {
        result.error = std::string("fork: ") + std::strerror(errno);
        close(report[0]);
        close(report[1]);
        return result;
    }
    if (pid == 0) {
        close(report[0]);
        if (chdir(cwd.c_str()) != 0) child_fail(report[1], errno);
        if (!redirect(stdin_path.empty() ? "/dev/null" : stdin_path.c_str(), O_RDONLY, STDIN_FILENO))
            child_fail(report[1], errno);
        const int out_flags = O_WRONLY | O_CREAT | O_APPEND;
        if (!redirect(stdout_path.c_str(), out_flags, STDOUT_FILENO)) child_fail(report[1], errno);
        if (!redirect(stderr_path.c_str(), out_flags, STDERR_FILENO)) child_fail(report[1], errno);
        execvp(args[0], args.data());
        child_fail(report[1], errno);
    }

    close(report[1]);
    int child_errno = 0;
    ssize_t got;
    do {
        got = read(report[0], &child_errno, sizeof child_errno);
    } while (got < 0 && errno == EINTR);
    close(report[0]);

    int status = 0;
    struct rusage usage {};
    pid_t waited;
    do {
        waited = wait4(pid, &status, 0, &usage);
    } while (waited < 0 && errno == EINTR);
    const auto end = std::chrono::steady_clock::now();

    if (waited < 0) {
        result.error = std::string("wait4: ") + std::strerror(errno);
        return result;
    }
    if (got == static_cast<ssize_t>(sizeof child_errno)) {
        result.error = std::string("cannot run ") + argv[0] + ": " + std::strerror(child_errno);
        return result;
    }

    result.started = true;
    result.seconds = std::chrono::duration<double>(end - start).count();
    result.max_rss_kib = usage.ru_maxrss;  // Linux reports KiB
    result.cpu_seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (WIFEXITED(status)) {
        result.exit_code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.term_signal = WTERMSIG(status);
    }
    return result;
}

std::string describe(const ProcessResult& r) {
    if (!r.started) return r.error;
    if (r.term_signal != 0)
        return std::string("killed by signal ") + std::to_string(r.term_signal) + " (" +
               strsignal(r.term_signal) + ")";
    return "exit code " + std::to_string(r.exit_code);
}

}  // namespace trx_bench
