#include "conversion_context.h"

#include "project_vocabulary.h"
#include "vocabulary_file.h"

namespace recasor {

namespace {

const std::optional<Vocabulary>& LoadVocabulary(const std::string& path, VocabularyCache& vocabularies)
{
    auto known = vocabularies.find(path);
    if (known != vocabularies.end()) return known->second;
    std::optional<std::string> text = ReadVocabularyFile(path);
    std::optional<Vocabulary> vocabulary;
    if (text) vocabulary = ParseVocabulary(*text);
    return vocabularies.emplace(path, std::move(vocabulary)).first->second;
}

// The missing tags of the chosen sections, in lookup order.
std::string ChosenProblems(const Vocabulary& vocabulary, const SectionChoice& choice)
{
    std::string text;
    for (Section section : {choice.keywords, choice.api, choice.constants}) {
        if (const VocabularyProblem* problem = FindProblem(vocabulary, section))
            text += (text.empty() ? "" : "; ") + ProblemText(*problem);
    }
    return text;
}

}  // namespace

ConversionContext BrokenContext(const std::string& path, const std::string& problem)
{
    ConversionContext context;
    context.problemPath = path;
    context.problem = problem;
    return context;
}

ConversionContext MakeConversionContext(const ConversionSettings& settings, VocabularyCache& vocabularies)
{
    const std::optional<Vocabulary>& vocabulary = LoadVocabulary(settings.vocabularyPath, vocabularies);
    if (!vocabulary) return BrokenContext(settings.vocabularyPath, "cannot read the vocabulary file");
    std::string problems = ChosenProblems(*vocabulary, DialectSections(settings.dialect));
    if (!problems.empty()) return BrokenContext(settings.vocabularyPath, problems);

    ConversionContext context;
    context.settings = settings;
    context.rules = DialectCommentRules(settings.dialect);
    context.set = std::make_shared<const KeywordSet>(BuildProjectKeywordSet(
        *vocabulary, settings.dialect, settings.keywordCase, settings.extraWords, settings.keptWords));
    return context;
}

}  // namespace recasor
