#pragma once
// Everything one group of files is converted with: the resolved settings,
// the dialect's comment rules and the keyword set. Files under the same
// settings file share one context; a vocabulary file is read and parsed
// once per run, however many contexts use it.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "name_bindings.h"
#include "source_conversion.h"
#include "source_model.h"
#include "settings.h"
#include "vocabulary.h"

namespace recasor {

struct ConversionContext {
    ConversionSettings settings;
    SourceRules rules;
    std::shared_ptr<const KeywordSet> set;  // null when the context cannot convert
    std::string problemPath;                // when it cannot: the file at fault
    std::string problem;                    // and why
};

// How the files of a context that converts are converted.
inline ConversionRules RulesOf(const ConversionContext& context)
{
    return ConversionRules{*context.set, context.rules, context.settings.keywordCase};
}

// Which declared names take part under these settings: neither reserved by
// the dialect nor among the kept or the extra words.
NameRules NameRulesOf(const ConversionSettings& settings);

// A parsed vocabulary, or why its file could not be read.
struct LoadedVocabulary {
    std::optional<Vocabulary> vocabulary;
    std::string problem;
};

// Parsed vocabularies by file name.
using VocabularyCache = std::map<std::string, LoadedVocabulary>;

// Reads a whole file: false, with the reason, when it cannot.
using FileReader = std::function<bool(const std::string& name, std::string& content, std::string& reason)>;

// A context that converts, or one that names the problem of its vocabulary:
// unreadable, or a missing tag in one of the three sections it needs.
ConversionContext MakeConversionContext(const ConversionSettings& settings, VocabularyCache& vocabularies,
                                        const FileReader& readFile);

// A context that cannot convert because of `path` (a broken settings file).
ConversionContext BrokenContext(const std::string& path, const std::string& problem);

}  // namespace recasor
