// recasor.exe: uniform keyword case for BASIC sources, in place, as a check,
// as a diff or as a filter. A console program; its command line is read as
// UTF-16 and handed on as UTF-8, the encoding of every name inside.

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "argument_parsing.h"
#include "run.h"
#include "win32/wide_names.h"

#ifndef RECASOR_VERSION
#define RECASOR_VERSION "0"
#endif

int wmain()
{
    SetFileNameCodePage(CP_UTF8);
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    argv.push_back(nullptr);

    recasor::ParsedArguments parsed = recasor::ParseArguments(count, argv.data(), RECASOR_VERSION);
    if (parsed.exitNow) return *parsed.exitNow;
    return recasor::RunRecasor(parsed.options);
}
