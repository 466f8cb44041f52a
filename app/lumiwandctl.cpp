// lumiwandctl: the command-line companion of Lumiwand, over the same logic, for scripting and production use.
//   lumiwandctl [--edition N] [--factory] [--simplified] COMMAND [ARGUMENTS]
// Without --edition the edition comes from the tool's own invoked name, as the program's does.

#include "app/CommandLine.h"
#include "app/ctl/Command.h"
#include "imaging/Fonts.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/IniFile.h"

#include <QGuiApplication>
#include <memory>

namespace {

const char* const kProgram = "lumiwandctl";

int refuse(QTextStream& err, const QString& text)
{
    err << text << '\n';
    return ctl::kExitUsage;
}

store::EditionParameters editionOf(const ctl::Invocation& global, const char* invokedAs)
{
    const std::optional<QString> number = global.value(QStringLiteral("edition"));
    store::EditionParameters edition = store::deriveEdition(
        number ? QStringLiteral("Lumiwand") + *number : store::invokedPath(QString::fromLocal8Bit(invokedAs)));
    edition.factoryMode = edition.factoryMode || global.isSet(QStringLiteral("factory"));
    edition.versionLabel = store::programVersionLabel();
    return edition;
}

} // namespace

int main(int argc, char* argv[])
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList line{QString::fromLatin1(kProgram)};
    for (int i = 1; i < argc; ++i)
        line << QString::fromLocal8Bit(argv[i]);

    const ctl::Parsed global = ctl::parseGlobalOptions(line);
    if (!global.error.isEmpty())
        return refuse(err, global.error);
    if (global.helpRequested) {
        out << ctl::toolHelp();
        return 0;
    }
    if (global.invocation.isSet(QStringLiteral("version"))) {
        out << app::versionText(QString::fromLatin1(kProgram)) << '\n';
        return 0;
    }
    QStringList arguments = global.invocation.arguments;
    if (arguments.isEmpty())
        return refuse(err, messages::formatMessage(msg::CommandMissing, kProgram, kProgram));
    const ctl::Command* command = ctl::findCommand(arguments.first());
    if (!command)
        return refuse(err, messages::formatMessage(msg::UnknownCommand, kProgram, qPrintable(arguments.first()), kProgram));
    arguments.removeFirst();
    const ctl::Parsed parsed = ctl::parseCommandLine(*command, arguments);
    if (parsed.helpRequested) {
        out << ctl::commandHelp(*command);
        return 0;
    }
    if (!parsed.error.isEmpty())
        return refuse(err, parsed.error);

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
    const store::EditionParameters edition = editionOf(global.invocation, argv[0]);
    ctl::Context context{edition,
                         store::prepareWorkspace(store::documentsFolder(), edition.ledCount, edition.pictureWidth),
                         global.invocation.isSet(QStringLiteral("simplified")), out, err};
    try {
        return command->run(context, parsed.invocation);
    } catch (const store::IniWriteError& error) {
        err << error.message() << '\n';
        return ctl::kExitFailure;
    }
}
