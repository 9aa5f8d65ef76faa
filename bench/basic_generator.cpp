#include "basic_generator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace trx_bench {

namespace {

// splitmix64: tiny, fast and fully deterministic across platforms.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int range(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool percent(int p) { return below(100) < p; }

    template <std::size_t N>
    std::string_view pick(const std::string_view (&items)[N]) {
        return items[below(static_cast<int>(N))];
    }

private:
    std::uint64_t state_;
};

// ---------------------------------------------------------------------------
// Word lists. Keywords that the converter should touch are written inside
// templates as {Keyword}; everything here is plain text (identifiers, API
// names, constants, literal and comment contents).

constexpr std::string_view kVariables[] = {
    "a$",    "x%",      "b&",     "i%",        "j&",      "k",        "n",
    "count&", "total#", "name$",  "sum!",      "buffer$", "lResult&", "ptr1",
    "fileName$", "row%", "col%",  "value#",    "s",       "t$",       "idx",
    "temp!", "Flags&",  "z",      "lineText$", "retVal",  "nItems",   "dblRate#"};

constexpr std::string_view kProcNames[] = {
    "InitApp",   "DrawGrid",    "ParseLine",   "LoadSettings", "SaveSettings",
    "UpdateStatus", "ShowAbout", "ReadRecord",  "WriteLog",     "ScanTokens",
    "PaintBoard", "ResetGame",  "MoveSprite",  "CheckInput",   "FormatDate",
    "SortArray", "FindItem",    "BuildMenu",   "OnResize",     "CalcChecksum"};

constexpr std::string_view kFbTypes[] = {
    "Integer", "Long", "String", "Double", "Single",  "Byte",
    "Short",   "UInteger", "ULong", "LongInt", "Boolean", "ZString Ptr"};

constexpr std::string_view kPbTypes[] = {
    "Long", "Dword", "Integer", "String", "Double",   "Single",
    "Quad", "Ext",   "Byte",    "Word",   "Currency", "Asciiz * 260"};

constexpr std::string_view kApiNames[] = {
    "GetMessage",     "TranslateMessage", "DispatchMessage", "SendMessage",
    "PostMessage",    "CreateWindowEx",   "DefWindowProc",   "RegisterClassEx",
    "ShowWindow",     "UpdateWindow",     "PostQuitMessage", "GetDlgItem",
    "SetWindowText",  "GetWindowText",    "MessageBox",      "LoadIcon",
    "LoadCursor",     "GetStockObject",   "InvalidateRect",  "BeginPaint",
    "EndPaint",       "TextOut",          "SetTimer",        "KillTimer",
    "GetClientRect",  "MoveWindow",       "EnableWindow",    "SetFocus",
    "GetTickCount",   "SendDlgItemMessage"};

constexpr std::string_view kConstants[] = {
    "WM_KEYDOWN",  "WM_COMMAND",  "WM_DESTROY",     "WM_PAINT",
    "WM_CREATE",   "WM_CLOSE",    "WM_SIZE",        "WM_TIMER",
    "WM_INITDIALOG", "WM_SETTEXT", "WM_LBUTTONDOWN", "WM_MOUSEMOVE",
    "WS_OVERLAPPEDWINDOW", "WS_VISIBLE", "WS_CHILD", "SW_SHOW",
    "SW_HIDE",     "CW_USEDEFAULT", "VK_ESCAPE",    "VK_RETURN",
    "IDC_ARROW",   "IDI_APPLICATION", "BN_CLICKED", "MB_OK",
    "MB_ICONINFORMATION", "IDOK", "IDCANCEL",        "EM_SETSEL",
    "LB_ADDSTRING"};

// Contents of string literals: keywords and apostrophes on purpose.
// A doubled quote "" is the BASIC escape for a quote inside a literal.
constexpr std::string_view kStringTexts[] = {
    "Don't Dim this: If x Then Print",
    "It's the End Sub of the line",
    "Can't open file for Input",
    "Press any key to continue...",
    "Select Case isn't a keyword here",
    "Next, please!",
    "For Each item in the list",
    "Error in Function LoadSettings",
    "Loop until it's done",
    "Hello, World",
    "Dim As String * 20",
    "'quoted' and \"\"double quoted\"\"",
    "REM inside a string",
    "C:\\Program Files\\App\\data.ini",
    "Total: ",
    "Width = &H2000",
    "You've got mail",
    "GetMessage failed",
    "WM_KEYDOWN received",
    "  padded  ",
    "",
    "print using ###.## and goto 10",
    "AND OR NOT XOR - just words"};

// Comment texts, again full of keywords that must stay untouched.
constexpr std::string_view kCommentTexts[] = {
    "TODO: don't forget to Close the file",
    "initialize the window class",
    "If this fails we Exit Sub",
    "loop over every Item in the list",
    "It's a hack, but it works",
    "Print the result",
    "Dim everything before use",
    "see WM_COMMAND handler below",
    "=====================================",
    "returns -1 on error, 0 otherwise",
    "For/Next with Step 2",
    "keep in sync with the Data statements at the end",
    "\"quoted\" text in a comment: Dim x As Integer",
    "select case on the message, then return"};

// Expression templates used by ~x.
constexpr std::string_view kExpressions[] = {
    "~v + ~d",
    "{Len}(~v)",
    "~v * ~n",
    "{Val}(~v)",
    "(~v {And} &HFF)",
    "~v {Mod} ~d",
    "{Abs}(~v - ~d)",
    "{Int}({Rnd} * ~d) + 1",
    "{Asc}({Left$}(~v, 1))",
    "{InStr}(~v, ~s)",
    "~a(hWnd)",
    "{Not} ~v",
    "(~v {Or} ~c) {Xor} &H2000",
    "{IIf}(~v > 0, ~d, -~d)",
    "{Sqr}(~v ^ 2 + ~v ^ 2)",
    "{CInt}(~v) \\ 2"};

// Simple one-line statements, valid in most dialects.
constexpr std::string_view kStatements[] = {
    "~v = ~x~m",
    "~v = ~v + ~n",
    "{Print} ~s; ~v",
    "{Print} ~s & {Str$}(~v)~m",
    "{Print} {Using} \"###.##\"; ~v",
    "? ~s",
    "{If} ~v > ~d {Then} ~v = 0 {Else} ~v = ~v + 1~m",
    "{If} {Len}(~v) = 0 {Then} ~v = ~s",
    "~a hWnd, ~c, 0, 0",
    "lResult& = ~a(hWnd, ~c, wParam, lParam)~m",
    "{Call} ~i(~v, ~s)",
    "~i ~v, ~d",
    "{Locate} ~d, ~d: {Print} ~s;",
    "{Color} ~d, ~d",
    "{Open} ~s {For} {Input} {As} #1",
    "{Line Input} #1, lineText$",
    "{Close} #1",
    "~v = {Mid$}(~v, ~d, ~d) & {Chr$}(13, 10)",
    "~v = {UCase$}({Trim$}(~v)) & {LCase$}(~s)",
    "'~M",
    "{Rem} ~M",
    "~v = &H2000 {Or} ~c",
    "{Dim} ~v {As} ~t",
    "{Sleep} ~d",
    "{Randomize} {Timer}",
    "~v = {Int}({Rnd} * ~d) + 1",
    "{Swap} ~v, ~v",
    "{MessageBox} hWnd, ~s, \"Title\", ~%MB_OK {Or} ~%MB_ICONINFORMATION",
    "~v = {IIf}(~v > 0, ~s, ~s)",
    "buffer$ = {Space$}(~d): n = GetWindowText(hWnd, {StrPtr}(buffer$), {Len}(buffer$))",
    "{Write} #2, ~v, ~s",
    "{Input} \"Enter a value: \", ~v",
    "{Goto} ErrHandler",
    "{Exit} {Sub}",
    "~v = ~s + {Chr$}(34) + ~v + {Chr$}(34)",
    "{On Error} {Goto} ErrHandler",
    "{Resume} {Next}"};

// PowerBasic-only statements, used when a block is written in that dialect.
constexpr std::string_view kPbStatements[] = {
    "{Incr} ~v",
    "{Decr} ~v",
    "{MsgBox} ~s, ~%MB_OK, $AppTitle",
    "~v = {Format$}(~v, \"#,##0.00\")",
    "~v = {Parse$}(~v, \",\", ~d)",
    "{Control Set Text} {CbHndl}, ~%IDOK, ~s",
    "{ReDim} {Preserve} arr(~d) {As} ~t",
    "{Array Sort} arr()",
    "{Local} ~v {As} ~t",
    "{Register} r {As} {Long}"};

enum class CaseStyle { Mixed, Lower, Upper, PerWord, Scrambled };
enum class LineEnds { Crlf, Lf, Mixed };

char to_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
char to_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

class Generator {
public:
    explicit Generator(std::uint64_t seed) : rng_(seed) {}

    std::string& buffer() { return out_; }
    // Called between blocks, after the buffer has been written out.
    void clear_buffer() {
        out_.clear();
        line_start_ = 0;
    }
    const GeneratedFile& stats() const { return stats_; }

    void file_header() {
        new_style();
        module_header();
        blank();
    }

    // Appends one top-level block of code (a few hundred bytes to tens of KB).
    void block() {
        new_style();
        const int r = rng_.below(1000);
        if (r < 1) long_data_line();
        else if (r < 2) long_concatenation();
        else if (r < 220) procedure(false);
        else if (r < 420) procedure(true);
        else if (r < 500) window_procedure();
        else if (r < 540) message_loop();
        else if (r < 590) dialog_callback();
        else if (r < 680) declarations();
        else if (r < 730) type_block();
        else if (r < 780) declare_lines();
        else if (r < 840) data_block();
        else if (r < 900) comment_block();
        else if (r < 940) numbered_block();
        else if (r < 955) module_header();
        else if (r < 970) preprocessor_block();
        else statements(0, rng_.range(3, 12), 0);
        for (int k = rng_.below(3); k > 0; --k) blank();
    }

private:
    // The lines that open a source module (as if several files were joined).
    void module_header() {
        if (pb_) {
            ln(0, "{#Compile} {Exe}");
            ln(0, "{#Dim} {All}");
            ln(0, "{#Include} \"Win32Api.inc\"");
            ln(0, "$AppTitle = \"Benchmark App - It's not real\"");
            ln(0, "%ID_LIST = 1001");
        } else {
            ln(0, "{#include} \"windows.bi\"");
            ln(0, "{#Include} {Once} \"win/commctrl.bi\"");
            ln(0, "{#define} MAX_ITEMS 100");
        }
    }

    // Per-block style: dialect, keyword case, indentation and line ends.
    void new_style() {
        pb_ = rng_.percent(40);
        const int c = rng_.below(100);
        case_ = c < 45 ? CaseStyle::Mixed
              : c < 70 ? CaseStyle::Lower
              : c < 90 ? CaseStyle::Upper
              : c < 98 ? CaseStyle::PerWord
                       : CaseStyle::Scrambled;
        static constexpr std::string_view kIndents[] = {"    ", "  ", "\t", "   ", "\t"};
        indent_ = rng_.pick(kIndents);
        const int e = rng_.below(100);
        ends_ = e < 85 ? LineEnds::Crlf : e < 95 ? LineEnds::Lf : LineEnds::Mixed;
    }

    // --- low-level output --------------------------------------------------

    void end_line() {
        const std::uint64_t len = out_.size() - line_start_;
        if (len > stats_.longest_line) stats_.longest_line = len;
        const bool lf = ends_ == LineEnds::Lf || (ends_ == LineEnds::Mixed && rng_.percent(30));
        if (lf) {
            out_ += '\n';
            ++stats_.lf_only_lines;
        } else {
            out_ += "\r\n";
        }
        ++stats_.lines;
        line_start_ = out_.size();
    }

    void blank() {
        if (rng_.percent(5)) out_ += indent_;  // whitespace-only line
        end_line();
    }

    void ln(int depth, std::string_view tmpl) {
        for (int d = 0; d < depth; ++d) out_ += indent_;
        expand(tmpl);
        if (rng_.percent(2)) out_ += "  ";  // stray trailing blanks
        end_line();
    }

    void keyword(std::string_view word) {
        CaseStyle style = case_;
        if (style == CaseStyle::PerWord) {
            static constexpr CaseStyle kChoices[] = {CaseStyle::Mixed, CaseStyle::Lower,
                                                     CaseStyle::Upper};
            style = kChoices[rng_.below(3)];
        }
        switch (style) {
        case CaseStyle::Lower:
            for (char c : word) out_ += to_lower(c);
            break;
        case CaseStyle::Upper:
            for (char c : word) out_ += to_upper(c);
            break;
        case CaseStyle::Scrambled:
            for (char c : word) out_ += rng_.percent(50) ? to_upper(c) : to_lower(c);
            break;
        default:
            out_ += word;
        }
    }

    void string_literal() {
        out_ += '"';
        out_ += rng_.pick(kStringTexts);
        out_ += '"';
    }

    void number() {
        switch (rng_.below(10)) {
        case 0: out_ += "&H2000"; break;
        case 1: out_ += "&HFF"; break;
        case 2: out_ += "&h7FFF"; break;
        case 3: out_ += "&B1010"; break;
        case 4:
            out_ += std::to_string(rng_.range(0, 9));
            out_ += '.';
            out_ += std::to_string(rng_.range(0, 99));
            break;
        case 5:
            out_ += '-';
            out_ += std::to_string(rng_.range(1, 500));
            break;
        case 6: out_ += "1E-3"; break;
        default: out_ += std::to_string(rng_.range(0, 100000)); break;
        }
    }

    // Expands a template:
    //   {Word}  keyword, written in the block's case style
    //   ~v variable   ~i procedure name   ~n number       ~d small integer
    //   ~s string     ~c API constant     ~% '%' in PowerBasic blocks only
    //   ~a API name   ~t type keyword     ~x expression
    //   ~m optional trailing comment      ~M comment text
    void expand(std::string_view t) {
        for (std::size_t i = 0; i < t.size(); ++i) {
            const char c = t[i];
            if (c == '{') {
                const std::size_t close = t.find('}', i);
                keyword(t.substr(i + 1, close - i - 1));
                i = close;
            } else if (c == '~' && i + 1 < t.size()) {
                placeholder(t[++i]);
            } else {
                out_ += c;
            }
        }
    }

    void placeholder(char p) {
        switch (p) {
        case 'v': out_ += rng_.pick(kVariables); break;
        case 'i': out_ += rng_.pick(kProcNames); break;
        case 'n': number(); break;
        case 'd': out_ += std::to_string(rng_.range(0, 255)); break;
        case 's': string_literal(); break;
        case 'c':
            if (pb_) out_ += '%';
            out_ += rng_.pick(kConstants);
            break;
        case '%':
            if (pb_) out_ += '%';
            break;
        case 'a': out_ += rng_.pick(kApiNames); break;
        case 't': keyword(pb_ ? rng_.pick(kPbTypes) : rng_.pick(kFbTypes)); break;
        case 'x': expand(rng_.pick(kExpressions)); break;
        case 'm':
            if (rng_.percent(20)) {
                out_ += rng_.percent(50) ? "  ' " : "\t'";
                out_ += rng_.pick(kCommentTexts);
            }
            break;
        case 'M': out_ += rng_.pick(kCommentTexts); break;
        default: out_ += p; break;
        }
    }

    // --- statements ----------------------------------------------------------

    void statements(int depth, int count, int nest) {
        for (int k = 0; k < count; ++k) statement(depth, nest);
    }

    void statement(int depth, int nest) {
        const int r = nest < 3 ? rng_.below(100) : 100;
        if (r < 8) if_block(depth, nest + 1);
        else if (r < 14) for_block(depth, nest + 1);
        else if (r < 18) select_block(depth, nest + 1);
        else if (r < 21) do_block(depth, nest + 1);
        else if (r < 23) while_block(depth, nest + 1);
        else if (r < 25) continued_call(depth);
        else if (pb_ && rng_.percent(15)) ln(depth, rng_.pick(kPbStatements));
        else ln(depth, rng_.pick(kStatements));
    }

    int body_size() { return rng_.range(1, 5); }

    void if_block(int depth, int nest) {
        ln(depth, rng_.percent(50) ? "{If} ~v {And} ~c {Then}~m" : "{If} ~v <> ~n {OrElse} {Not} ~v {Then}");
        statements(depth + 1, body_size(), nest);
        if (rng_.percent(30)) {
            ln(depth, "{ElseIf} ~v = ~n {Then}");
            statements(depth + 1, body_size(), nest);
        }
        if (rng_.percent(50)) {
            ln(depth, "{Else}");
            statements(depth + 1, body_size(), nest);
        }
        ln(depth, rng_.percent(90) ? "{End If}" : "{EndIf}");
    }

    void for_block(int depth, int nest) {
        ln(depth, rng_.percent(70) ? "{For} i% = ~d {To} ~d" : "{For} j& = ~d {To} 0 {Step} -2~m");
        statements(depth + 1, body_size(), nest);
        ln(depth, rng_.percent(50) ? "{Next}" : "{Next} i%");
    }

    void select_block(int depth, int nest) {
        ln(depth, "{Select Case} ~v~m");
        static constexpr std::string_view kCases[] = {
            "{Case} ~d", "{Case} ~d {To} ~d", "{Case} {Is} > ~d", "{Case} ~s, ~s", "{Case} ~c"};
        for (int k = rng_.range(2, 5); k > 0; --k) {
            ln(depth + 1, rng_.pick(kCases));
            statements(depth + 2, rng_.range(1, 3), nest);
        }
        if (rng_.percent(60)) {
            ln(depth + 1, "{Case Else}");
            statements(depth + 2, 1, nest);
        }
        ln(depth, "{End Select}");
    }

    void do_block(int depth, int nest) {
        switch (rng_.below(3)) {
        case 0:
            ln(depth, "{Do} {While} ~v < ~d");
            statements(depth + 1, body_size(), nest);
            ln(depth, "{Loop}");
            break;
        case 1:
            ln(depth, "{Do}");
            statements(depth + 1, body_size(), nest);
            ln(depth, "{Loop} {Until} ~v >= ~d");
            break;
        default:
            ln(depth, "{Do} {Until} {Eof}(1)");
            ln(depth + 1, "{Line Input} #1, lineText$");
            statements(depth + 1, body_size(), nest);
            ln(depth, "{Loop}");
        }
    }

    void while_block(int depth, int nest) {
        ln(depth, "{While} ~v > 0");
        statements(depth + 1, body_size(), nest);
        ln(depth, "{Wend}");
    }

    // An API call split over several lines with " _" continuations.
    void continued_call(int depth) {
        ln(depth, "hWndChild = CreateWindowEx(0, \"BUTTON\", ~s, _");
        ln(depth + 2, "~%WS_CHILD {Or} ~%WS_VISIBLE, ~d, ~d, ~d, ~d, _");
        ln(depth + 2, "hWnd, {Cast}(HMENU, ~d), hInstance, {Null})");
    }

    // --- top-level blocks ----------------------------------------------------

    void procedure(bool is_function) {
        if (rng_.percent(40)) ln(0, "'~M");
        const std::string_view head =
            is_function
                ? (pb_ ? "{Function} ~i({ByVal} p {As} {Long}, s {As} {String}) {As} {Long}"
                       : "{Function} ~i({ByVal} p {As} {Integer}, {ByRef} s {As} {String}) {As} ~t")
                : (pb_ ? "{Sub} ~i({ByVal} hWnd {As} {Dword}, {ByRef} x {As} {Long})"
                       : "{Sub} ~i({ByVal} hWnd {As} HWND, x {As} {Integer})~m");
        ln(0, head);
        const int dims = rng_.range(1, 4);
        for (int k = 0; k < dims; ++k)
            ln(1, pb_ ? "{Local} ~v {As} ~t" : (rng_.percent(80) ? "{Dim} ~v {As} ~t" : "{Dim} {As} ~t ~v, ~v"));
        blank();
        statements(1, rng_.range(3, 12), 0);
        if (rng_.percent(30)) {
            ln(1, is_function ? "{Exit} {Function}" : "{Exit} {Sub}");
            ln(0, "ErrHandler:");
            ln(1, "{Print} \"Error \"; {Err}; \" in ~i\"");
        }
        if (is_function) ln(1, pb_ || rng_.percent(50) ? "{Function} = ~x" : "{Return} ~x");
        ln(0, is_function ? "{End Function}" : "{End Sub}");
    }

    void window_procedure() {
        ln(0, pb_ ? "{Function} WndProc({ByVal} hWnd {As} {Dword}, {ByVal} wMsg {As} {Dword}, _"
                  : "{Function} WndProc({ByVal} hWnd {As} HWND, {ByVal} wMsg {As} {UInteger}, _");
        ln(1, "{ByVal} wParam {As} WPARAM, {ByVal} lParam {As} LPARAM) {As} LRESULT");
        ln(1, "{Dim} ps {As} PAINTSTRUCT");
        ln(1, "{Select Case} wMsg");
        ln(2, "{Case} ~%WM_CREATE");
        statements(3, rng_.range(1, 3), 1);
        ln(2, "{Case} ~%WM_KEYDOWN~m");
        ln(3, "{If} wParam = ~%VK_ESCAPE {Then} SendMessage hWnd, ~%WM_CLOSE, 0, 0");
        ln(2, "{Case} ~%WM_COMMAND");
        ln(3, "{Select Case} {LoWord}(wParam)");
        ln(4, "{Case} ~%IDOK");
        ln(5, "{If} {HiWord}(wParam) = ~%BN_CLICKED {Then} MessageBox hWnd, ~s, ~s, ~%MB_OK");
        ln(4, "{Case} ~%IDCANCEL");
        ln(5, "PostMessage hWnd, ~%WM_CLOSE, 0, 0");
        ln(3, "{End Select}");
        ln(2, "{Case} ~%WM_PAINT");
        ln(3, "hDC = BeginPaint(hWnd, ps)");
        ln(3, "TextOut hDC, ~d, ~d, ~s, {Len}(~s)");
        ln(3, "EndPaint hWnd, ps");
        ln(2, "{Case} ~%WM_DESTROY");
        ln(3, "PostQuitMessage 0");
        ln(3, pb_ ? "{Exit} {Function}" : "{Return} 0");
        ln(1, "{End Select}");
        ln(1, pb_ ? "{Function} = DefWindowProc(hWnd, wMsg, wParam, lParam)"
                  : "{Return} DefWindowProc(hWnd, wMsg, wParam, lParam)");
        ln(0, "{End Function}");
    }

    void message_loop() {
        ln(0, "{Dim} wMsg {As} MSG");
        ln(0, "{Dim} wcls {As} WNDCLASSEX");
        ln(0, "wcls.cbSize = {SizeOf}(wcls)");
        ln(0, "wcls.hCursor = LoadCursor({Null}, ~%IDC_ARROW)");
        ln(0, "wcls.hIcon = LoadIcon({Null}, ~%IDI_APPLICATION)");
        ln(0, "wcls.lpfnWndProc = {ProcPtr}(WndProc)");
        ln(0, "{If} RegisterClassEx(wcls) = 0 {Then} {End} 1");
        ln(0, "hWnd = CreateWindowEx(0, \"MainWnd\", ~s, ~%WS_OVERLAPPEDWINDOW, _");
        ln(2, "~%CW_USEDEFAULT, ~%CW_USEDEFAULT, ~d, ~d, 0, 0, hInstance, 0)");
        ln(0, "ShowWindow hWnd, ~%SW_SHOW");
        ln(0, "UpdateWindow hWnd");
        ln(0, "{Do} {While} GetMessage(wMsg, {Null}, 0, 0) > 0");
        ln(1, "TranslateMessage wMsg");
        ln(1, "DispatchMessage wMsg");
        ln(0, "{Loop}");
    }

    void dialog_callback() {
        ln(0, "{CallBack} {Function} DlgProc() {As} {Long}");
        ln(1, "{Select Case} {As} {Long} {CbMsg}");
        ln(2, "{Case} ~%WM_INITDIALOG");
        ln(3, "{Control Add} {Button}, {CbHndl}, ~%IDOK, ~s, ~d, ~d, 50, 14");
        ln(2, "{Case} ~%WM_COMMAND");
        ln(3, "{If} {CbCtl} = ~%IDOK {And} {CbCtlMsg} = ~%BN_CLICKED {Then}");
        statements(4, rng_.range(1, 4), 1);
        ln(4, "{Dialog End} {CbHndl}, 1");
        ln(3, "{End If}");
        ln(1, "{End Select}");
        ln(0, "{End Function}");
    }

    void declarations() {
        static constexpr std::string_view kDecl[] = {
            "{Dim} ~v {As} ~t~m",
            "{Dim} {Shared} ~v(0 {To} ~d) {As} ~t",
            "{Dim} ~v {As} ~t = ~n",
            "{Const} MAX_~d = ~n",
            "{Global} ~v {As} ~t",
            "{Static} ~v {As} ~t",
            "{ReDim} ~v(~d, ~d)",
            "{Common} {Shared} ~v {As} ~t",
            "{DefInt} A-Z",
            "%IDC_~d = ~d"};
        for (int k = rng_.range(2, 10); k > 0; --k) ln(0, rng_.pick(kDecl));
    }

    void type_block() {
        ln(0, "{Type} RECORD~d");
        for (int k = rng_.range(2, 7); k > 0; --k) ln(1, "field~d {As} ~t~m");
        ln(0, "{End Type}");
    }

    void declare_lines() {
        static constexpr std::string_view kDecl[] = {
            "{Declare} {Function} ~a {Lib} \"user32.dll\" {Alias} \"~aA\" ({ByVal} hWnd {As} {Long}, {ByVal} msg {As} {Long}) {As} {Long}",
            "{Declare} {Sub} ~i({ByVal} p {As} {Integer})",
            "{Declare} {Function} ~i {Cdecl} ({ByRef} s {As} {String}) {As} ~t",
            "{Declare} {Sub} Sleep {Lib} \"kernel32.dll\" {Alias} \"Sleep\" ({ByVal} ms {As} {Dword})"};
        for (int k = rng_.range(1, 6); k > 0; --k) ln(0, rng_.pick(kDecl));
    }

    void data_block() {
        ln(0, "{Restore} Table~d");
        ln(0, "Table~d:");
        for (int k = rng_.range(2, 8); k > 0; --k) {
            ln(0, "{Data} ~d, ~d, ~n, ~s, ~n, \"a, b, c\", ~d, &H2000");
        }
        ln(0, "{For} i% = 1 {To} ~d: {Read} ~v: {Next}");
    }

    void comment_block() {
        for (int k = rng_.range(1, 6); k > 0; --k) {
            switch (rng_.below(4)) {
            case 0: ln(0, "' ~M"); break;
            case 1: ln(0, "{Rem} ~M"); break;
            case 2: ln(1, "'' ~M ''"); break;
            default: ln(0, "{Rem}"); break;
            }
        }
    }

    // Old-style numbered lines, typically all upper case.
    void numbered_block() {
        int line_no = rng_.range(1, 50) * 10;
        const int count = rng_.range(3, 10);
        for (int k = 0; k < count; ++k, line_no += 10) {
            out_ += std::to_string(line_no);
            out_ += ' ';
            static constexpr std::string_view kOld[] = {
                "{Print} ~s", "{Input} ~v", "{If} ~v > ~d {Then} ~d", "{Gosub} ~d0",
                "{Rem} ~M", "{Let} ~v = ~x", "{Data} ~d, ~d, ~d", "{Return}", "{Goto} 10"};
            ln(0, rng_.pick(kOld));
        }
        ln(0, "{End}");
    }

    void preprocessor_block() {
        if (pb_) {
            ln(0, "{#If} %DEF(%WINAPI)");
            ln(1, "{#Include} \"CommCtrl.inc\"");
            ln(0, "{#Else}");
            ln(1, "{#Include} \"Win32Api.inc\"");
            ln(0, "{#EndIf}");
        } else {
            ln(0, "{#ifdef} __FB_WIN32__");
            ln(1, "{#include} \"win/shellapi.bi\"");
            ln(0, "{#else}");
            ln(1, "{#include} {once} \"crt.bi\"");
            ln(0, "{#endif}");
        }
    }

    // A single DATA line of 16-64 KB.
    void long_data_line() {
        const std::size_t target = static_cast<std::size_t>(rng_.range(16, 64)) * 1024;
        const std::size_t start = out_.size();
        keyword("Data");
        out_ += ' ';
        while (out_.size() - start < target) {
            if (rng_.percent(10)) string_literal();
            else if (rng_.percent(10)) out_ += "&H2000";
            else out_ += std::to_string(rng_.range(0, 65535));
            out_ += ", ";
        }
        out_ += '0';
        end_line();
    }

    // One string expression of 10-40 KB built from many concatenations.
    void long_concatenation() {
        const std::size_t target = static_cast<std::size_t>(rng_.range(10, 40)) * 1024;
        const std::size_t start = out_.size();
        out_ += indent_;
        expand("~v = ~s");
        while (out_.size() - start < target) {
            switch (rng_.below(4)) {
            case 0: expand(" & ~s"); break;
            case 1: expand(" + {Chr$}(~d)"); break;
            case 2: expand(" & {Str$}(~v)"); break;
            default: expand(" & ~v"); break;
            }
        }
        expand("  ' ~M");
        end_line();
    }

    Rng rng_;
    std::string out_;
    std::size_t line_start_ = 0;
    GeneratedFile stats_;

    bool pb_ = false;
    CaseStyle case_ = CaseStyle::Mixed;
    std::string_view indent_ = "    ";
    LineEnds ends_ = LineEnds::Crlf;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

GeneratedFile generate_basic_file(const std::string& path, std::uint64_t min_bytes,
                                  std::uint64_t seed) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));

    constexpr std::size_t kFlushAt = 1 << 20;
    Generator gen(seed);
    std::string& buf = gen.buffer();
    buf.reserve(kFlushAt + 128 * 1024);

    std::uint64_t written = 0;
    auto flush = [&] {
        if (!buf.empty() && std::fwrite(buf.data(), 1, buf.size(), file.get()) != buf.size())
            throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
        written += buf.size();
        gen.clear_buffer();
    };

    gen.file_header();
    while (written + buf.size() < min_bytes) {
        gen.block();
        if (buf.size() >= kFlushAt) flush();
    }
    flush();
    if (std::fclose(file.release()) != 0)
        throw std::runtime_error("cannot close " + path + ": " + std::strerror(errno));

    GeneratedFile result = gen.stats();
    result.bytes = written;
    return result;
}

}  // namespace trx_bench
