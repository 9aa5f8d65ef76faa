#pragma once
// The single channel between the editor core and the editing component:
// a message number and two parameters go in, the message's result comes out,
// as with Scintilla's direct function and its editor pointer.

#include <cstdint>

using EditorMessageRoutine = intptr_t (*)(void* editor, unsigned int message, uintptr_t wParam, intptr_t lParam);

struct EditorComponent {
    EditorMessageRoutine send = nullptr;
    void* editor = nullptr;  // handed back to `send` with every message
};

inline intptr_t SendEditor(const EditorComponent& component, unsigned int message, uintptr_t wParam = 0, intptr_t lParam = 0)
{
    return component.send(component.editor, message, wParam, lParam);
}

// For the messages whose lParam is a NUL-terminated text or a buffer.
inline intptr_t SendEditorText(const EditorComponent& component, unsigned int message, uintptr_t wParam, const char* text)
{
    return SendEditor(component, message, wParam, reinterpret_cast<intptr_t>(text));
}
