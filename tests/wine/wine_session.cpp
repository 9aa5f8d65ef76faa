#include "wine_session.h"

#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "support/processes.h"
#include "support/virtual_display.h"

namespace {

struct Session {
    fs::path root;
    VirtualDisplay display;
    pid_t wineserver = 0;
};
Session session;

int programCount = 0;

// The session spans the whole test run of the program that links this file.
class WineEnvironment : public ::testing::Environment {
public:
    void SetUp() override { StartWineSession(); }
    void TearDown() override { StopWineSession(); }
};
const auto* const wineEnvironment = ::testing::AddGlobalTestEnvironment(new WineEnvironment);

std::string Tail(const std::string& text, size_t length)
{
    return text.size() <= length ? text : "..." + text.substr(text.size() - length);
}

}  // namespace

void StartWineSession()
{
    session.root = MakeTemporaryFolder("trx_wine");
    ASSERT_FALSE(session.root.empty());
    session.display = StartVirtualDisplay();
    ASSERT_FALSE(session.display.name.empty()) << "Xvfb did not start";

    // The wineserver finds its prefix by the folder, so the folder comes first.
    fs::create_directory(session.root / "prefix");
    ::setenv("DISPLAY", session.display.name.c_str(), 1);
    ::setenv("WINEPREFIX", (session.root / "prefix").c_str(), 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);  // no Mono or Gecko installer dialogs
    ::setenv("WINEDEBUG", "-all", 1);

    // Our own wineserver, kept running for the whole test run so that each
    // program start does not pay for a new one.
    session.wineserver = StartProcess({.argv = {WINESERVER_PROGRAM, "--persistent", "--foreground"}});
    const fs::path bootLog = session.root / "wineboot.log";
    pid_t boot = StartProcess({.argv = {WINE_PROGRAM, "wineboot", "--init"}, .workDir = session.root, .stdoutPath = bootLog, .stderrPath = bootLog});
    ASSERT_EQ(WaitForExitWithin(boot, 300), 0) << "Wine could not create its prefix; wineboot said:\n" << Tail(ReadBytes(bootLog), 4000);
    ASSERT_TRUE(fs::is_directory(WineDriveC())) << "the Wine prefix has no drive C:";

    // There is no window manager on the virtual display. Wine's windows are
    // left unmanaged, or else Wine waits two seconds for a window manager
    // after each box that closes.
    const fs::path regLog = session.root / "reg.log";
    pid_t reg = StartProcess({.argv = {WINE_PROGRAM, "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"},
                              .workDir = session.root,
                              .stdoutPath = regLog,
                              .stderrPath = regLog});
    ASSERT_EQ(WaitForExitWithin(reg, 60), 0) << ReadBytes(regLog);
}

void StopWineSession()
{
    if (session.wineserver > 0) {
        WaitForExitWithin(StartProcess({.argv = {WINESERVER_PROGRAM, "--kill"}}), 30);
        WaitForExitWithin(session.wineserver, 30);
    }
    StopVirtualDisplay(session.display);
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

// xdotool sends real key events (XTEST), which go to the window with the
// input focus.
int CloseMessageBoxes(const std::string& titlePattern)
{
    std::istringstream windows(
        OutputOf({.argv = {"xdotool", "search", "--onlyvisible", "--name", titlePattern}}, session.root / "windows.txt"));
    std::string window;
    int closed = 0;
    while (windows >> window) {
        WaitForExitWithin(StartProcess({.argv = {"xdotool", "windowfocus", window}}), 10);
        WaitForExitWithin(StartProcess({.argv = {"xdotool", "key", "Return"}}), 10);
        ++closed;
    }
    return closed;
}

WineProgram StartUnderWine(const std::vector<std::string>& arguments, const fs::path& workDir)
{
    WineProgram program{.log = session.root / ("run" + std::to_string(++programCount) + ".log")};
    ProgramStart start{.argv = {WINE_PROGRAM}, .workDir = workDir, .stderrPath = program.log, .environment = {"WINEDEBUG=-all,trace+msgbox"}};
    start.argv.insert(start.argv.end(), arguments.begin(), arguments.end());
    program.pid = StartProcess(start);
    return program;
}

std::vector<std::string> MessageBoxTexts(const WineProgram& program)
{
    std::vector<std::string> texts;
    std::istringstream lines(ReadBytes(program.log));
    std::string line;
    const std::string marker = "trace:msgbox:MSGBOX_OnInit ";
    while (std::getline(lines, line)) {
        size_t at = line.find(marker);
        if (at != std::string::npos) texts.push_back(DecodeTracedText(line.substr(at + marker.size())));
    }
    return texts;
}

WineRun RunUnderWine(const std::vector<std::string>& arguments, const fs::path& workDir, int timeoutSeconds)
{
    WineProgram program = StartUnderWine(arguments, workDir);
    WineRun run;
    run.exitCode = WaitForExitWithin(program.pid, timeoutSeconds, [] { CloseMessageBoxes("^Recasor$"); });
    if (run.exitCode == -1) ADD_FAILURE() << "the program did not end well within " << timeoutSeconds << " s (a window it left open?)";
    run.messages = MessageBoxTexts(program);
    std::error_code ignored;
    fs::remove(program.log, ignored);
    return run;
}

std::string HexArgument(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex = "x";
    for (unsigned char c : bytes) hex += {digits[c >> 4], digits[c & 15]};
    return hex;
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
