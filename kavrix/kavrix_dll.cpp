// KAVRIX.DLL's entry point and the editor's exported direct function.
// Loading the DLL registers Scintilla's window class "Scintilla" and the same
// class again under the name "KavrixView", the name casepad creates.

#include <windows.h>

#include "ScintillaTypes.h"
#include "ScintillaWin.h"

extern "C" int Scintilla_RegisterClasses(void* hInstance);

namespace {

constexpr wchar_t kEditorClass[] = L"Scintilla";
constexpr wchar_t kKavrixClass[] = L"KavrixView";

// A second name for the editor class: same window procedure, same extra
// bytes (where each window keeps its editor object).
bool RegisterKavrixClass(HINSTANCE instance)
{
    WNDCLASSEXW editorClass{};
    editorClass.cbSize = sizeof(editorClass);
    if (!::GetClassInfoExW(instance, kEditorClass, &editorClass)) return false;
    editorClass.lpszClassName = kKavrixClass;
    return ::RegisterClassExW(&editorClass) != 0;
}

}  // namespace

extern "C" __declspec(dllexport) Scintilla::sptr_t __stdcall Scintilla_DirectFunction(
    Scintilla::Internal::ScintillaWin* editor, UINT message, Scintilla::uptr_t wParam, Scintilla::sptr_t lParam)
{
    return Scintilla::Internal::DirectFunction(editor, message, wParam, lParam);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) return Scintilla_RegisterClasses(instance) && RegisterKavrixClass(instance);
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary (not at process end): the classes go with it.
        ::UnregisterClassW(kKavrixClass, instance);
        Scintilla::Internal::ResourcesRelease(true);
    }
    return TRUE;
}
