// Whole-text conversion: comments stay as typed wherever they are, every
// byte but letter case stays, the project's extra and kept words, and
// agreement with the line engine wherever a line has no comment of recasor's
// own.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ascii.h"
#include "source_model.h"
#include "support/engine_agreement.h"
#include "keyword_case.h"
#include "line_splitter.h"
#include "project_vocabulary.h"
#include "source_conversion.h"
#include "stream_conversion.h"
#include "declarations.h"
#include "include_units.h"
#include "vocabulary.h"

using namespace recasor;

namespace {

const char* const kVocabularyText =
    "<FreeBasicKeywords>Dim As Integer Print Rem Data While Wend Name Sub End</FreeBasicKeywords>"
    "<PowerBasicKeywords>DIM AS LONG PRINT REM</PowerBasicKeywords>"
    "<ApiKeywords>GetMessage SendMessage</ApiKeywords>"
    "<FreeBasicConstants>TRUE FALSE</FreeBasicConstants>"
    "<PowerBasicConstants>%NULL</PowerBasicConstants>";

KeywordSet ProjectSet(Dialect dialect, CaseMode mode = CaseMode::Mixed, std::vector<std::string> extra = {},
                      std::vector<std::string> kept = {})
{
    return BuildProjectKeywordSet(ParseVocabulary(kVocabularyText), dialect, mode, extra, kept);
}

std::string Convert(const std::string& text, const KeywordSet& set, Dialect dialect = Dialect::FreeBasic)
{
    return ConvertSource(text, {set, DialectSourceRules(dialect)});
}

std::string Lower(std::string text)
{
    LowerInPlace(text);
    return text;
}

}  // namespace

TEST(SourceConversion, CommentsStayAsTyped)
{
    KeywordSet set = ProjectSet(Dialect::FreeBasic);
    struct Case {
        std::string text, expected;
    };
    const std::vector<Case> cases = {
        {"dim a /' dim as\r\nprint '/ as integer\r\n", "Dim a /' dim as\r\nprint '/ As Integer\r\n"},
        {"rem print dim\nprint : REM dim\n", "Rem print dim\nPrint : Rem dim\n"},
        {"/' license: read and dim\n  '/\nwhile x : wend", "/' license: read and dim\n  '/\nWhile x : Wend"},
        // A lone CR ends a line: the comment stops there.
        {"print 'dim\rdim", "Print 'dim\rDim"},
        // Every other byte stays: NUL, high bytes, a byte order mark, no final line end.
        {std::string("\xEF\xBB\xBF" "dim\0print\xE9print\r\n\r", 19), std::string("\xEF\xBB\xBF" "Dim\0Print\xE9Print\r\n\r", 19)},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Convert(c.text, set), c.expected) << c.text;
}

TEST(SourceConversion, PowerBasicHasNoBlockComments)
{
    KeywordSet set = ProjectSet(Dialect::PowerBasic);
    EXPECT_EQ(Convert("dim x as long /' print\nprint '/ rem print\n", set, Dialect::PowerBasic),
              "DIM x AS LONG /' print\nPRINT '/ rem print\n");
    EXPECT_EQ(Convert("rem dim\nx = %null : rem print", set, Dialect::PowerBasic), "REM dim\nx = %NULL : REM print");
}

TEST(SourceConversion, ExtraAndKeptWords)
{
    struct Case {
        CaseMode mode;
        std::vector<std::string> extra, kept;
        std::string text, expected;
    };
    const std::vector<Case> cases = {
        {CaseMode::Mixed, {"hWndMain", "MyTimer"}, {}, "dim hwndmain, mytimer", "Dim hWndMain, MyTimer"},
        // Extra words keep their spelling in every case mode and win over the vocabulary.
        {CaseMode::Upper, {"hWndMain", "print"}, {}, "Print HWNDMAIN", "print hWndMain"},
        {CaseMode::Lower, {}, {"name", "GETMESSAGE"}, "Name = getmessage(TRUE)", "Name = getmessage(TRUE)"},
        {CaseMode::Mixed, {}, {"name"}, "NAME : sub : true", "NAME : Sub : TRUE"},
        // A word both extra and kept is kept.
        {CaseMode::Mixed, {"Counter"}, {"counter"}, "COUNTER", "COUNTER"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Convert(c.text, ProjectSet(Dialect::FreeBasic, c.mode, c.extra, c.kept)), c.expected) << c.text;
}

// Random lines from BASIC-ish pieces: wherever the scanner finds no comment
// of its own (an apostrophe comment the engine sees as well), the line comes
// out as the line engine makes it; everywhere only letter case changes and
// comments stay.
TEST(SourceConversion, AgreesWithTheLineEngineOnRandomInput)
{
    const std::vector<std::string> pieces = {
        "dim", "DIM", "as", "integer", "print", "Rem", "rem", "data", "DATA ", "while", "getmessage", "true", "x",
        "a$",  " ",   "  ", "\t",      ":",     "\"",  "'",   "/'",   "'/",    "_",     "/",          "(",    ")",
        ",",   "1",   "\xC3\xA9", std::string(1, '\0'), "%null", "wend", "name"};
    for (Dialect dialect : {Dialect::FreeBasic, Dialect::PowerBasic}) {
        KeywordSet set = ProjectSet(dialect, CaseMode::Mixed);
        SourceRules rules = DialectSourceRules(dialect);
        std::mt19937 random(dialect == Dialect::FreeBasic ? 7 : 11);
        for (int round = 0; round < 400; ++round) {
            std::vector<std::string> lines(1 + random() % 6);
            for (std::string& line : lines)
                for (size_t k = random() % 12; k > 0; --k) line += pieces[random() % pieces.size()];
            std::string text;
            for (const std::string& line : lines) text += line + "\n";
            std::string converted = ConvertSource(text, {set, rules});
            ASSERT_EQ(Lower(converted), Lower(text)) << text;

            SourceState state;
            std::vector<SourceRegion> regions;
            size_t at = 0;
            for (const std::string& line : lines) {
                SourceState before = state;
                MarkLine(line, rules, state, regions);
                std::string got = converted.substr(at, line.size());
                for (const SourceRegion& region : regions)
                    if (region.kind != RegionKind::Code && region.kind != RegionKind::FixedWord)
                        EXPECT_EQ(got.substr(region.start, region.length), line.substr(region.start, region.length))
                            << text;
                if (EngineReadsAlike(line, before, regions)) {
                    std::string expected = line;
                    EXPECT_EQ(got, ApplyKeywordCase(expected, set)) << "line: " << line;
                }
                at += line.size() + 1;
            }
        }
    }
}

// The conversion finds most code by bit arithmetic over 64-byte blocks and
// leaves the rest to the source model; on any text it must convert exactly
// the code regions that the model finds line by line.
TEST(SourceConversion, BlockMarkingAgreesWithTheLineModel)
{
    const std::vector<std::string> pieces = {
        "dim", "Print", "rem ", "data ", "x", "a_b", " _", "_", " ", "\t", ":", "\"", "\"\"", "'", "/'", "'/", "/",
        "!\"", "$\"", "\\", "\\\"", "#include once ", "option escape", "10 ", "\n", "\r\n", "\r", "$", "!", "#",
        "getmessage", "a$", "dAta", "wend"};
    for (Dialect dialect : {Dialect::FreeBasic, Dialect::PowerBasic}) {
        KeywordSet set = ProjectSet(dialect, CaseMode::Upper);
        SourceRules rules = DialectSourceRules(dialect);
        std::mt19937 random(dialect == Dialect::FreeBasic ? 3 : 5);
        for (int round = 0; round < 3000; ++round) {
            std::string text;
            for (size_t k = random() % 90; k > 0; --k) text += pieces[random() % pieces.size()];
            // The model, line by line: its code regions and fixed words, converted by the engine.
            std::string expected = text;
            expected.append(64, ' ');
            std::vector<LineSpan> code, fixed;
            SourceState state;
            std::vector<SourceRegion> regions;
            for (const LineSpan& line : SplitLines(text)) {
                MarkLine(std::string_view(text).substr(line.start, line.length), rules, state, regions);
                for (const SourceRegion& region : regions) {
                    if (region.kind == RegionKind::Code) code.push_back({line.start + region.start, region.length});
                    if (region.kind == RegionKind::FixedWord) fixed.push_back({line.start + region.start, region.length});
                }
            }
            ApplyKeywordCase(expected.data(), expected.size(), code.data(), code.size(), set);
            for (const LineSpan& word : fixed)
                for (size_t i = word.start; i < word.start + word.length; ++i) expected[i] = AsciiUpper(expected[i]);
            expected.resize(text.size());
            ASSERT_EQ(ConvertSource(text, {set, rules, CaseMode::Upper}), expected) << text;
            // In two pieces cut at a line end, the state handed from one to the other.
            size_t cut = text.find_first_of("\r\n", random() % (text.size() + 1));
            if (cut == std::string::npos || (text[cut] == '\r' && cut + 1 < text.size() && text[cut + 1] == '\n')) continue;
            SourceState between;
            std::string pieces = ConvertLines(std::string_view(text).substr(0, cut + 1), {set, rules, CaseMode::Upper}, between);
            pieces += ConvertLines(std::string_view(text).substr(cut + 1), {set, rules, CaseMode::Upper}, between);
            ASSERT_EQ(pieces, expected) << text;
        }
    }
}

// A text handed over in pieces of any size converts as the whole, blocks cut
// at any line end (a CR at a piece's end waits for a possible LF), a byte
// order mark split over pieces, names declared anywhere in the text.
TEST(StreamConversion, PiecesConvertAsTheWhole)
{
    const std::vector<std::string> pieces = {"dim ", "total", "Total", "\r", "\n", "\r\n", " _", "/'", "'/", "\"",
                                             "print", ":", "rem ", "sub f(byval total as long)", "end sub", "'", "x"};
    KeywordSet set = ProjectSet(Dialect::FreeBasic);
    SourceRules rules = DialectSourceRules(Dialect::FreeBasic);
    std::mt19937 random(17);
    for (int round = 0; round < 2000; ++round) {
        std::string text = round % 3 == 0 ? "\xEF\xBB\xBF" : "";
        for (size_t k = random() % 60; k > 0; --k) text += pieces[random() % pieces.size()];
        if (round < 40) text = "print a _\r\nrem print\r\n/' x\r\n'/ print";  // cut everywhere, in blocks of 1 to 40
        std::vector<UnitFile> unit{{"/a.bas", FindDeclarations(text, rules), {}}};
        std::vector<FileSpellings> names = BindIncludeUnits(unit, NameRules{Dialect::FreeBasic, {}});
        const FileSpellings* spellings = round % 2 == 0 ? &names[0] : nullptr;

        StreamConversion conversion = StartStreamConversion({set, rules}, spellings, round < 40 ? 1 + round : 1 + random() % 40);
        std::string original, converted;
        auto take = [&](std::string_view before, std::string_view after) {
            original.append(before);
            converted.append(after);
            return true;
        };
        for (size_t at = 0; at < text.size();) {
            size_t length = std::min<size_t>(text.size() - at, 1 + random() % 9);
            ASSERT_TRUE(TakePiece(conversion, std::string_view(text).substr(at, length), take));
            at += length;
        }
        ASSERT_TRUE(FinishStreamConversion(conversion, take));
        ASSERT_EQ(original, text);
        ASSERT_EQ(converted, ConvertSource(text, {set, rules}, spellings)) << text;
    }
}
