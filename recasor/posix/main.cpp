// recasor: uniform keyword case for BASIC sources, in place, as a check, as
// a diff or as a filter.

#include "command_line.h"
#include "run.h"

#ifndef RECASOR_VERSION
#define RECASOR_VERSION "0"
#endif

int main(int argc, char** argv)
{
    recasor::CommandLine commandLine = recasor::ParseCommandLine(argc, argv, RECASOR_VERSION);
    if (commandLine.exitNow) return *commandLine.exitNow;
    return recasor::RunRecasor(commandLine.options);
}
