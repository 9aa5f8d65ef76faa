#pragma once
// Project settings: a ".recasor.toml" file, found by walking up the folders
// from each source file; the nearest one applies, whole (files further up
// are not merged in). Every key is optional:
//
//   dialect = "freebasic"              # or "powerbasic"
//   case = "mixed"                     # or "upper", "lower" (keywords only)
//   vocabulary = "tools/Keywords.ini"  # relative to the settings file's folder
//   include = ["*.bas", "*.bi", "*.inc"]
//   exclude = ["build", "third_party/*"]
//   extra-words = ["hWndMain", "MyTimer"]
//   kept-words = ["name", "count", "send"]
//   identifiers = "declaration"        # or "keep"
//   include-folders = ["inc"]          # where #include looks after the file's own folder
//
// Options given on the command line win over the settings file key by key;
// the settings file wins over the defaults.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "options.h"
#include "vocabulary.h"

namespace recasor {

inline constexpr const char* kSettingsFileName = ".recasor.toml";

struct ProjectSettings {
    std::optional<Dialect> dialect;
    std::optional<CaseMode> keywordCase;
    std::optional<std::string> vocabulary;  // as written in the file
    std::optional<std::vector<std::string>> include;
    std::optional<std::vector<std::string>> exclude;
    std::vector<std::string> extraWords;
    std::vector<std::string> keptWords;
    std::optional<IdentifierCase> identifiers;
    std::vector<std::string> includeFolders;  // as written in the file
};

// Reads the settings text. False, with a reason ("line 3: ..."), when it is
// no valid TOML, holds an unknown key or a value of the wrong kind.
bool ParseSettings(std::string_view text, ProjectSettings& settings, std::string& error);

// The names the options and keys take: "freebasic", "powerbasic";
// "mixed", "upper", "lower".
const std::map<std::string, Dialect>& DialectNames();
const std::map<std::string, CaseMode>& CaseModeNames();
// "declaration", "keep".
const std::map<std::string, IdentifierCase>& IdentifierCaseNames();

inline const std::vector<std::string> kDefaultInclude = {"*.bas", "*.bi", "*.inc"};

// How the files under one settings file (or under none) are converted.
struct ConversionSettings {
    Dialect dialect = Dialect::FreeBasic;
    CaseMode keywordCase = CaseMode::Mixed;
    std::string vocabularyPath;
    std::vector<std::string> extraWords;
    std::vector<std::string> keptWords;
    IdentifierCase identifiers = IdentifierCase::Declaration;
    std::vector<std::string> includeFolders;  // absolute or relative to the current folder
};

// Which files a folder walk takes. Patterns without "/" match a file or
// folder name; patterns with "/" match the path relative to `patternBase`.
struct FileSelection {
    std::vector<std::string> include;
    std::vector<std::string> exclude;
    std::string includeBase;
    std::string excludeBase;
};

// Command line over settings over defaults. `settingsFolder` is the folder
// of the settings file (relative names in it start there); `settings` may be
// null. `defaultVocabulary` is the Keywords.ini installed with the program.
// `fileDialect`, when given, is the dialect where neither the command line
// nor the settings name one (see DialectOfFileName).
ConversionSettings ResolveConversion(const RecasorOptions& options, const ProjectSettings* settings,
                                     const std::string& settingsFolder, const std::string& defaultVocabulary,
                                     std::optional<Dialect> fileDialect = std::nullopt);

// The dialect a file name's extension tells: ".inc" is PowerBASIC's include
// file, ".bi" FreeBASIC's; ".bas" and others tell nothing.
std::optional<Dialect> DialectOfFileName(std::string_view name);
FileSelection ResolveSelection(const RecasorOptions& options, const ProjectSettings* settings,
                               const std::string& settingsFolder);

}  // namespace recasor
