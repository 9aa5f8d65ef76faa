// recasor.exe under Wine: the same conversions, checks, diffs and filter
// output as the Linux build, byte for byte, and what is Windows' own:
// UTF-8 names from a UTF-16 command line, "\" and drive letters, paths
// longer than MAX_PATH, case-insensitive patterns, settings found up to a
// drive's root, read-only files, files another program holds open, file
// attributes kept, Ctrl+C, names shown on a console, and the language
// server's exact framing.

#include <signal.h>
#include <unistd.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/processes.h"
#include "wine_session.h"

namespace {

struct RunResult {
    int exitCode;
    std::string out;
    std::string err;
};

// Wine turns the Unix command line and names into UTF-16 by the locale.
const std::vector<std::string> kUtf8Locale = {"LC_ALL=C.UTF-8"};

std::string WithBackslashes(std::string text)
{
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

class RecasorWineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = MakeTemporaryFolder("recasor_wine");
        ASSERT_FALSE(root_.empty());
        dir_ = root_ / "work";
        fs::create_directory(dir_);
    }
    void TearDown() override { RemoveTemporaryFolder(root_); }

    // Runs `program args...` in `where`; with `input`, standard input comes from it.
    RunResult RunProgram(std::vector<std::string> argv, const fs::path& where, const std::string* input = nullptr)
    {
        const fs::path outPath = root_ / "stdout", errPath = root_ / "stderr", inPath = root_ / "stdin";
        if (input != nullptr) {
            WriteBytes(inPath, *input);
            argv.insert(argv.begin(), {"/bin/sh", "-c", "exec \"$0\" \"$@\" < " + inPath.string()});
        }
        ProgramStart start{.argv = argv, .workDir = where, .stdoutPath = outPath, .stderrPath = errPath, .environment = kUtf8Locale};
        int exitCode = WaitForExitWithin(StartProcess(start), 120);
        return RunResult{exitCode, ReadBytes(outPath), ReadBytes(errPath)};
    }
    RunResult Run(const std::vector<std::string>& args, const std::string* input = nullptr, const fs::path& where = {})
    {
        std::vector<std::string> argv{WINE_PROGRAM, RECASOR_WINDOWS_EXE};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProgram(argv, where.empty() ? dir_ : where, input);
    }
    RunResult RunLinux(const std::vector<std::string>& args, const fs::path& where, const std::string* input = nullptr)
    {
        std::vector<std::string> argv{RECASOR_LINUX_BINARY};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProgram(argv, where, input);
    }
    // recasor.exe started with exactly `commandLine` by the helper, after its
    // preparations (see raw_launch.cpp).
    RunResult RunRaw(const std::vector<std::string>& helperOptions, const std::string& commandLine)
    {
        std::vector<std::string> argv{WINE_PROGRAM, RAW_LAUNCH_EXE};
        argv.insert(argv.end(), helperOptions.begin(), helperOptions.end());
        argv.push_back(WindowsPath(RECASOR_WINDOWS_EXE));
        argv.push_back(HexArgument(commandLine));
        return RunProgram(argv, dir_);
    }

    void Write(const std::string& name, const std::string& bytes)
    {
        fs::create_directories((dir_ / name).parent_path());
        WriteBytes(dir_ / name, bytes);
    }
    std::string Read(const std::string& name) { return ReadBytes(dir_ / name); }
    std::set<std::string> Listing(const fs::path& folder)
    {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) names.insert(fs::relative(entry.path(), folder).string());
        return names;
    }

    fs::path root_, dir_;
};

const std::string kMessy = "\xEF\xBB\xBF" "dim x as integer\r\nprint \"dim\" 'dim\nwhile x\r/' dim\r\n print '/ wend\n"
                           "rem print\r\na$ = \"\xE9t\xE9\" + chr$(0) : print" + std::string(1, '\0') + "print\nend";

// A tree of random sources under Unicode names, as the Linux build and the
// Windows build convert it.
TEST_F(RecasorWineTest, ConversionsChecksDiffsAndTheFilterAgreeWithTheLinuxBuild)
{
    const std::vector<std::string> pieces = {"dim ", "PRINT ", "x ", "'c ", "/' ", "'/ ", "rem ", ": ", "\"s\" ", "\n",
                                             "\r\n", "\r", "while ", "getmessage ", "\xC3\xA9", "_ "};
    const std::vector<std::string> names = {"\xC3\x9C" "bung.bas", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E/\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.bas",
                                            "with space/prog.bi", "a/b/c.inc", "messy.bas"};
    for (const char* side : {"linux", "windows"}) {
        std::mt19937 same(11);
        for (size_t i = 0; i < 40; ++i) {
            std::string text;
            for (int k = 0; k < 300; ++k) text += pieces[same() % pieces.size()];
            std::string name = i < names.size() ? names[i] : "d" + std::to_string(i % 5) + "/f" + std::to_string(i) + ".bas";
            fs::create_directories((dir_ / side / name).parent_path());
            WriteBytes(dir_ / side / name, name == "messy.bas" ? kMessy : text);
        }
    }
    const fs::path linux = dir_ / "linux", windows = dir_ / "windows";
    RunResult linuxCheck = RunLinux({"--check", "."}, linux), windowsCheck = Run({"--check", "--jobs", "3", "."}, {}, windows);
    EXPECT_EQ(windowsCheck.exitCode, 1) << windowsCheck.err;
    EXPECT_EQ(windowsCheck.out, WithBackslashes(linuxCheck.out));
    EXPECT_NE(windowsCheck.out.find(".\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\\\xE3\x83\x86"), std::string::npos);

    for (const std::string& name : {std::string("messy.bas"), names[0]}) {
        RunResult linuxDiff = RunLinux({"--diff", name}, linux), windowsDiff = Run({"--diff", name}, {}, windows);
        EXPECT_EQ(windowsDiff.exitCode, 1);
        ExpectSameBytes(windowsDiff.out, linuxDiff.out);
    }
    const std::string input = kMessy + "\r\n";
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"-"}, {"--check", "-"}, {"--diff", "--case", "upper"}}) {
        RunResult linuxFilter = RunLinux(args, linux, &input), windowsFilter = Run(args, &input, windows);
        EXPECT_EQ(windowsFilter.exitCode, linuxFilter.exitCode);
        ExpectSameBytes(windowsFilter.out, linuxFilter.out);
    }

    RunResult linuxRun = RunLinux({"."}, linux);
    RunResult windowsRun = Run({"--jobs", "4", WindowsPath(windows)}, {}, root_);  // an absolute name with a drive letter
    EXPECT_EQ(windowsRun.exitCode, 0) << windowsRun.err;
    EXPECT_EQ(Listing(windows), Listing(linux));
    for (const std::string& name : Listing(linux))
        if (fs::is_regular_file(linux / name)) ExpectSameBytes(ReadBytes(windows / name), ReadBytes(linux / name));
    EXPECT_EQ(Run({"--check", "windows/"}).exitCode, 0);  // forward slashes
}

TEST_F(RecasorWineTest, SettingsAreFoundUpToTheDriveRootAndPatternsIgnoreCase)
{
    Write(".recasor.toml", "case = \"upper\"\nextra-words = [\"hWndMain\"]\nkept-words = [\"name\"]\n");
    Write("top.bas", "dim name as integer : hwndmain = 1\n");
    Write("sub/.recasor.toml", "dialect = \"powerbasic\"\ninclude = [\"*.src\"]\nexclude = [\"skip\", \"gen/*.src\"]\n");
    Write("sub/deeper/a.SRC", "print name\n");
    Write("sub/deeper/a.bas", "dim\n");
    Write("sub/SKIP/b.src", "dim\n");
    Write("sub/Gen/c.Src", "dim\n");
    Write("sub/other/gen/d.src", "dim\n");
    RunResult run = Run({"."});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Read("top.bas"), "DIM name AS INTEGER : hWndMain = 1\n");
    EXPECT_EQ(Read("sub/deeper/a.SRC"), "Print Name\n");
    EXPECT_EQ(Read("sub/deeper/a.bas"), "dim\n");
    EXPECT_EQ(Read("sub/SKIP/b.src"), "dim\n");
    EXPECT_EQ(Read("sub/Gen/c.Src"), "dim\n");
    EXPECT_EQ(Read("sub/other/gen/d.src"), "Dim\n");  // "gen/*.src" is below the settings file's folder

    // Options replace settings key by key; a named file is taken whatever the patterns.
    RunResult lower = Run({"--case", "lower", "top.bas", "sub\\SKIP\\b.src"});
    EXPECT_EQ(lower.exitCode, 0) << lower.err;
    EXPECT_EQ(Read("top.bas"), "dim name as integer : hWndMain = 1\n");
    EXPECT_EQ(Read("sub/SKIP/b.src"), "dim\n");

    Write("bad/.recasor.toml", "colour = \"red\"\n");
    Write("bad/d.bas", "dim d\n");
    RunResult broken = Run({"bad", "missing.bas"});
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_EQ(broken.err, "recasor: " + WindowsPath(dir_ / "bad/.recasor.toml") + ": line 1: unknown key colour\n"
                          "recasor: missing.bas: No such file or folder\n");
    EXPECT_EQ(Read("bad/d.bas"), "dim d\n");

    // The settings file at the root of drive C: applies to a project there.
    const fs::path project = WineDriveC() / "recasor project";
    WriteBytes(WineDriveC() / ".recasor.toml", "case = \"lower\"\n");
    fs::create_directories(project / "src");
    WriteBytes(project / "src" / "x.bas", "DIM x\n");
    RunResult atRoot = Run({"C:\\recasor project\\src"});
    EXPECT_EQ(atRoot.exitCode, 0) << atRoot.err;
    EXPECT_EQ(ReadBytes(project / "src" / "x.bas"), "dim x\n");
    fs::remove_all(project);
    fs::remove(WineDriveC() / ".recasor.toml");
}

TEST_F(RecasorWineTest, ProtectedAndHeldFilesAreReportedAndKeptHiddenFilesAreWalkedAndKeepTheirAttributes)
{
    for (const char* name : {"ro.bas", "held.bas", "edited.bas", "hidden.bas", "fine.bas"}) Write(name, "dim x\n");
    fs::permissions(dir_ / "ro.bas", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::set<std::string> before = Listing(dir_);
    // held.bas is open without sharing (a compiler), edited.bas shared for
    // reading only (an editor); hidden.bas is hidden and a system file.
    RunResult run = RunRaw({"--lock", "held.bas", "--lock-shared", "edited.bas", "--attributes", "hidden.bas", "6",
                            "--show-attributes", "hidden.bas"},
                           "recasor.exe .");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "recasor: .\\edited.bas: cannot write: in use by another program\n"
                       "recasor: .\\held.bas: in use by another program\n"
                       "recasor: .\\ro.bas: write-protected, left as it was\n");
    for (const char* kept : {"ro.bas", "held.bas", "edited.bas"}) EXPECT_EQ(Read(kept), "dim x\n") << kept;
    EXPECT_EQ(Read("hidden.bas"), "Dim x\n");
    EXPECT_EQ(Read("fine.bas"), "Dim x\n");
    EXPECT_EQ(std::stoul(run.out, nullptr, 16) & 6, 6u) << "hidden and system attributes lost: " << run.out;
    EXPECT_EQ(Listing(dir_), before) << "a temporary file was left behind";
}

TEST_F(RecasorWineTest, PathsLongerThanMaxPath)
{
    std::string folder;
    for (int i = 0; i < 5; ++i) folder += std::string(60, 'a' + i) + "/";
    const std::string name = folder + std::string(40, 'f') + ".bas";
    Write(name, "dim q\n");
    EXPECT_EQ(WindowsPath(dir_ / name).size() > 300, true);
    RunResult check = Run({"--check", WindowsPath(dir_ / name)});
    EXPECT_EQ(check.exitCode, 1) << check.err;
    EXPECT_EQ(check.out, WindowsPath(dir_ / name) + "\n");
    RunResult walk = Run({"."});
    EXPECT_EQ(walk.exitCode, 0) << walk.err;
    EXPECT_EQ(Read(name), "Dim q\n");
    EXPECT_EQ(Listing(dir_ / folder), std::set<std::string>{std::string(40, 'f') + ".bas"});
}

// Wine delivers SIGINT to a console program as Ctrl+C.
TEST_F(RecasorWineTest, CtrlCRemovesThePendingTemporaryFile)
{
    std::string big;
    for (int i = 0; i < 3000000; ++i) big += "dim x as integer : print x\n";
    Write("big.bas", big);
    std::vector<std::string> argv{WINE_PROGRAM, RECASOR_WINDOWS_EXE, "big.bas"};
    pid_t pid = StartProcess({.argv = argv, .workDir = dir_, .environment = kUtf8Locale});
    bool pending = false;
    for (int i = 0; i < 3000 && !pending; ++i) {
        for (const auto& entry : fs::directory_iterator(dir_)) pending = pending || entry.path().extension() == ".tmp";
        if (!pending) ::usleep(2000);
    }
    ASSERT_TRUE(pending) << "no temporary file appeared";
    ::kill(pid, SIGINT);
    EXPECT_EQ(WaitForExitWithin(pid, 60), 0x3A) << "not ended with STATUS_CONTROL_C_EXIT";
    EXPECT_EQ(Listing(dir_), std::set<std::string>{"big.bas"});
    EXPECT_EQ(Read("big.bas").size(), big.size());
}

// On a console (here a pseudo-terminal, which Wine turns into one) names
// are written as characters, not bytes.
TEST_F(RecasorWineTest, NamesOnAConsoleAreShownInTheirOwnCharacters)
{
    Write("\xC3\x9C" "bung.bas", "dim\n");
    Write("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E/\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.bas", "dim\n");
    RunResult run = RunProgram({"script", "-qec", std::string(WINE_PROGRAM) + " " + RECASOR_WINDOWS_EXE + " --check .", "/dev/null"}, dir_);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find(".\\\xC3\x9C" "bung.bas"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(".\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\\\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.bas"), std::string::npos) << run.out;
}

// The release zip unpacked under "C:\Program Files", its recasor.exe run
// from a project folder elsewhere: it finds the Keywords.ini beside itself.
TEST_F(RecasorWineTest, ReleaseZipUnpackedRunsFromAnotherFolder)
{
    const fs::path programs = WineDriveC() / "Program Files" / "Recasor";
    fs::create_directories(programs);
    ASSERT_EQ(WaitForExitWithin(StartProcess({.argv = {"unzip", "-q", "-o", RECASOR_WINDOWS_ZIP, "-d", programs}}), 60), 0);
    const fs::path folder = programs / ("recasor-" RECASOR_VERSION);
    std::set<std::string> expected = {"recasor.exe", "TRX.exe", "casepad.exe", "KAVRIX.DLL", "Keywords.ini", "README.txt",
                                      "COPYRIGHT.txt", "KAVRIX-Scintilla-License.txt", "KAVRIX-Lexilla-License.txt"};
    EXPECT_EQ(Listing(folder), expected);
    std::string readme = ReadBytes(folder / "README.txt");
    EXPECT_NE(readme.find("recasor.exe"), std::string::npos);
    EXPECT_EQ(readme.find("\n"), readme.find("\r\n") + 1) << "README.txt must end its lines with CR LF";

    Write("src/prog.bas", "dim x as integer\r\n");
    std::vector<std::string> argv{WINE_PROGRAM, "C:\\Program Files\\Recasor\\recasor-" RECASOR_VERSION "\\recasor.exe"};
    RunResult version = RunProgram({argv[0], argv[1], "--version"}, dir_);
    EXPECT_EQ(version.out, "recasor " RECASOR_VERSION "\r\n");  // --help and --version are text, with Windows' line ends
    RunResult run = RunProgram({argv[0], argv[1], "src"}, dir_);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Read("src/prog.bas"), "Dim x As Integer\r\n");
    fs::remove_all(programs);
}

std::string Framed(const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; }

// The bodies of framed messages; fails the test unless the frames cover the
// output exactly, byte for byte.
std::vector<std::string> Unframed(const std::string& output)
{
    std::vector<std::string> bodies;
    size_t at = 0;
    while (at < output.size()) {
        const std::string field = "Content-Length: ";
        size_t end = output.find("\r\n\r\n", at);
        if (output.compare(at, field.size(), field) != 0 || end == std::string::npos) break;
        size_t length = std::stoul(output.substr(at + field.size(), end - at - field.size()));
        bodies.push_back(output.substr(end + 4, length));
        at = end + 4 + length;
    }
    EXPECT_EQ(at, output.size()) << "the frames do not cover the output exactly: " << output;
    return bodies;
}

// The language server, on a document whose folder (with a non-ASCII name)
// holds a settings file: read through the Windows layer, answered with
// exact framing.
TEST_F(RecasorWineTest, LanguageServerFormatsADocumentUnderItsSettings)
{
    Write("\xC3\x9C" "bung/.recasor.toml", "case = \"upper\"\n");
    std::string uri = "file:///";  // file:///Z:/tmp/.../%C3%9Cbung/prog.bas
    for (char c : WindowsPath(dir_ / "\xC3\x9C" "bung/prog.bas")) {
        if (c == '\\') c = '/';
        uri += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : "%" + HexArgument(std::string(1, c)).substr(1);
    }
    const std::string text = "dim x as integer\\r\\n' dim\\r\\nprint \\\"\xC3\xA9\\\" : print x\\r\\n";
    const std::string input =
        Framed(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})") +
        Framed(R"({"jsonrpc":"2.0","method":"initialized","params":{}})") +
        Framed(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":")" + uri +
               R"(","languageId":"freebasic","version":1,"text":")" + text + R"("}}})") +
        Framed(R"({"jsonrpc":"2.0","id":2,"method":"textDocument/formatting","params":{"textDocument":{"uri":")" + uri +
               R"("},"options":{"tabSize":4,"insertSpaces":true}}})") +
        Framed(R"({"jsonrpc":"2.0","id":3,"method":"shutdown"})") + Framed(R"({"jsonrpc":"2.0","method":"exit"})");
    RunResult run = Run({"lsp"}, &input);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> bodies = Unframed(run.out);
    ASSERT_EQ(bodies.size(), 3u) << run.out;
    EXPECT_NE(bodies[0].find(R"("id":1,"result":{"capabilities")"), std::string::npos) << bodies[0];
    const std::vector<std::string> edits = {R"({"range":{"start":{"line":0,"character":0},"end":{"line":0,"character":3}},"newText":"DIM"})",
                                            R"({"range":{"start":{"line":2,"character":12},"end":{"line":2,"character":17}},"newText":"PRINT"})"};
    for (const std::string& edit : edits) EXPECT_NE(bodies[1].find(edit), std::string::npos) << bodies[1];
    EXPECT_EQ(bodies[1].find("line\":1"), std::string::npos) << "the comment was changed: " << bodies[1];
    EXPECT_EQ(bodies[2], R"({"jsonrpc":"2.0","id":3,"result":null})");
}

}  // namespace
