#pragma once
// Running Windows programs under Wine in tests: one Wine prefix and one
// virtual X display (Xvfb) for the whole test run, set up before the first
// test and torn down after the last. Message boxes are read from Wine's
// trace of each box's text and closed with xdotool, so a run of the
// program under test needs no one at the keyboard.

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/files.h"

struct WineRun {
    int exitCode = -1;
    std::vector<std::string> messages;  // the texts of the boxes, in order
};

// Starts Xvfb and the wineserver and creates the prefix; fails the test run
// (with Wine's log) when Wine cannot start. A test program that links
// wine_session.cpp runs these two before its first test and after its last.
void StartWineSession();
void StopWineSession();

// The prefix's drive C: (where "C:\Test.bas" lives).
fs::path WineDriveC();

// The Windows form of a Linux path (drive Z: maps the root).
std::string WindowsPath(const fs::path& path);

// A program started under Wine that runs on while the test drives it. Its
// stderr, with Wine's trace of the message boxes, goes to `log`.
struct WineProgram {
    pid_t pid = -1;
    fs::path log;
};
WineProgram StartUnderWine(const std::vector<std::string>& arguments, const fs::path& workDir);

// The texts of the message boxes that the program has shown so far, in order.
std::vector<std::string> MessageBoxTexts(const WineProgram& program);

// Closes the boxes whose title matches `titlePattern` (a regular
// expression, as xdotool takes it) that are on screen now, with Return.
// Returns how many it closed.
int CloseMessageBoxes(const std::string& titlePattern);

// Runs `wine64 arguments...` in `workDir`, closing every box titled
// "Recasor" as it appears. A run that outlives `timeoutSeconds` (a box under
// another title, a hang) is killed and fails the test.
WineRun RunUnderWine(const std::vector<std::string>& arguments, const fs::path& workDir, int timeoutSeconds = 60);

// A byte string as raw_launch.exe takes a command line: "x", then two hex
// digits a byte.
std::string HexArgument(const std::string& bytes);

// Decodes the text of one "trace:msgbox" line: L"..." with Wine's escapes.
std::string DecodeTracedText(const std::string& quoted);
