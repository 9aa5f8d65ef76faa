// Fuzzes recasor's conversion of whole texts (the source model, the code
// marked 64 bytes at a time, the engine, declared names) and checks what
// must hold for every input:
// - the converted text has the same length and differs only in ASCII letter case;
// - no byte of a string literal, a comment or a DATA item changes, escaped
//   strings and block comments included (the regions MarkLine finds);
// - the blocks' marking converts exactly the code regions that the model
//   finds line by line;
// - a second conversion changes nothing;
// - cut at any line end, with the state handed on, the pieces convert as the whole.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ascii.h"
#include "declarations.h"
#include "include_units.h"
#include "keyword_case.h"
#include "line_splitter.h"
#include "project_vocabulary.h"
#include "source_conversion.h"

using namespace recasor;

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

const char* const kVocabulary =
    "<FreeBasicKeywords>Dim As Print Rem Data Loop If Then Option Escape Once Include Name Event</FreeBasicKeywords>"
    "<PowerBasicKeywords>DIM PRINT REM DATA COUNT</PowerBasicKeywords><ApiKeywords>GetMessage</ApiKeywords>"
    "<FreeBasicConstants>TRUE</FreeBasicConstants><PowerBasicConstants>%NULL</PowerBasicConstants>";

// The model's conversion, line by line: the oracle.
std::string ConvertedByLines(const std::string& text, const KeywordSet& set, const SourceRules& rules,
                             std::vector<SourceRegion>& untouchable)
{
    size_t bom = text.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
    std::string work = text + std::string(64, ' ');
    std::vector<LineSpan> code;
    SourceState state;
    std::vector<SourceRegion> regions;
    for (const LineSpan& line : SplitLines(text)) {
        MarkLine(std::string_view(text).substr(line.start, line.length), rules, state, regions);
        for (const SourceRegion& region : regions) {
            uint32_t start = static_cast<uint32_t>(line.start) + region.start;
            if (region.kind == RegionKind::Code) code.push_back({start, region.length});
            if (region.kind == RegionKind::FixedWord)
                for (size_t i = start; i < start + region.length; ++i) work[i] = AsciiLower(work[i]);
            if (region.kind != RegionKind::Code && region.kind != RegionKind::FixedWord)
                untouchable.push_back({start, region.length, region.kind});
        }
    }
    (void)bom;
    ApplyKeywordCase(work.data(), work.size(), code.data(), code.size(), set);
    work.resize(text.size());
    return work;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    Dialect dialect = data[0] & 1 ? Dialect::PowerBasic : Dialect::FreeBasic;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    static const KeywordSet sets[2] = {
        BuildProjectKeywordSet(ParseVocabulary(kVocabulary), Dialect::FreeBasic, CaseMode::Mixed, {}, {}),
        BuildProjectKeywordSet(ParseVocabulary(kVocabulary), Dialect::PowerBasic, CaseMode::Mixed, {}, {})};
    const KeywordSet& set = sets[dialect == Dialect::PowerBasic];
    SourceRules rules = DialectSourceRules(dialect);
    ConversionRules conversion{set, rules};

    std::vector<SourceRegion> untouchable;
    std::string expected = ConvertedByLines(text, set, rules, untouchable);
    std::string converted = ConvertSource(text, conversion);
    Check(converted == expected);

    // With the names the text declares.
    std::vector<UnitFile> unit{{"/a.bas", FindDeclarations(text, rules), {}}};
    std::vector<FileSpellings> names = BindIncludeUnits(unit, NameRules{dialect, {}});
    std::string named = ConvertSource(text, conversion, &names[0]);
    Check(named.size() == text.size());
    for (size_t i = 0; i < text.size(); ++i) Check(AsciiLower(named[i]) == AsciiLower(text[i]));
    for (const SourceRegion& region : untouchable)
        Check(named.compare(region.start, region.length, text, region.start, region.length) == 0);
    Check(ConvertSource(named, conversion, &names[0]) == named);

    // In two pieces, cut at a line end that is not inside a CR LF.
    size_t cut = text.find_first_of("\r\n", data[0] % (text.size() + 1));
    bool bom = text.starts_with(kUtf8ByteOrderMark);
    if (cut != std::string::npos && !bom && !(text[cut] == '\r' && cut + 1 < text.size() && text[cut + 1] == '\n')) {
        SourceState state;
        std::string pieces = ConvertLines(std::string_view(text).substr(0, cut + 1), conversion, state);
        pieces += ConvertLines(std::string_view(text).substr(cut + 1), conversion, state);
        Check(pieces == converted);
    }
    return 0;
}
