#include "wine_session.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Session {
    fs::path root;
    pid_t xvfb = 0;
    pid_t wineserver = 0;
};
Session session;

// The output of a short helper command (xdotool), or "" when it fails.
std::string Capture(const std::string& command)
{
    std::string output;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

// Closes the boxes titled "Recasor" that are on screen now. xdotool sends
// real key events (XTEST), which go to the window with the input focus.
void CloseMessageBoxes()
{
    std::istringstream windows(Capture(XDOTOOL_PROGRAM " search --onlyvisible --name '^Recasor$' 2>/dev/null"));
    std::string window;
    while (windows >> window) {
        Capture(XDOTOOL_PROGRAM " windowfocus " + window + " 2>/dev/null");
        Capture(XDOTOOL_PROGRAM " key Return 2>/dev/null");
    }
}

bool Exited(pid_t pid, int& exitCode)
{
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) != pid) return false;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

// Starts Xvfb on a display number it picks itself and returns that number.
std::string StartXvfb()
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "";
    std::string fd = std::to_string(pipeFds[1]);
    session.xvfb = ::fork();
    if (session.xvfb == 0) {
        ::close(pipeFds[0]);
        ::setpgid(0, 0);
        std::freopen("/dev/null", "w", stderr);
        ::execl(XVFB_PROGRAM, "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                "-noreset", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string display;
    char c;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') display += c;
    ::close(pipeFds[0]);
    return display;
}

std::string Tail(const std::string& text, size_t length)
{
    return text.size() <= length ? text : "..." + text.substr(text.size() - length);
}

}  // namespace

void StartWineSession()
{
    session.root = MakeTemporaryFolder("trx_wine");
    ASSERT_FALSE(session.root.empty());
    std::string display = StartXvfb();
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";

    // The wineserver finds its prefix by the folder, so the folder comes first.
    fs::create_directory(session.root / "prefix");
    ::setenv("DISPLAY", (":" + display).c_str(), 1);
    ::setenv("WINEPREFIX", (session.root / "prefix").c_str(), 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);  // no Mono or Gecko installer dialogs
    ::setenv("WINEDEBUG", "-all", 1);

    // Our own wineserver, kept running for the whole test run so that each
    // program start does not pay for a new one.
    session.wineserver = StartProcess({{WINESERVER_PROGRAM, "--persistent", "--foreground"}, {}, {}, {}});
    const fs::path bootLog = session.root / "wineboot.log";
    pid_t boot = StartProcess({{WINE_PROGRAM, "wineboot", "--init"}, session.root, bootLog, bootLog});
    int exitCode = -1;
    auto deadline = Clock::now() + std::chrono::minutes(5);
    while (!Exited(boot, exitCode) && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (Clock::now() >= deadline) ::kill(-boot, SIGKILL);
    ASSERT_EQ(exitCode, 0) << "Wine could not create its prefix; wineboot said:\n" << Tail(ReadBytes(bootLog), 4000);
    ASSERT_TRUE(fs::is_directory(WineDriveC())) << "the Wine prefix has no drive C:";

    // There is no window manager on the virtual display. Wine's windows are
    // left unmanaged, or else Wine waits two seconds for a window manager
    // after each box that closes.
    const fs::path regLog = session.root / "reg.log";
    pid_t reg = StartProcess({{WINE_PROGRAM, "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"},
                              session.root, regLog, regLog});
    ASSERT_EQ(WaitForExit(reg), 0) << ReadBytes(regLog);
}

void StopWineSession()
{
    if (session.wineserver > 0) {
        StartProcess({{WINESERVER_PROGRAM, "--kill"}, {}, {}, {}});
        WaitForExit(session.wineserver);
    }
    if (session.xvfb > 0) {
        ::kill(session.xvfb, SIGTERM);
        ::waitpid(session.xvfb, nullptr, 0);
    }
    std::error_code ignored;
    if (!session.root.empty()) fs::remove_all(session.root, ignored);
}

fs::path WineDriveC() { return session.root / "prefix" / "drive_c"; }

std::string WindowsPath(const fs::path& path)
{
    std::string windows = "Z:" + fs::absolute(path).string();
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

WineRun RunUnderWine(const std::vector<std::string>& arguments, const fs::path& workDir, int timeoutSeconds)
{
    const fs::path log = session.root / "run.log";
    ::setenv("WINEDEBUG", "-all,trace+msgbox", 1);
    ProcessSpec spec{{WINE_PROGRAM}, workDir, {}, log};
    spec.argv.insert(spec.argv.end(), arguments.begin(), arguments.end());
    pid_t pid = StartProcess(spec);
    ::setenv("WINEDEBUG", "-all", 1);

    WineRun run;
    auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
    while (!Exited(pid, run.exitCode)) {
        if (Clock::now() > deadline) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            ADD_FAILURE() << "the program did not end within " << timeoutSeconds << " s (a window it left open?)";
            break;
        }
        CloseMessageBoxes();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    std::istringstream lines(ReadBytes(log));
    std::string line;
    const std::string marker = "trace:msgbox:MSGBOX_OnInit ";
    while (std::getline(lines, line)) {
        size_t at = line.find(marker);
        if (at != std::string::npos) run.messages.push_back(DecodeTracedText(line.substr(at + marker.size())));
    }
    return run;
}

std::string DecodeTracedText(const std::string& quoted)
{
    // L"text" where \n, \r, \t, \\, \" and \xHHHH stand for characters.
    std::string text;
    size_t at = quoted.find('"');
    if (at == std::string::npos) return text;
    for (++at; at < quoted.size() && quoted[at] != '"'; ++at) {
        char c = quoted[at];
        if (c != '\\' || at + 1 >= quoted.size()) {
            text += c;
            continue;
        }
        char escape = quoted[++at];
        switch (escape) {
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case 't': text += '\t'; break;
        case 'x': {
            unsigned value = std::stoul(quoted.substr(at + 1, 4), nullptr, 16);
            text += static_cast<char>(value);
            at += 4;
            break;
        }
        default: text += escape;
        }
    }
    return text;
}
