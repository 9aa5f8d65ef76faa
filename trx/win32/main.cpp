// TRX: converts the keyword case of one BASIC source file. A program of the
// GUI subsystem: no window of its own, no console; it talks to the user in
// message boxes only.

#include <windows.h>

#include "command_line.h"
#include "driver.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The raw line, not the runtime's argument vector: a file name may hold
    // runs of spaces, and the options are one text after it.
    return RunTrx(CommandTailFromRawLine(GetCommandLineA()));
}
