#include "app/ProgramArguments.h"

#include "app/CommandLine.h"
#include "deviceimage/BinaryFiles.h"
#include "editing/EditorCommands.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace app {
namespace {

const QCommandLineOption kHelp(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption kVersion(QStringList{QStringLiteral("v"), QStringLiteral("version")});

QString programName(const QStringList& arguments)
{
    return QFileInfo(arguments.value(0)).fileName();
}

QString helpText(const QString& program)
{
    return messages::formatMessage(msg::CtlUsage, qPrintable(program + QStringLiteral(" [OPTIONS] [FILE...]")))
           + QStringLiteral("\n\n") + messages::lookupMessage(msg::ProgramDescription) + QStringLiteral("\n\n")
           + QStringLiteral("FILE: ") + messages::lookupMessage(msg::FileArguments)
           + QStringLiteral("\n\nOptions:\n"
                            "  -h, --help     Show this help and exit.\n"
                            "  -v, --version  Show the version and exit.\n");
}

bool parse(QCommandLineParser& parser, const QStringList& arguments)
{
    parser.addOption(kHelp);
    parser.addOption(kVersion);
    return parser.parse(arguments);
}

} // namespace

std::optional<ProgramCommandLine> informationRequest(const QStringList& arguments)
{
    QCommandLineParser parser;
    // The toolkit's own options are still in, so an unknown option is no refusal yet; any other error is left
    // to the whole parse.
    if (!parse(parser, arguments) && parser.unknownOptionNames().isEmpty())
        return std::nullopt;
    const QString program = programName(arguments);
    if (parser.isSet(kHelp))
        return ProgramCommandLine{ProgramCommandLine::Action::Inform, {}, helpText(program)};
    if (parser.isSet(kVersion))
        return ProgramCommandLine{ProgramCommandLine::Action::Inform, {}, versionText(program) + u'\n'};
    return std::nullopt;
}

ProgramCommandLine parseProgramArguments(const QStringList& arguments)
{
    if (std::optional<ProgramCommandLine> information = informationRequest(arguments))
        return *information;
    QCommandLineParser parser;
    const QString program = programName(arguments);
    if (!parse(parser, arguments))
        return {ProgramCommandLine::Action::Refuse, {}, parseErrorText(parser, arguments, {})};
    ProgramCommandLine line;
    for (const QString& file : parser.positionalArguments()) {
        if (!deviceimage::isBinaryProjectFile(file) && !editing::isImportable(file))
            return {ProgramCommandLine::Action::Refuse, {},
                    messages::formatMessage(msg::UnknownFileType, qPrintable(program), qPrintable(file))};
        line.files << QFileInfo(file).absoluteFilePath();
    }
    return line;
}

} // namespace app
