#include "keyword_oracles.h"

#include "ascii.h"
#include "word_chars.h"

using namespace recasor;

size_t DataStatementStart(std::string_view text)
{
    size_t lead = text.find_first_not_of(' ');
    if (lead == std::string_view::npos || text.size() - lead < 5) return std::string_view::npos;
    std::string head(text.substr(lead, 5));
    UpperInPlace(head);
    return head == "DATA " ? lead : std::string_view::npos;
}

const char* SearchKeywordSpelling(const SearchLists& lists, std::string_view word)
{
    std::string key = " ";
    key.append(word);
    key += ' ';
    for (const WordList* list : {&lists.keywords, &lists.api, &lists.constants}) {
        size_t at = list->search.find(key);
        if (at != std::string::npos) return list->display.data() + at + 1;
    }
    return nullptr;
}

KeywordSet MakeKeywordSet(const SearchLists& lists)
{
    return recasor::MakeKeywordSet(lists.keywords, lists.api, lists.constants);
}

bool SameSpelling(const char* left, const char* right, size_t length)
{
    if (left == nullptr || right == nullptr) return left == right;
    return std::string_view(left, length) == std::string_view(right, length);
}

std::string BlankLiterals(std::string_view text)
{
    std::string copy(text);
    size_t dataStart = DataStatementStart(copy);
    if (dataStart != std::string_view::npos) {
        // Everything after the word DATA is an item.
        for (size_t i = dataStart + 4; i < copy.size(); ++i) copy[i] = ' ';
        return copy;
    }
    size_t from = 0;
    while (from < copy.size()) {
        size_t open = copy.find('"', from);
        if (open == std::string::npos) break;
        size_t close = copy.find('"', open + 1);
        if (close == std::string::npos) close = copy.size() - 1;
        for (size_t i = open + 1; i < close; ++i) copy[i] = ' ';
        from = close + 1;
    }
    return copy;
}

// The conversion with the substring search in place of the lookup table.
std::string ConvertBySearch(std::string line, const SearchLists& lists)
{
    std::string work = BlankLiterals(line);
    work = work.substr(0, work.find('\''));
    LowerInPlace(work);
    size_t i = 0;
    while (i < work.size()) {
        if (!IsWordChar(work[i])) {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < work.size() && IsWordChar(work[i])) ++i;
        if (const char* spelling = SearchKeywordSpelling(lists, std::string_view(work).substr(start, i - start)))
            line.replace(start, i - start, spelling, i - start);
    }
    return line;
}
