// lumiwandctl: the command-line companion of Lumiwand, over the same logic, for scripting and production use.
//   lumiwandctl [--edition N] [--factory] [--simplified] COMMAND [ARGUMENTS]
// Without --edition the edition comes from the tool's own invoked name, as the program's does.

#include "app/ctl/Command.h"
#include "imaging/Fonts.h"
#include "store/IniFile.h"

#include <QGuiApplication>

namespace {

int usage(QTextStream& err)
{
    err << "usage: lumiwandctl [--edition N] [--factory] [--simplified] COMMAND [ARGUMENTS]\ncommands:\n";
    for (const ctl::Command& command : ctl::commands())
        err << "  " << command.usage << '\n';
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    // Text is drawn with the platform's fonts, which need a GUI application; a command-line tool needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    imaging::installFontSubstitutions();
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments = QCoreApplication::arguments().mid(1);
    store::EditionParameters edition = store::deriveEdition(store::invokedPath(QString::fromLocal8Bit(argv[0])));
    bool simplified = false;
    bool factory = false;
    while (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--"))) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--edition") && !arguments.isEmpty())
            edition = store::deriveEdition(QStringLiteral("Lumiwand") + arguments.takeFirst());
        else if (option == QLatin1String("--factory"))
            factory = true;
        else if (option == QLatin1String("--simplified"))
            simplified = true;
        else
            return usage(err);
    }
    edition.factoryMode = edition.factoryMode || factory;
    edition.versionLabel = store::programVersionLabel();
    if (arguments.isEmpty())
        return usage(err);

    const QString name = arguments.takeFirst();
    for (const ctl::Command& command : ctl::commands()) {
        if (command.name != name)
            continue;
        ctl::Context context{edition,
                             store::prepareWorkspace(store::documentsFolder(), edition.ledCount,
                                                     edition.pictureWidth),
                             simplified, out, err};
        try {
            return command.run(context, arguments);
        } catch (const store::IniWriteError& error) {
            err << error.message() << '\n';
            return 1;
        }
    }
    return usage(err);
}
