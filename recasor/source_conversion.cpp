#include "source_conversion.h"

#include <vector>

#include "keyword_case.h"
#include "line_span.h"
#include "line_splitter.h"
#include "ascii.h"
#include "code_marks.h"
#include "line_marks.h"

namespace recasor {

namespace {

// The engine classifies text 64 bytes at a time: with this many bytes after
// the text it reads the last block whole too.
constexpr size_t kSpareBytes = 64;

}  // namespace

std::string ConvertSource(std::string_view text, const ConversionRules& rules, const FileSpellings* names)
{
    size_t start = text.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
    SourceState state;
    std::string converted(text.substr(0, start));
    if (names == nullptr) return converted + ConvertLines(text.substr(start), rules, state);
    DeclaredNames declared{*names, start, {}};
    return converted + ConvertLines(text.substr(start), rules, state, &declared);
}

std::string ConvertLines(std::string_view text, const ConversionRules& rules, SourceState& state, DeclaredNames* names)
{
    std::string work;
    work.reserve(text.size() + kSpareBytes);
    work.append(text);
    work.append(kSpareBytes, ' ');
    ConvertLinesInPlace(work.data(), text.size(), work.size(), rules, state, names);
    work.resize(text.size());
    return work;
}

void ConvertLinesInPlace(char* text, size_t size, size_t readable, const ConversionRules& rules, SourceState& state,
                         DeclaredNames* names)
{
    // The engine converts the code regions only, each as a line of its own.
    LineMarks code;
    std::vector<LineSpan> fixedWords;
    MarkCode(text, size, readable, rules.source, state, code, fixedWords);
    std::string original = names != nullptr ? std::string(text, size) : std::string();
    ApplyKeywordCase(text, readable, code, rules.set);
    if (names != nullptr) {
        std::vector<LineSpan> regions;
        ForEachMarkedLine(code, [&](size_t start, size_t end) { regions.push_back({start, end - start}); });
        ApplyDeclaredSpellings(text, original, regions, names->base, names->spellings, names->cursor);
        names->base += size;
    }
    for (const LineSpan& word : fixedWords)
        for (size_t i = word.start; i < word.start + word.length; ++i)
            text[i] = rules.keywordCase == CaseMode::Upper ? AsciiUpper(text[i]) : AsciiLower(text[i]);
}

}  // namespace recasor
