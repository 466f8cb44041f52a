#pragma once

#include "store/Edition.h"
#include "store/Workspace.h"

#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>
#include <vector>

// lumiwandctl's commands. Each command file registers its commands in a static table, so new commands are added
// without touching the dispatcher.
namespace ctl {

struct Context {
    store::EditionParameters edition;
    store::Workspace workspace;
    bool simplifiedMode = false;
    QTextStream& out;
    QTextStream& err;
};

struct Command {
    QString name;
    QString usage;   // "count PROJECT"
    // Returns the exit status: 0 only on success.
    std::function<int(Context& context, const QStringList& arguments)> run;
    bool drawsText = false; // needs the platform's fonts (a GUI application, offscreen)
};

std::vector<Command>& commands();

// Takes "--NAME VALUE" out of the arguments; nullopt when absent, an empty text when the value is missing.
std::optional<QString> takeOption(QStringList& arguments, const QString& name);

// Prints the command's usage line; returns the exit status of a usage error.
int usageOf(Context& context, const QString& usage);

// Adds a command to the table at static initialisation: `static const ctl::Registration r{{...}};`.
struct Registration {
    explicit Registration(Command command) { commands().push_back(std::move(command)); }
};

} // namespace ctl
