#include "editor_setup.h"

#include "demo_text.h"
#include "scintilla_messages.h"

namespace {

constexpr int kLineNumberMarginWidth = 40;

struct StyleColour {
    int style;
    int colour;  // 0xBBGGRR
};

// Styles of the PowerBasic lexer.
constexpr StyleColour kStyleColours[] = {
    {0, 0x000000},   // default text: black
    {1, 0x808080},   // comment: grey
    {2, 0x000080},   // number: dark red
    {13, 0x800080},  // constant: purple
    {3, 0xFF0000},   // keyword of set 0: blue
    {4, 0x008000},   // string: green
    {6, 0x000000},   // operator: black
    {14, 0x004080},  // inline assembler: brown
    {7, 0x000000},   // identifier: black
};

void TurnOnFolding(const EditorComponent& editor) { SendEditorText(editor, SCI_SETPROPERTY, reinterpret_cast<uintptr_t>("fold"), "1"); }

}  // namespace

void ConfigureEditor(const EditorComponent& editor, const std::string& text)
{
    SendEditorText(editor, SCI_STYLESETFONT, STYLE_DEFAULT, "Courier New");
    SendEditor(editor, SCI_STYLESETSIZE, STYLE_DEFAULT, 9);
    SendEditor(editor, SCI_STYLESETBOLD, STYLE_DEFAULT, 0);
    SendEditor(editor, SCI_STYLESETITALIC, STYLE_DEFAULT, 0);
    SendEditor(editor, SCI_STYLECLEARALL);
    SendEditorText(editor, SCI_STYLESETFONT, STYLE_LINENUMBER, "Arial");
    TurnOnFolding(editor);

    SendEditor(editor, SCI_SETMARGINTYPEN, kLineNumberMargin, SC_MARGIN_NUMBER);
    SendEditor(editor, SCI_SETMARGINMASKN, kLineNumberMargin, 0);
    SendEditor(editor, SCI_SETMARGINSENSITIVEN, kLineNumberMargin, 1);
    SendEditor(editor, SCI_SETMARGINWIDTHN, kLineNumberMargin, kLineNumberMarginWidth);

    SendEditor(editor, SCI_SETLEXER, SCLEX_POWERBASIC);
    // A lexer takes only the properties set after it was chosen: the "fold"
    // sent above is stored but never reaches it. Sent again here, the
    // lexer computes fold levels.
    TurnOnFolding(editor);
    SendEditorText(editor, SCI_SETKEYWORDS, 0, kLexerWords);
    for (const StyleColour& entry : kStyleColours) SendEditor(editor, SCI_STYLESETFORE, entry.style, entry.colour);

    SendEditorText(editor, SCI_INSERTTEXT, 0, text.c_str());
}
