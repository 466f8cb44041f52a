#include "app/ctl/Tool.h"

#include "app/CommandLine.h"
#include "app/ctl/Command.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/IniFile.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace ctl {
namespace {

const char* const kProgram = "lumiwandctl";
const char* const kCommandsProgram = "lumiwandctl-commands";

int refuse(QTextStream& err, const QString& text)
{
    err << text << '\n';
    return kExitUsage;
}

store::EditionParameters editionOf(const Invocation& global, const char* invokedAs)
{
    const std::optional<QString> number = global.value(QStringLiteral("edition"));
    store::EditionParameters edition = store::deriveEdition(
        number ? QStringLiteral("Lumiwand") + *number : store::invokedPath(QString::fromLocal8Bit(invokedAs)));
    edition.factoryMode = edition.factoryMode || global.isSet(QStringLiteral("factory"));
    edition.versionLabel = store::programVersionLabel();
    return edition;
}

// The folder of this program's own file, symbolic links resolved, without the trailing slash.
QByteArray ownFolder()
{
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return QByteArrayLiteral(".");
    const QByteArray file(path, length);
    return file.left(std::max<qsizetype>(file.lastIndexOf('/'), 1));
}

} // namespace

int runTool(int argc, char* argv[], const ToolHooks& hooks)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList line{QString::fromLatin1(kProgram)};
    for (int i = 1; i < argc; ++i)
        line << QString::fromLocal8Bit(argv[i]);

    const Parsed global = parseGlobalOptions(line);
    if (!global.error.isEmpty())
        return refuse(err, global.error);
    if (global.helpRequested) {
        if (hooks.handOver)
            return hooks.handOver(argv);
        out << toolHelp();
        return 0;
    }
    if (global.invocation.isSet(QStringLiteral("version"))) {
        out << app::versionText(QString::fromLatin1(kProgram)) << '\n';
        return 0;
    }
    QStringList arguments = global.invocation.arguments;
    if (arguments.isEmpty())
        return refuse(err, messages::formatMessage(msg::CommandMissing, kProgram, kProgram));
    const Command* command = findCommand(arguments.first());
    if (!command && hooks.handOver)
        return hooks.handOver(argv);
    if (!command)
        return refuse(err, messages::formatMessage(msg::UnknownCommand, kProgram, qPrintable(arguments.first()), kProgram));
    arguments.removeFirst();
    const Parsed parsed = parseCommandLine(*command, arguments);
    if (parsed.helpRequested) {
        out << commandHelp(*command);
        return 0;
    }
    if (!parsed.error.isEmpty())
        return refuse(err, parsed.error);

    // Drawing text needs the platform's fonts, which come with a GUI application.
    const std::unique_ptr<QCoreApplication> application =
        command->drawsText && hooks.drawingApplication ? hooks.drawingApplication(argc, argv)
                                                       : std::make_unique<QCoreApplication>(argc, argv);
    const store::EditionParameters edition = editionOf(global.invocation, argv[0]);
    Context context{edition,
                    store::prepareWorkspace(store::documentsFolder(), edition.ledCount, edition.pictureWidth),
                    global.invocation.isSet(QStringLiteral("simplified")), out, err};
    try {
        return command->run(context, parsed.invocation);
    } catch (const store::IniWriteError& error) {
        err << error.message() << '\n';
        return kExitFailure;
    }
}

int startCommandsProgram(char* argv[])
{
    // Beside this program in the build tree; in an installation, in the private folder the package keeps it in.
    const QByteArray folder = ownFolder();
    QByteArray program = folder + '/' + kCommandsProgram;
    ::execv(program.constData(), argv);
    if (errno == ENOENT) {
        program = folder + '/' + LUMIWAND_PRIVATE_FROM_BINDIR + '/' + kCommandsProgram;
        ::execv(program.constData(), argv);
    }
    const int error = errno;
    QTextStream(stderr) << messages::formatMessage(msg::CommandsProgramNotStarted, kProgram, program.constData(),
                                                   std::strerror(error))
                        << '\n';
    return kExitFailure;
}

} // namespace ctl
