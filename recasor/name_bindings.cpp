#include "name_bindings.h"

#include <algorithm>
#include <cstring>

#include "ascii.h"
#include "reserved_words.h"
#include "word_chars.h"

namespace recasor {

namespace {

bool IsWordByte(char c) { return IsWordChar(AsciiLower(c)); }

// The filter's bit for a word: its length and its first and last letters.
size_t FilterBit(std::string_view word)
{
    return (word.size() * 31 + static_cast<unsigned char>(AsciiLower(word.front())) * 7 +
            static_cast<unsigned char>(AsciiLower(word.back()))) %
           4096;
}

std::string LowerCopy(std::string_view word)
{
    std::string lower(word);
    LowerInPlace(lower);
    return lower;
}

}  // namespace

bool TakesPart(std::string_view spelling, const NameRules& rules)
{
    std::string lower = LowerCopy(spelling);
    return !spelling.empty() && !IsReservedWord(rules.dialect, lower) && !rules.excluded.contains(lower);
}

void AddDeclaredNames(NameSpellings& names, const std::vector<Declaration>& declarations, const NameRules& rules)
{
    for (const Declaration& declaration : declarations)
        if (TakesPart(declaration.spelling, rules)) AddSpelling(names, declaration.spelling);
}

namespace {

// Orders names with letter case aside.
int CompareFolded(std::string_view a, std::string_view b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        char x = AsciiLower(a[i]), y = AsciiLower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

void AddLocalNames(ProcedureSpellings& procedure, const std::vector<Declaration>& declarations, const NameRules& rules)
{
    std::vector<std::string>& names = procedure.names;
    for (const Declaration& declaration : declarations) {
        if (!TakesPart(declaration.spelling, rules)) continue;
        auto at = std::lower_bound(names.begin(), names.end(), declaration.spelling,
                                   [](const std::string& a, std::string_view b) { return CompareFolded(a, b) < 0; });
        if (at == names.end() || CompareFolded(*at, declaration.spelling) != 0)
            names.insert(at, std::string(declaration.spelling));
    }
}

const std::string* FindSpelling(const ProcedureSpellings& procedure, std::string_view word)
{
    const std::vector<std::string>& names = procedure.names;
    auto at = std::lower_bound(names.begin(), names.end(), word,
                               [](const std::string& a, std::string_view b) { return CompareFolded(a, b) < 0; });
    return at != names.end() && CompareFolded(*at, word) == 0 ? &*at : nullptr;
}

void AddSpelling(NameSpellings& names, std::string_view spelling)
{
    if (names.byLowerName.try_emplace(LowerCopy(spelling), spelling).second) names.mayHold.set(FilterBit(spelling));
}

const std::string* FindSpelling(const NameSpellings& names, std::string_view word)
{
    if (word.empty() || !names.mayHold.test(FilterBit(word))) return nullptr;
    auto found = names.byLowerName.find(LowerCopy(word));
    return found == names.byLowerName.end() ? nullptr : &found->second;
}

void AddUnitDeclarations(UnitSpellings& unit, const FileDeclarations& declarations, const NameRules& rules)
{
    AddDeclaredNames(*unit.module, declarations.moduleNames, rules);
    AddDeclaredNames(*unit.members, declarations.memberNames, rules);
}

FileSpellings BindFile(const FileDeclarations& declarations, const UnitSpellings& unit, const NameRules& rules)
{
    FileSpellings file{unit.module, unit.members, {}, {}};
    auto addSites = [&](const std::vector<Declaration>& list) {
        for (const Declaration& declaration : list)
            if (TakesPart(declaration.spelling, rules)) file.declarationSites.push_back(declaration.offset);
    };
    addSites(declarations.moduleNames);
    addSites(declarations.memberNames);
    for (const ProcedureDeclarations& procedure : declarations.procedures) {
        ProcedureSpellings local{procedure.begin, procedure.end, {}};
        AddLocalNames(local, procedure.names, rules);
        addSites(procedure.names);
        file.procedures.push_back(std::move(local));
    }
    std::sort(file.declarationSites.begin(), file.declarationSites.end());
    std::sort(file.procedures.begin(), file.procedures.end(),
              [](const ProcedureSpellings& a, const ProcedureSpellings& b) { return a.begin < b.begin; });
    return file;
}

void ApplyDeclaredSpellings(char* converted, std::string_view original, const std::vector<LineSpan>& code, size_t base,
                            const FileSpellings& spellings, SpellingCursor& cursor)
{
    for (const LineSpan& span : code) {
        size_t end = span.start + span.length;
        for (size_t i = span.start; i < end;) {
            if (!IsWordByte(original[i])) {
                ++i;
                continue;
            }
            size_t wordEnd = i;
            while (wordEnd < end && IsWordByte(original[wordEnd])) ++wordEnd;
            // A number is no name.
            if (original[i] >= '0' && original[i] <= '9') {
                i = wordEnd;
                continue;
            }
            size_t fileOffset = base + i;
            while (cursor.procedure < spellings.procedures.size() && spellings.procedures[cursor.procedure].end <= fileOffset)
                ++cursor.procedure;
            const ProcedureSpellings* procedure =
                cursor.procedure < spellings.procedures.size() && spellings.procedures[cursor.procedure].begin <= fileOffset
                    ? &spellings.procedures[cursor.procedure]
                    : nullptr;
            // The parts of a dotted word: a name, then members; a word right
            // after "->" is a member too.
            bool member = i >= 2 && original[i - 1] == '>' && original[i - 2] == '-';
            for (size_t part = i; part < wordEnd;) {
                size_t partEnd = part;
                while (partEnd < wordEnd && original[partEnd] != '.') ++partEnd;
                std::string_view word = original.substr(part, partEnd - part);
                size_t at = base + part;
                while (cursor.site < spellings.declarationSites.size() && spellings.declarationSites[cursor.site] < at)
                    ++cursor.site;
                if (cursor.site < spellings.declarationSites.size() && spellings.declarationSites[cursor.site] == at) {
                    // A declaration stays as it is written, whatever the vocabulary says.
                    std::memcpy(converted + part, word.data(), word.size());
                } else {
                    const std::string* spelling = nullptr;
                    if (member) {
                        spelling = FindSpelling(*spellings.members, word);
                    } else {
                        if (procedure != nullptr) spelling = FindSpelling(*procedure, word);
                        if (spelling == nullptr) spelling = FindSpelling(*spellings.module, word);
                    }
                    if (spelling != nullptr) std::memcpy(converted + part, spelling->data(), spelling->size());
                }
                member = true;
                part = partEnd + 1;
            }
            i = wordEnd;
        }
    }
}

}  // namespace recasor
