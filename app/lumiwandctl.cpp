// lumiwandctl: the command-line companion of Lumiwand, over the same logic, for scripting and production use.
//   lumiwandctl [--edition N] [--factory] [--simplified] COMMAND [ARGUMENTS]
// Without --edition the edition comes from the tool's own invoked name, as the program's does.
//
// This program links Qt Core alone, so that it starts fast: it runs the commands that need nothing more and
// hands every other command line, unchanged, to lumiwandctl-commands, which loads the picture and font libraries.

#include "app/ctl/Tool.h"

int main(int argc, char* argv[])
{
    return ctl::runTool(argc, argv, {ctl::startCommandsProgram, nullptr});
}
