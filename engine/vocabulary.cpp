#include "vocabulary.h"

#include <cstdio>

#include "ascii.h"
#include "messages.h"

namespace {

const char* kFreeBasicKeywordsTag = "<FreeBasicKeywords>";
const char* kPowerBasicKeywordsTag = "<PowerBasicKeywords>";
const char* kApiKeywordsTag = "<ApiKeywords>";
const char* kFreeBasicConstantsTag = "<FreeBasicConstants>";
const char* kPowerBasicConstantsTag = "<PowerBasicConstants>";

bool IsListSeparator(char c) { return c == '\r' || c == '\n' || c == ',' || c == ';'; }

}  // namespace

std::string GetXmlSection(std::string_view text, std::string_view startTag, int occurrence)
{
    std::string endTag = "</";
    if (!startTag.empty()) endTag.append(startTag.substr(1));

    if (occurrence < 1) occurrence = 1;
    size_t start = std::string_view::npos;
    size_t from = 0;
    for (int i = 0; i < occurrence && !startTag.empty(); ++i) {
        start = text.find(startTag, from);
        if (start == std::string_view::npos) break;
        from = start + 1;
    }
    if (start == std::string_view::npos) {
        ReportMessage("XML start-tag not found:  " + std::string(startTag));
        return "0";
    }
    size_t end = text.find(endTag, start);
    if (end == std::string_view::npos) {
        ReportMessage("XML end-tag not found:  " + endTag);
        return "0";
    }
    size_t bodyStart = start + startTag.size();
    if (end <= bodyStart) return std::string();
    return std::string(text.substr(bodyStart, end - bodyStart));
}

std::string NormalizeWordList(std::string body)
{
    size_t kept = 0;
    for (char c : body) {
        if (IsListSeparator(c)) c = ' ';
        if (c == ' ' && kept > 0 && body[kept - 1] == ' ') continue;
        body[kept++] = c;
    }
    body.resize(kept);
    return body;
}

WordList BuildWordList(std::string_view vocabularyText, std::string_view startTag)
{
    WordList list;
    std::string words = NormalizeWordList(GetXmlSection(vocabularyText, startTag, 1));
    list.display.reserve(words.size() + 2);
    list.display.append(1, ' ').append(words).append(1, ' ');
    list.search = list.display;
    LowerInPlace(list.search);
    return list;
}

KeywordSet MakeKeywordSet(WordList keywords, WordList api, WordList constants)
{
    KeywordSet set;
    set.keywords = std::move(keywords);
    set.api = std::move(api);
    set.constants = std::move(constants);
    set.index = BuildWordIndex({{&set.keywords.search, &set.keywords.display},
                                {&set.api.search, &set.api.display},
                                {&set.constants.search, &set.constants.display}});
    return set;
}

Dialect DialectFromOptions(std::string_view optionsText)
{
    return optionsText.find("-p") != std::string_view::npos ? Dialect::PowerBasic : Dialect::FreeBasic;
}

CaseMode CaseModeFromOptions(std::string_view optionsText)
{
    // Upper case is applied first and lower case after it, so -l wins.
    if (optionsText.find("-l") != std::string_view::npos) return CaseMode::Lower;
    if (optionsText.find("-u") != std::string_view::npos) return CaseMode::Upper;
    return CaseMode::Mixed;
}

void ApplyCaseMode(WordList& list, CaseMode mode)
{
    if (mode == CaseMode::Upper) UpperInPlace(list.display);
    if (mode == CaseMode::Lower) LowerInPlace(list.display);
}

std::string ReadVocabularyFile(const char* fileName)
{
    // Read to the end rather than trusting a size from seeking: a folder
    // opened as a stream reports an absurd size and then fails to read.
    std::string text;
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) return text;
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    std::fclose(file);
    return text;
}

KeywordSet LoadKeywords(std::string_view optionsText, FileExistsRoutine fileExists)
{
    if (!fileExists(kKeywordsFileName)) {
        ReportMessage(std::string("File not found: \"") + kKeywordsFileName + "\"");
        return KeywordSet{};
    }
    std::string text = ReadVocabularyFile(kKeywordsFileName);
    bool powerBasic = DialectFromOptions(optionsText) == Dialect::PowerBasic;

    WordList keywords = BuildWordList(text, powerBasic ? kPowerBasicKeywordsTag : kFreeBasicKeywordsTag);
    ApplyCaseMode(keywords, CaseModeFromOptions(optionsText));
    WordList api = BuildWordList(text, kApiKeywordsTag);
    WordList constants = BuildWordList(text, powerBasic ? kPowerBasicConstantsTag : kFreeBasicConstantsTag);
    return MakeKeywordSet(std::move(keywords), std::move(api), std::move(constants));
}

EditorVocabulary LoadKeywords()
{
    std::string text = ReadVocabularyFile(kKeywordsFileName);
    WordList freeBasicKeywords = BuildWordList(text, kFreeBasicKeywordsTag);
    EditorVocabulary vocabulary;
    vocabulary.powerBasicKeywords = BuildWordList(text, kPowerBasicKeywordsTag);
    WordList api = BuildWordList(text, kApiKeywordsTag);
    WordList freeBasicConstants = BuildWordList(text, kFreeBasicConstantsTag);
    vocabulary.powerBasicConstants = BuildWordList(text, kPowerBasicConstantsTag);
    vocabulary.conversion = MakeKeywordSet(std::move(freeBasicKeywords), std::move(api), std::move(freeBasicConstants));
    return vocabulary;
}
