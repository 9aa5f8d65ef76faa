#include "keyword_case.h"

#include <array>
#include <cstring>

#include "ascii.h"
#include "vocabulary.h"

namespace {

constexpr std::array<bool, 256> MakeWordCharTable()
{
    std::array<bool, 256> table{};
    for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
    for (int c = '0'; c <= '9'; ++c) table[c] = true;
    for (char c : std::string_view("_%&$.!?@")) table[static_cast<unsigned char>(c)] = true;
    return table;
}

constexpr std::array<bool, 256> kWordChars = MakeWordCharTable();

bool StartsDataStatement(const char* text, size_t length, size_t& dataStart)
{
    size_t i = 0;
    while (i < length && text[i] == ' ') ++i;
    if (length - i < 5) return false;
    static const char kData[] = "DATA ";
    for (size_t k = 0; k < 5; ++k)
        if (AsciiUpper(text[i + k]) != kData[k]) return false;
    dataStart = i;
    return true;
}

void BlankLiteralsInPlace(char* text, size_t length)
{
    size_t dataStart = 0;
    if (StartsDataStatement(text, length, dataStart)) {
        // Everything after the word DATA is an item; what remains are spaces
        // and the word itself, so there is no string left to look for.
        std::memset(text + dataStart + 4, ' ', length - dataStart - 4);
        return;
    }
    size_t from = 0;
    while (from < length) {
        auto* open = static_cast<char*>(std::memchr(text + from, '"', length - from));
        if (open == nullptr) return;
        size_t openAt = static_cast<size_t>(open - text);
        auto* close = static_cast<char*>(std::memchr(open + 1, '"', length - openAt - 1));
        // An unclosed string runs to the last character, which itself stays.
        size_t closeAt = close != nullptr ? static_cast<size_t>(close - text) : length - 1;
        if (closeAt > openAt + 1) std::memset(text + openAt + 1, ' ', closeAt - openAt - 1);
        from = closeAt + 1;
    }
}

const std::string& DisplayOfList(const KeywordSet& set, uint32_t listNumber)
{
    if (listNumber == 0) return set.keywords.display;
    if (listNumber == 1) return set.api.display;
    return set.constants.display;
}

}  // namespace

bool IsWordChar(char c) { return kWordChars[static_cast<unsigned char>(c)]; }

std::string BlankLiterals(std::string_view text)
{
    std::string copy(text);
    BlankLiteralsInPlace(copy.data(), copy.size());
    return copy;
}

const char* FindKeywordSpelling(const KeywordSet& set, const char* word, size_t length)
{
    WordIndexHit hit;
    if (!FindInWordIndex(set.index, word, length, hit)) return nullptr;
    return DisplayOfList(set, hit.listNumber).data() + hit.entryOffset;
}

const char* SearchKeywordSpelling(const KeywordSet& set, std::string_view word)
{
    std::string key = " ";
    key.append(word);
    key += ' ';
    for (const WordList* list : {&set.keywords, &set.api, &set.constants}) {
        size_t at = list->search.find(key);
        if (at != std::string::npos) return list->display.data() + at + 1;
    }
    return nullptr;
}

void ApplyKeywordCase(char* line, size_t length, const KeywordSet& set)
{
    // The working copy is where words are found: literals blanked, the
    // comment cut off, letters lowered. Kept between calls only to save
    // allocations; no line depends on the one before.
    thread_local std::string working;
    working.assign(line, length);
    char* work = working.data();
    BlankLiteralsInPlace(work, length);
    if (auto* apostrophe = static_cast<char*>(std::memchr(work, '\'', length))) length = static_cast<size_t>(apostrophe - work);
    for (size_t i = 0; i < length; ++i) work[i] = AsciiLower(work[i]);

    size_t i = 0;
    while (i < length) {
        if (!kWordChars[static_cast<unsigned char>(work[i])]) {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < length && kWordChars[static_cast<unsigned char>(work[i])]) ++i;
        if (const char* spelling = FindKeywordSpelling(set, work + start, i - start))
            std::memcpy(line + start, spelling, i - start);
    }
}

std::string& ApplyKeywordCase(std::string& line, const KeywordSet& set)
{
    ApplyKeywordCase(line.data(), line.size(), set);
    return line;
}
