#pragma once

#include <QStringList>
#include <optional>

// The window program's command line: --help, --version and files to open.
namespace app {

struct ProgramCommandLine {
    enum class Action {
        Run,     // start, opening `files`
        Inform,  // print `text` on standard output and end with status 0 (--help, --version)
        Refuse,  // print `text` on standard error and end with status 2
    };
    Action action = Action::Run;
    QStringList files; // absolute paths of project images and pictures, in the order given
    QString text;
};

// The exit status of a command line that is refused.
constexpr int kExitUsage = 2;

// --help or --version, answered before the windowing system is reached (it may be absent); nullopt for any
// other command line. `arguments` is the whole command line, the invoked path first.
std::optional<ProgramCommandLine> informationRequest(const QStringList& arguments);

// The whole command line once the toolkit has taken its own options out of it: a file that is neither a project
// image (.lwd, .bin) nor a picture the editor imports, or an unknown option, is refused.
ProgramCommandLine parseProgramArguments(const QStringList& arguments);

} // namespace app
