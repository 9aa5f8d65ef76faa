#include "source_conversion.h"

#include <cstring>
#include <vector>

#include "keyword_case.h"
#include "line_splitter.h"

namespace recasor {

namespace {

// The engine classifies text 64 bytes at a time: with this many bytes after
// the text it reads the last block whole too.
constexpr size_t kSpareBytes = 64;

}  // namespace

std::string ConvertSource(std::string_view text, const KeywordSet& set, const CommentRules& rules)
{
    CommentState state;
    return ConvertLines(text, SplitLines(text), set, rules, state);
}

std::string ConvertLines(std::string_view text, const std::vector<LineSpan>& lines, const KeywordSet& set,
                         const CommentRules& rules, CommentState& state)
{
    // The engine converts a working copy in which every comment is blanked
    // to spaces; the comments then come back from the original text.
    std::string work;
    work.reserve(text.size() + kSpareBytes);
    work.append(text);
    work.append(kSpareBytes, ' ');
    std::vector<TextRange> comments;  // positions in the whole text
    std::vector<TextRange> lineComments;
    for (const LineSpan& line : lines) {
        FindCommentRanges(text.substr(line.start, line.length), rules, state, lineComments);
        for (const TextRange& range : lineComments) {
            std::memset(work.data() + line.start + range.start, ' ', range.length);
            comments.push_back({line.start + range.start, range.length});
        }
    }
    ApplyKeywordCase(work.data(), work.size(), lines.data(), lines.size(), set);
    for (const TextRange& range : comments) std::memcpy(work.data() + range.start, text.data() + range.start, range.length);
    work.resize(text.size());
    return work;
}

}  // namespace recasor
