// Declared names at their uses: each use written as its declaration writes
// it, within the declaration's scope (a procedure, the include unit, the
// members after a dot), the first declaration winning, declarations and
// reserved words kept; with the real declaration finder and conversion.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "declarations.h"
#include "include_units.h"
#include "project_vocabulary.h"
#include "source_conversion.h"

using namespace recasor;

namespace {

const char* const kVocabularyText =
    "<FreeBasicKeywords>Dim As Integer Long String Print Sub End Function ByVal Type Shared If Then Name Event Declare "
    "Screen Local Count</FreeBasicKeywords>"
    "<PowerBasicKeywords>DIM AS LONG SUB END FUNCTION BYVAL LOCAL COUNT STATE PRINT</PowerBasicKeywords>"
    "<ApiKeywords>DrawText</ApiKeywords><FreeBasicConstants>TRUE</FreeBasicConstants>"
    "<PowerBasicConstants>%NULL</PowerBasicConstants>";

// Converts the files (by name) of one project: each with the names of its
// include unit. Names are looked up among the files themselves.
std::map<std::string, std::string> ConvertProject(const std::map<std::string, std::string>& files, Dialect dialect,
                                                  std::vector<std::string> kept = {})
{
    KeywordSet set = BuildProjectKeywordSet(ParseVocabulary(kVocabularyText), dialect, CaseMode::Mixed, {}, kept);
    SourceRules rules = DialectSourceRules(dialect);
    UnitGathering gathering{{},
                            [&](const std::string& path) { return files.contains(path.substr(3)); },
                            [&](const std::string& path) { return FindDeclarations(files.at(path.substr(3)), rules); },
                            {},
                            {}};
    std::map<std::string, size_t> index;
    for (const auto& [name, text] : files) index[name] = GatherFile(gathering, "/p/" + name, FindDeclarations(text, rules));
    NameRules nameRules{dialect, {}};
    for (std::string word : kept) nameRules.excluded.insert(word);
    std::vector<FileSpellings> spellings = BindIncludeUnits(gathering.files, nameRules);
    std::map<std::string, std::string> converted;
    for (const auto& [name, text] : files)
        converted[name] = ConvertSource(text, {set, rules}, &spellings[index.at(name)]);
    return converted;
}

struct Case {
    const char* what;
    Dialect dialect;
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> expected;
    std::vector<std::string> kept = {};
};

}  // namespace

TEST(DeclaredNames, UsesFollowTheirDeclaration)
{
    const std::vector<Case> cases = {
        {"a vocabulary word the program declares",
         Dialect::FreeBasic,
         {{"a.bas", "dim event as integer\nEVENT = 1 : print Event\n"}},
         {{"a.bas", "Dim event As Integer\nevent = 1 : Print event\n"}}},
        {"a name of the program's own, and one in a string or comment kept",
         Dialect::FreeBasic,
         {{"a.bas", "Dim myCounter As Long\nMYCOUNTER = 2 ' MYCOUNTER\nprint \"mycounter\", MyCounter\n"}},
         {{"a.bas", "Dim myCounter As Long\nmyCounter = 2 ' MYCOUNTER\nPrint \"mycounter\", myCounter\n"}}},
        {"a procedure's names bind within it",
         Dialect::PowerBasic,
         {{"a.bas", "sub Tally(byval count as long)\n  COUNT = COUNT + 1\nend sub\nprint count\n"}},
         {{"a.bas", "SUB Tally(BYVAL count AS LONG)\n  count = count + 1\nEND SUB\nPRINT COUNT\n"}}},
        {"the first declaration wins; the second stays as written",
         Dialect::FreeBasic,
         {{"a.bas", "dim Total as long\ndim total as long\ntotal = TOTAL\n"}},
         {{"a.bas", "Dim Total As Long\nDim total As Long\nTotal = Total\n"}}},
        {"a reserved word is no declaration",
         Dialect::FreeBasic,
         {{"a.bas", "dim screen as long\ndim name as string\nSCREEN = 1 : NAME = \"x\"\n"}},
         {{"a.bas", "Dim Screen As Long\nDim Name As String\nScreen = 1 : Name = \"x\"\n"}}},
        {"members bind after a dot",
         Dialect::FreeBasic,
         {{"a.bas", "type Spot\n  Left As Long\nend type\ndim s as Spot\ns.LEFT = 1 : LEFT = 2\n"}},
         {{"a.bas", "Type Spot\n  Left As Long\nEnd Type\nDim s As Spot\ns.Left = 1 : LEFT = 2\n"}}},
        {"names of an include unit bind in all its files",
         Dialect::FreeBasic,
         {{"main.bas", "#include \"lib/shared.bi\"\ndim shared mainCount as long\nHITS = MAINCOUNT\n"},
          {"lib/shared.bi", "dim shared Hits as long\nsub Bump()\n  MainCount = HITS\nend sub\n"}},
         {{"main.bas", "#include \"lib/shared.bi\"\nDim Shared mainCount As Long\nHits = mainCount\n"},
          {"lib/shared.bi", "Dim Shared Hits As Long\nSub Bump()\n  mainCount = Hits\nEnd Sub\n"}}},
        {"an included file's names count where the #include stands; an @ takes an address",
         Dialect::FreeBasic,
         {{"main.bas", "dim shared COUNTER as long\n#include \"a.bi\"\nextern total as long\np = @COUNTER + @TOTAL\n"},
          {"a.bi", "extern Total as long\nextern counter as long\n"}},
         {{"main.bas", "Dim Shared COUNTER As Long\n#include \"a.bi\"\nextern total As Long\np = @COUNTER + @Total\n"},
          {"a.bi", "extern Total As Long\nextern counter As Long\n"}}},
        {"a type's place takes a type's name, never a variable's; a Declare's parameters stay as written",
         Dialect::FreeBasic,
         {{"a.bas", "type Spot : x as long : end type\ndeclare sub Show(byval event as SPOT, byval Spot as long)\n"
                    "sub Show(byval e as SPOT, byval spot as long) : end sub\n"}},
         {{"a.bas", "Type Spot : x As Long : End Type\nDeclare Sub Show(ByVal event As Spot, ByVal Spot As Long)\n"
                    "Sub Show(ByVal e As Spot, ByVal spot As Long) : End Sub\n"}}},
        {"a type's own procedures know its members without This",
         Dialect::FreeBasic,
         {{"a.bas", "type Rock\n  Angle as long\n  declare sub Turn()\nend type\nsub Rock.Turn()\n  ANGLE = 1\nend sub\n"
                    "ANGLE = 2\n"}},
         {{"a.bas", "Type Rock\n  Angle As Long\n  Declare Sub Turn()\nEnd Type\nSub Rock.Turn()\n  Angle = 1\nEnd Sub\n"
                    "ANGLE = 2\n"}}},
        {"kept words win over declarations",
         Dialect::FreeBasic,
         {{"a.bas", "dim event as long\nEVENT = 1\n"}},
         {{"a.bas", "Dim event As Long\nEVENT = 1\n"}},
         {"event"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ConvertProject(c.files, c.dialect, c.kept), c.expected) << c.what;
    }
}
