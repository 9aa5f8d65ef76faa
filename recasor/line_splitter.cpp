#include "line_splitter.h"

#include "byte_search.h"

namespace recasor {

std::vector<LineSpan> SplitLines(std::string_view text)
{
    std::vector<LineSpan> lines;
    size_t start = text.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
    size_t i = start;
    while ((i = FindFirstOf<'\n', '\r'>(text.data(), i, text.size())) < text.size()) {
        char c = text[i];
        lines.push_back({start, i - start});
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) lines.push_back({start, text.size() - start});
    return lines;
}

}  // namespace recasor
