#pragma once
// The keyword set of a project: a dialect's sections in a case mode, plus
// the project's own words. Extra words are recased to the spelling given
// (whatever the case mode) and win over the vocabulary's entries; kept words
// are never recased, even where the vocabulary or the extra words list them.

#include <string>
#include <vector>

#include "vocabulary.h"

namespace recasor {

KeywordSet BuildProjectKeywordSet(const Vocabulary& vocabulary, Dialect dialect, CaseMode keywordCase,
                                  const std::vector<std::string>& extraWords,
                                  const std::vector<std::string>& keptWords);

}  // namespace recasor
