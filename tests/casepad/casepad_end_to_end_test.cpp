// The real casepad binary in a real X session: a virtual X server (Xvfb),
// the window found by its title, the Exit item clicked with the mouse
// (xdotool), and the exit code checked.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Starts a program in `folder` with `display` as its X display; -1 on failure.
pid_t Spawn(const std::vector<std::string>& arguments, const std::string& display, const fs::path& folder = fs::current_path(), int outputFd = -1)
{
    pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(folder.c_str()) != 0) _exit(126);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (outputFd >= 0) dup2(outputFd, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

// Waits up to `seconds` for the process to end; kills it when it does not.
// Returns the wait status, or -1 after a kill.
int WaitFor(pid_t pid, int seconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status;
}

bool EndedWithCode(int status, int code) { return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == code; }

class CasepadBinaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Xvfb picks a free display number and writes it to the pipe.
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        xServer = fork();
        if (xServer == 0) {
            close(pipeFds[0]);
            std::string fd = std::to_string(pipeFds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        // Read up to the line end: Xvfb writes it separately and fails when
        // the pipe is closed before.
        std::string number;
        char c;
        while (read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
        close(pipeFds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display = ":" + number;

        folder = fs::temp_directory_path() / ("casepad-binary-test-" + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::copy_file(SHIPPED_KEYWORDS_INI, folder / "Keywords.ini", fs::copy_options::overwrite_existing);
    }
    void TearDown() override
    {
        if (xServer > 0) {
            kill(xServer, SIGTERM);
            WaitFor(xServer, 10);
        }
        fs::remove_all(folder);
    }
    // Runs xdotool on the virtual display; its output (a window id) is returned.
    std::string XdoTool(const std::vector<std::string>& arguments)
    {
        fs::path output = folder / "xdotool.out";
        FILE* file = fopen(output.c_str(), "w");
        std::vector<std::string> command = {"xdotool"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        pid_t pid = Spawn(command, display, folder, fileno(file));
        fclose(file);
        EXPECT_TRUE(EndedWithCode(WaitFor(pid, 20), 0)) << "xdotool " << arguments.front();
        std::string text;
        if (FILE* in = fopen(output.c_str(), "r")) {
            char line[64] = {};
            if (fgets(line, sizeof line, in) != nullptr) text = line;
            fclose(in);
        }
        while (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }

    pid_t xServer = -1;
    std::string display;
    fs::path folder;
};

TEST_F(CasepadBinaryTest, StartsShowsItsWindowAndEndsWithExitCodeZeroOnExit)
{
    pid_t casepad = Spawn({CASEPAD_BINARY}, display, folder);
    ASSERT_GT(casepad, 0);
    // The window appears only after the set-up, vocabulary included.
    std::string window = XdoTool({"search", "--sync", "--onlyvisible", "--name", "^KAVRIX\\.DLL editor example$"});
    ASSERT_FALSE(window.empty());
    // "Exit" is the first item of the menu bar, at the window's top left.
    XdoTool({"mousemove", "--window", window, "15", "10", "click", "1"});
    EXPECT_TRUE(EndedWithCode(WaitFor(casepad, 20), 0));
}

}  // namespace
