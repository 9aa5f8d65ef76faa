// Splitting input bytes into lines: line ends, Ctrl-Z, long lines.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "line_marks.h"
#include "line_reader.h"

namespace {

// The lines as trx sees them: the reader's blocks, split by the engine's
// rule for LF text.
std::vector<std::string> LinesOf(const std::string& bytes)
{
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    std::vector<std::string> lines;
    recasor::LineMarks marks;
    bool unfinished = false;
    LineReadResult result = ReadLines(file, [&](LineBatch& batch) {
        // Every block but the last ends with an LF.
        EXPECT_FALSE(unfinished);
        unfinished = batch.blockLength == 0 || batch.block[batch.blockLength - 1] != '\n';
        recasor::MarkLineFeedLines(batch.block, batch.blockLength, batch.blockLength + kReadableAfterBatch, marks);
        recasor::ForEachMarkedLine(marks, [&](size_t start, size_t end) {
            EXPECT_LE(end, batch.blockLength);
            lines.emplace_back(batch.block + start, end - start);
        });
        return true;
    });
    std::fclose(file);
    EXPECT_EQ(result, LineReadResult::Complete);
    return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(LineReader, LineEnds)
{
    struct Case {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\r\nb", {"a", "b"}},
        {"a\r\r\r\nb", {"a\r", "b"}},
        {"a\rb\n", {"a\rb"}},
        {"a\r", {"a"}},
        {"a\r\r", {"a\r"}},
        {"\n\n", {"", ""}},
        {"a\n\r", {"a", ""}},
        {"\r", {""}},
        {std::string("a\0b\n\0", 5), {std::string("a\0b", 3), std::string("\0", 1)}},
        {"\xFF\xFE\n", {"\xFF\xFE"}},
    };
    for (const Case& c : cases) EXPECT_EQ(LinesOf(c.bytes), c.lines) << "bytes: [" << c.bytes << "]";
}

TEST(LineReader, CtrlZEndsTheInput)
{
    EXPECT_EQ(LinesOf("a\nb\x1A" "c\nd\n"), (Lines{"a", "b"}));
    EXPECT_EQ(LinesOf("\x1A" "a\n"), Lines{});
    EXPECT_EQ(LinesOf("a\r\x1A"), Lines{"a"});
}

TEST(LineReader, LinesLongerThanTheReadBufferStayWhole)
{
    std::string longLine(3 * 1024 * 1024 + 17, 'x');
    longLine[1024 * 1024] = '\r';  // a CR inside a line is text
    Lines lines = LinesOf("a\n" + longLine + "\r\nb\n" + longLine);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2], "b");
    EXPECT_EQ(lines[3], longLine);
}

TEST(LineReader, ManyLinesAcrossBufferBoundaries)
{
    std::string bytes;
    Lines expected;
    for (int i = 0; i < 200000; ++i) {
        expected.push_back(std::string(i % 23, 'a' + i % 26));
        bytes += expected.back() + (i % 3 == 0 ? "\r\n" : "\n");
    }
    EXPECT_EQ(LinesOf(bytes), expected);
}

TEST(LineReader, HandlerCanStopReading)
{
    std::FILE* file = std::tmpfile();
    std::fputs("a\nb\nc\n", file);
    std::rewind(file);
    int seen = 0;
    EXPECT_EQ(ReadLines(file, [&](LineBatch&) { return ++seen < 1; }), LineReadResult::Stopped);
    EXPECT_EQ(seen, 1);
    std::fclose(file);
}

TEST(LineReader, ReadErrorIsReported)
{
    // Reading a directory fails on the first read.
    std::FILE* folder = std::fopen(".", "rb");
    if (folder == nullptr) GTEST_SKIP() << "this system does not open folders as streams";
    EXPECT_EQ(ReadLines(folder, [](LineBatch&) { return true; }), LineReadResult::ReadFailed);
    std::fclose(folder);
}

TEST(LineReader, LineEndsSplitAcrossReadChunks)
{
    // Line ends of one and two CRs before the LF, and a CR as the last byte,
    // at every place around the ends of the first reads (whatever their size,
    // a power of two from 64 KiB to 1 MiB).
    for (size_t chunk : {size_t{1} << 16, size_t{1} << 18, size_t{1} << 20}) {
        for (size_t at = chunk - 3; at <= chunk + 1; ++at) {
            for (const std::string ending : {"\r\n", "\r\r\n", "\r"}) {
                std::string first(at, 'a');
                Lines expected = {first, "b"};
                std::string bytes = first + ending + "b" + (ending == "\r" ? "" : ending);
                if (ending == "\r") expected = {first + "\rb"};  // a CR inside the input is text
                ASSERT_EQ(LinesOf(bytes), expected) << "line of " << at << " bytes, ending " << ending.size();
                ASSERT_EQ(LinesOf(first + ending), Lines{first}) << at;
            }
        }
    }
}
