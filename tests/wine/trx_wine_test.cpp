// The Windows build of TRX under Wine: the same conversions as the Linux
// build, byte for byte, and the Windows side of the program: the raw
// command line, message boxes titled "Recasor" (their texts and order), the
// directory search with its attribute mask, files that Windows keeps locked.

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/processes.h"
#include "support/trx_texts.h"
#include "wine_session.h"

namespace {

using Messages = std::vector<std::string>;

class TrxWineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = MakeTemporaryFolder("trx_wine_case");
        ASSERT_FALSE(dir_.empty());
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        RemoveDefaultFiles();
    }

    static fs::path DefaultSource() { return WineDriveC() / "Test.bas"; }

    // "C:\Test.bas" and its output, which live in the prefix shared by all tests.
    static void RemoveDefaultFiles()
    {
        std::error_code ignored;
        fs::remove(DefaultSource(), ignored);
        fs::remove(DefaultSource().string() + ".bas", ignored);
    }

    // TRX.exe started by Wine from an argument vector, as a user would.
    WineRun Run(const std::vector<std::string>& args, const fs::path& where)
    {
        std::vector<std::string> arguments{TRX_WINDOWS_EXE};
        arguments.insert(arguments.end(), args.begin(), args.end());
        WineRun run = RunUnderWine(arguments, where);
        EXPECT_EQ(run.exitCode, 0);
        return run;
    }

    // TRX.exe started with exactly `commandLine`, after the helper's
    // preparations (`helperOptions`, see raw_launch.cpp).
    WineRun RunRaw(const std::string& commandLine, const std::vector<std::string>& helperOptions = {})
    {
        std::vector<std::string> arguments{RAW_LAUNCH_EXE};
        arguments.insert(arguments.end(), helperOptions.begin(), helperOptions.end());
        arguments.push_back(WindowsPath(TRX_WINDOWS_EXE));
        arguments.push_back(HexArgument(commandLine));
        WineRun run = RunUnderWine(arguments, dir_);
        EXPECT_EQ(run.exitCode, 0);
        return run;
    }

    void Write(const std::string& name, const std::string& bytes) { WriteBytes(dir_ / name, bytes); }
    std::string Read(const std::string& name) { return ReadBytes(dir_ / name); }

    std::set<std::string> Listing()
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename().string());
        return names;
    }

    fs::path dir_;
};

// ---------------------------------------------------------------------------
// Same output as the Linux build

std::string TrickyLines()
{
    std::string text =
        "dim a as integer\r\r\n"           // two CRs before LF
        "print a\rdim b\n"                 // a CR inside a line
        "data dim, print, \"while\"\n"     // DATA items stay
        "print \"dim\" ' dim print\n"      // string and comment stay
        "\x80\xff dim \xe4print\n"         // bytes from 128 up
        "getmessage wm_keydown pi %null\n"
        "";
    text += std::string("x = 1 : ") + std::string(2000, ' ') + "dim" + std::string(70000, 'y') + " print\n";
    text += "while wend\r";  // a CR as the very last byte
    return text;
}

TEST_F(TrxWineTest, ConversionsAreByteIdenticalToTheLinuxBuild)
{
    const std::vector<std::pair<std::string, std::string>> inputs = {
        {"demo plus tricky lines", ReadBytes(fs::path(EXAMPLES_DIR) / "demo.bas") + TrickyLines()},
        {"Ctrl-Z ends the input", "dim a\r\n\x1aprint b\r\n"},
        {"empty file", ""},
        {"no line end at the end", "sub main\nend sub"},
    };
    const std::vector<std::vector<std::string>> optionSets = {
        {}, {"-l"}, {"-u"}, {"-p"}, {"-u", "-p"}, {"-l", "-u"}, {"-m", "-f", "-p", "-l"},
    };
    const std::string vocabulary = ReadBytes(SHIPPED_KEYWORDS_INI);
    for (const auto& [title, input] : inputs) {
        for (const auto& options : optionSets) {
            std::string optionText;
            for (const auto& option : options) optionText += " " + option;
            SCOPED_TRACE(title + ", options:" + optionText);
            for (const char* side : {"linux", "windows"}) {
                fs::create_directories(dir_ / side);
                WriteBytes(dir_ / side / "Keywords.ini", vocabulary);
                WriteBytes(dir_ / side / "prog.bas", input);
            }
            std::vector<std::string> args{"prog.bas"};
            args.insert(args.end(), options.begin(), options.end());

            ProgramStart linux{.argv = {TRX_LINUX_BINARY}, .workDir = dir_ / "linux", .stderrPath = dir_ / "linux.err"};
            linux.argv.insert(linux.argv.end(), args.begin(), args.end());
            ASSERT_EQ(WaitForExit(StartProcess(linux)), 0);
            ASSERT_EQ(ReadBytes(dir_ / "linux.err"), "");

            WineRun run = Run(args, dir_ / "windows");
            EXPECT_EQ(run.messages, Messages{});
            ASSERT_TRUE(fs::exists(dir_ / "windows" / "prog.bas.bas"));
            ExpectSameBytes(ReadBytes(dir_ / "windows" / "prog.bas.bas"), ReadBytes(dir_ / "linux" / "prog.bas.bas"));
            EXPECT_EQ(ReadBytes(dir_ / "windows" / "prog.bas"), input) << "the source was changed";
        }
    }
}

// ---------------------------------------------------------------------------
// Raw command lines, message boxes and the default file

struct RawLineCase {
    const char* title;
    std::string commandLine;
    bool defaultPresent;
    Messages messages;
    std::string output;  // the one file expected to appear, or "" for none
    std::string expectedContent;
};

TEST_F(TrxWineTest, RawCommandLinesChooseFileOptionsAndMessages)
{
    const std::string defaultOutput = kDefaultSourceName + ".bas";
    const std::vector<RawLineCase> cases = {
        {"program name only", "TRX.EXE", false, {kEmptyCommandLineText, kUsageText, kDefaultMissingText}, "", ""},
        {"program name only, default file converted", "TRX.EXE", true, {kEmptyCommandLineText, kUsageText},
         defaultOutput, kFbMixed},
        {"missing file", "TRX.EXE nope.bas -u", false, {NotFoundText("nope.bas"), kUsageText, kDefaultMissingText}, "", ""},
        {"missing file, default converted with its options", "TRX.EXE nope.bas -u -p", true,
         {NotFoundText("nope.bas"), kUsageText}, defaultOutput, kPbUpper},
        {"an option alone is the file name", "TRX.EXE -u", true, {NotFoundText("-u"), kUsageText}, defaultOutput, kFbMixed},
        {"adjacent quotes keep their options", "TRX.EXE \"\" -u", true, {kEmptyCommandLineText, kUsageText},
         defaultOutput, kFbUpper},
        {"quoted program path and quoted name with spaces", "\"C:\\Program Files\\TRX.EXE\" \"my prog.bas\" -u -p", false,
         {}, "my prog.bas.bas", kPbUpper},
        {"options glued to the closing quote", "TRX.EXE \"my prog.bas\"-u-p", false, {}, "my prog.bas.bas", kPbUpper},
        {"runs of spaces around name and options", "TRX.EXE    prog.bas     -u   ", false, {}, "prog.bas.bas", kFbUpper},
        {"unquoted name with a space", "TRX.EXE my prog.bas-u", false, {}, "my.bas", kFbUpper},
        {"name without its closing quote takes the rest", "TRX.EXE \"my prog.bas -u", false,
         {NotFoundText("my prog.bas -u"), kUsageText, kDefaultMissingText}, "", ""},
        {"program name whose quote is never closed", "\"C:\\TRX.EXE prog.bas -u", false,
         {kEmptyCommandLineText, kUsageText, kDefaultMissingText}, "", ""},
        {"a tab is no separator", "TRX.EXE\tprog.bas", false, {kEmptyCommandLineText, kUsageText, kDefaultMissingText}, "", ""},
        {"upper-case letters are no options", "TRX.EXE prog.bas -U -P", false, {}, "prog.bas.bas", kFbMixed},
        {"wildcard without a match", "TRX.EXE nomatch*.bas", false,
         {NotFoundText("nomatch*.bas"), kUsageText, kDefaultMissingText}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        Write("Keywords.ini", kVocabulary);
        for (const char* name : {"prog.bas", "my prog.bas", "my"}) Write(name, kSource);
        std::set<std::string> before = Listing();
        if (c.defaultPresent) WriteBytes(DefaultSource(), kSource);

        WineRun run = RunRaw(c.commandLine);
        EXPECT_EQ(run.messages, c.messages);
        std::set<std::string> after = Listing();
        if (c.output == defaultOutput) {
            EXPECT_EQ(ReadBytes(DefaultSource().string() + ".bas"), c.expectedContent);
        } else if (!c.output.empty()) {
            EXPECT_EQ(Read(c.output), c.expectedContent) << c.output;
            after.erase(c.output);
        }
        EXPECT_EQ(after, before) << "files were created or removed beyond the expected output";
        EXPECT_EQ(Read("prog.bas"), kSource);
        RemoveDefaultFiles();
    }
}

TEST_F(TrxWineTest, StartedByWineFromAnArgumentVector)
{
    // Wine quotes an argument that holds spaces when it builds the command line.
    Write("Keywords.ini", kVocabulary);
    Write("my prog.bas", kSource);
    EXPECT_EQ(Run({"my prog.bas", "-u", "-p"}, dir_).messages, Messages{});
    EXPECT_EQ(Read("my prog.bas.bas"), kPbUpper);
    EXPECT_EQ(Run({}, dir_).messages, (Messages{kEmptyCommandLineText, kUsageText, kDefaultMissingText}));
}

// ---------------------------------------------------------------------------
// Vocabulary problems: reported in boxes, the conversion goes on

TEST_F(TrxWineTest, VocabularyProblemsAreReportedAndConversionGoesOn)
{
    Write("prog.bas", "dim x as long\nprint 1");
    WineRun missing = Run({"prog.bas", "-u"}, dir_);
    EXPECT_EQ(missing.messages, Messages{kKeywordsMissingText});
    EXPECT_EQ(Read("prog.bas.bas"), "dim x as long\r\nprint 1\r\n");

    std::string withoutPowerBasicConstants = kVocabulary.substr(0, kVocabulary.find("<PowerBasicConstants>"));
    Write("Keywords.ini", withoutPowerBasicConstants);
    WineRun sectionMissing = Run({"prog.bas", "-p"}, dir_);
    EXPECT_EQ(sectionMissing.messages, Messages{StartTagMissingText("PowerBasicConstants")});
    EXPECT_EQ(Read("prog.bas.bas"), "Dim x As Long\r\nPrint 1\r\n");
}

// ---------------------------------------------------------------------------
// The directory search and files that cannot be read or written

TEST_F(TrxWineTest, SourcesThatExistButCannotBeRead)
{
    Write("Keywords.ini", kVocabulary);
    Write("prog.bas", kSource);
    fs::create_directory(dir_ / "folder.bas");
    std::set<std::string> before = Listing();

    EXPECT_EQ(RunRaw("TRX.EXE folder.bas").messages, Messages{CannotReadText("folder.bas")});
    EXPECT_EQ(RunRaw("TRX.EXE prog.bas", {"--lock", "prog.bas"}).messages, Messages{CannotReadText("prog.bas")});
    EXPECT_EQ(RunRaw("TRX.EXE pro?.bas").messages, Messages{CannotReadText("pro?.bas")});
    EXPECT_EQ(Listing(), before) << "no output may appear for a source that cannot be read";
}

TEST_F(TrxWineTest, OutputThatCannotBeReplacedKeepsItsOldContent)
{
    Write("Keywords.ini", kVocabulary);
    Write("prog.bas", kSource);
    Write("prog.bas.bas", "old output\r\n");
    std::set<std::string> before = Listing();

    EXPECT_EQ(RunRaw("TRX.EXE prog.bas", {"--lock", "prog.bas.bas"}).messages, Messages{CannotWriteText("prog.bas.bas")});
    EXPECT_EQ(Read("prog.bas.bas"), "old output\r\n");
    EXPECT_EQ(Listing(), before) << "the temporary file must not stay behind";

    EXPECT_EQ(RunRaw("TRX.EXE prog.bas").messages, Messages{});
    EXPECT_EQ(Read("prog.bas.bas"), kFbMixed);
}

TEST_F(TrxWineTest, AttributeMaskDecidesWhatCountsAsFound)
{
    Write("Keywords.ini", kVocabulary);
    Write("plain.bas", kSource);
    Write("system.bas", kSource);
    // read-only | hidden | archive: inside the mask, so the file is found
    EXPECT_EQ(RunRaw("TRX.EXE plain.bas -u", {"--attributes", "plain.bas", "23"}).messages, Messages{});
    EXPECT_EQ(Read("plain.bas.bas"), kFbUpper);
    // system: outside the mask
    EXPECT_EQ(RunRaw("TRX.EXE system.bas", {"--attributes", "system.bas", "4"}).messages,
              (Messages{NotFoundText("system.bas"), kUsageText, kDefaultMissingText}));
    // a system Keywords.ini does not count either
    EXPECT_EQ(RunRaw("TRX.EXE plain.bas", {"--attributes", "Keywords.ini", "4"}).messages, Messages{kKeywordsMissingText});
}

// ---------------------------------------------------------------------------
// Outputs: a read-only older output as Wine shows it (no write bit), long names

TEST_F(TrxWineTest, ReadOnlyOlderOutputIsReportedAndKept)
{
    Write("Keywords.ini", kVocabulary);
    Write("prog.bas", kSource);
    Write("prog.bas.bas", "old output\r\n");
    fs::permissions(dir_ / "prog.bas.bas", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::set<std::string> before = Listing();
    EXPECT_EQ(Run({"prog.bas"}, dir_).messages, Messages{CannotWriteText("prog.bas.bas")});
    EXPECT_EQ(Read("prog.bas.bas"), "old output\r\n");
    EXPECT_EQ(Listing(), before);
}

TEST_F(TrxWineTest, LongNamesUpToTheSystemLimit)
{
    Write("Keywords.ini", kVocabulary);
    // The output name takes all 255 characters a name may have.
    std::string fits = std::string(247, 'a') + ".bas";
    Write(fits, kSource);
    EXPECT_EQ(Run({fits}, dir_).messages, Messages{});
    EXPECT_EQ(Read(fits + ".bas"), kFbMixed);
}

}  // namespace
