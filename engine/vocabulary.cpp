#include "vocabulary.h"

#include "ascii.h"
#include "list_entries.h"

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

// A section's body inside the text, with the problem of its tags; on a
// problem the body is "0" (a list whose one entry is "0").
struct SectionBody {
    std::string_view body;
    TagProblem problem = TagProblem::None;
};

SectionBody FindSectionBody(std::string_view text, std::string_view startTag, int occurrence)
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
    return {text.substr(bodyStart, end - bodyStart)};
}

SectionBody FindSectionBody(std::string_view text, Section section)
{
    return FindSectionBody(text, SectionStartTag(section), 1);
}

// Adds the entries of a list body (raw or normalised: the separators are the
// same), spelled in `mode`. Entries holding any byte that is not a word
// character can never match a word and take no place in the table.
void AddListEntries(WordIndex& index, std::string_view body, CaseMode mode, std::string& spelling)
{
    ForEachWordEntry(body, [&](size_t start, size_t length) {
        std::string_view entry = body.substr(start, length);
        if (mode == CaseMode::Mixed) {
            AddToWordIndex(index, entry, entry);
            return;
        }
        spelling.assign(entry);
        if (mode == CaseMode::Upper) UpperInPlace(spelling);
        if (mode == CaseMode::Lower) LowerInPlace(spelling);
        AddToWordIndex(index, entry, spelling);
    });
}

KeywordSet MakeKeywordSetOfBodies(std::string_view keywords, CaseMode keywordCase, std::string_view api,
                                  std::string_view constants)
{
    KeywordSet set;
    PrepareWordIndex(set.index, keywords.size() + api.size() + constants.size());
    std::string spelling;
    AddListEntries(set.index, keywords, keywordCase, spelling);
    AddListEntries(set.index, api, CaseMode::Mixed, spelling);
    AddListEntries(set.index, constants, CaseMode::Mixed, spelling);
    return set;
}

// Adds the entries of a section body inside the set's own text; where the
// spelling is the text's own, the table points at the text.
void AddTextEntries(WordIndex& index, std::string_view body, CaseMode mode, std::string& spelling)
{
    if (mode != CaseMode::Mixed) {
        AddListEntries(index, body, mode, spelling);
        return;
    }
    size_t bodyStart = static_cast<size_t>(body.data() - index.text.data());
    ForEachWordEntry(body, [&](size_t start, size_t length) { AddTextEntryToWordIndex(index, bodyStart + start, length); });
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
    SectionBody found = FindSectionBody(text, startTag, occurrence);
    return {std::string(found.body), found.problem};
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
        SectionBody found = FindSectionBody(text, section);
        if (found.problem != TagProblem::None) vocabulary.problems.push_back({section, found.problem});
        vocabulary.sections[static_cast<size_t>(section)] = MakeWordList(std::string(found.body));
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

KeywordSet MakeKeywordSet(const WordList& keywords, const WordList& api, const WordList& constants)
{
    return MakeKeywordSetOfBodies(keywords.display, CaseMode::Mixed, api.display, constants.display);
}

KeywordSet BuildKeywordSet(const Vocabulary& vocabulary, const SectionChoice& choice, CaseMode keywordCase)
{
    return MakeKeywordSetOfBodies(SectionList(vocabulary, choice.keywords).display, keywordCase,
                                  SectionList(vocabulary, choice.api).display,
                                  SectionList(vocabulary, choice.constants).display);
}

KeywordSet BuildKeywordSetFromText(std::string text, const SectionChoice& choice, CaseMode keywordCase)
{
    auto ownText = std::make_shared<const std::string>(std::move(text));
    KeywordSet set = BuildKeywordSetOverText(*ownText, choice, keywordCase);
    set.index.ownText = std::move(ownText);
    return set;
}

KeywordSet BuildKeywordSetOverText(std::string_view text, const SectionChoice& choice, CaseMode keywordCase)
{
    KeywordSet set;
    set.index.text = text;
    const SectionBody bodies[3] = {FindSectionBody(set.index.text, choice.keywords),
                                   FindSectionBody(set.index.text, choice.api),
                                   FindSectionBody(set.index.text, choice.constants)};
    const CaseMode modes[3] = {keywordCase, CaseMode::Mixed, CaseMode::Mixed};
    PrepareWordIndex(set.index, bodies[0].body.size() + bodies[1].body.size() + bodies[2].body.size());
    std::string spelling;
    for (int list = 0; list < 3; ++list) {
        // A missing section's "0" lies outside the text: a copy of its own.
        if (bodies[list].problem == TagProblem::None)
            AddTextEntries(set.index, bodies[list].body, modes[list], spelling);
        else
            AddListEntries(set.index, bodies[list].body, modes[list], spelling);
    }
    return set;
}

std::vector<VocabularyProblem> FindVocabularyProblems(std::string_view text)
{
    std::vector<VocabularyProblem> problems;
    for (Section section : kSectionsInFileOrder) {
        TagProblem problem = FindSectionBody(text, section).problem;
        if (problem != TagProblem::None) problems.push_back({section, problem});
    }
    return problems;
}

std::vector<VocabularyProblem> ProblemsOfChoice(const std::vector<VocabularyProblem>& problems,
                                                const SectionChoice& choice)
{
    std::vector<VocabularyProblem> chosen;
    for (Section section : {choice.keywords, choice.api, choice.constants})
        for (const VocabularyProblem& problem : problems)
            if (problem.section == section) chosen.push_back(problem);
    return chosen;
}

}  // namespace recasor
