#include "document_names.h"

#include <algorithm>
#include <set>

#include "ascii.h"
#include "file_uri.h"
#include "include_units.h"
#include "path_text.h"
#include "syntax_words.h"
#include "word_chars.h"

namespace recasor {

namespace {

using Documents = std::map<std::string, TextDocument, std::less<>>;

const FileDeclarations& DeclarationsOf(TextDocument& document, const SourceRules& rules)
{
    if (document.declarationsAfter != document.changes || !(document.declarationRules == rules)) {
        document.declarations = FindDeclarations(DocumentText(document), rules);
        document.declarationsAfter = document.changes;
        document.declarationRules = rules;
    }
    return document.declarations;
}

// The file of a document, as the include lookup writes file names; "" for
// a document that is no file.
std::string DocumentPath(std::string_view uri)
{
    std::string path = PathOfFileUri(uri);
    return path.empty() ? path : AbsoluteName("", path);
}

TextDocument* OpenDocumentAt(Documents& documents, const std::string& path)
{
    for (auto& [uri, document] : documents)
        if (!path.empty() && DocumentPath(uri) == path) return &document;
    return nullptr;
}

// Gathers include units from the open documents, and from the files of the
// disk where no document is open (read again only when they change).
UnitGathering GatheringFor(Documents& documents, const ConversionSettings& settings, NameIndex& index,
                           const ServerFileAccess& files)
{
    SourceRules rules = DialectSourceRules(settings.dialect);
    auto exists = [&documents, &files](const std::string& path) {
        return OpenDocumentAt(documents, path) != nullptr || files.stampOf(path).ordinaryFile;
    };
    auto read = [&documents, &index, &files, rules](const std::string& path) -> FileDeclarations {
        if (TextDocument* open = OpenDocumentAt(documents, path)) return DeclarationsOf(*open, rules);
        FileStamp stamp = files.stampOf(path);
        auto known = index.files.find(path);
        if (known != index.files.end() && known->second.stamp == stamp) return known->second.declarations;
        std::string text, reason;
        FileDeclarations declarations;
        if (files.readFile(path, text, reason)) declarations = FindDeclarations(text, rules);
        index.files.insert_or_assign(path, KnownDeclarations{stamp, declarations});
        return declarations;
    };
    return UnitGathering{settings.includeFolders, exists, read, {}, {}};
}

// Adds the open documents that include a file of the unit, until none is left.
void AddIncluders(UnitGathering& gathering, Documents& documents, const SourceRules& rules)
{
    for (bool added = true; added;) {
        added = false;
        for (auto& [uri, document] : documents) {
            std::string path = DocumentPath(uri);
            if (path.empty() || gathering.byPath.contains(path)) continue;
            for (const IncludeDirective& include : DeclarationsOf(document, rules).includes) {
                std::optional<std::string> found =
                    ResolveInclude(path, include.name, gathering.includeFolders, gathering.exists);
                if (found && gathering.byPath.contains(*found)) {
                    GatherFile(gathering, path, DeclarationsOf(document, rules));
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
    SourceRules rules = DialectSourceRules(settings.dialect);
    UnitGathering gathering = GatheringFor(documents, settings, index, files);
    std::string path = DocumentPath(document.uri);
    size_t own = GatherFile(gathering, path, DeclarationsOf(document, rules));
    if (!path.empty()) AddIncluders(gathering, documents, rules);
    std::vector<FileSpellings> spellings = BindIncludeUnits(gathering.files, NameRulesOf(settings));
    document.unitModule = spellings[own].module;
    document.unitMembers = spellings[own].members;
    document.unitTypes = spellings[own].types;
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
    const NameRules rules = NameRulesOf(settings);
    FileSpellings spellings{document.unitModule, document.unitMembers, document.unitTypes, {}, {}};
    if (header <= line && !read.procedures.empty()) {
        ProcedureSpellings procedure{from, SIZE_MAX, {}, 0, read.procedures.back().method};
        AddLocalNames(procedure, read.procedures.back().names, rules);
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
    addSites(read.unboundNames);
    for (const ProcedureDeclarations& procedure : read.procedures) addSites(procedure.names);
    std::sort(spellings.declarationSites.begin(), spellings.declarationSites.end());
    return spellings;
}

}  // namespace recasor
