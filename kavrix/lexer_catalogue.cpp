// The lexers that KAVRIX.DLL carries, offered through Lexilla's published
// functions, so that a host creates a lexer by name (CreateLexer) and finds
// the name of an old lexer number (LexerNameFromID). Only the PowerBasic
// lexer is built in.

#include <cstring>
#include <initializer_list>
#include <vector>

#include "ILexer.h"
#include "LexerModule.h"

#include "CatalogueModules.h"

extern Lexilla::LexerModule lmPB;

namespace {

const Lexilla::CatalogueModules& Catalogue()
{
    static const Lexilla::CatalogueModules catalogue = [] {
        Lexilla::CatalogueModules modules;
        modules.AddLexerModule(&lmPB);
        return modules;
    }();
    return catalogue;
}

}  // namespace

extern "C" {

__declspec(dllexport) int __stdcall GetLexerCount() { return static_cast<int>(Catalogue().Count()); }

__declspec(dllexport) void __stdcall GetLexerName(unsigned int index, char* name, int bufferLength)
{
    if (bufferLength <= 0) return;
    const char* lexerName = Catalogue().Name(index);
    name[0] = '\0';
    if (static_cast<size_t>(bufferLength) > std::strlen(lexerName)) std::strcpy(name, lexerName);
}

__declspec(dllexport) Scintilla::ILexer5* __stdcall CreateLexer(const char* name)
{
    const Lexilla::CatalogueModules& catalogue = Catalogue();
    for (unsigned int i = 0; i < catalogue.Count(); ++i)
        if (name != nullptr && std::strcmp(catalogue.Name(i), name) == 0) return catalogue.Create(i);
    return nullptr;
}

__declspec(dllexport) const char* __stdcall LexerNameFromID(int identifier)
{
    const Lexilla::LexerModule* module = Catalogue().Find(identifier);
    return module != nullptr ? module->languageName : nullptr;
}

}  // extern "C"
