// Lines of LF text as bitmaps: the line-end rule at every offset of the
// 64-byte blocks, in each build of the marking, against a plain
// byte-by-byte split.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "line_marks.h"
#include "word_scan.h"

using namespace recasor;

namespace {

using Spans = std::vector<std::pair<size_t, size_t>>;

// Each LF ends a line; one or two CRs right before it belong to the line
// end; a last line without LF loses one CR at the very end.
Spans SplitPlainly(const std::string& text)
{
    Spans lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') continue;
        size_t end = i;
        for (int crs = 0; crs < 2 && end > start && text[end - 1] == '\r'; ++crs) --end;
        lines.push_back({start, end});
        start = i + 1;
    }
    if (start < text.size()) lines.push_back({start, text.size() - (text.back() == '\r' ? 1 : 0)});
    return lines;
}

// Whether every line's end (the bytes up to the next line, or the text's
// end) is exactly CR LF.
bool AllEndInCrLf(const std::string& text, const Spans& lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        size_t next = i + 1 < lines.size() ? lines[i + 1].first : text.size();
        if (text.substr(lines[i].second, next - lines[i].second) != "\r\n") return false;
    }
    return true;
}

using MarkRoutine = void (*)(const char* text, size_t length, size_t readable, LineMarks& marks);

// Each build of the marking that this processor runs.
std::vector<MarkRoutine> MarkBuilds()
{
    std::vector<MarkRoutine> builds{baseline::MarkLineFeedLines};
#if defined(RECASOR_AVX2_SCAN)
    if (ScanUsesAvx2()) builds.push_back(avx2::MarkLineFeedLines);
#endif
    return builds;
}

Spans SplitByMarks(const std::string& text, size_t spare, bool& allCrLf, MarkRoutine mark = MarkLineFeedLines)
{
    std::string padded = text + std::string(spare, '\n');  // bytes past the text must not count
    LineMarks marks;
    mark(padded.data(), text.size(), padded.size(), marks);
    Spans lines;
    ForEachMarkedLine(marks, [&](size_t start, size_t end) { lines.push_back({start, end}); });
    allCrLf = marks.allEndInCrLf;
    return lines;
}

}  // namespace

TEST(LineMarks, LineEndsAtEveryOffsetOfTheBlocks)
{
    const char* endings[] = {"\n", "\r\n", "\r\r\n", "\r\r\r\n", "\r", "\r\r", ""};
    for (size_t offset = 0; offset < 140; ++offset) {
        for (const char* first : endings) {
            for (const char* second : endings) {
                std::string text = std::string(offset, 'a') + first + "b" + second;
                Spans expected = SplitPlainly(text);
                for (MarkRoutine mark : MarkBuilds()) {
                    for (size_t spare : {0, 64}) {
                        bool allCrLf = false;
                        ASSERT_EQ(SplitByMarks(text, spare, allCrLf, mark), expected)
                            << "offset " << offset << ", endings " << first << "|" << second << ", spare " << spare;
                        EXPECT_EQ(allCrLf, AllEndInCrLf(text, expected)) << "offset " << offset;
                    }
                }
            }
        }
    }
}

TEST(LineMarks, EmptyTextAndEmptyLines)
{
    bool allCrLf = false;
    EXPECT_EQ(SplitByMarks("", 16, allCrLf), Spans{});
    EXPECT_TRUE(allCrLf);
    EXPECT_EQ(SplitByMarks("\n\n\r\n", 16, allCrLf), (Spans{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_FALSE(allCrLf);
}
