#include "project_vocabulary.h"

#include <set>
#include <string_view>

#include "ascii.h"

namespace recasor {

namespace {

std::string JoinWords(const std::vector<std::string>& words)
{
    std::string body;
    for (const std::string& word : words) body += word + " ";
    return body;
}

// The list without the entries whose lower-case form is in `kept`; the
// entries that stay keep their order and spelling.
WordList WithoutWords(const WordList& list, const std::set<std::string, std::less<>>& kept)
{
    WordList result{" ", " "};
    size_t start = 0;
    while (start < list.search.size()) {
        size_t end = list.search.find(' ', start);
        if (end == std::string::npos) end = list.search.size();
        std::string_view entry(list.search.data() + start, end - start);
        if (!entry.empty() && !kept.contains(entry)) {
            result.search.append(entry).push_back(' ');
            result.display.append(list.display, start, end - start).push_back(' ');
        }
        start = end + 1;
    }
    return result;
}

}  // namespace

KeywordSet BuildProjectKeywordSet(const Vocabulary& vocabulary, Dialect dialect, CaseMode keywordCase,
                                  const std::vector<std::string>& extraWords,
                                  const std::vector<std::string>& keptWords)
{
    SectionChoice choice = DialectSections(dialect);
    WordList keywords = SectionList(vocabulary, choice.keywords);
    ApplyCaseMode(keywords, keywordCase);
    WordList api = SectionList(vocabulary, choice.api);
    WordList constants = SectionList(vocabulary, choice.constants);
    if (!extraWords.empty()) {
        // First in the first list: the lookup takes the leftmost entry.
        WordList extra = MakeWordList(JoinWords(extraWords));
        keywords = WordList{extra.display + keywords.display, extra.search + keywords.search};
    }
    if (!keptWords.empty()) {
        std::set<std::string, std::less<>> kept;
        for (std::string word : keptWords) {
            LowerInPlace(word);
            kept.insert(std::move(word));
        }
        keywords = WithoutWords(keywords, kept);
        api = WithoutWords(api, kept);
        constants = WithoutWords(constants, kept);
    }
    return MakeKeywordSet(std::move(keywords), std::move(api), std::move(constants));
}

}  // namespace recasor
