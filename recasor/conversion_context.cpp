#include "conversion_context.h"

#include "ascii.h"
#include "project_vocabulary.h"

namespace recasor {

namespace {

const LoadedVocabulary& LoadVocabulary(const std::string& path, VocabularyCache& vocabularies, const FileReader& readFile)
{
    auto known = vocabularies.find(path);
    if (known != vocabularies.end()) return known->second;
    LoadedVocabulary loaded;
    std::string text;
    if (readFile(path, text, loaded.problem)) loaded.vocabulary = ParseVocabulary(text);
    return vocabularies.emplace(path, std::move(loaded)).first->second;
}

// The missing tags of the chosen sections, in lookup order.
std::string ChosenProblems(const Vocabulary& vocabulary, const SectionChoice& choice)
{
    std::string text;
    for (const VocabularyProblem& problem : ProblemsOfChoice(vocabulary.problems, choice))
        text += (text.empty() ? "" : "; ") + ProblemText(problem);
    return text;
}

}  // namespace

NameRules NameRulesOf(const ConversionSettings& settings)
{
    NameRules rules{settings.dialect, {}};
    for (const std::vector<std::string>* words : {&settings.keptWords, &settings.extraWords}) {
        for (std::string word : *words) {
            LowerInPlace(word);
            rules.excluded.insert(word);
        }
    }
    return rules;
}

ConversionContext BrokenContext(const std::string& path, const std::string& problem)
{
    ConversionContext context;
    context.problemPath = path;
    context.problem = problem;
    return context;
}

ConversionContext MakeConversionContext(const ConversionSettings& settings, VocabularyCache& vocabularies,
                                        const FileReader& readFile)
{
    const LoadedVocabulary& loaded = LoadVocabulary(settings.vocabularyPath, vocabularies, readFile);
    if (!loaded.vocabulary)
        return BrokenContext(settings.vocabularyPath, "cannot read the vocabulary file: " + loaded.problem);
    const Vocabulary& vocabulary = *loaded.vocabulary;
    std::string problems = ChosenProblems(vocabulary, DialectSections(settings.dialect));
    if (!problems.empty()) return BrokenContext(settings.vocabularyPath, problems);

    ConversionContext context;
    context.settings = settings;
    context.rules = DialectSourceRules(settings.dialect);
    context.set = std::make_shared<const KeywordSet>(BuildProjectKeywordSet(
        vocabulary, settings.dialect, settings.keywordCase, settings.extraWords, settings.keptWords));
    return context;
}

}  // namespace recasor
