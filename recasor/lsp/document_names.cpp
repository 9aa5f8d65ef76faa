#include "document_names.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "ascii.h"
#include "file_uri.h"
#include "include_units.h"
#include "syntax_words.h"
#include "word_chars.h"

namespace recasor {

namespace {

using Documents = std::map<std::string, TextDocument, std::less<>>;

NameRules RulesOf(const ConversionSettings& settings)
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

const FileDeclarations& DeclarationsOf(TextDocument& document, const SourceRules& rules)
{
    if (document.declarationsAfter != document.changes || !(document.declarationRules == rules)) {
        document.declarations = FindDeclarations(DocumentText(document), rules);
        document.declarationsAfter = document.changes;
        document.declarationRules = rules;
    }
    return document.declarations;
}

TextDocument* OpenDocumentAt(Documents& documents, const std::string& path)
{
    for (auto& [uri, document] : documents)
        if (!path.empty() && PathOfFileUri(uri) == path) return &document;
    return nullptr;
}

// Gathers an include unit: files by path with their declarations.
struct UnitGathering {
    Documents& documents;
    const ConversionSettings& settings;
    SourceRules rules;
    NameIndex& index;
    const ServerFileAccess& files;
    std::vector<UnitFile> unit;
    std::map<std::string, size_t> byPath;
    std::vector<std::vector<std::string>> includedPaths;  // by unit index
};

std::optional<std::string> FindInclude(UnitGathering& gathering, const std::string& including, const std::string& name)
{
    IncludeLookup lookup = [&](const std::string& folder, const std::string& relative) -> std::optional<std::string> {
        std::string path = (std::filesystem::path(folder) / relative).lexically_normal().string();
        if (OpenDocumentAt(gathering.documents, path) != nullptr || gathering.files.stampOf(path).ordinaryFile)
            return path;
        return std::nullopt;
    };
    return ResolveInclude(including, name, gathering.settings.includeFolders, lookup);
}

// The declarations of the file at `path`: its open document's, or the file's.
FileDeclarations DeclarationsAt(UnitGathering& gathering, const std::string& path)
{
    if (TextDocument* open = OpenDocumentAt(gathering.documents, path)) return DeclarationsOf(*open, gathering.rules);
    FileStamp stamp = gathering.files.stampOf(path);
    auto known = gathering.index.files.find(path);
    if (known != gathering.index.files.end() && known->second.stamp == stamp) return known->second.declarations;
    std::string text, reason;
    FileDeclarations declarations;
    if (gathering.files.readFile(path, text, reason)) declarations = FindDeclarations(text, gathering.rules);
    gathering.index.files.insert_or_assign(path, KnownDeclarations{stamp, declarations});
    return declarations;
}

// Adds a file and, one after the other, the files its includes read.
size_t AddFile(UnitGathering& gathering, const std::string& path, FileDeclarations declarations)
{
    auto known = gathering.byPath.find(path);
    if (known != gathering.byPath.end()) return known->second;
    size_t at = gathering.unit.size();
    gathering.byPath.emplace(path, at);
    gathering.unit.push_back({path, std::move(declarations), {}});
    std::vector<std::string> included;
    if (!path.empty())
        for (const IncludeDirective& include : gathering.unit[at].declarations.includes)
            if (std::optional<std::string> found = FindInclude(gathering, path, include.name)) included.push_back(*found);
    for (const std::string& file : included) {
        size_t index = AddFile(gathering, file, DeclarationsAt(gathering, file));
        gathering.unit[at].includes.push_back(index);
    }
    return at;
}

// Adds the open documents that include a file of the unit, until none is left.
void AddIncluders(UnitGathering& gathering)
{
    for (bool added = true; added;) {
        added = false;
        for (auto& [uri, document] : gathering.documents) {
            std::string path = PathOfFileUri(uri);
            if (path.empty() || gathering.byPath.contains(path)) continue;
            for (const IncludeDirective& include : DeclarationsOf(document, gathering.rules).includes) {
                std::optional<std::string> found = FindInclude(gathering, path, include.name);
                if (found && gathering.byPath.contains(*found)) {
                    AddFile(gathering, path, DeclarationsOf(document, gathering.rules));
                    added = true;
                    break;
                }
            }
        }
    }
}

enum class Boundary { None, Header, End };

bool IsProcedureWord(SyntaxWord word)
{
    switch (word) {
        case SyntaxWord::Sub:
        case SyntaxWord::Function:
        case SyntaxWord::Property:
        case SyntaxWord::Operator:
        case SyntaxWord::Constructor:
        case SyntaxWord::Destructor:
        case SyntaxWord::Method:
        case SyntaxWord::FastProc: return true;
        default: return false;
    }
}

// Whether a line starts a procedure's body or ends one, by its first words.
Boundary ProcedureBoundary(std::string_view line, Dialect dialect)
{
    size_t i = 0;
    auto nextWord = [&]() -> std::string_view {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && IsWordChar(AsciiLower(line[i]))) ++i;
        return line.substr(start, i - start);
    };
    SyntaxWord word = SyntaxWordOf(nextWord(), dialect);
    if (word == SyntaxWord::End) return IsProcedureWord(SyntaxWordOf(nextWord(), dialect)) ? Boundary::End : Boundary::None;
    while (word == SyntaxWord::Private || word == SyntaxWord::Public || word == SyntaxWord::Protected ||
           word == SyntaxWord::Static || word == SyntaxWord::Callback || word == SyntaxWord::Thread ||
           word == SyntaxWord::Virtual || word == SyntaxWord::Abstract || word == SyntaxWord::Override)
        word = SyntaxWordOf(nextWord(), dialect);
    if (!IsProcedureWord(word)) return Boundary::None;
    // `Function = x` sets a function's result.
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return i < line.size() && line[i] == '=' ? Boundary::None : Boundary::Header;
}

}  // namespace

FileSpellings DocumentSpellings(Documents& documents, TextDocument& document, const ConversionSettings& settings,
                                NameIndex& index, const ServerFileAccess& files)
{
    UnitGathering gathering{documents, settings, DialectSourceRules(settings.dialect), index, files, {}, {}, {}};
    std::string path = PathOfFileUri(document.uri);
    size_t own = AddFile(gathering, path, DeclarationsOf(document, gathering.rules));
    if (!path.empty()) AddIncluders(gathering);
    std::vector<FileSpellings> spellings = BindIncludeUnits(gathering.unit, RulesOf(settings));
    document.unitModule = spellings[own].module;
    document.unitMembers = spellings[own].members;
    return spellings[own];
}

FileSpellings LineSpellings(Documents& documents, TextDocument& document, size_t line,
                            const ConversionSettings& settings, NameIndex& index, const ServerFileAccess& files)
{
    if (!document.unitModule) return DocumentSpellings(documents, document, settings, index, files);
    // The procedure the line stands in: the nearest header above, unless an
    // End comes first.
    size_t header = line + 1;
    for (size_t above = line + 1; above-- > 0;) {
        Boundary boundary = ProcedureBoundary(LineContent(document, above), settings.dialect);
        if (boundary == Boundary::End && above != line) break;
        if (boundary == Boundary::Header) {
            header = above;
            break;
        }
    }
    size_t from = document.lineStarts[header <= line ? header : line];
    size_t lineStart = document.lineStarts[line], lineEnd = LineContentEnd(document, line);
    FileDeclarations read = FindDeclarations(TextBetween(document, from, lineEnd), DialectSourceRules(settings.dialect));
    const NameRules rules = RulesOf(settings);
    FileSpellings spellings{document.unitModule, document.unitMembers, {}, {}};
    if (header <= line && !read.procedures.empty()) {
        ProcedureSpellings procedure{from, SIZE_MAX, {}};
        AddDeclaredNames(procedure.names, read.procedures.back().names, rules);
        spellings.procedures.push_back(std::move(procedure));
    }
    // The line's own declarations stay as they are.
    auto addSites = [&](const std::vector<Declaration>& list) {
        for (const Declaration& declaration : list)
            if (from + declaration.offset >= lineStart && TakesPart(declaration.spelling, rules))
                spellings.declarationSites.push_back(from + declaration.offset);
    };
    addSites(read.moduleNames);
    addSites(read.memberNames);
    for (const ProcedureDeclarations& procedure : read.procedures) addSites(procedure.names);
    std::sort(spellings.declarationSites.begin(), spellings.declarationSites.end());
    return spellings;
}

}  // namespace recasor
