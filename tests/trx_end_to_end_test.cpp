// End-to-end tests of the batch tool: the real trx binary, started with
// fork/execv in a fresh temporary folder (its current directory), stdin from
// /dev/null, stdout and stderr captured in files. Every run must exit with
// code 0 and write nothing to stdout; stderr is compared byte for byte.

#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <poll.h>
#include <signal.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/processes.h"
#include "support/trx_texts.h"

namespace {

using namespace std::string_literals;

// One message record on stderr.
std::string Msg(const std::string& text) { return "Recasor: " + text + "\n"; }

const std::string kUsage = Msg(kUsageText);
const std::string kEmptyCommandLine = Msg(kEmptyCommandLineText);
const std::string kDefaultMissing = Msg(kDefaultMissingText);
const std::string kDefaultName = kDefaultSourceName;

std::string NotFound(const std::string& name) { return Msg(NotFoundText(name)); }

// The line model: LF ends a line, one or two CRs before it belong to the line
// end, a CR as the very last byte too, Ctrl-Z ends the input. Returns the
// line texts.
std::vector<std::string> SplitLines(const std::string& input)
{
    std::string data = input.substr(0, input.find('\x1a'));
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < data.size()) {
        size_t lf = data.find('\n', start);
        if (lf == std::string::npos) {
            std::string line = data.substr(start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            break;
        }
        std::string line = data.substr(start, lf - start);
        for (int i = 0; i < 2 && !line.empty() && line.back() == '\r'; ++i) line.pop_back();
        lines.push_back(line);
        start = lf + 1;
    }
    return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    return out;
}

std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

struct RunResult {
    std::string err;
};

class TrxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = MakeTemporaryFolder("trx_e2e");
        ASSERT_FALSE(root_.empty());
        dir_ = root_ / "work";
        fs::create_directory(dir_);
    }

    void TearDown() override { RemoveTemporaryFolder(root_); }

    // The start of trx with `args` in the work folder.
    ProgramStart StartOf(const std::vector<std::string>& args)
    {
        ProgramStart start{.argv = {TRX_BINARY}, .workDir = dir_, .stdoutPath = root_ / "stdout", .stderrPath = root_ / "stderr",
                           .runAs = unprivileged_ ? kNobody : 0};
        start.argv.insert(start.argv.end(), args.begin(), args.end());
        return start;
    }

    // Runs trx as `start` says; checks exit code 0 and empty stdout, returns
    // what came on stderr. A run that hangs is killed and fails.
    RunResult Run(const ProgramStart& start)
    {
        EXPECT_EQ(WaitForExitWithin(StartProcess(start), 120), 0);
        EXPECT_EQ(ReadBytes(start.stdoutPath), "") << "trx wrote to stdout";
        return RunResult{ReadBytes(start.stderrPath)};
    }
    RunResult Run(const std::vector<std::string>& args) { return Run(StartOf(args)); }

    // Permission tests mean nothing to root: from here on trx runs as an
    // ordinary user, in folders that user may enter and write.
    void RunUnprivileged()
    {
        unprivileged_ = true;
        fs::permissions(root_, fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
        fs::permissions(dir_, fs::perms::all);
    }

    void Write(const std::string& name, const std::string& bytes) { WriteBytes(dir_ / name, bytes); }

    // A file of the work folder, written afresh with `mode` and owned by the
    // user that trx runs as.
    void WriteOwned(const std::string& name, const std::string& bytes, mode_t mode)
    {
        fs::remove(dir_ / name);
        Write(name, bytes);
        ASSERT_EQ(::chmod((dir_ / name).c_str(), mode), 0);
        if (unprivileged_ && ::geteuid() == 0) ASSERT_EQ(::chown((dir_ / name).c_str(), kNobody, kNobody), 0);
    }

    mode_t ModeOf(const std::string& name)
    {
        struct stat info = {};
        EXPECT_EQ(::stat((dir_ / name).c_str(), &info), 0) << name;
        return info.st_mode & 07777;
    }
    std::string Read(const std::string& name) { return ReadBytes(dir_ / name); }
    bool Exists(const std::string& name) { return fs::exists(fs::symlink_status(dir_ / name)); }

    // Every entry below the work folder, as relative paths.
    std::set<std::string> Listing()
    {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(dir_))
            names.insert(fs::relative(entry.path(), dir_).string());
        return names;
    }

    // Converts `input` as prog.bas with `options`; checks that the source
    // stays as it was and that no message came; returns prog.bas.bas.
    std::string Convert(const std::string& input, const std::vector<std::string>& options = {},
                        const std::string& vocabulary = kVocabulary)
    {
        Write("Keywords.ini", vocabulary);
        Write("prog.bas", input);
        std::vector<std::string> args{"prog.bas"};
        args.insert(args.end(), options.begin(), options.end());
        RunResult run = Run(args);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(Read("prog.bas"), input) << "the source file was changed";
        EXPECT_TRUE(Exists("prog.bas.bas"));
        return Read("prog.bas.bas");
    }

    static constexpr uid_t kNobody = 65534;
    fs::path root_;
    fs::path dir_;
    bool unprivileged_ = false;
};

// ---------------------------------------------------------------------------
// Command lines, file choice and messages

struct CommandLineCase {
    const char* title;
    std::vector<std::string> args;
    bool defaultPresent;
    std::string err;
    std::vector<std::pair<std::string, std::string>> outputs;  // new files and their content
};

TEST_F(TrxTest, CommandLinesChooseFileOptionsAndMessages)
{
    const std::vector<CommandLineCase> cases = {
        {"no arguments, no default file", {}, false, kEmptyCommandLine + kUsage + kDefaultMissing, {}},
        {"no arguments, default file converted", {}, true, kEmptyCommandLine + kUsage, {{kDefaultName + ".bas", kFbMixed}}},
        {"adjacent quotes are an empty name", {""}, false, kEmptyCommandLine + kUsage + kDefaultMissing, {}},
        {"empty name keeps its options for the default file", {"", "-u", "-p"}, true, kEmptyCommandLine + kUsage,
         {{kDefaultName + ".bas", kPbUpper}}},
        {"plain name", {"prog.bas"}, false, "", {{"prog.bas.bas", kFbMixed}}},
        {"plain name with options", {"prog.bas", "-u", "-p"}, false, "", {{"prog.bas.bas", kPbUpper}}},
        {"default file named explicitly", {kDefaultName}, true, "", {{kDefaultName + ".bas", kFbMixed}}},
        {"missing file, no default", {"missing.bas"}, false, NotFound("missing.bas") + kUsage + kDefaultMissing, {}},
        {"missing file, default converted with the parsed options", {"missing.bas", "-u", "-p"}, true,
         NotFound("missing.bas") + kUsage, {{kDefaultName + ".bas", kPbUpper}}},
        {"quoted name with spaces and options", {"my prog.bas", "-u", "-p"}, false, "", {{"my prog.bas.bas", kPbUpper}}},
        {"quoted name, options glued to the closing quote", {"\"prog.bas\"-u-p"}, false, "", {{"prog.bas.bas", kPbUpper}}},
        {"unquoted name with a space: the rest is options text", {"my", "prog.bas-u"}, false, "", {{"my.bas", kFbUpper}}},
        {"name without closing quote takes the rest of the line", {"\"prog.bas"}, false, "", {{"prog.bas.bas", kFbMixed}}},
        {"unclosed quote swallows the options into the name", {"\"prog.bas", "-u"}, true,
         NotFound("prog.bas -u") + kUsage, {{kDefaultName + ".bas", kFbMixed}}},
        {"an option alone is taken for the file name", {"-u"}, true, NotFound("-u") + kUsage, {{kDefaultName + ".bas", kFbMixed}}},
        {"an option alone, no default", {"-u", "-p"}, false, NotFound("-u") + kUsage + kDefaultMissing, {}},
        {"upper-case option letters are no options", {"prog.bas", "-U", "-P", "-L"}, false, "", {{"prog.bas.bas", kFbMixed}}},
        {"name in a subfolder, output beside it", {"sub/prog.bas", "-p"}, false, "", {{"sub/prog.bas.bas", kPbMixed}}},
        {"wildcard without a match", {"nomatch*.bas"}, false, NotFound("nomatch*.bas") + kUsage + kDefaultMissing, {}},
        {"a directory counts as found but cannot be read", {"sub"}, false, Msg(CannotReadText("sub")), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "sub");
        Write("Keywords.ini", kVocabulary);
        for (const char* name : {"prog.bas", "my prog.bas", "my", "sub/prog.bas"}) Write(name, kSource);
        if (c.defaultPresent) Write(kDefaultName, kSource);
        std::set<std::string> expected = Listing();

        RunResult run = Run(c.args);
        EXPECT_EQ(run.err, c.err);
        for (const auto& [name, content] : c.outputs) {
            EXPECT_EQ(Read(name), content) << name;
            expected.insert(name);
        }
        EXPECT_EQ(Listing(), expected) << "files were created or removed beyond the expected output";
        EXPECT_EQ(Read("prog.bas"), kSource);
    }
}

TEST_F(TrxTest, AbsoluteSourcePathWritesOutputBesideTheSource)
{
    fs::create_directory(root_ / "elsewhere");
    WriteBytes(root_ / "elsewhere" / "abs.bas", "print 1\n");
    Write("Keywords.ini", kVocabulary);
    RunResult run = Run({(root_ / "elsewhere" / "abs.bas").string(), "-u"});
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(root_ / "elsewhere" / "abs.bas.bas"), "PRINT 1\r\n");
    EXPECT_FALSE(Exists("abs.bas.bas"));
}

TEST_F(TrxTest, ExistingOutputIsOverwrittenAndSourceKept)
{
    Write("prog.bas.bas", std::string(5000, 'x') + "\r\nold output\r\n");
    EXPECT_EQ(Convert("print 1\nprint 2"), "Print 1\r\nPrint 2\r\n");
}

// ---------------------------------------------------------------------------
// Vocabulary problems

struct VocabularyCase {
    const char* title;
    std::string vocabulary;  // "<none>" leaves Keywords.ini away
    std::vector<std::string> options;
    std::string err;
    std::string output;
};

std::string Section(const std::string& tag, const std::string& body) { return "<" + tag + ">" + body + "</" + tag + ">\n"; }

TEST_F(TrxTest, VocabularyProblemsAreReportedAndConversionGoesOn)
{
    const std::string input = "dim x as long: c = getfocus(): case wm_keydown, %null\n";
    const std::string fbKeywords = Section("FreeBasicKeywords", "Dim As Case");
    const std::string pbKeywords = Section("PowerBasicKeywords", "Dim As Long Case");
    const std::string api = Section("ApiKeywords", "GetFocus");
    const std::string fbConstants = Section("FreeBasicConstants", "WM_KEYDOWN");
    const std::string pbConstants = Section("PowerBasicConstants", "%NULL");
    const std::string all = fbKeywords + pbKeywords + api + fbConstants + pbConstants;
    const std::string unchanged = "dim x as long: c = getfocus(): case wm_keydown, %null\r\n";
    const std::string fbFull = "Dim x As long: c = GetFocus(): Case WM_KEYDOWN, %null\r\n";
    const std::string pbFull = "Dim x As Long: c = GetFocus(): Case wm_keydown, %NULL\r\n";
    auto startMissing = [](const std::string& tag) { return Msg(StartTagMissingText(tag)); };
    auto endMissing = [](const std::string& tag) { return Msg(EndTagMissingText(tag)); };

    const std::vector<VocabularyCase> cases = {
        {"complete vocabulary", all, {}, "", fbFull},
        {"complete vocabulary, PowerBasic", all, {"-p"}, "", pbFull},
        {"no Keywords.ini: lines pass unchanged", "<none>", {"-u", "-p"}, Msg(kKeywordsMissingText), unchanged},
        {"empty Keywords.ini", "", {},
         startMissing("FreeBasicKeywords") + startMissing("ApiKeywords") + startMissing("FreeBasicConstants"), unchanged},
        {"empty Keywords.ini, PowerBasic", "", {"-p"},
         startMissing("PowerBasicKeywords") + startMissing("ApiKeywords") + startMissing("PowerBasicConstants"), unchanged},
        {"missing FreeBasic constants", fbKeywords + pbKeywords + api + pbConstants, {}, startMissing("FreeBasicConstants"),
         "Dim x As long: c = GetFocus(): Case wm_keydown, %null\r\n"},
        {"missing FreeBasic sections are not read with -p", pbKeywords + api + pbConstants, {"-p"}, "", pbFull},
        {"missing PowerBasic sections are not read without -p", fbKeywords + api + fbConstants, {}, "", fbFull},
        {"end tag missing", fbKeywords + "<ApiKeywords>GetFocus\n" + fbConstants, {}, endMissing("ApiKeywords"),
         "Dim x As long: c = getfocus(): Case WM_KEYDOWN, %null\r\n"},
        {"end tag only before the start tag", "</FreeBasicKeywords><FreeBasicKeywords>Dim\n" + api + fbConstants, {},
         endMissing("FreeBasicKeywords"), "dim x as long: c = GetFocus(): case WM_KEYDOWN, %null\r\n"},
        {"tags in another case count as absent", "<freebasickeywords>Dim</freebasickeywords>\n" + api + fbConstants, {},
         startMissing("FreeBasicKeywords"), "dim x as long: c = GetFocus(): case WM_KEYDOWN, %null\r\n"},
        {"several problems come in loading order", pbKeywords + "<ApiKeywords>GetFocus", {},
         startMissing("FreeBasicKeywords") + endMissing("ApiKeywords") + startMissing("FreeBasicConstants"), unchanged},
        {"an empty section matches nothing", fbKeywords + "<ApiKeywords></ApiKeywords>" + fbConstants, {}, "",
         "Dim x As long: c = getfocus(): Case WM_KEYDOWN, %null\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        if (c.vocabulary != "<none>") Write("Keywords.ini", c.vocabulary);
        Write("prog.bas", input);
        std::vector<std::string> args{"prog.bas"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        RunResult run = Run(args);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(Read("prog.bas.bas"), c.output);
    }
}

TEST_F(TrxTest, VocabularyThatIsADirectoryReadsAsEmptyText)
{
    // A directory named Keywords.ini passes the existence test but yields no
    // text: each section reports its missing start tag, and the lines pass
    // unchanged.
    fs::create_directory(dir_ / "Keywords.ini");
    Write("prog.bas", "dim x\n");
    RunResult run = Run({"prog.bas"});
    EXPECT_EQ(run.err, Msg(StartTagMissingText("FreeBasicKeywords")) + Msg(StartTagMissingText("ApiKeywords")) +
                           Msg(StartTagMissingText("FreeBasicConstants")));
    EXPECT_EQ(Read("prog.bas.bas"), "dim x\r\n");
}

TEST_F(TrxTest, VocabularyLayoutSeparatorsOrderAndRepetition)
{
    // Sections in any order with free text around them; words separated by
    // commas, semicolons, CR LF and space runs; a tab joins two words into
    // one entry; only the first occurrence of a start tag counts.
    const std::string vocabulary =
        "remarks first\n<ApiKeywords>GetFocus</ApiKeywords> between <FreeBasicConstants>WM_KEYDOWN</FreeBasicConstants>\n"
        "<FreeBasicKeywords>,Abs,Access;\r\nAlias  Asc\tX;Dim,DIM,</FreeBasicKeywords>\n"
        "<FreeBasicKeywords>Print</FreeBasicKeywords>\nand last remarks\n";
    EXPECT_EQ(Convert("abs access alias asc x dim print getfocus wm_keydown\n", {}, vocabulary),
              "Abs Access Alias asc x Dim print GetFocus WM_KEYDOWN\r\n");
}

// ---------------------------------------------------------------------------
// Keyword case conversion through the binary

struct ConversionCase {
    const char* title;
    std::string input;
    std::string output;
};

TEST_F(TrxTest, ConvertsLinesAsTheWorkedExamplesShow)
{
    const std::vector<ConversionCase> cases = {
        {"keywords in any case", "dim x as INTEGER", "Dim x As Integer"},
        {"inside a string nothing changes", "  a$=\"print\"", "  a$=\"print\""},
        {"numbers and a comment stay", "  1*2+(3/4)=567 'Not really...", "  1*2+(3/4)=567 'Not really..."},
        {"DATA items stay as typed", "  data data function=a*986", "  Data data function=a*986"},
        {"suffix belongs to the word", "  b$=Ucase$(a$)", "  b$=UCase$(a$)"},
        {"API name", "  c=getfocus()", "  c=GetFocus()"},
        {"API name, comment kept", "  while getmessage(Msg,%Null,0,0)    'gets a message from the message queque",
         "  While GetMessage(Msg,%Null,0,0)    'gets a message from the message queque"},
        {"constant", "  case wm_keydown", "  Case WM_KEYDOWN"},
        {"only whole words", "printer = print_it + xprint", "printer = print_it + xprint"},
        {"# is no word character", "#include \"x.bi\"", "#Include \"x.bi\""},
        {"an entry with # never matches", "#define Dim", "#define Dim"},
        {"REM is not a comment", "rem print it", "rem Print it"},
        {"word before an apostrophe", "x: print'dim as", "x: Print'dim as"},
        {"word at the end of the line", "x = 1: print", "x = 1: Print"},
        {"line starting with an apostrophe", "'dim x as integer", "'dim x as integer"},
        {"DATA after a tab is code", "\tdata print", "\tData Print"},
        {"DATA before a tab is code", "data\tprint", "Data\tPrint"},
        {"DATA after a colon is code", "x: data print", "x: Data Print"},
        {"DATA alone", "  data", "  Data"},
        {"DATA with a comment", "DATA print, dim 'as sub", "Data print, dim 'as sub"},
        {"apostrophe inside a string", "print \"it's\": dim", "Print \"it's\": Dim"},
        {"unterminated string", "print \"dim as", "Print \"dim as"},
        {"two strings", "print \"dim\" as \"sub\" case", "Print \"dim\" As \"sub\" Case"},
        {"keyword wins over a constant; first spelling wins", "print dim", "Print Dim"},
        {"bytes from 128 split words", "dim\xe9" "as\xff" "print\x80", "Dim\xe9" "As\xff" "Print\x80"},
        {"constants of the other dialect stay", "x = %wm_keydown + %null + pi", "x = %wm_keydown + %null + Pi"},
        {"empty line", "", ""},
    };
    std::string input, expected;
    for (const auto& c : cases) {
        input += c.input + "\n";
        expected += c.output + "\r\n";
    }
    std::string output = Convert(input);
    // One run for all lines; compare line by line for readable failures.
    std::vector<std::string> got = SplitLines(output);
    ASSERT_EQ(got.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(got[i], cases[i].output) << cases[i].title;
    EXPECT_EQ(output, expected);
}

TEST_F(TrxTest, OptionMatrix)
{
    const std::string input =
        "DiM x aS INTEGER: c = GETFOCUS(): CaSe Wm_KeyDown: y = pI\n"
        "local n as long: m = %null + %pi\n";
    const std::string fbMixed = "Dim x As Integer: c = GetFocus(): Case WM_KEYDOWN: y = Pi\r\nlocal n As long: m = %null + %pi\r\n";
    const std::string fbUpper = "DIM x AS INTEGER: c = GetFocus(): CASE WM_KEYDOWN: y = Pi\r\nlocal n AS long: m = %null + %pi\r\n";
    const std::string fbLower = "dim x as integer: c = GetFocus(): case WM_KEYDOWN: y = Pi\r\nlocal n as long: m = %null + %pi\r\n";
    const std::string pbMixed = "Dim x As INTEGER: c = GetFocus(): Case Wm_KeyDown: y = pI\r\nLocal n As Long: m = %NULL + %Pi\r\n";
    const std::string pbUpper = "DIM x AS INTEGER: c = GetFocus(): CASE Wm_KeyDown: y = pI\r\nLOCAL n AS LONG: m = %NULL + %Pi\r\n";
    const std::string pbLower = "dim x as INTEGER: c = GetFocus(): case Wm_KeyDown: y = pI\r\nlocal n as long: m = %NULL + %Pi\r\n";

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, fbMixed},
        {{"-m"}, fbMixed},
        {{"-f"}, fbMixed},
        {{"-m", "-f"}, fbMixed},
        {{"-U", "-L", "-P"}, fbMixed},
        {{"-x", "-z", "/u"}, fbMixed},
        {{"-u"}, fbUpper},
        {{"-u", "-m"}, fbUpper},
        {{"x-uy"}, fbUpper},
        {{"-ul"}, fbUpper},
        {{"-l"}, fbLower},
        {{"-u", "-l"}, fbLower},
        {{"-l", "-u"}, fbLower},
        {{"-u-l-u"}, fbLower},
        {{"-p"}, pbMixed},
        {{"-f", "-p"}, pbMixed},
        {{"-pu"}, pbMixed},
        {{"-p", "-u"}, pbUpper},
        {{"-u-p"}, pbUpper},
        {{"-p", "-l"}, pbLower},
        {{"-l", "-p", "-u", "-m", "-f"}, pbLower},
    };
    for (const auto& [options, expected] : cases) {
        std::string shown;
        for (const auto& o : options) shown += " " + o;
        SCOPED_TRACE("options:" + shown);
        EXPECT_EQ(Convert(input, options), expected);
    }
}

// ---------------------------------------------------------------------------
// Line model and byte transparency

TEST_F(TrxTest, LineEndsCtrlZAndBytesPassThrough)
{
    const std::vector<ConversionCase> cases = {
        {"empty file", "", ""},
        {"one line without line end", "print", "Print\r\n"},
        {"LF only", "print\ndim\n", "Print\r\nDim\r\n"},
        {"last line without line end", "print\ndim", "Print\r\nDim\r\n"},
        {"CR LF kept as one line end", "print\r\ndim\r\n", "Print\r\nDim\r\n"},
        {"two CRs before LF belong to the line end", "print\r\r\ndim", "Print\r\nDim\r\n"},
        {"a third CR stays text", "print\r\r\r\ndim", "Print\r\r\nDim\r\n"},
        {"a lone CR is text", "print\rdim\n", "Print\rDim\r\n"},
        {"CR as last byte ends the line", "print\r", "Print\r\n"},
        {"only the last CR of the file belongs to the line end", "print\r\r", "Print\r\r\n"},
        {"a lone CR is one empty line", "\r", "\r\n"},
        {"empty lines", "\n\r\n\r\r\n\n", "\r\n\r\n\r\n\r\n"},
        {"Ctrl-Z ends the input", "print\ndim\x1a" "as\nsub\n", "Print\r\nDim\r\n"},
        {"Ctrl-Z right after a line end", "print\n\x1a" "dim\n", "Print\r\n"},
        {"Ctrl-Z first", "\x1a" "print\n", ""},
        {"CR before Ctrl-Z", "print\r\x1a\n", "Print\r\n"},
        {"NUL bytes are text and end words", "dim\0as\0\0print\n"s, "Dim\0As\0\0Print\r\n"s},
        {"NUL line", "\0\n"s, "\0\r\n"s},
        {"high bytes", "\xff\xfe" "dim \xe4\xf6\xfc print\n", "\xff\xfe" "Dim \xe4\xf6\xfc Print\r\n"},
        {"control bytes", "\x01\x7f\x1b[dim\t\v\f", "\x01\x7f\x1b[Dim\t\v\f\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(Convert(c.input), c.output);
    }
}

TEST_F(TrxTest, LongLinesStayWhole)
{
    for (size_t length : {size_t{200} * 1024, size_t{5} * 1024 * 1024 + 7}) {
        SCOPED_TRACE("line length " + std::to_string(length));
        std::string piece = "dim x as integer: ";
        std::string converted = "Dim x As Integer: ";
        std::string line, expected;
        while (line.size() + piece.size() <= length) {
            line += piece;
            expected += converted;
        }
        line += std::string(length - line.size(), 'z');
        expected += std::string(length - expected.size(), 'z');
        ExpectSameBytes(Convert("print\n" + line + "\r\r\nprint " + line + "\n" + line),
                        "Print\r\n" + expected + "\r\nPrint " + expected + "\r\n" + expected + "\r\n");
    }
}

TEST_F(TrxTest, LargeMixedFileMatchesTheLineModel)
{
    // Several MB of lines of random length and random line ends (LF, CR LF,
    // CR CR LF, CR CR CR LF, lone CRs), with NUL and high bytes, and words
    // that are no vocabulary entries: the output must be exactly the lines
    // of the line model, each with CR LF.
    std::uint64_t state = 0x9e3779b97f4a7c15u;
    auto next = [&state](std::uint64_t bound) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<size_t>(state % bound);
    };
    const char alphabet[] = {'x', 'y', ' ', '\t', '\0', '\r', '\xff', '\x80', '"', '\''};
    const char* endings[] = {"\n", "\r\n", "\r\r\n", "\r\r\r\n", "\r"};
    std::string input;
    while (input.size() < 3 * 1024 * 1024) {
        size_t length = next(8) == 0 ? next(300000) : next(100);
        for (size_t i = 0; i < length; ++i) input += alphabet[next(sizeof alphabet)];
        input += endings[next(5)];
    }
    input += "xy\r";
    ExpectSameBytes(Convert(input), JoinCrLf(SplitLines(input)));
}

// ---------------------------------------------------------------------------
// Sources that cannot be read, outputs that cannot be written

TEST_F(TrxTest, UnreadableDirectorySourceLeavesOlderOutputAlone)
{
    fs::create_directory(dir_ / "folder.bas");
    Write("folder.bas.bas", "older output\r\n");
    std::set<std::string> before = Listing();
    RunResult run = Run({"folder.bas", "-u"});  // no Keywords.ini: its message comes first
    EXPECT_EQ(run.err, Msg(kKeywordsMissingText) + Msg(CannotReadText("folder.bas")));
    EXPECT_EQ(Read("folder.bas.bas"), "older output\r\n");
    EXPECT_EQ(Listing(), before);
}

TEST_F(TrxTest, SourceWhoseReadFailsCreatesNoOutput)
{
    // A file that opens but fails on reading: a link to the memory file of
    // the reading process, which fails at offset 0 even for root.
    if (!fs::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem on this system";
    Write("Keywords.ini", kVocabulary);
    fs::create_symlink("/proc/self/mem", dir_ / "mem.bas");
    std::set<std::string> before = Listing();
    RunResult run = Run({"mem.bas"});
    EXPECT_EQ(run.err, Msg(CannotReadText("mem.bas")));
    EXPECT_EQ(Listing(), before);
}

TEST_F(TrxTest, SourceWithoutReadPermissionCreatesNoOutput)
{
    RunUnprivileged();
    Write("Keywords.ini", kVocabulary);
    Write("secret.bas", "print\n");
    Write("secret.bas.bas", "older output\r\n");
    fs::permissions(dir_ / "secret.bas", fs::perms::none);
    std::set<std::string> before = Listing();
    RunResult run = Run({"secret.bas"});
    EXPECT_EQ(run.err, Msg(CannotReadText("secret.bas")));
    EXPECT_EQ(Read("secret.bas.bas"), "older output\r\n");
    EXPECT_EQ(Listing(), before);
}

TEST_F(TrxTest, WildcardNameIsFoundButCannotBeRead)
{
    Write("Keywords.ini", kVocabulary);
    Write("prog.bas", "print\n");
    std::set<std::string> before = Listing();
    RunResult run = Run({"pro?.bas"});
    EXPECT_EQ(run.err, Msg(CannotReadText("pro?.bas")));
    EXPECT_EQ(Listing(), before);
}

TEST_F(TrxTest, OutputThatCannotBeCreatedLeavesNothingBehind)
{
    // The output name is taken by a directory, so the finished output cannot
    // be put in its place; the missing constant section is reported first.
    Write("Keywords.ini", Section("FreeBasicKeywords", "Print") + Section("ApiKeywords", "GetFocus"));
    Write("prog.bas", std::string(3 * 1024 * 1024, 'x') + "\nprint\n");
    fs::create_directory(dir_ / "prog.bas.bas");
    std::set<std::string> before = Listing();
    RunResult run = Run({"prog.bas"});
    EXPECT_EQ(run.err, Msg(StartTagMissingText("FreeBasicConstants")) + Msg(CannotWriteText("prog.bas.bas")));
    EXPECT_EQ(Listing(), before) << "a temporary or partial output was left";
    EXPECT_TRUE(fs::is_directory(dir_ / "prog.bas.bas"));
}

TEST_F(TrxTest, OutputInReadOnlyFolderIsReported)
{
    RunUnprivileged();
    Write("Keywords.ini", kVocabulary);
    fs::create_directory(dir_ / "ro");
    Write("ro/prog.bas", "print\n");
    fs::permissions(dir_ / "ro", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                     fs::perms::others_exec | fs::perms::group_read | fs::perms::group_exec);
    std::set<std::string> before = Listing();
    RunResult run = Run({"ro/prog.bas"});
    EXPECT_EQ(run.err, Msg(CannotWriteText("ro/prog.bas.bas")));
    EXPECT_EQ(Listing(), before);
}

// ---------------------------------------------------------------------------
// The shipped vocabulary and the shipped example

TEST_F(TrxTest, ShippedVocabularySmoke)
{
    ASSERT_TRUE(fs::exists(SHIPPED_KEYWORDS_INI)) << SHIPPED_KEYWORDS_INI;
    const std::string vocabulary = ReadBytes(SHIPPED_KEYWORDS_INI);
    EXPECT_EQ(Convert("dim x as integer\n", {}, vocabulary), "Dim x As Integer\r\n");
    EXPECT_EQ(Convert("dim x as integer\n", {"-u"}, vocabulary), "DIM x AS INTEGER\r\n");
    EXPECT_EQ(Convert("x = %wm_keydown\n", {"-p"}, vocabulary), "x = %WM_KEYDOWN\r\n");
    EXPECT_EQ(Convert("x = %wm_keydown\n", {"-p", "-l"}, vocabulary), "x = %WM_KEYDOWN\r\n");
}

TEST_F(TrxTest, ShippedExampleChangesOnlyLetterCaseAndIsStable)
{
    const fs::path demo = fs::path(EXAMPLES_DIR) / "demo.bas";
    ASSERT_TRUE(fs::exists(SHIPPED_KEYWORDS_INI)) << SHIPPED_KEYWORDS_INI;
    ASSERT_TRUE(fs::exists(demo)) << demo;
    const std::string vocabulary = ReadBytes(SHIPPED_KEYWORDS_INI);
    const std::string source = ReadBytes(demo);
    const std::vector<std::string> sourceLines = SplitLines(source);

    const std::vector<std::vector<std::string>> optionSets = {{}, {"-u"}, {"-l"}, {"-p"}, {"-p", "-u"}};
    std::vector<std::string> outputs;
    for (const auto& options : optionSets) {
        std::string shown;
        for (const auto& o : options) shown += " " + o;
        SCOPED_TRACE("options:" + shown);
        std::string output = Convert(source, options, vocabulary);
        std::vector<std::string> lines = SplitLines(output);
        ASSERT_EQ(lines.size(), sourceLines.size());
        EXPECT_EQ(output, JoinCrLf(lines)) << "every line must end CR LF";
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(AsciiLower(lines[i]), AsciiLower(sourceLines[i])) << "line " << i + 1 << " changed more than letter case";

        // Converting the result again changes nothing.
        Write("again.bas", output);
        std::vector<std::string> args{"again.bas"};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(Run(args).err, "");
        EXPECT_EQ(Read("again.bas.bas"), output);
        outputs.push_back(output);
    }
    EXPECT_NE(outputs[1], outputs[2]) << "upper and lower case runs gave the same text";
}

// ---------------------------------------------------------------------------
// Hostile conditions: permissions, limits, signals, special files, long names

struct PermissionCase {
    const char* title;
    mode_t umask;
    mode_t sourceMode;
    int olderOutputMode;  // -1: no older output
    mode_t expected;
};

TEST_F(TrxTest, OutputPermissionsFollowTheSourceOrTheOlderOutput)
{
    RunUnprivileged();
    const std::vector<PermissionCase> cases = {
        {"a private source gives a private output", 022, 0600, -1, 0600},
        {"a group-readable source", 022, 0640, -1, 0640},
        {"an executable source, as cp copies it", 022, 0755, -1, 0755},
        {"a read-only source gives a read-only output", 022, 0444, -1, 0444},
        {"the umask still narrows a new output", 077, 0644, -1, 0600},
        {"a private older output stays private", 022, 0644, 0600, 0600},
        {"an older output keeps its wider mode", 022, 0600, 0664, 0664},
        {"an older output's mode ignores the umask", 077, 0644, 0644, 0644},
    };
    Write("Keywords.ini", kVocabulary);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        WriteOwned("prog.bas", kSource, c.sourceMode);
        fs::remove(dir_ / "prog.bas.bas");
        if (c.olderOutputMode >= 0) WriteOwned("prog.bas.bas", "older output\r\n", static_cast<mode_t>(c.olderOutputMode));
        std::set<std::string> before = Listing();
        before.insert("prog.bas.bas");
        mode_t inherited = ::umask(c.umask);
        RunResult run = Run({"prog.bas"});
        ::umask(inherited);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(Read("prog.bas.bas"), kFbMixed);
        EXPECT_EQ(ModeOf("prog.bas.bas"), c.expected) << std::oct << ModeOf("prog.bas.bas");
        EXPECT_EQ(Listing(), before);
    }
}

TEST_F(TrxTest, RootReplacingAnOutputKeepsItsOwner)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root";
    Write("Keywords.ini", kVocabulary);
    Write("prog.bas", kSource);
    Write("prog.bas.bas", "older output\r\n");
    ASSERT_EQ(::chown((dir_ / "prog.bas.bas").c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod((dir_ / "prog.bas.bas").c_str(), 0640), 0);
    EXPECT_EQ(Run({"prog.bas"}).err, "");
    EXPECT_EQ(Read("prog.bas.bas"), kFbMixed);
    struct stat info = {};
    ASSERT_EQ(::stat((dir_ / "prog.bas.bas").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_gid, kNobody);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(TrxTest, WriteProtectedOlderOutputIsReportedAndKept)
{
    RunUnprivileged();
    Write("Keywords.ini", kVocabulary);
    WriteOwned("prog.bas", kSource, 0644);
    WriteOwned("prog.bas.bas", "older output\r\n", 0444);
    std::set<std::string> before = Listing();
    EXPECT_EQ(Run({"prog.bas"}).err, Msg(CannotWriteText("prog.bas.bas")));
    EXPECT_EQ(Read("prog.bas.bas"), "older output\r\n");
    EXPECT_EQ(ModeOf("prog.bas.bas"), 0444u);
    EXPECT_EQ(Listing(), before);
}

TEST_F(TrxTest, FileSizeLimitIsAWriteErrorWithoutDebris)
{
    Write("Keywords.ini", kVocabulary);
    Write("prog.bas", std::string(3 * 1024 * 1024, 'x') + "\nprint\n");
    Write("prog.bas.bas", "older output\r\n");
    std::set<std::string> before = Listing();
    ProgramStart start = StartOf({"prog.bas"});
    start.limits = {{RLIMIT_FSIZE, 1024 * 1024}};
    EXPECT_EQ(Run(start).err, Msg(CannotWriteText("prog.bas.bas")));
    EXPECT_EQ(Read("prog.bas.bas"), "older output\r\n");
    EXPECT_EQ(Listing(), before);
}

// Waits until a file whose name begins with `prefix` is created in the
// watched folder; false after `seconds`.
bool AwaitCreation(int watch, const std::string& prefix, int seconds)
{
    alignas(inotify_event) char events[4096];
    struct pollfd ready = {watch, POLLIN, 0};
    while (::poll(&ready, 1, seconds * 1000) > 0) {
        ssize_t got = ::read(watch, events, sizeof events);
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            if (event->len > 0 && std::string(event->name).rfind(prefix, 0) == 0) return true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return false;
}

TEST_F(TrxTest, EndingSignalsRemoveTheTemporaryFileAndEndTheRun)
{
    // trx is stopped as soon as its temporary file appears. When it is still
    // there once trx has stopped, the signal comes in the middle of the
    // write; otherwise the run was too quick for this machine and is tried
    // again.
    std::string source;
    while (source.size() < 24 * 1024 * 1024) source += "dim x as integer: print \"dim\" ' while\n";
    Write("Keywords.ini", kVocabulary);
    Write("prog.bas", source);
    Write("prog.bas.bas", "older output\r\n");
    const std::set<std::string> before = Listing();
    for (int signalNumber : {SIGTERM, SIGHUP, SIGINT, SIGPIPE}) {
        SCOPED_TRACE(::strsignal(signalNumber));
        bool caughtWriting = false;
        for (int attempt = 0; attempt < 5 && !caughtWriting; ++attempt) {
            Write("prog.bas.bas", "older output\r\n");
            int watch = ::inotify_init1(IN_CLOEXEC);
            ASSERT_GE(watch, 0);
            ASSERT_GE(::inotify_add_watch(watch, dir_.c_str(), IN_CREATE), 0);
            pid_t trx = StartProcess(StartOf({"prog.bas"}));
            bool created = AwaitCreation(watch, "~", 60);
            ::close(watch);
            ::kill(trx, SIGSTOP);
            int status = 0;
            ASSERT_EQ(::waitpid(trx, &status, WUNTRACED), trx);
            ASSERT_TRUE(created) << "no temporary file appeared";
            caughtWriting = WIFSTOPPED(status) && Listing().size() == before.size() + 1;
            if (caughtWriting) ::kill(trx, signalNumber);
            ::kill(trx, SIGCONT);
            int ending = WaitForTerminatingSignal(trx);
            if (!caughtWriting) continue;
            EXPECT_EQ(ending, signalNumber);
            EXPECT_EQ(Read("prog.bas.bas"), "older output\r\n");
            EXPECT_EQ(Listing(), before) << "the temporary file stayed behind";
        }
        EXPECT_TRUE(caughtWriting) << "trx was never caught writing";
    }
}

TEST_F(TrxTest, MemoryExhaustionIsReportedWithoutOutputOrDebris)
{
    // Sparse files: half a GiB of NUL bytes, one line, that take no disk
    // space; the address space of trx is limited to half of that.
    constexpr std::uintmax_t kHuge = 512u << 20;
    constexpr rlim_t kAddressSpace = 256u << 20;
    struct MemoryCase {
        const char* title;
        const char* hugeFile;
        std::string err;
    };
    const std::vector<MemoryCase> cases = {
        {"a line longer than the memory", "prog.bas", Msg(OutOfMemoryText("prog.bas"))},
        {"a vocabulary larger than the memory", "Keywords.ini", Msg(OutOfMemoryText("Keywords.ini"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        Write("Keywords.ini", kVocabulary);
        Write("prog.bas", kSource);
        Write("prog.bas.bas", "older output\r\n");
        Write(c.hugeFile, "");
        fs::resize_file(dir_ / c.hugeFile, kHuge);
        std::set<std::string> before = Listing();
        ProgramStart start = StartOf({"prog.bas"});
        start.limits = {{RLIMIT_AS, kAddressSpace}};
        EXPECT_EQ(Run(start).err, c.err);
        EXPECT_EQ(Read("prog.bas.bas"), "older output\r\n");
        EXPECT_EQ(Listing(), before);
        fs::remove(dir_ / c.hugeFile);
    }
}

TEST_F(TrxTest, SpecialFilesFoundThroughWildcardsAreNeverRead)
{
    // The existence test matches the wildcard against the regular file beside
    // it; the name itself is opened, without waiting, and is no regular file.
    Write("Keywords.ini", kVocabulary);
    Write("gx", kSource);
    Write("zx", kSource);
    ASSERT_EQ(::mkfifo((dir_ / "g*").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", dir_ / "z*");
    std::set<std::string> before = Listing();
    for (const char* name : {"g*", "z*"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Run({name}).err, Msg(CannotReadText(name)));
        EXPECT_EQ(Listing(), before);
    }
}

TEST_F(TrxTest, LongNamesUpToTheSystemLimit)
{
    long nameMax = ::pathconf(dir_.c_str(), _PC_NAME_MAX);
    if (nameMax < 16 || nameMax > 4096) GTEST_SKIP() << "no usable name limit";
    Write("Keywords.ini", kVocabulary);
    // The longest source whose output name still fits: converted.
    std::string fits = std::string(static_cast<size_t>(nameMax) - 8, 'a') + ".bas";
    Write(fits, kSource);
    EXPECT_EQ(Run({fits}).err, "");
    EXPECT_EQ(Read(fits + ".bas"), kFbMixed);
    // One byte more: the output name cannot exist, and nothing is left.
    std::string tooLong = "b" + fits;
    Write(tooLong, kSource);
    std::set<std::string> before = Listing();
    EXPECT_EQ(Run({tooLong}).err, Msg(CannotWriteText(tooLong + ".bas")));
    EXPECT_EQ(Listing(), before);
}

}  // namespace
