#include "processes.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "files.h"

namespace {

int OpenOrNull(const std::filesystem::path& path, int flags)
{
    return ::open(path.empty() ? "/dev/null" : path.c_str(), flags, 0644);
}

int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

// True once the process has ended; its exit code (or -1) is then in `exitCode`.
bool HasExited(pid_t pid, int& exitCode)
{
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) != pid) return false;
    exitCode = ExitCodeOf(status);
    return true;
}

}  // namespace

pid_t StartProcess(const ProgramStart& start)
{
    std::vector<std::string> copies(start.argv);
    std::vector<char*> argv;
    for (auto& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment(start.environment);

    pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        int in = ::open("/dev/null", O_RDONLY);
        int out = OpenOrNull(start.stdoutPath, O_WRONLY | O_CREAT | O_TRUNC);
        int err = OpenOrNull(start.stderrPath, O_WRONLY | O_CREAT | O_TRUNC);
        if (in < 0 || out < 0 || err < 0 || (!start.workDir.empty() && ::chdir(start.workDir.c_str()) != 0)) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (auto& setting : environment) ::putenv(setting.data());
        for (int signalNumber : {SIGINT, SIGHUP, SIGTERM, SIGPIPE, SIGXFSZ}) ::signal(signalNumber, SIG_DFL);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (const auto& [resource, value] : start.limits) {
            struct rlimit limit = {value, value};
            if (::setrlimit(resource, &limit) != 0) ::_exit(124);
        }
        if (start.runAs != 0 && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(start.runAs) != 0 || ::setuid(start.runAs) != 0))
            ::_exit(125);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    EXPECT_GT(pid, 0) << "fork failed";
    return pid;
}

int WaitForExit(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return ExitCodeOf(status);
}

int WaitForTerminatingSignal(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

int WaitForExitWithin(pid_t pid, int seconds, const std::function<void()>& whileWaiting)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int exitCode = -1;
    while (!HasExited(pid, exitCode)) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            return -1;
        }
        if (whileWaiting) whileWaiting();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return exitCode;
}

std::string OutputOf(ProgramStart start, const std::filesystem::path& scratchFile, int seconds)
{
    start.stdoutPath = scratchFile;
    if (WaitForExitWithin(StartProcess(start), seconds) != 0) return "";
    return ReadBytes(scratchFile);
}
