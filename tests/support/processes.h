#pragma once
// Starting the programs under test as real processes.

#include <sys/resource.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// One program start. argv[0] is the program: a path, or a name looked up in
// PATH. stdin is /dev/null; stdout and stderr go to the given files (or to
// /dev/null when empty). The program starts with the default action for the
// usual ending signals, none of them blocked, whatever the test inherited.
struct ProgramStart {
    std::vector<std::string> argv;
    std::filesystem::path workDir;  // empty: the current folder
    std::filesystem::path stdoutPath;
    std::filesystem::path stderrPath;
    std::vector<std::string> environment;  // NAME=value settings added for the program
    uid_t runAs = 0;                       // when not 0 and we are root: drop to this uid and gid
    std::vector<std::pair<int, rlim_t>> limits;  // setrlimit(resource, value) for the program
};

// Starts the program in a process group of its own and returns its pid.
pid_t StartProcess(const ProgramStart& start);

// Waits for the process and returns its exit code, or -1 when it did not
// exit normally.
int WaitForExit(pid_t pid);

// Waits for the process and returns the signal that ended it, or 0 when it
// exited by itself.
int WaitForTerminatingSignal(pid_t pid);

// The same, but a process still running after `seconds` is killed (with its
// process group) and gives -1. `whileWaiting`, when given, runs at every
// look at the process (some 50 times a second).
int WaitForExitWithin(pid_t pid, int seconds, const std::function<void()>& whileWaiting = nullptr);

// What a process started with `start` printed on stdout, once it has ended
// within `seconds` with exit code 0; "" otherwise.
std::string OutputOf(ProgramStart start, const std::filesystem::path& scratchFile, int seconds = 20);
