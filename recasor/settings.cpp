#include "settings.h"

#include <functional>
#include <map>

#include <toml++/toml.h>

#include "ascii.h"
#include "path_text.h"
#include "word_chars.h"

namespace recasor {

namespace {

std::string At(const toml::node& node, const std::string& text)
{
    return "line " + std::to_string(node.source().begin.line) + ": " + text;
}

bool ReadName(const toml::node& node, std::string_view key, std::string& value, std::string& error)
{
    std::optional<std::string> text = node.value<std::string>();
    if (!text) {
        error = At(node, std::string(key) + " must be a string");
        return false;
    }
    value = *text;
    return true;
}

bool ReadStrings(const toml::node& node, std::string_view key, std::vector<std::string>& values, std::string& error)
{
    const toml::array* array = node.as_array();
    if (array == nullptr) {
        error = At(node, std::string(key) + " must be an array of strings");
        return false;
    }
    values.clear();
    for (const toml::node& item : *array) {
        std::string value;
        if (!ReadName(item, std::string(key) + "'s items", value, error)) return false;
        values.push_back(value);
    }
    return true;
}

// One of the names of `names`: "dialect must be one of "freebasic", "powerbasic"".
template <typename Value>
bool ReadNamed(const toml::node& node, std::string_view key, const std::map<std::string, Value>& names,
               std::optional<Value>& value, std::string& error)
{
    std::string name;
    if (!ReadName(node, key, name, error)) return false;
    auto found = names.find(name);
    if (found != names.end()) {
        value = found->second;
        return true;
    }
    std::string choices;
    for (const auto& [known, unused] : names) choices += (choices.empty() ? "\"" : ", \"") + known + "\"";
    error = At(node, std::string(key) + " must be one of " + choices);
    return false;
}

// A word of the project must be one BASIC word, or it could never match.
bool CheckWords(const toml::node& node, std::string_view key, const std::vector<std::string>& words, std::string& error)
{
    for (const std::string& word : words) {
        bool wordOnly = !word.empty();
        for (char c : word) wordOnly = wordOnly && IsWordChar(AsciiLower(c));
        if (!wordOnly) {
            error = At(node, std::string(key) + ": \"" + word +
                                 "\" is not one word (letters, digits and _ % & $ . ! ? @)");
            return false;
        }
    }
    return true;
}

using KeyReader = std::function<bool(const toml::node&, std::string_view, ProjectSettings&, std::string&)>;

const std::map<std::string, KeyReader, std::less<>>& KeyReaders()
{
    static const std::map<std::string, KeyReader, std::less<>> readers = {
        {"dialect",
         [](const toml::node& node, std::string_view key, ProjectSettings& settings, std::string& error) {
             return ReadNamed(node, key, DialectNames(), settings.dialect, error);
         }},
        {"case",
         [](const toml::node& node, std::string_view key, ProjectSettings& settings, std::string& error) {
             return ReadNamed(node, key, CaseModeNames(), settings.keywordCase, error);
         }},
        {"vocabulary",
         [](const toml::node& node, std::string_view key, ProjectSettings& settings, std::string& error) {
             std::string name;
             if (!ReadName(node, key, name, error)) return false;
             settings.vocabulary = name;
             return true;
         }},
        {"include",
         [](const toml::node& node, std::string_view key, ProjectSettings& settings, std::string& error) {
             return ReadStrings(node, key, settings.include.emplace(), error);
         }},
        {"exclude",
         [](const toml::node& node, std::string_view key, ProjectSettings& settings, std::string& error) {
             return ReadStrings(node, key, settings.exclude.emplace(), error);
         }},
        {"extra-words",
         [](const toml::node& node, std::string_view key, ProjectSettings& settings, std::string& error) {
             return ReadStrings(node, key, settings.extraWords, error) &&
                    CheckWords(node, key, settings.extraWords, error);
         }},
        {"identifiers",
         [](const toml::node& node, std::string_view key, ProjectSettings& settings, std::string& error) {
             return ReadNamed(node, key, IdentifierCaseNames(), settings.identifiers, error);
         }},
        {"include-folders",
         [](const toml::node& node, std::string_view key, ProjectSettings& settings, std::string& error) {
             return ReadStrings(node, key, settings.includeFolders, error);
         }},
        {"kept-words",
         [](const toml::node& node, std::string_view key, ProjectSettings& settings, std::string& error) {
             return ReadStrings(node, key, settings.keptWords, error) &&
                    CheckWords(node, key, settings.keptWords, error);
         }},
    };
    return readers;
}

std::string InFolder(const std::string& folder, const std::string& name)
{
    return TextOf((PathOf(folder) / PathOf(name)).lexically_normal());
}

}  // namespace

const std::map<std::string, Dialect>& DialectNames()
{
    static const std::map<std::string, Dialect> names = {{"freebasic", Dialect::FreeBasic},
                                                         {"powerbasic", Dialect::PowerBasic}};
    return names;
}

const std::map<std::string, CaseMode>& CaseModeNames()
{
    static const std::map<std::string, CaseMode> names = {
        {"mixed", CaseMode::Mixed}, {"upper", CaseMode::Upper}, {"lower", CaseMode::Lower}};
    return names;
}

const std::map<std::string, IdentifierCase>& IdentifierCaseNames()
{
    static const std::map<std::string, IdentifierCase> names = {{"declaration", IdentifierCase::Declaration},
                                                                {"keep", IdentifierCase::Keep}};
    return names;
}

bool ParseSettings(std::string_view text, ProjectSettings& settings, std::string& error)
{
    toml::table table;
    try {
        table = toml::parse(text);
    } catch (const toml::parse_error& problem) {
        error = "line " + std::to_string(problem.source().begin.line) + ": " + std::string(problem.description());
        return false;
    }
    settings = ProjectSettings{};
    for (const auto& [key, node] : table) {
        auto reader = KeyReaders().find(key.str());
        if (reader == KeyReaders().end()) {
            error = At(node, "unknown key " + std::string(key.str()));
            return false;
        }
        if (!reader->second(node, key.str(), settings, error)) return false;
    }
    return true;
}

ConversionSettings ResolveConversion(const RecasorOptions& options, const ProjectSettings* settings,
                                     const std::string& settingsFolder, const std::string& defaultVocabulary,
                                     std::optional<Dialect> fileDialect)
{
    ConversionSettings resolved;
    resolved.dialect = fileDialect.value_or(resolved.dialect);
    resolved.vocabularyPath = defaultVocabulary;
    if (settings != nullptr) {
        resolved.dialect = settings->dialect.value_or(resolved.dialect);
        resolved.keywordCase = settings->keywordCase.value_or(resolved.keywordCase);
        if (settings->vocabulary) resolved.vocabularyPath = InFolder(settingsFolder, *settings->vocabulary);
        resolved.extraWords = settings->extraWords;
        resolved.keptWords = settings->keptWords;
        resolved.identifiers = settings->identifiers.value_or(resolved.identifiers);
        for (const std::string& folder : settings->includeFolders)
            resolved.includeFolders.push_back(InFolder(settingsFolder, folder));
    }
    resolved.identifiers = options.identifiers.value_or(resolved.identifiers);
    resolved.dialect = options.dialect.value_or(resolved.dialect);
    resolved.keywordCase = options.keywordCase.value_or(resolved.keywordCase);
    resolved.vocabularyPath = options.vocabulary.value_or(resolved.vocabularyPath);
    return resolved;
}

std::optional<Dialect> DialectOfFileName(std::string_view name)
{
    size_t dot = name.find_last_of("./\\");
    if (dot == std::string_view::npos || name[dot] != '.') return std::nullopt;
    std::string extension(name.substr(dot));
    LowerInPlace(extension);
    if (extension == ".inc") return Dialect::PowerBasic;
    if (extension == ".bi") return Dialect::FreeBasic;
    return std::nullopt;
}

FileSelection ResolveSelection(const RecasorOptions& options, const ProjectSettings* settings,
                               const std::string& settingsFolder)
{
    FileSelection selection{kDefaultInclude, {}, "", ""};
    if (settings != nullptr && settings->include) selection = {*settings->include, {}, settingsFolder, ""};
    if (settings != nullptr && settings->exclude) {
        selection.exclude = *settings->exclude;
        selection.excludeBase = settingsFolder;
    }
    if (options.include) {
        selection.include = *options.include;
        selection.includeBase = "";
    }
    if (options.exclude) {
        selection.exclude = *options.exclude;
        selection.excludeBase = "";
    }
    return selection;
}

}  // namespace recasor
