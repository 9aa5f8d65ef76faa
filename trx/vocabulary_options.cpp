#include "vocabulary_options.h"

using namespace recasor;

Dialect DialectFromOptions(std::string_view optionsText)
{
    return optionsText.find("-p") != std::string_view::npos ? Dialect::PowerBasic : Dialect::FreeBasic;
}

CaseMode CaseModeFromOptions(std::string_view optionsText)
{
    // Upper case is applied first and lower case after it, so -l wins.
    if (optionsText.find("-l") != std::string_view::npos) return CaseMode::Lower;
    if (optionsText.find("-u") != std::string_view::npos) return CaseMode::Upper;
    return CaseMode::Mixed;
}

KeywordSet KeywordSetForOptions(std::string_view vocabularyText, std::string_view optionsText, ReportRoutine report)
{
    SectionChoice choice = DialectSections(DialectFromOptions(optionsText));
    for (const VocabularyProblem& problem : ProblemsOfChoice(FindVocabularyProblems(vocabularyText), choice))
        report(ProblemText(problem));
    return BuildKeywordSetOverText(vocabularyText, choice, CaseModeFromOptions(optionsText));
}
