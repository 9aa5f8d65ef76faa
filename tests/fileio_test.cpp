// The shared file module on real files in a temporary folder: what a
// formatter needs beyond trx's use (in-place replacement, several outputs
// pending at once) and which sources it refuses.

#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output_file.h"
#include "source_file.h"
#include "support/files.h"

namespace {

class FileIoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = MakeTemporaryFolder("fileio");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) { return (dir_ / name).string(); }

    std::set<std::string> Listing()
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename().string());
        return names;
    }

    fs::path dir_;
};

TEST_F(FileIoTest, InPlaceReplacementKeepsTheFileAndItsMode)
{
    WriteBytes(dir_ / "prog.bas", "dim x\n");
    ASSERT_EQ(::chmod(Path("prog.bas").c_str(), 0640), 0);
    SourceFile source;
    ASSERT_TRUE(OpenSource(Path("prog.bas"), source));
    PendingOutput output;
    ASSERT_TRUE(BeginOutput(Path("prog.bas"), source.permissions, output));
    CloseSource(source);
    std::fputs("Dim x\n", output.stream);
    EXPECT_EQ(ReadBytes(dir_ / "prog.bas"), "dim x\n") << "the file changed before the output was finished";
    ASSERT_TRUE(FinishOutput(output));
    EXPECT_EQ(ReadBytes(dir_ / "prog.bas"), "Dim x\n");
    EXPECT_EQ(fs::status(dir_ / "prog.bas").permissions(), static_cast<fs::perms>(0640));
    EXPECT_EQ(Listing(), std::set<std::string>{"prog.bas"});
}

TEST_F(FileIoTest, ManyOutputsPendingAtOnceAndAllAbandoned)
{
    std::vector<PendingOutput> outputs(kMaxPendingOutputs + 1);
    for (int i = 0; i < kMaxPendingOutputs; ++i)
        ASSERT_TRUE(BeginOutput(Path("out" + std::to_string(i)), FilePermissions{}, outputs[i])) << i;
    EXPECT_FALSE(BeginOutput(Path("one.more"), FilePermissions{}, outputs.back())) << "more outputs than slots";
    EXPECT_EQ(Listing().size(), static_cast<size_t>(kMaxPendingOutputs)) << "one temporary file per pending output";
    for (auto& output : outputs) AbandonOutput(output);
    EXPECT_TRUE(Listing().empty());
    // The slots are free again.
    ASSERT_TRUE(BeginOutput(Path("again"), FilePermissions{}, outputs[0]));
    EXPECT_TRUE(FinishOutput(outputs[0]));
    EXPECT_EQ(Listing(), std::set<std::string>{"again"});
}

TEST_F(FileIoTest, OnlyRegularFilesAreOpenedAsSources)
{
    WriteBytes(dir_ / "plain", "x");
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0644), 0);
    fs::create_directory(dir_ / "folder");
    fs::create_symlink(dir_ / "plain", dir_ / "link");
    struct Case {
        std::string name;
        bool opens;
    };
    for (const Case& c : std::vector<Case>{{Path("plain"), true}, {Path("link"), true}, {Path("fifo"), false},
                                           {Path("folder"), false}, {"/dev/null", false}, {Path("missing"), false}}) {
        SCOPED_TRACE(c.name);
        SourceFile source;
        EXPECT_EQ(OpenSource(c.name, source), c.opens);
        EXPECT_EQ(source.stream != nullptr, c.opens);
        CloseSource(source);
    }
}

}  // namespace
