// The names that FreeBASIC and PowerBASIC programs declare, and where each
// binds: tables of short snippets per dialect, and one program of each in the
// style of real ones.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "declarations.h"

using namespace recasor;

namespace {

// The line (from 1) that holds `offset`: LF, CR LF and a lone CR end lines.
size_t LineOf(std::string_view text, size_t offset)
{
    size_t line = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
    return line;
}

// What was found, as words joined by spaces; a procedure as its first and
// last line and its names: "3-7 hWnd msg".
struct Found {
    std::string module, members, includes;
    std::vector<std::string> procedures;
};

std::string Spellings(std::string_view text, const std::vector<Declaration>& names)
{
    std::string joined;
    for (const Declaration& name : names) {
        std::string_view spelling = name.spelling;
        EXPECT_EQ(text.substr(name.offset, spelling.size()), spelling) << "offset of " << spelling;
        joined += (joined.empty() ? "" : " ") + std::string(spelling);
    }
    return joined;
}

Found Find(std::string_view text, Dialect dialect)
{
    FileDeclarations declarations = FindDeclarations(text, DialectSourceRules(dialect));
    Found found{Spellings(text, declarations.moduleNames), Spellings(text, declarations.memberNames), "", {}};
    for (const ProcedureDeclarations& procedure : declarations.procedures) {
        std::string names = Spellings(text, procedure.names);
        found.procedures.push_back(std::to_string(LineOf(text, procedure.begin)) + "-" +
                                   std::to_string(LineOf(text, procedure.end)) + (names.empty() ? "" : " ") + names);
    }
    for (const IncludeDirective& include : declarations.includes) {
        EXPECT_EQ(text.substr(include.offset, include.name.size()), include.name);
        found.includes += (found.includes.empty() ? "" : " ") + include.name;
    }
    return found;
}

struct Case {
    std::string text;
    std::string module;
    std::string members = "";
    std::vector<std::string> procedures = {};
    std::string includes = "";
};

void ExpectCases(const std::vector<Case>& cases, Dialect dialect)
{
    for (const Case& c : cases) {
        Found found = Find(c.text, dialect);
        EXPECT_EQ(found.module, c.module) << c.text;
        EXPECT_EQ(found.members, c.members) << c.text;
        EXPECT_EQ(found.procedures, c.procedures) << c.text;
        EXPECT_EQ(found.includes, c.includes) << c.text;
    }
}

}  // namespace

TEST(Declarations, FreeBasicForms)
{
    ExpectCases({
        // Variables and constants in each form; keywords and types are no names.
        {"Dim x As Integer : dim As Integer a, b = 2, c(5)", "x a b c"},
        {"Dim Shared x(10) As Double, y As String = \"a,b\" : Dim z = 5", "x y z"},
        {"Dim As Const ZString Ptr p, q : Dim As String * 20 s : Dim ByRef r As Integer = x", "p q s r"},
        {"Var total = Foo(a, (b + 1)), n = 2 : Var Shared w = 1", "total n w"},
        {"Const A = 1, B = 2 : Const As Integer C = 3 : Const D As Long = 4", "A B C D"},
        {"Dim arr(1 To 3, 0 To 1) As Integer = {{1, 2}, {3, 4}, {5, 6}}, last As Integer", "arr last"},
        {"Dim f As Function(ByVal a As Integer, b As Long) As Integer, g As Integer", "f g"},
        {"Dim As Sub(ByVal x As Integer) callback : Dim local As Long", "callback local"},
        {"Common Shared counter As Integer : Extern errno As Long : Static s As Single", "counter errno s"},
        {"Dim s As String = !\"a \\\"Dim b\\\", c\", t As Integer", "s t"},
        {"Dim As Integer first, _ ' the first\n  second, _\n  third", "first second third"},
        {"For i As Integer = 1 To 3 : Next : For j = 1 To 2 : Next", "i"},
        // ReDim declares only what was not declared before it, and no member.
        {"ReDim Preserve a(n) : ReDim A(2) : ReDim this.items(n) : ReDim p->v(1)", "a"},
        {"Dim Shared items() As String\nSub Grow(n As Integer)\n  ReDim Preserve Items(n)\n  ReDim extra(n)\nEnd Sub\n"
         "Sub Shrink()\n  ReDim extra(0)\nEnd Sub",
         "items Grow Shrink", "", {"2-5 n extra", "6-8 extra"}},
        // Procedures: names, parameters, bodies.
        {"Function Add(ByVal a As Integer, ByRef b As Integer = 0) As Integer\n  Dim sum As Integer = a + b\n"
         "  Function = sum\nEnd Function",
         "Add", "", {"1-4 a b sum"}},
        {"Declare Sub Render(ByVal x As Integer)\nPrivate Sub Render(ByVal x As Integer, ...)\nEnd Sub", "Render Render",
         "", {"2-3 x"}},
        {"Sub Tick() Static\n  Static count As Integer\n  Const LIMIT = 3\nEnd Sub", "Tick", "", {"1-4 count LIMIT"}},
        {"Sub A()\n  Dim x\nSub B()\n  Dim y", "A B", "", {"1-2 x", "3-4 y"}},
        {"Dim z\nSub A() : Sub B()\nEnd Sub", "z A B", "", {"2-2", "2-3"}},
        {"Constructor Point(ByVal x As Integer)\n  This.x = x\nEnd Constructor\n"
         "Operator + (ByRef a As Point, ByRef b As Point) As Point\n  Return Type(a.x + b.x)\nEnd Operator",
         "", "", {"1-3 x", "4-6 a b"}},
        // Types and their members.
        {"Type Point\n  x As Integer\n  As Single y, z\n  Declare Sub Move(ByVal dx As Integer)\n"
         "  Declare Constructor(ByVal x As Integer)\n  Declare Operator Cast() As String\nEnd Type",
         "Point", "x y z Move"},
        {"Type Point : x As Integer : End Type : Dim p As Point", "Point p", "x"},
        {"Type Flags Field = 1\n  ready : 1 As Integer, busy : 2 As Integer\n  Union\n    asBytes(3) As UByte\n"
         "    Type\n      lo As Short\n    End Type\n  End Union\n  Static made As Integer\nEnd Type",
         "Flags", "ready busy asBytes lo made"},
        {"Type Handle As Integer : Dim h As Handle", "Handle h"},
        {"Type T\nPrivate:\n  secret As Integer\nPublic:\n  Declare Property Value() As Integer\nEnd Type\n"
         "Property T.Value() As Integer\n  Return secret\nEnd Property",
         "T", "secret Value Value", {"7-9"}},
        {"Sub S()\n  Type Pair\n    a As Integer\n  End Type\n  Dim p As Pair\nEnd Sub", "S", "a", {"1-6 Pair p"}},
        {"Type T\n  a As Integer\nSub S()\n  Dim b\nEnd Sub\nDim c", "T S c", "a", {"3-5 b"}},
        {"Enum Color\n  Red, Green = 2\n  Blue\nEnd Enum\nEnum : Up, Down : End Enum", "Color Red Green Blue Up Down"},
        {"Namespace Geometry\n  Function Area(r As Double) As Double\n    Return r * r\n  End Function\nEnd Namespace\n"
         "Function Geometry.Perimeter(r As Double) As Double\nEnd Function",
         "Geometry Area Perimeter", "", {"2-4 r", "6-7 r"}},
        {"Extern \"C\"\n  Declare Function puts(ByVal s As ZString Ptr) As Long\nEnd Extern", "puts"},
        // Macros (their parameters and bodies declare nothing), includes.
        {"#define MAX_ITEMS 100\n#define SQUARE(n) ((n) * (n))\n#macro SWAP_TWO(a, b)\n  Dim t As Integer = a\n"
         "#endmacro\n#define LIST Dim q As Integer : Dim r As Integer",
         "MAX_ITEMS SQUARE SWAP_TWO LIST"},
        {"#include once \"windows.bi\"\n#include \"crt/string.bi\"\n# Include Once \"x.bi\"", "", "", {},
         "windows.bi crt/string.bi x.bi"},
        // Labels: a word and a colon that start a line, not a statement word.
        {"start:\n  Cls : Print \"x\"\nagain: Goto start\nSleep: Refresh: End\napp.Init: app.Run", "start again"},
        {"Sub Main()\n  retry:\n  Goto retry\nEnd Sub", "Main", "", {"1-4 retry"}},
        // Nothing in strings, comments, DATA items, macros or Asm blocks.
        {"Print \"Dim x As Integer\" ' Dim y As Integer\nRem Dim z\n/' Dim w\nDim v '/ Dim u\nData dim, q\n"
         "Asm\n  mov eax, 1\nloop1:\nEnd Asm",
         "u"},
        // PowerBASIC's own words are nothing in FreeBASIC.
        {"Local x As Long : Global g As Long : %ID = 1", ""},
        // Line ends of all kinds and a byte order mark.
        {"\xEF\xBB\xBFSub A()\r\n  Dim b\rEnd Sub\r\nDim c", "A c", "", {"1-3 b"}},
    }, Dialect::FreeBasic);
}

TEST(Declarations, PowerBasicForms)
{
    ExpectCases({
        {"LOCAL a, b AS LONG : DIM x(10) AS STRING, y AS DWORD", "a b x y"},
        {"GLOBAL g AS DWORD\nTHREADED t AS LONG\nREDIM PRESERVE arr(20) AS LONG", "g t arr"},
        {"LOCAL a AS LONG, _\n      b AS LONG", "a b"},
        {"%ID_OK = 1\n$AppTitle = \"Demo\"\n$$WideTitle = \"W\"\nx = %ID_OK", "%ID_OK $AppTitle $$WideTitle"},
        {"MACRO Pi = 3.14159\nMACRO Square(x) = ((x) * (x))\nMACRO FUNCTION Twice(v)\n  MACROTEMP t\n"
         "  DIM t AS LONG\nEND MACRO = t\nMACRO Block\n  LOCAL z AS LONG\nEND MACRO",
         "Pi Square Twice Block"},
        {"FUNCTION PBMAIN () AS LONG\n  LOCAL hDlg AS DWORD\n  GLOBAL gCount AS LONG\n  FUNCTION = 0\nEND FUNCTION",
         "PBMAIN gCount", "", {"1-5 hDlg"}},
        {"CALLBACK FUNCTION DlgProc()\n  STATIC count AS LONG\n  REGISTER i AS LONG\nEND FUNCTION", "DlgProc", "",
         {"1-4 count i"}},
        {"SUB Paint(BYVAL hWnd AS DWORD, OPTIONAL BYREF rc AS RECT, OPT n AS LONG)\nEND SUB", "Paint", "",
         {"1-2 hWnd rc n"}},
        {"SUB S\n  DIM sharedX AS GLOBAL LONG\n  DIM y AS LONG\nEND SUB", "S sharedX", "", {"1-4 y"}},
        {"DECLARE FUNCTION MessageBox LIB \"USER32.DLL\" ALIAS \"MessageBoxA\" (BYVAL hWnd AS DWORD) AS LONG\n"
         "DECLARE SUB Helper(BYVAL LONG)",
         "MessageBox Helper"},
        {"TYPE RECT\n  nLeft AS LONG\n  nTop AS LONG\n  Bits AS BIT * 3 IN DWORD\nEND TYPE\n"
         "UNION Value\n  l AS LONG\n  s AS STRING * 4\nEND UNION\nTYPE SET a = b",
         "RECT Value", "nLeft nTop Bits l s"},
        {"CLASS Counter\n  INSTANCE total AS LONG\n  CLASS METHOD Create()\n    total = 0\n  END METHOD\n"
         "  INTERFACE ICounter\n    INHERIT IUNKNOWN\n    METHOD Add(BYVAL n AS LONG) AS LONG\n"
         "      LOCAL before AS LONG\n      METHOD = total\n    END METHOD\n    PROPERTY GET Value() AS LONG\n"
         "      PROPERTY = total\n    END PROPERTY\n  END INTERFACE\nEND CLASS",
         "Counter total ICounter", "Create Add Value", {"3-5", "8-11 n before", "12-14"}},
        {"INTERFACE IShape $IID_IShape\n  INHERIT IUNKNOWN\n  METHOD Area() AS DOUBLE\n"
         "  PROPERTY GET Name() AS STRING\nEND INTERFACE",
         "IShape", "Area Name"},
        {"ENUM Colors\n  Red\n  Green = 5\nEND ENUM", "Colors Red Green"},
        {"SUB Work()\n  ON ERROR GOTO Failed\n  EXIT SUB\nFailed:\n  RESUME NEXT\nEND SUB", "Work", "", {"1-6 Failed"}},
        {"#INCLUDE \"WIN32API.INC\"\n#INCLUDE ONCE \"Common.inc\"", "", "", {}, "WIN32API.INC Common.inc"},
        {"' DIM x AS LONG\nREM LOCAL y\nDATA z : LOCAL w\nPRINT \"LOCAL q\"", "w"},
        // FreeBASIC's own words are nothing in PowerBASIC.
        {"Var x = 5\nNamespace N\nConst A = 1\nShared s", ""},
    }, Dialect::PowerBasic);
}

// Where a procedure starts and ends, in bytes.
TEST(Declarations, ProcedureRangesAreWholeLines)
{
    std::string text = "Dim a\r\n  Sub S(x As Integer) ' header\r\n  End Sub  \r\nDim b";
    FileDeclarations found = FindDeclarations(text, DialectSourceRules(Dialect::FreeBasic));
    ASSERT_EQ(found.procedures.size(), 1u);
    EXPECT_EQ(found.procedures[0].begin, text.find("  Sub"));
    EXPECT_EQ(found.procedures[0].end, text.find("\r\nDim b"));
}

TEST(Declarations, FreeBasicProgram)
{
    const std::string program = R"bas(#include once "windows.bi"
#include "SDL2/SDL.bi"

#define APP_TITLE "Demo"
#macro CHECK(expr)
    If (expr) = 0 Then Print "failed: " & #expr
#endmacro

/' Dim leftover As Integer
   Dim another As String '/
Enum Mode
    MODE_IDLE, MODE_RUN = 2
End Enum

Type Sprite
    x As Single
    y As Single
    As Integer frame, frames
    Declare Sub Advance(ByVal dt As Single)
End Type

Dim Shared event As SDL_Event
Dim Shared As Integer alpha = 255, screen_w = 640, _
    screen_h = 480
Dim Shared sprites(1 To 8) As Sprite
Const object = "object"

Sub Sprite.Advance(ByVal dt As Single)
    x += dt * 10
    frame = (frame + 1) Mod IIf(frames > 0, frames, 1)
End Sub

Function WndProc(ByVal hWnd As HWND, ByVal uMsg As UINT, ByVal wParam As WPARAM, _
                 ByVal lParam As LPARAM) As LRESULT
    Dim ps As PAINTSTRUCT, drawtext As String = !"Say \"Hi\": Dim no"
    Select Case uMsg
    Case WM_PAINT
        Dim hdc As HDC = BeginPaint(hWnd, @ps)
        TextOut(hdc, 10, 10, StrPtr(drawtext), Len(drawtext))
        EndPaint(hWnd, @ps)
        Return 0
    End Select
    Return DefWindowProc(hWnd, uMsg, wParam, lParam)
End Function

Sub Main()
    Dim running As Boolean = True
    While running
        While SDL_PollEvent(@event)
            If event.type = SDL_QUIT_ Then running = False ' Dim quit As Integer
        Wend
        For i As Integer = 1 To 8 : sprites(i).Advance(0.1) : Next
    Wend
done:
End Sub

Main()
Data "Dim", 1, 2
)bas";
    Found found = Find(program, Dialect::FreeBasic);
    EXPECT_EQ(found.module, "APP_TITLE CHECK Mode MODE_IDLE MODE_RUN Sprite event alpha screen_w screen_h sprites "
                            "object WndProc Main");
    EXPECT_EQ(found.members, "x y frame frames Advance Advance");
    EXPECT_EQ(found.procedures,
              (std::vector<std::string>{"28-31 dt", "33-44 hWnd uMsg wParam lParam ps drawtext hdc",
                                        "46-55 running i done"}));
    EXPECT_EQ(found.includes, "windows.bi SDL2/SDL.bi");
}

TEST(Declarations, PowerBasicProgram)
{
    const std::string program = R"bas(#COMPILE EXE
#DIM ALL
#INCLUDE ONCE "WIN32API.INC"

%IDC_LIST   = 1001
%IDC_COUNT  = 1002
$APP_NAME   = "Counter"

MACRO CLAMP(v, lo, hi) = MAX&(lo, MIN&(v, hi))

TYPE ItemData
    id     AS LONG
    label  AS ASCIIZ * 64
    values(1 TO 4) AS SINGLE
END TYPE

GLOBAL ghDlg AS DWORD, gItems() AS ItemData
DECLARE CALLBACK FUNCTION DlgProc()

' LOCAL ignored AS LONG
FUNCTION AddItem(BYVAL hList AS DWORD, BYREF item AS ItemData, _
                 OPTIONAL BYVAL position AS LONG) AS LONG
    LOCAL count, state AS LONG
    LOCAL text AS STRING
    text = item.label & " (" & FORMAT$(item.id) & ")"
    count = CLAMP(position, 0, 100)
    LISTBOX ADD ghDlg, %IDC_LIST, text
    FUNCTION = count
END FUNCTION

CALLBACK FUNCTION DlgProc()
    STATIC count AS LONG
    SELECT CASE CB.MSG
    CASE %WM_COMMAND
        IF CB.CTL = %IDC_COUNT THEN
            INCR count
            CONTROL SET TEXT CB.HNDL, %IDC_COUNT, "Count: " + STR$(count)
        END IF
    END SELECT
END FUNCTION

FUNCTION PBMAIN () AS LONG
    LOCAL wParam AS DWORD
    REDIM gItems(1 TO 10) AS GLOBAL ItemData
    DIALOG NEW PIXELS, 0, $APP_NAME, , , 300, 200 TO ghDlg
    DIALOG SHOW MODAL ghDlg CALL DlgProc
    DATA LOCAL, DIM
Finished:
END FUNCTION
)bas";
    Found found = Find(program, Dialect::PowerBasic);
    EXPECT_EQ(found.module, "%IDC_LIST %IDC_COUNT $APP_NAME CLAMP ItemData ghDlg gItems DlgProc AddItem DlgProc PBMAIN");
    EXPECT_EQ(found.members, "id label values");
    EXPECT_EQ(found.procedures, (std::vector<std::string>{"21-29 hList item position count state text",
                                                          "31-40 count", "42-49 wParam Finished"}));
    EXPECT_EQ(found.includes, "WIN32API.INC");
}
