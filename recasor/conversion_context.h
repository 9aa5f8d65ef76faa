#pragma once
// Everything one group of files is converted with: the resolved settings,
// the dialect's comment rules and the keyword set. Files under the same
// settings file share one context; a vocabulary file is read and parsed
// once per run, however many contexts use it.

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "comment_scanner.h"
#include "settings.h"
#include "vocabulary.h"

namespace recasor {

struct ConversionContext {
    ConversionSettings settings;
    CommentRules rules;
    std::shared_ptr<const KeywordSet> set;  // null when the context cannot convert
    std::string problemPath;                // when it cannot: the file at fault
    std::string problem;                    // and why
};

// Parsed vocabularies by file name; nothing when the file cannot be read.
using VocabularyCache = std::map<std::string, std::optional<Vocabulary>>;

// A context that converts, or one that names the problem of its vocabulary:
// unreadable, or a missing tag in one of the three sections it needs.
ConversionContext MakeConversionContext(const ConversionSettings& settings, VocabularyCache& vocabularies);

// A context that cannot convert because of `path` (a broken settings file).
ConversionContext BrokenContext(const std::string& path, const std::string& problem);

}  // namespace recasor
