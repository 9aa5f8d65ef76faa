#pragma once
// The spellings that declared names give their uses. Each use of a name a
// program declares is written as its declaration writes it: a name local to
// a procedure within that procedure, a module-level name in every file of
// its include unit (the files joined by #include), a member after a "." or
// "->" (and without one inside the type's own procedures), a type's name in
// a type's place (after `As`), where no variable's name ever goes. The
// first declaration wins where one name is declared twice; a declaring
// occurrence itself is never changed. Reserved words, kept words and the
// project's extra words are no names here: the vocabulary, or the
// project's settings, spell them.

#include <bitset>
#include <cstdint>
#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "declarations.h"
#include "line_span.h"
#include "vocabulary.h"

namespace recasor {

// A hash of a word with letter case aside: what the quick tests below use.
uint32_t FoldedHash(std::string_view word);

// Names by their lower-case form, each with the spelling it takes.
struct NameSpellings {
    std::unordered_map<std::string, std::string> byLowerName;
    std::bitset<65536> mayHold;  // by FoldedHash: a quick test before the map, as most words are no declared name
};

// Adds a name unless one of its form is there already (the first wins).
void AddSpelling(NameSpellings& names, std::string_view spelling);

// The spelling of `word` (any case), or nullptr.
const std::string* FindSpelling(const NameSpellings& names, std::string_view word);

// Which declared names take part.
struct NameRules {
    Dialect dialect = Dialect::FreeBasic;
    std::set<std::string, std::less<>> excluded;  // lower case: the kept and the extra words
};

// Whether a declaration of this spelling takes part.
bool TakesPart(std::string_view spelling, const NameRules& rules);

// Adds the declarations that take part (the first of a form wins).
void AddDeclaredNames(NameSpellings& names, const std::vector<Declaration>& declarations, const NameRules& rules);

// A procedure's own names: few, so a sorted list (letter case aside) of
// their spellings, the first declaration of each form kept.
struct ProcedureSpellings {
    size_t begin;
    size_t end;
    std::vector<std::string> names;
    uint64_t mayHold = 0;  // bit FoldedHash % 64 of each name
    bool method = false;   // members are names in it (see ProcedureDeclarations)
};

// Adds the procedure's declarations that take part to its names.
void AddLocalNames(ProcedureSpellings& procedure, const std::vector<Declaration>& declarations, const NameRules& rules);

// The spelling of `word` (any case) among a procedure's names, or nullptr.
const std::string* FindSpelling(const ProcedureSpellings& procedure, std::string_view word);

// What the words of one file take beyond the vocabulary.
struct FileSpellings {
    std::shared_ptr<const NameSpellings> module;   // the include unit's module-level names
    std::shared_ptr<const NameSpellings> members;  // the unit's members
    std::shared_ptr<const NameSpellings> types;    // the unit's types
    std::vector<ProcedureSpellings> procedures;    // in order of the text
    std::vector<size_t> declarationSites;          // where the file's own declarations stand, in order
};

// The module-level names and the members of an include unit, from its
// files' declarations in the unit's order.
struct UnitSpellings {
    std::shared_ptr<NameSpellings> module = std::make_shared<NameSpellings>();
    std::shared_ptr<NameSpellings> members = std::make_shared<NameSpellings>();
    std::shared_ptr<NameSpellings> types = std::make_shared<NameSpellings>();
};
// Adds those of a file's declarations that stand in [from, to).
void AddUnitDeclarations(UnitSpellings& unit, const FileDeclarations& declarations, const NameRules& rules,
                         size_t from = 0, size_t to = SIZE_MAX);

// A file's spellings: its unit's, and its own procedures' locals.
FileSpellings BindFile(const FileDeclarations& declarations, const UnitSpellings& unit, const NameRules& rules);

// Where ApplyDeclaredSpellings has got to in a file converted piece by piece.
struct SpellingCursor {
    size_t procedure = 0;
    size_t site = 0;
};

// Writes the declared spellings into the words of the code regions `code`
// of `converted` (the text after the vocabulary's conversion; `original` is
// the text before it, of the same length). Both hold the file's bytes from
// offset `base` on; regions are given in the coordinates of that text, in
// order, and pieces of a file in order too.
void ApplyDeclaredSpellings(char* converted, std::string_view original, const std::vector<LineSpan>& code, size_t base,
                            const FileSpellings& spellings, SpellingCursor& cursor);

}  // namespace recasor
