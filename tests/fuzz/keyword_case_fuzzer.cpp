// Fuzzes the vocabulary parser and the line conversion together and checks
// what must hold for every input:
// - the lists are well formed (equal lengths, search = lower-case display,
//   no separators left, no space runs but at the ends);
// - a converted line has the same length and differs only in ASCII letter case;
// - nothing inside a closed string literal, after a comment apostrophe or
//   among DATA items changes;
// - the lookup table converts exactly as the plain substring search would;
// - a set built straight from the vocabulary text converts exactly as one
//   built from the parsed lists;
// - converting the LF-separated pieces of the input as one block of lines
//   (given as spans, or found by trx's LF rule when there is no CR) gives
//   the same as converting each piece alone.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

#include "ascii.h"
#include "keyword_case.h"
#include "support/keyword_oracles.h"
#include "vocabulary.h"
#include "word_chars.h"

using namespace recasor;

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

void CheckList(const WordList& list)
{
    Check(list.display.size() == list.search.size());
    for (size_t i = 0; i < list.display.size(); ++i) {
        char c = list.display[i];
        Check(list.search[i] == AsciiLower(c));
        Check(c != '\r' && c != '\n' && c != ',' && c != ';');
    }
    // A body of separators alone is one space between the two added ones.
    Check(list.display.find("   ") == std::string::npos || list.display == "   ");
}

// Positions that no conversion may touch, worked out from the line itself.
std::vector<bool> ProtectedPositions(const std::string& line)
{
    std::vector<bool> locked(line.size(), false);
    size_t lead = DataStatementStart(line);
    if (lead != std::string::npos) {
        for (size_t i = lead + 4; i < line.size(); ++i) locked[i] = true;
        return locked;
    }
    bool inString = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            inString = !inString;
            continue;
        }
        bool lastOfUnclosed = inString && line.find('"', i) == std::string::npos && i + 1 == line.size();
        if (inString && !lastOfUnclosed) {
            locked[i] = true;
        } else if (line[i] == '\'') {
            for (size_t k = i; k < line.size(); ++k) locked[k] = true;
            break;
        }
    }
    return locked;
}

// The vocabulary with the short tags of the fuzz input made FreeBasic's
// real section tags, so that the text reader sees sections as often.
std::string WithRealTags(std::string text)
{
    static const std::pair<const char*, const char*> kTags[] = {
        {"<K>", "<FreeBasicKeywords>"}, {"</K>", "</FreeBasicKeywords>"}, {"<A>", "<ApiKeywords>"},
        {"</A>", "</ApiKeywords>"},     {"<C>", "<FreeBasicConstants>"}, {"</C>", "</FreeBasicConstants>"}};
    for (const auto& [shortTag, realTag] : kTags)
        for (size_t at = text.find(shortTag); at != std::string::npos; at = text.find(shortTag, at + std::strlen(realTag)))
            text.replace(at, std::strlen(shortTag), realTag);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    std::string vocabulary = provider.ConsumeRandomLengthString(256);
    CaseMode mode = provider.PickValueInArray({CaseMode::Mixed, CaseMode::Lower, CaseMode::Upper});
    std::string line = provider.ConsumeRemainingBytesAsString();

    WordList keywords = BuildWordList(vocabulary, "<K>");
    CheckList(keywords);
    ApplyCaseMode(keywords, mode);
    WordList api = BuildWordList(vocabulary, "<A>");
    WordList constants = BuildWordList(vocabulary, "<C>");
    CheckList(api);
    CheckList(constants);
    for (const WordList& section : ParseVocabulary(vocabulary).sections) CheckList(section);
    SearchLists lists{keywords, api, constants};
    KeywordSet set = MakeKeywordSet(lists);

    std::string converted = line;
    ApplyKeywordCase(converted, set);
    Check(converted.size() == line.size());
    std::vector<bool> locked = ProtectedPositions(line);
    for (size_t i = 0; i < line.size(); ++i) {
        Check(AsciiLower(converted[i]) == AsciiLower(line[i]));
        if (locked[i]) Check(converted[i] == line[i]);
    }
    Check(converted == ConvertBySearch(line, lists));

    std::string realText = WithRealTags(vocabulary);
    SectionChoice freeBasic = DialectSections(Dialect::FreeBasic);
    std::string viaLists = line;
    std::string viaText = line;
    ApplyKeywordCase(viaLists, BuildKeywordSet(ParseVocabulary(realText), freeBasic, mode));
    ApplyKeywordCase(viaText, BuildKeywordSetFromText(realText, freeBasic, mode));
    Check(viaText == viaLists);

    std::vector<LineSpan> spans;
    std::string oneByOne = line;
    for (size_t start = 0; start <= line.size();) {
        size_t end = line.find('\n', start);
        if (end == std::string::npos) end = line.size();
        spans.push_back({start, end - start});
        std::string piece = line.substr(start, end - start);
        oneByOne.replace(start, piece.size(), ApplyKeywordCase(piece, set));
        start = end + 1;
    }
    std::string block = line;
    ApplyKeywordCase(block.data(), block.size(), spans.data(), spans.size(), set);
    Check(block == oneByOne);
    if (line.find('\r') == std::string::npos) {
        // Without CRs, the lines that trx's LF rule finds are the same pieces.
        std::string lfText = line;
        LineMarks marks;
        MarkLineFeedLines(lfText.data(), lfText.size(), lfText.size(), marks);
        ApplyKeywordCase(lfText.data(), lfText.size(), marks, set);
        Check(lfText == oneByOne);
    }
    return 0;
}
