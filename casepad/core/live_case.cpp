#include "live_case.h"

#include <algorithm>

#include "folding.h"
#include "keyword_case.h"
#include "scintilla_messages.h"

using namespace recasor;

namespace {

constexpr intptr_t kLastLineOfFirstPass = 100;

// The line as the component holds it, line end included.
std::string ReadLine(const EditorComponent& editor, intptr_t line)
{
    intptr_t length = SendEditor(editor, SCI_LINELENGTH, line);
    std::string buffer(static_cast<size_t>(std::max<intptr_t>(length, 0)), '\0');
    if (!buffer.empty()) SendEditor(editor, SCI_GETLINE, line, reinterpret_cast<intptr_t>(buffer.data()));
    return buffer;
}

// Drops a NUL, then a LF, then a CR from the end, each at most once.
void TrimLineEnd(std::string& text)
{
    if (!text.empty() && text.back() == '\0') text.pop_back();
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
}

}  // namespace

std::string GetLineText(const EditorComponent& editor, intptr_t line)
{
    std::string text = ReadLine(editor, line);
    TrimLineEnd(text);
    return text;
}

void ReplaceLineText(const EditorComponent& editor, intptr_t line, std::string text)
{
    TrimLineEnd(text);
    intptr_t saved = SendEditor(editor, SCI_GETCURRENTPOS);
    SendEditor(editor, SCI_GOTOLINE, line);
    intptr_t start = SendEditor(editor, SCI_GETCURRENTPOS);
    intptr_t end = SendEditor(editor, SCI_GETLINEENDPOSITION, line);
    SendEditor(editor, SCI_SETSEL, start, end);
    SendEditorText(editor, SCI_REPLACESEL, 0, text.c_str());
    // The conversion keeps the line's length, so this is the same character.
    SendEditor(editor, SCI_GOTOPOS, saved);
}

void RecaseLine(const EditorComponent& editor, const KeywordSet& set, intptr_t line)
{
    std::string text = ReadLine(editor, line);
    // The replacement is handed over as NUL-terminated text: a line holding
    // a NUL byte would be cut short there, so such a line is left as it is.
    if (text.find('\0') != std::string::npos) return;
    TrimLineEnd(text);
    std::string converted = text;
    ApplyKeywordCase(converted, set);
    if (converted != text) ReplaceLineText(editor, line, converted);
}

void RecaseFirstLines(const EditorComponent& editor, const KeywordSet& set)
{
    intptr_t count = SendEditor(editor, SCI_GETLINECOUNT);
    if (count <= 1) return;
    intptr_t last = std::min(count - 1, kLastLineOfFirstPass);
    for (intptr_t line = 0; line <= last; ++line) RecaseLine(editor, set, line);
}

void FollowCaret(const EditorComponent& editor, const KeywordSet& set, CaretTracker& tracker)
{
    tracker.previousCaretLine = tracker.caretLine;
    tracker.caretLine = GetCurrentLine(editor);
    if (tracker.caretLine != tracker.previousCaretLine) RecaseLine(editor, set, tracker.previousCaretLine);
}
