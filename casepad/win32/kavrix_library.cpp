#include "kavrix_library.h"

#include "scintilla_messages.h"

namespace {

constexpr UINT SCI_GETDIRECTPOINTER = 2185;
constexpr UINT SCI_SETILEXER = 4033;

template <typename Function>
bool FindFunction(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return function != nullptr;
}

}  // namespace

KavrixLibrary LoadKavrixLibrary(const std::string& folder, std::string& problem)
{
    KavrixLibrary library;
    const std::string path = folder + "\\" + kKavrixFileName;
    HMODULE module = ::LoadLibraryA(path.c_str());
    if (module == nullptr) {
        problem = "Cannot load the editing component:\n" + path + "\n\ncasepad needs KAVRIX.DLL beside casepad.exe.";
        return library;
    }
    if (!FindFunction(module, "Scintilla_DirectFunction", library.directFunction) ||
        !FindFunction(module, "CreateLexer", library.createLexer) ||
        !FindFunction(module, "LexerNameFromID", library.lexerNameFromId)) {
        problem = "Not the editing component casepad needs:\n" + path + "\n\nIt lacks Scintilla's or Lexilla's functions.";
        ::FreeLibrary(module);
        return library;
    }
    library.module = module;
    return library;
}

HWND CreateKavrixWindow(HWND parent, HINSTANCE instance, const KavrixLibrary& library, KavrixEditor& editor)
{
    HWND window = ::CreateWindowExA(0, kKavrixWindowClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10, parent,
                                    nullptr, instance, nullptr);
    editor.library = &library;
    editor.editorPtr = reinterpret_cast<void*>(::SendMessageA(window, SCI_GETDIRECTPOINTER, 0, 0));
    return window;
}

intptr_t SendToKavrix(void* editor, unsigned int message, uintptr_t wParam, intptr_t lParam)
{
    const KavrixEditor& kavrix = *static_cast<const KavrixEditor*>(editor);
    const KavrixLibrary& library = *kavrix.library;
    if (message == SCI_SETLEXER) {
        const char* name = library.lexerNameFromId(static_cast<int>(wParam));
        void* lexer = name != nullptr ? library.createLexer(name) : nullptr;
        return library.directFunction(kavrix.editorPtr, SCI_SETILEXER, 0, reinterpret_cast<intptr_t>(lexer));
    }
    return library.directFunction(kavrix.editorPtr, message, wParam, lParam);
}
