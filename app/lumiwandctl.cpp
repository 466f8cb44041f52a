// lumiwandctl: the command-line companion of Lumiwand, over the same logic, for scripting and production use.
//   lumiwandctl [--edition N] [--factory] [--simplified] COMMAND [ARGUMENTS]
// Without --edition the edition comes from the tool's own invoked name, as the program's does.

#include "app/ctl/Command.h"
#include "imaging/Fonts.h"
#include "store/IniFile.h"

#include <QGuiApplication>
#include <algorithm>
#include <memory>

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
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
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
    const QString name = arguments.value(0);
    const auto command = std::find_if(ctl::commands().begin(), ctl::commands().end(),
                                      [&name](const ctl::Command& command) { return command.name == name; });
    if (command == ctl::commands().end())
        return usage(err);
    arguments.removeFirst();

    // Drawing text needs the platform's fonts, which come with a GUI application; a command-line tool needs no
    // display, so it draws offscreen.
    std::unique_ptr<QCoreApplication> application;
    if (command->drawsText) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
        imaging::installFontSubstitutions();
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    ctl::Context context{edition,
                         store::prepareWorkspace(store::documentsFolder(), edition.ledCount, edition.pictureWidth),
                         simplified, out, err};
    try {
        return command->run(context, arguments);
    } catch (const store::IniWriteError& error) {
        err << error.message() << '\n';
        return 1;
    }
}
