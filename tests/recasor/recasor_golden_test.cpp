// recasor's golden examples: FreeBASIC and PowerBASIC programs, with the
// files they include, that exercise escaped strings, Option Escape and names
// written as declared (see examples/golden/recasor/). The real binary
// converts a copy of the folder in place; each source must then equal its
// NAME.out byte for byte. The result must not depend on the order of the
// paths or on --jobs, the filter must give what the file gets, and a second
// run must change nothing.

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/processes.h"

namespace {

const fs::path kGolden = fs::path(EXAMPLES_DIR) / "golden" / "recasor";

// The sources of the golden folder, relative to it, in name order.
std::vector<std::string> GoldenSources()
{
    std::vector<std::string> sources;
    for (const auto& entry : fs::recursive_directory_iterator(kGolden)) {
        const fs::path& path = entry.path();
        if (path.extension() == ".bas" || path.extension() == ".bi" || path.extension() == ".inc")
            sources.push_back(fs::relative(path, kGolden).string());
    }
    std::sort(sources.begin(), sources.end());
    return sources;
}

std::string ExpectedFor(const std::string& source)
{
    return ReadBytes(kGolden / fs::path(source).replace_extension(".out"));
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Names each line that differs, so that a failure reads as a review.
void ExpectSameText(const std::string& name, const std::string& got, const std::string& expected)
{
    if (got == expected) return;
    std::vector<std::string> gotLines = Lines(got), expectedLines = Lines(expected);
    std::ostringstream report;
    for (size_t i = 0; i < std::max(gotLines.size(), expectedLines.size()); ++i) {
        std::string g = i < gotLines.size() ? gotLines[i] : "(none)", e = i < expectedLines.size() ? expectedLines[i] : "(none)";
        if (g != e) report << "\n  line " << i + 1 << "\n    got:      " << g << "\n    expected: " << e;
    }
    if (report.str().empty()) {
        ADD_FAILURE() << name << ": line ends differ";
        ExpectSameBytes(got, expected);
    } else {
        ADD_FAILURE() << name << " differs:" << report.str();
    }
}

std::string ToLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class RecasorGolden : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = MakeTemporaryFolder("recasor_golden");
        ASSERT_FALSE(root_.empty());
        sources_ = GoldenSources();
        ASSERT_GE(sources_.size(), 6u) << kGolden;
    }

    void TearDown() override { RemoveTemporaryFolder(root_); }

    // A fresh copy of the golden folder.
    fs::path Copy(const std::string& name)
    {
        fs::path copy = root_ / name;
        fs::copy(kGolden, copy, fs::copy_options::recursive);
        return copy;
    }

    // Runs recasor in `folder` (standard input from `input` when given) and
    // gives its standard output; it must succeed without a message.
    std::string Run(const fs::path& folder, const std::vector<std::string>& args, const fs::path& input = {})
    {
        ProgramStart start;
        start.argv = {RECASOR_BINARY};
        start.workDir = folder;
        start.stdoutPath = root_ / "stdout";
        start.stderrPath = root_ / "stderr";
        if (!input.empty()) {
            start.argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" < \"$INPUT\"", RECASOR_BINARY};
            start.environment = {"INPUT=" + input.string()};
        }
        start.argv.insert(start.argv.end(), args.begin(), args.end());
        EXPECT_EQ(WaitForExitWithin(StartProcess(start), 60), 0) << ReadBytes(root_ / "stderr");
        EXPECT_EQ(ReadBytes(root_ / "stderr"), "");
        return ReadBytes(root_ / "stdout");
    }

    // The sources of a converted copy, by name.
    std::map<std::string, std::string> Sources(const fs::path& copy)
    {
        std::map<std::string, std::string> texts;
        for (const std::string& source : sources_) texts[source] = ReadBytes(copy / source);
        return texts;
    }

    fs::path root_;
    std::vector<std::string> sources_;
};

TEST_F(RecasorGolden, EachSourceConvertsToItsExpectedBytes)
{
    fs::path copy = Copy("golden");
    Run(copy, {"--jobs", "1", "."});
    for (const auto& [source, converted] : Sources(copy)) {
        std::string original = ReadBytes(kGolden / source), expected = ExpectedFor(source);
        // The expected output itself: the source in other letter case, and changed.
        ASSERT_EQ(ToLower(expected), ToLower(original)) << source << ": its .out is more than a change of case";
        EXPECT_NE(expected, original) << source;
        ExpectSameText(source, converted, expected);
    }
}

TEST_F(RecasorGolden, ASecondRunChangesNothing)
{
    fs::path copy = Copy("golden");
    Run(copy, {"."});
    std::map<std::string, std::string> first = Sources(copy);
    EXPECT_EQ(Run(copy, {"--check", "."}), "");
    Run(copy, {"."});
    for (const auto& [source, text] : Sources(copy)) ExpectSameText(source, text, first.at(source));
}

// Paths in other orders, one or two jobs, and the filter as each file that
// no other includes: all give the bytes of the first run.
TEST_F(RecasorGolden, SameBytesWhateverThePathOrderOrJobs)
{
    fs::path reference = Copy("reference");
    Run(reference, {"--jobs", "1", "."});
    std::map<std::string, std::string> expected = Sources(reference);

    std::vector<std::string> reversed(sources_.rbegin(), sources_.rend());
    std::vector<std::string> reversedRun = {"--jobs", "2"};
    reversedRun.insert(reversedRun.end(), reversed.begin(), reversed.end());
    const std::vector<std::vector<std::string>> runs = {
        {"--jobs", "2", "."},
        {"--jobs", "1", "powerbasic", "freebasic"},
        reversedRun,
    };
    for (size_t k = 0; k < runs.size(); ++k) {
        fs::path copy = Copy("run" + std::to_string(k));
        Run(copy, runs[k]);
        for (const auto& [source, text] : Sources(copy)) {
            SCOPED_TRACE("run " + std::to_string(k));
            ExpectSameText(source, text, expected.at(source));
        }
    }

    fs::path untouched = Copy("filter");
    for (const std::string& source : sources_) {
        if (fs::path(source).extension() != ".bas") continue;
        SCOPED_TRACE("the filter as " + source);
        ExpectSameText(source, Run(untouched, {"--stdin-filename", source}, untouched / source), expected.at(source));
    }
}

}  // namespace
