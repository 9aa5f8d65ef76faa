#include "vocabulary.h"

#include "ascii.h"

namespace recasor {

namespace {

const char* const kSectionStartTags[kSectionCount] = {
    "<FreeBasicKeywords>", "<PowerBasicKeywords>", "<ApiKeywords>", "<FreeBasicConstants>", "<PowerBasicConstants>",
};

bool IsListSeparator(char c) { return c == '\r' || c == '\n' || c == ',' || c == ';'; }

std::string EndTagOf(std::string_view startTag)
{
    std::string endTag = "</";
    if (!startTag.empty()) endTag.append(startTag.substr(1));
    return endTag;
}

}  // namespace

const char* SectionStartTag(Section section) { return kSectionStartTags[static_cast<size_t>(section)]; }

std::string TagProblemText(TagProblem problem, std::string_view startTag)
{
    if (problem == TagProblem::StartTagMissing) return "XML start-tag not found:  " + std::string(startTag);
    if (problem == TagProblem::EndTagMissing) return "XML end-tag not found:  " + EndTagOf(startTag);
    return std::string();
}

XmlSection GetXmlSection(std::string_view text, std::string_view startTag, int occurrence)
{
    if (occurrence < 1) occurrence = 1;
    size_t start = std::string_view::npos;
    size_t from = 0;
    for (int i = 0; i < occurrence && !startTag.empty(); ++i) {
        start = text.find(startTag, from);
        if (start == std::string_view::npos) break;
        from = start + 1;
    }
    if (start == std::string_view::npos) return {"0", TagProblem::StartTagMissing};
    size_t end = text.find(EndTagOf(startTag), start);
    if (end == std::string_view::npos) return {"0", TagProblem::EndTagMissing};
    size_t bodyStart = start + startTag.size();
    if (end <= bodyStart) return {};
    return {std::string(text.substr(bodyStart, end - bodyStart))};
}

std::string NormalizeWordList(std::string body)
{
    size_t kept = 0;
    for (char c : body) {
        if (IsListSeparator(c)) c = ' ';
        if (c == ' ' && kept > 0 && body[kept - 1] == ' ') continue;
        body[kept++] = c;
    }
    body.resize(kept);
    return body;
}

WordList MakeWordList(std::string body)
{
    WordList list;
    std::string words = NormalizeWordList(std::move(body));
    list.display.reserve(words.size() + 2);
    list.display.append(1, ' ').append(words).append(1, ' ');
    list.search = list.display;
    LowerInPlace(list.search);
    return list;
}

WordList BuildWordList(std::string_view vocabularyText, std::string_view startTag)
{
    return MakeWordList(GetXmlSection(vocabularyText, startTag, 1).body);
}

std::string ProblemText(const VocabularyProblem& problem)
{
    return TagProblemText(problem.problem, SectionStartTag(problem.section));
}

Vocabulary ParseVocabulary(std::string_view text)
{
    Vocabulary vocabulary;
    for (Section section : kSectionsInFileOrder) {
        XmlSection found = GetXmlSection(text, SectionStartTag(section), 1);
        if (found.problem != TagProblem::None) vocabulary.problems.push_back({section, found.problem});
        vocabulary.sections[static_cast<size_t>(section)] = MakeWordList(std::move(found.body));
    }
    return vocabulary;
}

const WordList& SectionList(const Vocabulary& vocabulary, Section section)
{
    return vocabulary.sections[static_cast<size_t>(section)];
}

const VocabularyProblem* FindProblem(const Vocabulary& vocabulary, Section section)
{
    for (const VocabularyProblem& problem : vocabulary.problems)
        if (problem.section == section) return &problem;
    return nullptr;
}

SectionChoice DialectSections(Dialect dialect)
{
    if (dialect == Dialect::PowerBasic) return {Section::PowerBasicKeywords, Section::ApiKeywords, Section::PowerBasicConstants};
    return {Section::FreeBasicKeywords, Section::ApiKeywords, Section::FreeBasicConstants};
}

void ApplyCaseMode(WordList& list, CaseMode mode)
{
    if (mode == CaseMode::Upper) UpperInPlace(list.display);
    if (mode == CaseMode::Lower) LowerInPlace(list.display);
}

KeywordSet MakeKeywordSet(WordList keywords, WordList api, WordList constants)
{
    KeywordSet set;
    set.keywords = std::move(keywords);
    set.api = std::move(api);
    set.constants = std::move(constants);
    set.index = BuildWordIndex({{&set.keywords.search, &set.keywords.display},
                                {&set.api.search, &set.api.display},
                                {&set.constants.search, &set.constants.display}});
    return set;
}

KeywordSet BuildKeywordSet(const Vocabulary& vocabulary, const SectionChoice& choice, CaseMode keywordCase)
{
    WordList keywords = SectionList(vocabulary, choice.keywords);
    ApplyCaseMode(keywords, keywordCase);
    return MakeKeywordSet(std::move(keywords), SectionList(vocabulary, choice.api), SectionList(vocabulary, choice.constants));
}

}  // namespace recasor
