// The fast declaration pass against the plain one (support/
// reference_declarations.h) on random texts made of BASIC pieces: every
// name, offset, procedure range and include must be the same.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "declarations.h"
#include "line_bits.h"
#include "support/reference_declarations.h"

using namespace recasor;

namespace {

// Whole statements and lines, which open and close the blocks the pass
// tracks, and declare in each form.
const std::vector<std::string> kLines = {
    "Dim x As Integer", "dim as string a, b(3)", "Dim Shared total = 1, Total", "ReDim Preserve x(9)",
    "Static s As Long", "Const C = 1", "Var v = f(a, b)", "Common Shared c", "Extern e As Long", "Extern \"C\"",
    "End Extern", "LOCAL a, b AS LONG", "GLOBAL g AS DWORD", "THREADED t", "INSTANCE i AS LONG",
    "REGISTER r AS LONG", "DIM d AS GLOBAL LONG", "Sub S(ByVal a As Integer, b)", "Function F() As Long",
    "End Sub", "End Function", "Private Sub T.m(x)", "Declare Function G(q As Long) As Long",
    "CALLBACK FUNCTION DlgProc()", "PROPERTY GET Value() AS LONG", "END PROPERTY", "METHOD Add(n AS LONG)",
    "END METHOD", "Constructor Point(x As Integer)", "End Constructor", "Operator + (a As T, b As T) As T",
    "Type Point", "Type Handle As Integer", "End Type", "Union U", "End Union", "Enum Colors", "End Enum",
    "Enum : Up, Down : End Enum", "Class C", "End Class", "CLASS Counter", "INTERFACE ICounter", "END INTERFACE",
    "Namespace N", "End Namespace", "#define MAX 10", "#macro M(a)", "#endmacro", "MACRO Pi = 3.14",
    "MACRO Block", "END MACRO", "MACRO FUNCTION Twice(v)", "Asm", "End Asm", "#include once \"a.bi\"",
    "#INCLUDE \"B.INC\"", "%ID_OK = 1", "$Title = \"x\"", "$$Wide = \"w\"", "For i As Integer = 1 To 3",
    "Next", "start:", "again: Goto start", "Cls:", "x As Integer", "As Single y, z", "flag : 1 As Integer",
    "Red, Green = 2", "Declare Sub Move(dx As Integer)", "Option Escape", "Rem Dim r", "Data dim, q : Dim w",
    "10 Dim n", "20 x = 1", "Print \"Dim s: Dim t\"", "x = y ' Dim c", "/' Dim b '/ Dim a", "/' open",
    "still open '/ Dim after", "Dim s = !\"a\\\"b: Dim no\" : Dim yes", "? \"it's\": Dim it",
    "Dim a _", "  , b _ ' comment", "_", "Sub Tick() Static", "If a Then Dim b", "Select Case x",
    "Case 1: Dim c", "End Select", "p->x = 1", "Dim As Sub(ByVal x As Integer) cb", "Scope", "End Scope",
};

// Pieces to build lines from at random.
const std::vector<std::string> kPieces = {
    "Dim", "DIM", "ReDim", "Static", "Const", "Var", "Common", "Extern", "Shared", "Local", "Global", "Threaded",
    "Instance", "Register", "Sub", "Function", "Property", "Operator", "Constructor", "Destructor", "Method",
    "FastProc", "Declare", "Private", "Public", "Callback", "Type", "Union", "Enum", "Class", "Interface",
    "Namespace", "Macro", "Asm", "End", "For", "As", "ByVal", "ByRef", "Optional", "Opt", "Ptr", "Get", "Set",
    "Preserve", "Cls", "Next", "Data", "Rem", "REM", "Option", "Escape", "#", "#define", "#macro", "#endmacro",
    "#include", "once", "x", "Total", "total", "event", "a.b", "T.m", "%ID", "$S", "$$W", "x$", "10", "&H1F",
    "1.5", "_x", "x_y", "_", "(", ")", ",", "=", ":", "->", "*", "/", "{", "}", "?", "\"a:b\"", "\"it's\"",
    "!\"a\\\"b\"", "$\"x\\\"", "\"Dim x\"", "\"open", "' Dim c", "/' Dim '/", "/'", "'/", "\xC3\xA9", "\t",
    "Integer", "Long", "String", "a_name_longer_than_a_short_spelling",
};

std::string RandomLine(std::mt19937& random)
{
    auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
    std::string line(below(4) == 0 ? below(3) : 0, below(2) ? ' ' : '\t');
    if (below(3) == 0) {
        line += kLines[below(kLines.size())];
    } else {
        size_t count = below(9);
        for (size_t i = 0; i < count; ++i) {
            if (i > 0 && below(5) != 0) line += ' ';
            line += kPieces[below(kPieces.size())];
        }
    }
    // Continued lines, and lines that go on a list: `Dim a _` then `, b`.
    if (below(10) == 0) line += below(2) ? " _" : ", y _";
    if (below(12) == 0) line = ", z" + line;
    return line;
}

// Mostly short texts; now and then one of many lines, which the pass reads
// in stretches of a few KiB, some with a line longer than a stretch.
std::string RandomText(std::mt19937& random)
{
    static const char* const kLineEnds[] = {"\n", "\n", "\n", "\r\n", "\r"};
    std::string text = random() % 20 == 0 ? "\xEF\xBB\xBF" : "";
    bool many = random() % 50 == 0;
    size_t lines = many ? 600 : random() % 30;
    for (size_t i = 0; i < lines; ++i) {
        text += many && random() % 200 == 0 ? std::string(5000, 'x') : RandomLine(random);
        if (i + 1 < lines || random() % 2) text += kLineEnds[random() % 5];
    }
    return text;
}

// Every field of what was found, one declaration a line.
std::string Listing(const FileDeclarations& found)
{
    std::string listing;
    auto list = [&](const char* title, const std::vector<Declaration>& names) {
        listing += title;
        listing += '\n';
        for (const Declaration& name : names)
            listing += "  " + std::string(std::string_view(name.spelling)) + " @" + std::to_string(name.offset) + '\n';
    };
    list("module", found.moduleNames);
    list("members", found.memberNames);
    for (const ProcedureDeclarations& procedure : found.procedures)
        list(("procedure " + std::to_string(procedure.begin) + "-" + std::to_string(procedure.end)).c_str(),
             procedure.names);
    for (const IncludeDirective& include : found.includes)
        listing += "include " + include.name + " @" + std::to_string(include.offset) + '\n';
    return listing;
}

}  // namespace

TEST(DeclarationsDifferential, AgreesWithPlainPassOnRandomTexts)
{
    std::mt19937 random(20261219);
    size_t declared = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text = RandomText(random);
        for (Dialect dialect : {Dialect::FreeBasic, Dialect::PowerBasic}) {
            SourceRules rules = DialectSourceRules(dialect);
            FileDeclarations expected = reference::FindDeclarations(text, rules);
            std::string listing = Listing(expected);
            FileDeclarations found = FindDeclarations(text, rules);
            ASSERT_EQ(Listing(found), listing)
                << (dialect == Dialect::FreeBasic ? "FreeBASIC" : "PowerBASIC") << " text:\n" << text;
            FileDeclarations kept = found;  // callers keep copies after the text is gone
            found = {};
            ASSERT_EQ(Listing(kept), listing);
            declared += expected.moduleNames.size() + expected.memberNames.size() + expected.procedures.size();
        }
    }
    EXPECT_GT(declared, 10000u);  // the texts declare plenty
}

// The wide ways of finding the line bits (16 and 32 bytes at a time) find
// what byte by byte finds, from the text's start and from lines within it.
TEST(DeclarationsDifferential, LineBitsAgreeInEachBuild)
{
    std::mt19937 random(20261220);
    size_t compared = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text = RandomText(random);
        for (int k = 0; k < 4; ++k) text += "\n" + RandomText(random);  // several stretches, now and then
        std::vector<size_t> bases{0};
        for (size_t i = 0; i < text.size(); ++i)
            if ((text[i] == '\n' || text[i] == '\r') && random() % 50 == 0) bases.push_back(i + 1);
        for (Dialect dialect : {Dialect::FreeBasic, Dialect::PowerBasic}) {
            SourceRules rules = DialectSourceRules(dialect);
            for (size_t base : bases) {
                if (base >= text.size()) continue;
                LineBits expected;
                MarkLineBits(text, base, rules, expected, LineBitsBuild::Bytes);
                for (LineBitsBuild build : {LineBitsBuild::Sse2, LineBitsBuild::Avx2}) {
                    if (!HasLineBitsBuild(build)) continue;
                    LineBits found;
                    MarkLineBits(text, base, rules, found, build);
                    ASSERT_EQ(found.end, expected.end);
                    ASSERT_EQ(found.lineEnds, expected.lineEnds) << "from " << base << " of:\n" << text;
                    ASSERT_EQ(found.firsts, expected.firsts) << "from " << base << " of:\n" << text;
                    ASSERT_EQ(found.loud, expected.loud) << "from " << base << " of:\n" << text;
                    ASSERT_EQ(found.events, expected.events);
                    ++compared;
                }
            }
        }
    }
    if (compared == 0) GTEST_SKIP() << "no wide build here";
}
