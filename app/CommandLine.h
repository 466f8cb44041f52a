#pragma once

#include <QStringList>

class QCommandLineParser;

// What the window program and lumiwandctl share of their command lines.
namespace app {

// The one-line error for a command line `parser` refused: an unknown option, an option without its value, or a
// switch given a value. `line` is what was parsed (the program's name first), `valueOptions` the names of the
// options that take a value.
QString parseErrorText(const QCommandLineParser& parser, const QStringList& line, const QStringList& valueOptions);

// "lumiwandctl 1.0.0.0": the program's name and version, as --version prints them.
QString versionText(const QString& program);

} // namespace app
