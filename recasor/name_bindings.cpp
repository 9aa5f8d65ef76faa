#include "name_bindings.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "ascii.h"
#include "reserved_words.h"
#include "word_chars.h"

namespace recasor {

namespace {


// Word characters in either case, and separately the dot, by one lookup.
constexpr std::array<uint8_t, 256> MakeWordBytes()
{
    std::array<uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        int lower = c >= 'A' && c <= 'Z' ? c + 32 : c;
        if (kWordChars[static_cast<size_t>(lower)]) table[static_cast<size_t>(c)] = c == '.' ? 2 : 1;
    }
    return table;
}
constexpr std::array<uint8_t, 256> kWordBytes = MakeWordBytes();
inline uint8_t WordByteOf(char c) { return kWordBytes[static_cast<unsigned char>(c)]; }

inline size_t FilterBit(uint32_t hash) { return (hash ^ (hash >> 16)) & 0xFFFF; }

std::string LowerCopy(std::string_view word)
{
    std::string lower(word);
    LowerInPlace(lower);
    return lower;
}

}  // namespace

uint32_t FoldedHash(std::string_view word)
{
    // Its length and its first two and last bytes: no loop over the word.
    if (word.empty()) return 0;
    uint32_t first = static_cast<unsigned char>(word[0] | 0x20);
    uint32_t second = word.size() > 1 ? static_cast<unsigned char>(word[1] | 0x20) : 0;
    uint32_t last = static_cast<unsigned char>(word.back() | 0x20);
    return (static_cast<uint32_t>(word.size()) * 0x9E3779B1u) ^ (first * 0x85EBCA77u) ^ (second * 0xC2B2AE3Du) ^
           (last * 0x27D4EB2Fu);
}

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
        if (at == names.end() || CompareFolded(*at, declaration.spelling) != 0) {
            names.insert(at, std::string(declaration.spelling));
            procedure.mayHold |= uint64_t{1} << (FoldedHash(declaration.spelling) % 64);
        }
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
    if (names.byLowerName.try_emplace(LowerCopy(spelling), spelling).second)
        names.mayHold.set(FilterBit(FoldedHash(spelling)));
}

const std::string* FindSpelling(const NameSpellings& names, std::string_view word)
{
    if (word.empty() || !names.mayHold.test(FilterBit(FoldedHash(word)))) return nullptr;
    auto found = names.byLowerName.find(LowerCopy(word));
    return found == names.byLowerName.end() ? nullptr : &found->second;
}

void AddUnitDeclarations(UnitSpellings& unit, const FileDeclarations& declarations, const NameRules& rules,
                         size_t from, size_t to)
{
    auto add = [&](NameSpellings& names, const std::vector<Declaration>& list) {
        for (const Declaration& declaration : list)
            if (declaration.offset >= from && declaration.offset < to && TakesPart(declaration.spelling, rules))
                AddSpelling(names, declaration.spelling);
    };
    add(*unit.module, declarations.moduleNames);
    add(*unit.members, declarations.memberNames);
    add(*unit.types, declarations.typeNames);
}

FileSpellings BindFile(const FileDeclarations& declarations, const UnitSpellings& unit, const NameRules& rules)
{
    FileSpellings file{unit.module, unit.members, unit.types, {}, {}};
    auto addSites = [&](const std::vector<Declaration>& list) {
        for (const Declaration& declaration : list)
            if (TakesPart(declaration.spelling, rules)) file.declarationSites.push_back(declaration.offset);
    };
    addSites(declarations.moduleNames);
    addSites(declarations.memberNames);
    addSites(declarations.unboundNames);
    for (const ProcedureDeclarations& procedure : declarations.procedures) {
        ProcedureSpellings local{procedure.begin, procedure.end, {}, 0, procedure.method};
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
    const std::vector<ProcedureSpellings>& procedures = spellings.procedures;
    const std::vector<size_t>& sites = spellings.declarationSites;
    for (const LineSpan& span : code) {
        const size_t end = span.start + span.length;
        size_t i = span.start;
        bool typePlace = false;  // after `As` (and `As Const`): a type's name goes there
        while (i < end) {
            if (WordByteOf(original[i]) == 0) {
                ++i;
                continue;
            }
            if (original[i] >= '0' && original[i] <= '9') {  // a number is no name
                while (i < end && WordByteOf(original[i]) != 0) ++i;
                continue;
            }
            // A word's parts: a name, then members after each dot; right
            // after "->" the first part is a member too. An @ before a name
            // takes its address and is no part of it.
            bool member = i >= 2 && original[i - 1] == '>' && original[i - 2] == '-';
            if (original[i] == '@') ++i;
            while (i < end && WordByteOf(original[i]) != 0) {
                size_t part = i;
                while (i < end && WordByteOf(original[i]) == 1) ++i;
                std::string_view word = original.substr(part, i - part);
                uint32_t hash = FoldedHash(word);
                size_t at = base + part;
                while (cursor.procedure < procedures.size() && procedures[cursor.procedure].end <= at) ++cursor.procedure;
                const ProcedureSpellings* procedure =
                    cursor.procedure < procedures.size() && procedures[cursor.procedure].begin <= at
                        ? &procedures[cursor.procedure]
                        : nullptr;
                while (cursor.site < sites.size() && sites[cursor.site] < at) ++cursor.site;
                if (cursor.site < sites.size() && sites[cursor.site] == at) {
                    // A declaration stays as it is written, whatever the vocabulary says.
                    std::memcpy(converted + part, word.data(), word.size());
                } else if (!word.empty()) {
                    const std::string* spelling = nullptr;
                    if (typePlace && !member) {
                        spelling = FindSpelling(*spellings.types, word);
                    } else {
                        if (!member && procedure != nullptr && (procedure->mayHold >> (hash % 64) & 1))
                            spelling = FindSpelling(*procedure, word);
                        // In a type's own procedure its members need no `This.`.
                        bool members = member || (procedure != nullptr && procedure->method);
                        if (spelling == nullptr && members && spellings.members->mayHold.test(FilterBit(hash)))
                            spelling = FindSpelling(*spellings.members, word);
                        if (spelling == nullptr && !member && spellings.module->mayHold.test(FilterBit(hash)))
                            spelling = FindSpelling(*spellings.module, word);
                    }
                    if (spelling != nullptr) std::memcpy(converted + part, spelling->data(), spelling->size());
                }
                bool as = word.size() == 2 && (word[0] | 0x20) == 'a' && (word[1] | 0x20) == 's';
                bool constant = CompareFolded(word, "const") == 0;
                typePlace = as || (typePlace && constant);
                member = true;
                if (i < end && original[i] == '.') ++i;
            }
        }
    }
}

}  // namespace recasor
