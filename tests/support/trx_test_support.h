#pragma once
// What the tests of the batch tool share, whichever build they run: file
// helpers, a process runner, the tool's message texts and a small
// vocabulary whose conversions tell case mode and dialect apart.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path);
void WriteBytes(const fs::path& path, const std::string& bytes);

// Reports where two (possibly large) byte strings first differ, without
// printing megabytes.
void ExpectSameBytes(const std::string& got, const std::string& expected);

// A new empty folder under the system's temporary folder.
fs::path MakeTemporaryFolder(const std::string& prefix);

// One program start: argv[0] is the program's path. stdin is /dev/null;
// stdout and stderr go to the given files (or /dev/null when empty).
struct ProcessSpec {
    std::vector<std::string> argv;
    fs::path workDir;
    fs::path stdoutPath;
    fs::path stderrPath;
    uid_t runAs = 0;  // when not 0 and we are root: drop to this uid and gid
};

// Starts the program in its own process group and returns its pid.
pid_t StartProcess(const ProcessSpec& spec);

// Waits for it and returns its exit code, or -1 when it did not exit normally.
int WaitForExit(pid_t pid);

// The tool's own message texts (the constants are at the end).
std::string NotFoundText(const std::string& name);
std::string CannotReadText(const std::string& name);
std::string CannotWriteText(const std::string& name);
std::string StartTagMissingText(const std::string& tag);
std::string EndTagMissingText(const std::string& tag);

inline const std::string kUsageText =
    "Commandline-Syntax:\n"
    "   \"TRX.EXE\" \"filename.bas\" -parameters\n"
    "\n"
    "Parameters:\n"
    "   -m = Make keywords MixedCase (default)\n"
    "   -l   = Make keywords LowerCase\n"
    "   -u  = Make keywords UppperCase\n"
    "\n"
    "   -f   = FreeBasic (default)\n"
    "   -p  = PowerBasic\n";
inline const std::string kEmptyCommandLineText = "File not found, empty Commandline.";
inline const std::string kDefaultMissingText = "File not found:\nC:\\Test.bas";
inline const std::string kDefaultSourceName = "C:\\Test.bas";
inline const std::string kKeywordsMissingText = "File not found: \"Keywords.ini\"";

// A small vocabulary in which the two dialects, the API names and the
// constants can be told apart. The FreeBasic keywords repeat Dim and Print in capitals (the first
// spelling must win), list an entry with a leading "#" (never matches) and
// share PRINT with the constants (the keyword wins).
inline const std::string kVocabulary =
    "Test vocabulary: free text outside the sections is ignored.\r\n"
    "<FreeBasicKeywords>\r\n"
    "Data, Dim, As, Integer, Print, While, Case, Sub, UCase$, Include, #Define, DIM, PRINT\r\n"
    "</FreeBasicKeywords>\r\n"
    "<PowerBasicKeywords>\r\n"
    "Dim As Long Local Print Case\r\n"
    "</PowerBasicKeywords>\r\n"
    "<ApiKeywords>\r\n"
    "GetFocus GetMessage\r\n"
    "</ApiKeywords>\r\n"
    "<FreeBasicConstants>\r\n"
    "WM_KEYDOWN Pi PRINT\r\n"
    "</FreeBasicConstants>\r\n"
    "<PowerBasicConstants>\r\n"
    "%WM_KEYDOWN %NULL %Pi\r\n"
    "</PowerBasicConstants>\r\n";

// One source line and its four conversions under kVocabulary.
inline const std::string kSource = "dim x as long\n";
inline const std::string kFbMixed = "Dim x As long\r\n";
inline const std::string kFbUpper = "DIM x AS long\r\n";
inline const std::string kPbMixed = "Dim x As Long\r\n";
inline const std::string kPbUpper = "DIM x AS LONG\r\n";
