// trx's mapping of Keywords.ini on a real file that is cut short while
// mapped, as another program truncating it during a run would: the lost
// pages read as zeros, the program lives on and learns of it.

#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "platform.h"
#include "support/files.h"

namespace {

TEST(PosixMapping, FileCutShortWhileMappedReadsZerosAndIsReported)
{
    fs::path dir = MakeTemporaryFolder("mapping");
    ASSERT_FALSE(dir.empty());
    std::string path = (dir / "Keywords.ini").string();
    const size_t kLength = 3 * 4096 + 100;
    std::string text(kLength, 'k');
    WriteBytes(path, text);

    auto mapped = MapFileForReading(path);
    ASSERT_TRUE(mapped.has_value());
    ASSERT_EQ(mapped->size(), kLength);
    EXPECT_FALSE(MappedFileShrank());
    EXPECT_EQ((*mapped)[kLength - 1], 'k');

    const size_t kKept = 4096 + 10;
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kKept)), 0);
    size_t zeros = 0, kept = 0;
    for (size_t i = 0; i < kLength; ++i) {
        char c = (*mapped)[i];
        zeros += c == '\0';
        kept += i < kKept && c == 'k';
    }
    EXPECT_EQ(kept, kKept);
    EXPECT_EQ(zeros, kLength - kKept);
    EXPECT_TRUE(MappedFileShrank());

    // Only one file is mapped; a second request is left to a plain read.
    EXPECT_FALSE(MapFileForReading(path).has_value());
    RemoveTemporaryFolder(dir);
}

}  // namespace
