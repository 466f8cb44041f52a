#pragma once

#include "store/Edition.h"
#include "store/Workspace.h"

#include <QHash>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>
#include <vector>

// lumiwandctl's commands. A command is one row of a static table (name, arguments, options, summary) and one
// handler; the dispatcher parses the command line from the row, prints its help and rejects what it does not
// name, so a handler only reads arguments that are already known to be well-formed.
namespace ctl {

struct Context {
    store::EditionParameters edition;
    store::Workspace workspace;
    bool simplifiedMode = false;
    QTextStream& out;
    QTextStream& err;
};

struct Option {
    QString name;        // "type" for --type
    QString valueName;   // "N" when the option takes a value; empty for a switch
    QString description; // one line for the help
};

// The parsed arguments of one command: its positional arguments and the options given.
struct Invocation {
    QStringList arguments;
    QHash<QString, QString> options; // option name to value (empty for a switch)

    bool isSet(const QString& name) const { return options.contains(name); }
    std::optional<QString> value(const QString& name) const;
};

struct Command {
    QString name;
    // The positional arguments as the help shows them: "PROJECT FILE"; a word in brackets is optional ("[NAME]").
    QString arguments;
    QString summary; // one line for the help
    std::vector<Option> options;
    // Returns the exit status: 0 only on success, 2 for a usage error.
    std::function<int(Context& context, const Invocation& invocation)> run;
    bool drawsText = false; // needs the platform's fonts (a GUI application, offscreen)
};

std::vector<Command>& commands();
const Command* findCommand(const QString& name);

// The exit statuses of lumiwandctl.
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Parses a command's own arguments (what follows its name). Fails with a one-line error text.
struct Parsed {
    Invocation invocation;
    bool helpRequested = false;
    QString error;
};
Parsed parseCommandLine(const Command& command, const QStringList& arguments);

// The options before the command (--edition N, --factory, --simplified, --version, --help); the command and what
// follows it are left as the invocation's arguments. `line` starts with the program's name.
const std::vector<Option>& globalOptions();
Parsed parseGlobalOptions(const QStringList& line);

// "count PROJECT" and the options: the usage of a command.
QString usageLine(const Command& command);
// The help of one command, and of the whole tool (global options and every command).
QString commandHelp(const Command& command);
QString toolHelp();

// Prints the command's usage line on standard error; returns the exit status of a usage error.
int usageOf(Context& context, const Command& command);
int usageOf(Context& context, const QString& commandName);

// Adds a command to the table at static initialisation: `static const ctl::Registration r{{...}};`.
struct Registration {
    explicit Registration(Command command) { commands().push_back(std::move(command)); }
};

} // namespace ctl
