// recasor: uniform keyword case for BASIC sources, in place, as a check, as
// a diff or as a filter.

#include "argument_parsing.h"
#include "run.h"

#ifndef RECASOR_VERSION
#define RECASOR_VERSION "0"
#endif

int main(int argc, char** argv)
{
    recasor::ParsedArguments arguments = recasor::ParseArguments(argc, argv, RECASOR_VERSION);
    if (arguments.exitNow) return *arguments.exitNow;
    return recasor::RunRecasor(arguments.options);
}
