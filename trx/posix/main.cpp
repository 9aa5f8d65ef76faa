// trx: converts the keyword case of one BASIC source file.

#include "command_line.h"
#include "driver.h"

int main(int argc, char** argv) { return RunTrx(CommandTailFromArguments(argc, argv)); }
