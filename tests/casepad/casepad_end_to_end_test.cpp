// The real casepad binary in a real X session: a virtual X server (Xvfb),
// the window found by its title, the Exit item clicked with the mouse
// (xdotool), and the exit code checked.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/processes.h"
#include "support/virtual_display.h"

namespace {

class CasepadBinaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = StartVirtualDisplay();
        ASSERT_FALSE(display.name.empty()) << "Xvfb did not start";
        folder = MakeTemporaryFolder("casepad_binary_test");
        ASSERT_FALSE(folder.empty());
        fs::copy_file(SHIPPED_KEYWORDS_INI, folder / "Keywords.ini");
    }
    void TearDown() override
    {
        StopVirtualDisplay(display);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    ProgramStart OnDisplay(std::vector<std::string> argv) const
    {
        return {.argv = std::move(argv), .workDir = folder, .environment = {"DISPLAY=" + display.name, "QT_QPA_PLATFORM=xcb"}};
    }

    // Runs xdotool on the virtual display; returns the first line it printed.
    std::string XdoTool(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> command = {"xdotool"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        std::string output = OutputOf(OnDisplay(command), folder / "xdotool.out");
        EXPECT_FALSE(output.empty() && arguments.front() == "search") << "xdotool found no window";
        return output.substr(0, output.find('\n'));
    }

    VirtualDisplay display;
    fs::path folder;
};

TEST_F(CasepadBinaryTest, StartsShowsItsWindowAndEndsWithExitCodeZeroOnExit)
{
    pid_t casepad = StartProcess(OnDisplay({CASEPAD_BINARY}));
    ASSERT_GT(casepad, 0);
    // The window appears only after the set-up, vocabulary included.
    std::string window = XdoTool({"search", "--sync", "--onlyvisible", "--name", "^KAVRIX\\.DLL editor example$"});
    ASSERT_FALSE(window.empty());
    // "Exit" is the first item of the menu bar, at the window's top left.
    XdoTool({"mousemove", "--window", window, "15", "10", "click", "1"});
    EXPECT_EQ(WaitForExitWithin(casepad, 20), 0);
}

}  // namespace
