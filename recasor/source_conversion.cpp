#include "source_conversion.h"

#include "keyword_case.h"
#include "line_splitter.h"
#include "source_model_scan.h"

namespace recasor {

namespace {

// The engine classifies text 64 bytes at a time: with this many bytes after
// the text it reads the last block whole too.
constexpr size_t kSpareBytes = 64;

}  // namespace

std::string ConvertSource(std::string_view text, const ConversionRules& rules)
{
    SourceState state;
    return ConvertLines(text, SplitLines(text), rules, state);
}

std::string ConvertLines(std::string_view text, const std::vector<LineSpan>& lines, const ConversionRules& rules,
                         SourceState& state)
{
    // The engine converts the code regions only, in place in the copy.
    std::vector<LineSpan> code, fixedWords;
    code.reserve(lines.size() + lines.size() / 2);
    for (const LineSpan& line : lines) {
        source_scan::ScanLine(text.substr(line.start, line.length), rules.source, state,
                              [&](size_t start, size_t length, RegionKind kind) {
                                  if (kind == RegionKind::Code) code.push_back({line.start + start, length});
                                  if (kind == RegionKind::FixedWord) fixedWords.push_back({line.start + start, length});
                              });
    }
    std::string work;
    work.reserve(text.size() + kSpareBytes);
    work.append(text);
    work.append(kSpareBytes, ' ');
    ApplyKeywordCase(work.data(), work.size(), code.data(), code.size(), rules.set);
    for (const LineSpan& word : fixedWords)
        for (size_t i = word.start; i < word.start + word.length; ++i)
            work[i] = rules.keywordCase == CaseMode::Upper ? AsciiUpper(work[i]) : AsciiLower(work[i]);
    work.resize(text.size());
    return work;
}

}  // namespace recasor
