#include "syntax_words.h"

#include <algorithm>
#include <array>

#include "ascii.h"

namespace recasor {

namespace {

enum DialectMask : uint8_t { kFreeBasic = 1, kPowerBasic = 2, kBoth = 3 };

struct Entry {
    std::string_view word;  // lower case
    SyntaxWord keyword;
    uint8_t dialects;
};

using enum SyntaxWord;

// In alphabetical order, for the reader.
constexpr std::array kEntries = std::to_array<Entry>({
    {"abstract", Abstract, kFreeBasic},  {"alias", Alias, kBoth},
    {"as", As, kBoth},                   {"asm", Asm, kFreeBasic},
    {"beep", Standalone, kBoth},          {"byref", ByRef, kBoth},
    {"byval", ByVal, kBoth},             {"callback", Callback, kPowerBasic},
    {"class", Class, kBoth},             {"cls", Standalone, kBoth},
    {"common", Common, kFreeBasic},      {"const", Const, kFreeBasic},
    {"constructor", Constructor, kFreeBasic}, {"data", Standalone, kBoth},
    {"declare", Declare, kBoth},
    {"define", Define, kFreeBasic},      {"destructor", Destructor, kFreeBasic},
    {"dim", Dim, kBoth},                 {"do", Standalone, kBoth},
    {"else", Standalone, kBoth},          {"end", End, kBoth},
    {"endif", Standalone, kBoth},         {"endmacro", EndMacro, kFreeBasic},
    {"enum", Enum, kBoth},               {"extern", Extern, kFreeBasic},
    {"fastproc", FastProc, kPowerBasic}, {"flip", Standalone, kFreeBasic},
    {"for", For, kBoth},                 {"function", Function, kBoth},
    {"get", Get, kPowerBasic},           {"global", Global, kPowerBasic},
    {"import", Import, kFreeBasic},      {"include", Include, kBoth},
    {"instance", Instance, kPowerBasic}, {"interface", Interface, kPowerBasic},
    {"iterate", Standalone, kPowerBasic}, {"local", Local, kPowerBasic},
    {"loop", Standalone, kBoth},          {"macro", Macro, kBoth},
    {"method", Method, kPowerBasic},     {"namespace", Namespace, kFreeBasic},
    {"next", Standalone, kBoth},          {"once", Once, kBoth},
    {"operator", Operator, kFreeBasic},  {"opt", Opt, kPowerBasic},
    {"optional", Optional, kBoth},       {"override", Override, kBoth},
    {"pointer", Pointer, kFreeBasic},    {"preserve", Preserve, kBoth},
    {"print", Standalone, kBoth},         {"private", Private, kBoth},
    {"property", Property, kBoth},       {"protected", Protected, kFreeBasic},
    {"ptr", Ptr, kBoth},                 {"public", Public, kBoth},
    {"randomize", Standalone, kBoth},     {"redim", ReDim, kBoth},
    {"register", Register, kPowerBasic}, {"restore", Standalone, kBoth},
    {"resume", Standalone, kBoth},        {"return", Standalone, kBoth},
    {"screensync", Standalone, kFreeBasic}, {"set", Set, kPowerBasic},
    {"shared", Shared, kFreeBasic},      {"sleep", Standalone, kBoth},
    {"static", Static, kBoth},           {"stop", Standalone, kBoth},
    {"sub", Sub, kBoth},                 {"system", Standalone, kFreeBasic},
    {"then", Standalone, kBoth},          {"thread", Thread, kPowerBasic},
    {"threaded", Threaded, kPowerBasic}, {"type", Type, kBoth},
    {"union", Union, kBoth},             {"var", Var, kFreeBasic},
    {"virtual", Virtual, kFreeBasic},    {"wend", Standalone, kBoth},
});

constexpr size_t kLongestWord = std::ranges::max(kEntries, {}, [](const Entry& e) { return e.word.size(); }).word.size();

// FNV-1a over the lower-case bytes.
constexpr uint32_t Mix(uint32_t hash, char c) { return (hash ^ static_cast<uint8_t>(c)) * 16777619u; }
constexpr uint32_t kHashStart = 2166136261u;

// An open-addressing table of the entries: 1 + their index, 0 where free.
constexpr size_t kSlots = 256;
constexpr std::array<uint8_t, kSlots> kTable = [] {
    static_assert(kEntries.size() < kSlots / 2);
    std::array<uint8_t, kSlots> table{};
    for (size_t i = 0; i < kEntries.size(); ++i) {
        uint32_t hash = kHashStart;
        for (char c : kEntries[i].word) hash = Mix(hash, c);
        size_t slot = hash % kSlots;
        while (table[slot] != 0) slot = (slot + 1) % kSlots;
        table[slot] = static_cast<uint8_t>(i + 1);
    }
    return table;
}();

}  // namespace

SyntaxWord SyntaxWordOf(std::string_view word, Dialect dialect)
{
    if (word.size() > kLongestWord) return None;
    std::array<char, kLongestWord> buffer;
    uint32_t hash = kHashStart;
    for (size_t i = 0; i < word.size(); ++i) hash = Mix(hash, buffer[i] = AsciiLower(word[i]));
    std::string_view lower(buffer.data(), word.size());
    uint8_t mask = dialect == Dialect::FreeBasic ? kFreeBasic : kPowerBasic;
    for (size_t slot = hash % kSlots; kTable[slot] != 0; slot = (slot + 1) % kSlots) {
        const Entry& entry = kEntries[kTable[slot] - 1];
        if (entry.word == lower) return (entry.dialects & mask) ? entry.keyword : None;
    }
    return None;
}

}  // namespace recasor
