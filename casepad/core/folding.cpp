#include "folding.h"

#include "scintilla_messages.h"

namespace {

bool IsFoldHeader(const EditorComponent& editor, intptr_t line)
{
    return (SendEditor(editor, SCI_GETFOLDLEVEL, line) & SC_FOLDLEVELHEADERFLAG) != 0;
}

// The line itself when it is a header, else the header of the enclosing
// block, or -1 outside any block.
intptr_t FoldHeaderOf(const EditorComponent& editor, intptr_t line)
{
    if (IsFoldHeader(editor, line)) return line;
    return SendEditor(editor, SCI_GETFOLDPARENT, line);
}

// Toggles the block holding `line` and returns its header line. Outside any
// block the component ignores the toggle and the caret goes to line 0.
intptr_t ToggleBlockOf(const EditorComponent& editor, intptr_t line)
{
    intptr_t foldHeaderLine = FoldHeaderOf(editor, line);
    SendEditor(editor, SCI_TOGGLEFOLD, foldHeaderLine);
    SendEditor(editor, SCI_GOTOLINE, foldHeaderLine);
    return foldHeaderLine;
}

}  // namespace

intptr_t GetCurrentLine(const EditorComponent& editor)
{
    return SendEditor(editor, SCI_LINEFROMPOSITION, SendEditor(editor, SCI_GETCURRENTPOS));
}

void ToggleSub(const EditorComponent& editor, intptr_t line) { ToggleBlockOf(editor, line); }

void ToggleSubsBelow(const EditorComponent& editor, intptr_t line)
{
    intptr_t foldHeaderLine = ToggleBlockOf(editor, line);
    intptr_t foldTargetExpanded = SendEditor(editor, SCI_GETFOLDEXPANDED, foldHeaderLine);
    intptr_t lineCount = SendEditor(editor, SCI_GETLINECOUNT);
    // Headers above `line` are left alone; a header already in the target
    // state is not toggled, so no block flips back. The lexer works lazily,
    // but each toggle makes it scan its block up to the next header, so the
    // headers further down are known by the time the loop reaches them.
    for (intptr_t i = line; i < lineCount; ++i) {
        if (IsFoldHeader(editor, i) && SendEditor(editor, SCI_GETFOLDEXPANDED, i) != foldTargetExpanded)
            SendEditor(editor, SCI_TOGGLEFOLD, i);
    }
}
