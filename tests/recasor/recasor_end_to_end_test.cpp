// End-to-end tests of recasor: the real binary on real trees in temporary
// folders, started with fork/exec, stdout and stderr captured in files. The
// default vocabulary is the Keywords.ini that the build copies beside the
// binary, so the runs happen in folders without one.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "source_model.h"
#include "support/engine_agreement.h"
#include "line_splitter.h"
#include "support/files.h"
#include "support/processes.h"

namespace {

using namespace std::string_literals;

constexpr uid_t kNobody = 65534;

struct RunResult {
    int exitCode;
    std::string out;
    std::string err;
};

class RecasorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = MakeTemporaryFolder("recasor_e2e");
        ASSERT_FALSE(root_.empty());
        dir_ = root_ / "work";
        fs::create_directory(dir_);
    }

    void TearDown() override { RemoveTemporaryFolder(root_); }

    // Runs recasor in the work folder; with `input`, standard input comes from it.
    RunResult Run(const std::vector<std::string>& args, const std::string* input = nullptr)
    {
        const fs::path outPath = root_ / "stdout", errPath = root_ / "stderr", inPath = root_ / "stdin";
        ProgramStart start{.argv = {RECASOR_BINARY}, .workDir = dir_, .stdoutPath = outPath, .stderrPath = errPath,
                           .runAs = unprivileged_ ? kNobody : 0, .limits = limits_};
        if (input != nullptr) {
            WriteBytes(inPath, *input);
            start.argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" < " + inPath.string(), RECASOR_BINARY};
        }
        start.argv.insert(start.argv.end(), args.begin(), args.end());
        int exitCode = WaitForExitWithin(StartProcess(start), 60);
        return RunResult{exitCode, ReadBytes(outPath), ReadBytes(errPath)};
    }

    // Permission tests mean nothing to root: run as root, the tests hand the
    // work folder to an ordinary user and recasor runs as that user.
    void RunUnprivileged()
    {
        if (::geteuid() != 0) return;
        unprivileged_ = true;
        fs::permissions(root_, fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
        for (const auto& entry : fs::recursive_directory_iterator(dir_))
            EXPECT_EQ(::lchown(entry.path().c_str(), kNobody, kNobody), 0);
        EXPECT_EQ(::chown(dir_.c_str(), kNobody, kNobody), 0);
    }

    void Write(const std::string& name, const std::string& bytes)
    {
        fs::create_directories((dir_ / name).parent_path());
        WriteBytes(dir_ / name, bytes);
    }
    std::string Read(const std::string& name) { return ReadBytes(dir_ / name); }

    std::set<std::string> Listing()
    {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(dir_))
            names.insert(fs::relative(entry.path(), dir_).string());
        return names;
    }

    fs::path root_, dir_;
    bool unprivileged_ = false;
    std::vector<std::pair<int, rlim_t>> limits_;
};

// A string literal with its NUL bytes.
template <size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

const std::string kMessy = Bytes(
    "\xEF\xBB\xBF" "dim x as integer\r\n"
    "print \"dim\" 'dim\n"
    "while x\r"
    "/' block dim\r\n print '/ wend\n"
    "rem print it\r\n"
    "a$ = \"\xE9t\xE9\" + chr$(0) : print\0print\n"
    "end");
const std::string kMessyConverted = Bytes(
    "\xEF\xBB\xBF" "Dim x As Integer\r\n"
    "Print \"dim\" 'dim\n"
    "While x\r"
    "/' block dim\r\n print '/ Wend\n"
    "Rem print it\r\n"
    "a$ = \"\xE9t\xE9\" + Chr$(0) : Print\0Print\n"
    "End");
const std::string kInShape = "Dim y As Long\nPrint y\n";

TEST_F(RecasorTest, InPlaceRewritesOnlyLetterCase)
{
    ASSERT_EQ(kMessy.size(), kMessyConverted.size());
    Write("src/messy.bas", kMessy);
    Write("src/sub/fine.bi", kInShape);
    Write("src/notes.txt", "dim");
    struct stat before;
    ASSERT_EQ(::stat((dir_ / "src/sub/fine.bi").c_str(), &before), 0);
    std::set<std::string> listing = Listing();

    RunResult run = Run({"src"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    ExpectSameBytes(Read("src/messy.bas"), kMessyConverted);
    EXPECT_EQ(Read("src/notes.txt"), "dim");
    struct stat after;
    ASSERT_EQ(::stat((dir_ / "src/sub/fine.bi").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "a file in shape was rewritten";
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(Listing(), listing) << "files were left behind or removed";

    // A second run finds everything in shape.
    EXPECT_EQ(Run({"--check", "src"}).exitCode, 0);
}

TEST_F(RecasorTest, CheckAndDiffWriteNothing)
{
    Write("src/a.bas", "x = 1\ndim x\nprint x\n");
    Write("src/b.bas", kInShape);
    Write("src/c.inc", "while 1 : wend\n");

    RunResult check = Run({"--check", "src"});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.out, "src/a.bas\nsrc/c.inc\n");
    EXPECT_EQ(check.err, "");

    RunResult diff = Run({"--diff", "src/a.bas", "src/b.bas"});
    EXPECT_EQ(diff.exitCode, 1);
    EXPECT_EQ(diff.out, "--- src/a.bas\n+++ src/a.bas\n@@ -1,3 +1,3 @@\n x = 1\n-dim x\n-print x\n+Dim x\n+Print x\n");
    EXPECT_EQ(Read("src/a.bas"), "x = 1\ndim x\nprint x\n");

    RunResult fine = Run({"--check", "src/b.bas"});
    EXPECT_EQ(fine.exitCode, 0);
    EXPECT_EQ(fine.out, "");
    EXPECT_EQ(Run({"--diff", "src/b.bas"}).exitCode, 0);
}

TEST_F(RecasorTest, FilterFromStandardInput)
{
    const std::string input = "dim a\r\nprint a";
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, std::vector<std::string>{"-"}}) {
        RunResult run = Run(args, &input);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, "Dim a\r\nPrint a");
        EXPECT_EQ(run.err, "");
    }
    RunResult check = Run({"--check", "--case", "upper"}, &input);
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.out, "-\n");
    RunResult mixed = Run({"-", "x.bas"}, &input);
    EXPECT_EQ(mixed.exitCode, 2);
    EXPECT_EQ(mixed.err, "recasor: -: standard input cannot be converted together with other paths\n");
}

TEST_F(RecasorTest, StandardInputTakenAsANamedFile)
{
    // The FreeBASIC and the PowerBASIC vocabulary spell these apart.
    const std::string input = "x = instr(a$, b) : print %null\n";
    const std::string freeBasic = "x = InStr(a$, b) : Print %null\n", powerBasic = "x = INSTR(a$, b) : PRINT %NULL\n";
    Write("pb/.recasor.toml", "dialect = \"powerbasic\"\ncase = \"upper\"\n");
    Write("fb/.recasor.toml", "dialect = \"freebasic\"\n");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"--stdin-filename", "pb/none.bas"}, 0, powerBasic},              // the settings of its folder
        {{"--stdin-filename", "pb/x.bi", "-"}, 0, powerBasic},             // which name the dialect
        {{"--stdin-filename", "fb/x.inc"}, 0, freeBasic},
        {{"--stdin-filename", "x.inc"}, 0, "x = InStr(a$, b) : Print %NULL\n"},  // none: the extension
        {{"--stdin-filename", "x.bi"}, 0, freeBasic},
        {{"--stdin-filename", "x.inc", "--dialect", "freebasic"}, 0, freeBasic},
        {{"--check", "--stdin-filename", "pb/x.bas"}, 1, "pb/x.bas\n"},
        {{"--stdin-filename", "x.bas", "a.bas"}, 2, ""},
        {{"lsp", "a.bas"}, 2, ""},
        {{"lsp", "--check"}, 2, ""},
    };
    for (const Case& c : cases) {
        RunResult run = Run(c.args, &input);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args[1] << run.err;
        EXPECT_EQ(run.out, c.out) << c.args[1];
    }
}

TEST_F(RecasorTest, NearestSettingsFileAppliesAndOptionsWin)
{
    Write(".recasor.toml", "case = \"upper\"\nextra-words = [\"hWndMain\"]\nkept-words = [\"name\"]\n");
    Write("top.bas", "dim name as integer : hwndmain = 1\n");
    // Nearest wins whole: nothing of the file above is merged in.
    Write("sub/.recasor.toml", "dialect = \"powerbasic\"\ninclude = [\"*.src\"]\nexclude = [\"skip\"]\n");
    Write("sub/deeper/a.src", "print name\n");
    Write("sub/deeper/a.bas", "dim\n");
    Write("sub/skip/b.src", "dim\n");

    RunResult run = Run({"."});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Read("top.bas"), "DIM name AS INTEGER : hWndMain = 1\n");
    EXPECT_EQ(Read("sub/deeper/a.src"), "Print Name\n");
    EXPECT_EQ(Read("sub/deeper/a.bas"), "dim\n");
    EXPECT_EQ(Read("sub/skip/b.src"), "dim\n");

    // Options replace settings key by key; a named file is taken whatever the patterns.
    Write("top.bas", "dim name as integer : hwndmain = 1\n");
    Write("sub/skip/b.src", "Dim\n");
    RunResult lower = Run({"--case", "lower", "top.bas", "sub/skip/b.src"});
    EXPECT_EQ(lower.exitCode, 0) << lower.err;
    EXPECT_EQ(Read("top.bas"), "dim name as integer : hWndMain = 1\n");
    EXPECT_EQ(Read("sub/skip/b.src"), "dim\n");

    RunResult plain = Run({"--no-settings", "--check", "top.bas"});
    EXPECT_EQ(plain.out, "top.bas\n");
}

TEST_F(RecasorTest, ProblemsNameTheFileAndStopNothing)
{
    Write("a.bas", "dim a\n");
    Write("c.bas", "dim c\n");
    Write("bad/.recasor.toml", "colour = \"red\"\n");
    Write("bad/d.bas", "dim d\n");
    RunResult run = Run({"a.bas", "missing.bas", "bad", "c.bas"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "recasor: missing.bas: No such file or directory\n"
                       "recasor: " + (dir_ / "bad/.recasor.toml").string() + ": line 1: unknown key colour\n");
    EXPECT_EQ(Read("a.bas"), "Dim a\n");
    EXPECT_EQ(Read("c.bas"), "Dim c\n");
    EXPECT_EQ(Read("bad/d.bas"), "dim d\n");

    RunResult noVocabulary = Run({"--vocabulary", "none.ini", "--check", "a.bas"});
    EXPECT_EQ(noVocabulary.exitCode, 2);
    EXPECT_EQ(noVocabulary.err, "recasor: none.ini: cannot read the vocabulary file: No such file or directory\n");
    Write("broken.ini", "<FreeBasicKeywords>Dim</FreeBasicKeywords>");
    RunResult broken = Run({"--vocabulary", "broken.ini", "a.bas"});
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_EQ(broken.err, "recasor: broken.ini: XML start-tag not found:  <ApiKeywords>; "
                          "XML start-tag not found:  <FreeBasicConstants>\n");

    RunResult usage = Run({"--case", "title"});
    EXPECT_EQ(usage.exitCode, 2);
}

TEST_F(RecasorTest, UnreadableAndWriteProtectedFilesAreReportedAndKept)
{
    Write("src/a.bas", "dim a\n");
    Write("src/b.bas", "dim b\n");
    Write("src/c.bas", "dim c\n");
    Write("src/d.bas", "dim d\n");
    RunUnprivileged();
    fs::permissions(dir_ / "src/b.bas", fs::perms::none);
    fs::permissions(dir_ / "src/c.bas", fs::perms::owner_read | fs::perms::group_read);
    std::set<std::string> listing = Listing();

    RunResult run = Run({"src"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "recasor: src/b.bas: Permission denied\n"
                       "recasor: src/c.bas: write-protected, left as it was\n");
    EXPECT_EQ(Read("src/a.bas"), "Dim a\n");
    EXPECT_EQ(Read("src/d.bas"), "Dim d\n");
    EXPECT_EQ(Read("src/c.bas"), "dim c\n");
    fs::permissions(dir_ / "src/b.bas", fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(Read("src/b.bas"), "dim b\n");
    EXPECT_EQ(Listing(), listing) << "files were left behind or removed";
}

TEST_F(RecasorTest, AFailedWriteKeepsTheFileAndLeavesNothingBehind)
{
    std::string big;
    while (big.size() < 20000) big += "print \"a line of some length\"\n";
    Write("big.bas", big);
    Write("small.bas", "print\n");
    std::set<std::string> listing = Listing();
    limits_ = {{RLIMIT_FSIZE, 8192}};
    RunResult run = Run({"big.bas", "small.bas"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "recasor: big.bas: cannot write: File too large\n");
    EXPECT_EQ(Read("big.bas"), big);
    EXPECT_EQ(Read("small.bas"), "Print\n");
    EXPECT_EQ(Listing(), listing) << "a temporary file was left behind";
}

TEST_F(RecasorTest, AFifoAmongTheSourcesIsReportedNotWaitedFor)
{
    Write("src/a.bas", "dim a\n");
    ASSERT_EQ(::mkfifo((dir_ / "src/pipe.bas").c_str(), 0644), 0);
    RunResult run = Run({"src"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "recasor: src/pipe.bas: not an ordinary file\n");
    EXPECT_EQ(Read("src/a.bas"), "Dim a\n");
}

TEST_F(RecasorTest, PermissionsAreKept)
{
    Write("run.bas", "print\n");
    Write("private.bas", "print\n");
    RunUnprivileged();
    fs::permissions(dir_ / "run.bas", static_cast<fs::perms>(0751));
    fs::permissions(dir_ / "private.bas", static_cast<fs::perms>(0600));
    RunResult run = Run({"."});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Read("run.bas"), "Print\n");
    EXPECT_EQ(fs::status(dir_ / "run.bas").permissions(), static_cast<fs::perms>(0751));
    EXPECT_EQ(fs::status(dir_ / "private.bas").permissions(), static_cast<fs::perms>(0600));
}

TEST_F(RecasorTest, LinksToFilesAreFollowedLinkedFoldersAreNot)
{
    Write("outside/real.bas", "dim r\n");
    Write("outside/inner.bas", "dim i\n");
    Write("src/own.bas", "dim o\n");
    fs::create_symlink("../outside/real.bas", dir_ / "src/link.bas");
    fs::create_directory_symlink("../outside", dir_ / "src/linked");
    fs::create_symlink("gone.bas", dir_ / "src/dangling.bas");

    RunResult run = Run({"src"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "recasor: src/dangling.bas: No such file or directory\n");
    EXPECT_EQ(Read("outside/real.bas"), "Dim r\n");
    EXPECT_TRUE(fs::is_symlink(dir_ / "src/link.bas"));
    EXPECT_EQ(Read("outside/inner.bas"), "dim i\n");
    EXPECT_EQ(Read("src/own.bas"), "Dim o\n");
}

// Names written as declared, across the files an include joins, whatever
// the order of the paths or the number of jobs; kept as written with
// identifiers = "keep"; include folders from the settings.
TEST_F(RecasorTest, DeclaredNamesAcrossIncludeUnits)
{
    const std::map<std::string, std::string> files = {
        {"src/main.bas", "#include once \"shared.bi\"\n#include \"util.bi\"\ndim event as long\nTOTAL = EVENT + UTILCOUNT\n"},
        {"src/shared.bi", "dim shared Total as long\ndim shared total2 as long\n"},
        {"inc/util.bi", "dim shared UtilCount as long\nsub Bump()\n  TOTAL = UTILCOUNT\nend sub\n"},
        {"other/alone.bas", "dim total as long\nTotal = 1 : EVENT = 2\n"},
    };
    const std::map<std::string, std::string> expected = {
        {"src/main.bas", "#include once \"shared.bi\"\n#include \"util.bi\"\nDim event As Long\nTotal = event + UtilCount\n"},
        {"src/shared.bi", "Dim Shared Total As Long\nDim Shared total2 As Long\n"},
        {"inc/util.bi", "Dim Shared UtilCount As Long\nSub Bump()\n  Total = UtilCount\nEnd Sub\n"},
        {"other/alone.bas", "Dim total As Long\ntotal = 1 : Event = 2\n"},
    };
    struct Case {
        std::vector<std::string> args;
    };
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--jobs", "1", "src", "inc", "other"},
                                                 std::vector<std::string>{"--jobs", "2", "other", "inc/util.bi", "src"}}) {
        for (const auto& [name, text] : files) Write(name, text);
        Write(".recasor.toml", "include-folders = [\"inc\"]\n");
        RunResult run = Run(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        for (const auto& [name, text] : expected) EXPECT_EQ(Read(name), text) << name << " with " << args[3];
    }
    // The filter, as the file it names: the same names.
    const std::string input = files.at("src/main.bas");
    EXPECT_EQ(Run({"--stdin-filename", "src/main.bas"}, &input).out, expected.at("src/main.bas"));
    // Kept as the vocabulary has them, by option or by setting.
    const std::string kept = "#include once \"shared.bi\"\n#include \"util.bi\"\nDim Event As Long\nTOTAL = Event + UTILCOUNT\n";
    EXPECT_EQ(Run({"--identifiers", "keep", "--stdin-filename", "src/main.bas"}, &input).out, kept);
    Write(".recasor.toml", "include-folders = [\"inc\"]\nidentifiers = \"keep\"\n");
    EXPECT_EQ(Run({"--stdin-filename", "src/main.bas"}, &input).out, kept);
}

// Files larger than what is kept in memory convert as the small ones do:
// streamed as they are read, rewritten from a second reading.
TEST_F(RecasorTest, LargeFilesStream)
{
    std::string line = "dim x as integer : print \"dim\" ' dim\r\n", expectedLine = "Dim x As Integer : Print \"dim\" ' dim\r\n";
    std::string text, expected;
    while (text.size() < (9u << 20)) {
        text += line;
        expected += expectedLine;
    }
    text += "loop _\nrem print";
    expected += "Loop _\nRem Print";  // no statement starts on a continued line
    for (const char* identifiers : {"declaration", "keep"}) {
        Write("big.bas", text);
        RunResult check = Run({"--check", "--identifiers", identifiers, "big.bas"});
        EXPECT_EQ(check.exitCode, 1);
        EXPECT_EQ(check.out, "big.bas\n");
        EXPECT_EQ(Run({"--identifiers", identifiers, "big.bas"}).exitCode, 0);
        ExpectSameBytes(Read("big.bas"), expected);
        EXPECT_EQ(Run({"--check", "--identifiers", identifiers, "big.bas"}).exitCode, 0);
        ExpectSameBytes(Run({"--identifiers", identifiers}, &text).out, expected);
    }
}

TEST_F(RecasorTest, SameResultsWithOneOrTwoJobs)
{
    const std::vector<std::string> pieces = {"dim ", "PRINT ", "x ", "'c ", "/' ", "'/ ", "rem ", ": ", "\"s\" ",
                                             "\n", "\r\n", "\r", "while ", "getmessage "};
    for (int tree = 0; tree < 2; ++tree) {
        std::mt19937 same(42);
        for (int file = 0; file < 60; ++file) {
            std::string text;
            for (int k = 0; k < 200; ++k) text += pieces[same() % pieces.size()];
            Write("tree" + std::to_string(tree) + "/d" + std::to_string(file % 7) + "/f" + std::to_string(file) + ".bas",
                  text);
        }
    }
    std::string diffs[2];
    for (int tree = 0; tree < 2; ++tree) {
        std::string jobs = tree == 0 ? "1" : "2";
        fs::path folder = dir_ / ("tree" + std::to_string(tree));
        ProgramStart start{.argv = {RECASOR_BINARY, "--diff", "--jobs", jobs, "."}, .workDir = folder,
                           .stdoutPath = root_ / "diff", .stderrPath = root_ / "err"};
        EXPECT_EQ(WaitForExitWithin(StartProcess(start), 60), 1);
        diffs[tree] = ReadBytes(root_ / "diff");
        EXPECT_EQ(Run({"--jobs", jobs, "tree" + std::to_string(tree)}).exitCode, 0);
    }
    EXPECT_FALSE(diffs[0].empty());
    EXPECT_EQ(diffs[0], diffs[1]);
    for (int file = 0; file < 60; ++file) {
        std::string name = "/d" + std::to_string(file % 7) + "/f" + std::to_string(file) + ".bas";
        EXPECT_EQ(Read("tree0" + name), Read("tree1" + name)) << name;
    }
}

// recasor agrees with trx line for line wherever a line holds no comment
// that only recasor sees (block comments, REM, a continuation's comment).
class RecasorAgainstTrx : public RecasorTest {
protected:
    void ExpectSameAsTrx(const std::string& source, const std::vector<std::string>& trxOptions,
                         const std::vector<std::string>& recasorOptions, recasor::Dialect dialect)
    {
        WriteBytes(dir_ / "Keywords.ini", ReadBytes(SHIPPED_KEYWORDS_INI));
        Write("prog.bas", source);
        std::vector<std::string> trxArgs{TRX_BINARY, "prog.bas"};
        trxArgs.insert(trxArgs.end(), trxOptions.begin(), trxOptions.end());
        ProgramStart trx{.argv = trxArgs, .workDir = dir_};
        ASSERT_EQ(WaitForExitWithin(StartProcess(trx), 60), 0);
        std::string trxOutput = Read("prog.bas.bas");
        // trx knows nothing of declared names.
        std::vector<std::string> args = recasorOptions;
        args.insert(args.end(), {"--identifiers", "keep", "prog.bas"});
        RunResult run = Run(args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::string ours = Read("prog.bas");

        // The source has LF line ends only; trx writes CR LF.
        std::vector<recasor::LineSpan> lines = recasor::SplitLines(source), trxLines = recasor::SplitLines(trxOutput);
        ASSERT_EQ(lines.size(), trxLines.size());
        recasor::SourceState state;
        std::vector<recasor::SourceRegion> regions;
        size_t compared = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string line = source.substr(lines[i].start, lines[i].length);
            recasor::SourceState before = state;
            recasor::MarkLine(line, recasor::DialectSourceRules(dialect), state, regions);
            if (!EngineReadsAlike(line, before, regions)) continue;
            EXPECT_EQ(ours.substr(lines[i].start, lines[i].length),
                      trxOutput.substr(trxLines[i].start, trxLines[i].length))
                << "line " << i + 1;
            ++compared;
        }
        EXPECT_GT(compared, lines.size() / 4);
    }
};

std::string WithLfLineEnds(const std::string& text)
{
    std::string result;
    for (char c : text)
        if (c != '\r') result += c;
    return result;
}

// The demonstration and the golden example programs, in every case mode.
TEST_F(RecasorAgainstTrx, OnTheExamples)
{
    const std::vector<std::pair<std::string, std::string>> modes = {{"-m", "mixed"}, {"-u", "upper"}, {"-l", "lower"}};
    size_t programs = 0;
    for (const auto& entry : fs::recursive_directory_iterator(EXAMPLES_DIR)) {
        if (entry.path().extension() != ".bas" || entry.path().stem().extension() == ".bas") continue;
        std::string source = WithLfLineEnds(ReadBytes(entry.path()));
        bool powerBasic = entry.path().filename().string().starts_with("powerbasic");
        for (const auto& [trxCase, recasorCase] : modes) {
            SCOPED_TRACE(entry.path().string() + " " + recasorCase);
            ExpectSameAsTrx(source, {trxCase, powerBasic ? "-p" : "-f"},
                            {"--case", recasorCase, "--dialect", powerBasic ? "powerbasic" : "freebasic"},
                            powerBasic ? recasor::Dialect::PowerBasic : recasor::Dialect::FreeBasic);
        }
        ++programs;
    }
    EXPECT_GE(programs, 5u);
}

TEST_F(RecasorAgainstTrx, OnRandomInput)
{
    const std::vector<std::string> pieces = {
        "dim ", "As ", "integer", "PRINT", "rem ", "data ", "while", "getmessage", "%null", "sendmessage", " ",
        "\t", ":", "\"", "'", "/'", "'/", "'/", "'/", "_", "(", ")", ",", "x", "a$", "1", "\xC3\xA9"};
    // Block comment ends outnumber starts, so that comments close again.
    std::mt19937 random(2024);
    std::string source;
    for (int k = 0; k < 6000; ++k) source += random() % 6 == 0 ? "\n" : pieces[random() % pieces.size()];
    source += "\n";
    ExpectSameAsTrx(source, {"-l"}, {"--case", "lower"}, recasor::Dialect::FreeBasic);
    ExpectSameAsTrx(source, {"-p"}, {"--dialect", "powerbasic"}, recasor::Dialect::PowerBasic);
}

}  // namespace
