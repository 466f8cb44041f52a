#pragma once

#include <functional>
#include <memory>

class QCoreApplication;

// lumiwandctl's command line from argv to exit status, shared by its two programs: lumiwandctl, which links Qt
// Core alone and runs the commands that need nothing more (info), and lumiwandctl-commands, which runs them all.
namespace ctl {

struct ToolHooks {
    // Called for a command line this program's table cannot answer (the whole tool's help, a command it lacks),
    // with the unchanged argv: starts the program that can. Returns an exit status only when that failed.
    std::function<int(char* argv[])> handOver;
    // The application of a command that draws text (fonts come with a GUI application); null where no command
    // of the table draws.
    std::function<std::unique_ptr<QCoreApplication>(int& argc, char* argv[])> drawingApplication;
};

int runTool(int argc, char* argv[], const ToolHooks& hooks);

// Replaces this process with lumiwandctl-commands, found beside this program's file or in the private folder
// of an installation; on failure prints why and returns the failure status.
int startCommandsProgram(char* argv[]);

} // namespace ctl
