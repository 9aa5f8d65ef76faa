// Golden examples: realistic FreeBASIC and PowerBASIC programs in
// examples/golden/, each converted by the real trx binary with the shipped
// Keywords.ini in the mixed, upper and lower modes and compared byte for
// byte with the reviewed expected output beside it (NAME.MODE.out).

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/processes.h"

namespace {

struct GoldenCase {
    std::string program;               // file name in examples/golden/
    std::vector<std::string> dialect;  // {} for FreeBasic, {"-p"} for PowerBasic
    std::string mode;                  // mixed, upper or lower
    std::vector<std::string> modeOptions;
};

std::vector<GoldenCase> AllCases()
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> programs = {
        {"freebasic-windows.bas", {}},
        {"freebasic-console.bas", {}},
        {"powerbasic-dialog.bas", {"-p"}},
        {"powerbasic-console.bas", {"-p"}},
    };
    const std::vector<std::pair<std::string, std::vector<std::string>>> modes = {
        {"mixed", {}}, {"upper", {"-u"}}, {"lower", {"-l"}}};
    std::vector<GoldenCase> cases;
    for (const auto& [program, dialect] : programs)
        for (const auto& [mode, options] : modes) cases.push_back({program, dialect, mode, options});
    return cases;
}

// Names the case in test output instead of a byte dump.
void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.program << ", " << c.mode; }

class GoldenExample : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenExample, ConvertsToTheExpectedBytes)
{
    const GoldenCase& c = GetParam();
    const fs::path golden = fs::path(EXAMPLES_DIR) / "golden";
    const fs::path source = golden / c.program;
    const fs::path expectedPath = golden / (source.stem().string() + "." + c.mode + ".out");
    ASSERT_TRUE(fs::exists(source)) << source;
    ASSERT_TRUE(fs::exists(expectedPath)) << expectedPath;

    const fs::path folder = MakeTemporaryFolder("golden");
    ASSERT_FALSE(folder.empty());
    fs::copy_file(SHIPPED_KEYWORDS_INI, folder / "Keywords.ini");
    fs::copy_file(source, folder / c.program);

    ProgramStart start{.argv = {TRX_BINARY, c.program}, .workDir = folder,
                       .stdoutPath = folder / "stdout", .stderrPath = folder / "stderr"};
    start.argv.insert(start.argv.end(), c.dialect.begin(), c.dialect.end());
    start.argv.insert(start.argv.end(), c.modeOptions.begin(), c.modeOptions.end());
    EXPECT_EQ(WaitForExit(StartProcess(start)), 0);
    EXPECT_EQ(ReadBytes(folder / "stderr"), "");
    ExpectSameBytes(ReadBytes(folder / (c.program + ".bas")), ReadBytes(expectedPath));

    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

std::string CaseName(const ::testing::TestParamInfo<GoldenCase>& info)
{
    std::string name = fs::path(info.param.program).stem().string() + "_" + info.param.mode;
    for (char& ch : name)
        if (ch == '-') ch = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Programs, GoldenExample, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
