#include "line_marks.h"

#include <algorithm>

namespace recasor {

void PrepareLineMarks(LineMarks& marks, size_t blocks, bool clear)
{
    size_t words = blocks + 1;
    size_t stride = words <= LineMarks::kInlineWords ? LineMarks::kInlineWords : words;
    uint64_t* bits = marks.inlineBits;
    if (words > LineMarks::kInlineWords) {
        marks.heapBits.resize(3 * words);
        bits = marks.heapBits.data();
    }
    marks.starts = bits;
    marks.ends = bits + stride;
    marks.otherEnds = bits + 2 * stride;
    size_t from = clear ? 0 : blocks;
    std::fill(marks.starts + from, marks.starts + words, 0);
    std::fill(marks.ends + from, marks.ends + words, 0);
    std::fill(marks.otherEnds + from, marks.otherEnds + words, 0);
}

void MarkLines(const LineSpan* lines, size_t count, LineMarks& marks)
{
    marks.textEnd = count == 0 ? 0 : lines[count - 1].start + lines[count - 1].length;
    marks.blockCount = marks.textEnd / 64 + 1;
    marks.allEndInCrLf = false;
    PrepareLineMarks(marks, marks.blockCount, true);
    for (size_t i = 0; i < count; ++i) {
        SetBit(marks.starts, lines[i].start);
        SetBit(marks.ends, lines[i].start + lines[i].length);
    }
}

}  // namespace recasor
