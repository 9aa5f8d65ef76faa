#include "comment_scanner.h"

#include "ascii.h"
#include "word_chars.h"

namespace recasor {

namespace {

bool IsWordByte(char c) { return IsWordChar(AsciiLower(c)); }

bool PairAt(std::string_view line, size_t i, char first, char second)
{
    return i + 1 < line.size() && line[i] == first && line[i + 1] == second;
}

// Moves `i` past the end of the open block comments (or to the line end).
void SkipBlockComment(std::string_view line, size_t& i, int& depth)
{
    while (i < line.size() && depth > 0) {
        if (PairAt(line, i, '/', '\'')) {
            ++depth;
            i += 2;
        } else if (PairAt(line, i, '\'', '/')) {
            --depth;
            i += 2;
        } else {
            ++i;
        }
    }
}

// "rem" as a whole word at i (the caller knows a statement starts there).
bool RemAt(std::string_view line, size_t i)
{
    if (i + 3 > line.size()) return false;
    for (size_t k = 0; k < 3; ++k)
        if ((line[i + k] | 0x20) != "rem"[k]) return false;
    return i + 3 == line.size() || !IsWordByte(line[i + 3]);
}

// A "_" standing alone as a word.
bool ContinuationAt(std::string_view line, size_t i)
{
    return line[i] == '_' && (i == 0 || !IsWordByte(line[i - 1])) &&
           (i + 1 == line.size() || !IsWordByte(line[i + 1]));
}

// Where the statement of a line starts when the line begins with a line
// number ("10 REM ..."); 0 when it does not.
size_t AfterLineNumber(std::string_view line)
{
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos || line[i] < '0' || line[i] > '9') return 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
    return i == line.size() || line[i] == ' ' || line[i] == '\t' ? i : 0;
}

}  // namespace

CommentRules DialectCommentRules(Dialect dialect)
{
    bool freeBasic = dialect == Dialect::FreeBasic;
    return CommentRules{.blockComments = freeBasic, .continuationComments = freeBasic};
}

void FindCommentRanges(std::string_view line, const CommentRules& rules, CommentState& state,
                       std::vector<TextRange>& ranges)
{
    ranges.clear();
    const size_t n = line.size();
    auto restOfLine = [&](size_t from) {
        if (from < n) ranges.push_back({from, n - from});
    };
    bool statementStart = true;  // only blanks, colons and comments so far in this statement
    size_t i = 0;
    if (state.blockDepth > 0) {
        SkipBlockComment(line, i, state.blockDepth);
        ranges.push_back({0, i});
    } else {
        i = AfterLineNumber(line);
    }
    while (i < n) {
        char c = line[i];
        if (rules.blockComments && PairAt(line, i, '/', '\'')) {
            size_t start = i;
            i += 2;
            state.blockDepth = 1;
            SkipBlockComment(line, i, state.blockDepth);
            ranges.push_back({start, i - start});
        } else if (c == '\'') {
            restOfLine(i);
            return;
        } else if (c == '"') {
            size_t close = line.find('"', i + 1);
            i = close == std::string_view::npos ? n : close + 1;
            statementStart = false;
        } else if (statementStart && RemAt(line, i)) {
            restOfLine(i + 3);
            return;
        } else if (rules.continuationComments && ContinuationAt(line, i)) {
            restOfLine(i + 1);
            return;
        } else {
            if (c == ':') statementStart = true;
            else if (c != ' ' && c != '\t') statementStart = false;
            ++i;
        }
    }
}

void AdvanceCommentState(std::string_view line, const CommentRules& rules, CommentState& state)
{
    // Both markers, /' and '/, hold an apostrophe.
    if (!rules.blockComments || line.find('\'') == std::string_view::npos) return;
    std::vector<TextRange> unused;
    FindCommentRanges(line, rules, state, unused);
}

}  // namespace recasor
