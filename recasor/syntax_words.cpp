#include "syntax_words.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

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
static_assert(kLongestWord <= 16);

// A word of 2 to 16 bytes as two numbers, its bytes in order from the low
// one, each ORed with 0x20: that lowers the letters, and makes no other byte
// a lower-case letter, so the keys of two words match exactly when the
// words match letter case aside (every entry being letters only).
struct Key {
    uint64_t low = 0;
    uint64_t high = 0;
    bool operator==(const Key&) const = default;
};

constexpr uint64_t kCaseBits = 0x2020202020202020ull;
constexpr uint64_t Bytes(size_t count) { return count >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * count)) - 1; }

constexpr Key KeyOfEntry(std::string_view word)
{
    Key key;
    for (size_t i = 0; i < word.size(); ++i) (i < 8 ? key.low : key.high) |= uint64_t{static_cast<uint8_t>(word[i])} << (8 * (i % 8));
    return key;
}

template <typename Number>
Number Load(const char* at)
{
    Number value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The key of `word` (2 to 16 bytes), read in two loads that may overlap
// and never past its end.
Key KeyOf(std::string_view word)
{
    const char* at = word.data();
    size_t size = word.size();
    Key key;
    if (size >= 8) {
        key.low = Load<uint64_t>(at);
        if (size > 8) key.high = Load<uint64_t>(at + size - 8) >> (8 * (16 - size));
    } else if (size >= 4) {
        key.low = Load<uint32_t>(at) | uint64_t{Load<uint32_t>(at + size - 4)} << (8 * (size - 4));
    } else {
        key.low = Load<uint16_t>(at) | uint64_t{Load<uint16_t>(at + size - 2)} << (8 * (size - 2));
    }
    key.low |= kCaseBits & Bytes(size);
    key.high |= size > 8 ? kCaseBits & Bytes(size - 8) : 0;
    return key;
}

constexpr size_t Slot(const Key& key, size_t slots)
{
    return static_cast<size_t>(((key.low ^ (key.high * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull) >> 56) % slots;
}

// An open-addressing table of the entries: 1 + their index, 0 where free.
constexpr size_t kSlots = 256;
constexpr std::array<uint8_t, kSlots> kTable = [] {
    static_assert(kEntries.size() < kSlots / 2);
    std::array<uint8_t, kSlots> table{};
    for (size_t i = 0; i < kEntries.size(); ++i) {
        if (kEntries[i].word.size() < 2) throw "an entry shorter than a key";
        for (char c : kEntries[i].word)
            if (c < 'a' || c > 'z') throw "an entry of other bytes than lower-case letters";
        size_t slot = Slot(KeyOfEntry(kEntries[i].word), kSlots);
        while (table[slot] != 0) slot = (slot + 1) % kSlots;
        table[slot] = static_cast<uint8_t>(i + 1);
    }
    return table;
}();

constexpr std::array<Key, kEntries.size()> kKeys = [] {
    std::array<Key, kEntries.size()> keys{};
    for (size_t i = 0; i < kEntries.size(); ++i) keys[i] = KeyOfEntry(kEntries[i].word);
    return keys;
}();

// For each length, the first letters of the entries of that length (bit 0
// for a), and for each first letter the second letters: most words are
// turned away by these before their key is made.
struct Letters {
    std::array<uint32_t, kLongestWord + 1> first{};
    std::array<std::array<uint32_t, 26>, kLongestWord + 1> second{};
};
constexpr Letters kLetters = [] {
    Letters letters;
    for (const Entry& entry : kEntries) {
        size_t size = entry.word.size();
        letters.first[size] |= uint32_t{1} << (entry.word[0] - 'a');
        letters.second[size][entry.word[0] - 'a'] |= uint32_t{1} << (entry.word[1] - 'a');
    }
    return letters;
}();

}  // namespace

std::string_view SpellingOf(SyntaxWord keyword)
{
    if (keyword == None || keyword == Standalone) return {};
    for (const Entry& entry : kEntries)
        if (entry.keyword == keyword) return entry.word;
    return {};
}

SyntaxWord SyntaxWordOf(std::string_view word, Dialect dialect)
{
    if (word.size() < 2 || word.size() > kLongestWord) return None;
    unsigned first = static_cast<unsigned char>(word[0] | 0x20) - 'a';
    unsigned second = static_cast<unsigned char>(word[1] | 0x20) - 'a';
    if (first >= 26 || second >= 26 || (kLetters.first[word.size()] >> first & 1) == 0 ||
        (kLetters.second[word.size()][first] >> second & 1) == 0)
        return None;
    Key key = KeyOf(word);
    uint8_t mask = dialect == Dialect::FreeBasic ? kFreeBasic : kPowerBasic;
    for (size_t slot = Slot(key, kSlots); kTable[slot] != 0; slot = (slot + 1) % kSlots) {
        size_t index = kTable[slot] - 1u;
        if (kKeys[index] == key) return (kEntries[index].dialects & mask) ? kEntries[index].keyword : None;
    }
    return None;
}

}  // namespace recasor
