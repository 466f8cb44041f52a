#include "app/ctl/Command.h"

#include "app/CommandLine.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <QCommandLineParser>
#include <algorithm>

namespace ctl {
namespace {

// The words of a command's arguments: required ones first, optional ones in brackets.
QStringList argumentWords(const Command& command)
{
    return command.arguments.split(u' ', Qt::SkipEmptyParts);
}

qsizetype requiredArguments(const Command& command)
{
    const QStringList words = argumentWords(command);
    return std::count_if(words.begin(), words.end(), [](const QString& word) { return !word.startsWith(u'['); });
}

QString optionSynopsis(const Option& option)
{
    return QStringLiteral("--") + option.name + (option.valueName.isEmpty() ? QString() : u' ' + option.valueName);
}

// Two columns: the names, padded, and the description.
void appendRows(QString& text, const QList<std::pair<QString, QString>>& rows)
{
    qsizetype width = 0;
    for (const auto& row : rows)
        width = std::max(width, row.first.size());
    for (const auto& row : rows)
        text += QStringLiteral("  ") + row.first.leftJustified(width + 2) + row.second + u'\n';
}

QList<std::pair<QString, QString>> optionRows(const std::vector<Option>& options)
{
    QList<std::pair<QString, QString>> rows;
    for (const Option& option : options)
        rows.append({optionSynopsis(option), option.description});
    rows.append({QStringLiteral("-h, --help"), QStringLiteral("Show this help and exit.")});
    return rows;
}

QStringList optionsTakingValues(const std::vector<Option>& options)
{
    QStringList names;
    for (const Option& option : options)
        if (!option.valueName.isEmpty())
            names << option.name;
    return names;
}

} // namespace

std::optional<QString> Invocation::value(const QString& name) const
{
    const auto found = options.constFind(name);
    return found == options.constEnd() ? std::nullopt : std::optional<QString>(*found);
}

const std::vector<Option>& globalOptions()
{
    static const std::vector<Option> options{
        {QStringLiteral("edition"), QStringLiteral("N"),
         QStringLiteral("Work on the edition of N LEDs (11, 16, 24, 32 or 48); by default the one the tool's name "
                        "selects, as the window program's does.")},
        {QStringLiteral("factory"), {}, QStringLiteral("Work in factory mode.")},
        {QStringLiteral("simplified"), {}, QStringLiteral("Build images as the express and mass production windows do.")},
        {QStringLiteral("version"), {}, QStringLiteral("Show the version and exit.")},
    };
    return options;
}

Parsed parseGlobalOptions(const QStringList& line)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    for (const Option& option : globalOptions())
        parser.addOption(QCommandLineOption(option.name, option.description, option.valueName));
    Parsed parsed;
    if (!parser.parse(line)) {
        parsed.error = app::parseErrorText(parser, line, optionsTakingValues(globalOptions()));
        return parsed;
    }
    parsed.helpRequested = parser.isSet(QStringLiteral("help"));
    for (const Option& option : globalOptions())
        if (parser.isSet(option.name))
            parsed.invocation.options.insert(option.name, parser.value(option.name));
    parsed.invocation.arguments = parser.positionalArguments();
    return parsed;
}

std::vector<Command>& commands()
{
    static std::vector<Command> table;
    return table;
}

const Command* findCommand(const QString& name)
{
    const auto found = std::find_if(commands().begin(), commands().end(),
                                    [&name](const Command& command) { return command.name == name; });
    return found == commands().end() ? nullptr : &*found;
}

Parsed parseCommandLine(const Command& command, const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(help);
    for (const Option& option : command.options)
        parser.addOption(QCommandLineOption(option.name, option.description, option.valueName));
    Parsed parsed;
    // QCommandLineParser skips the first argument, the program's name.
    const QStringList line = QStringList{QStringLiteral("lumiwandctl")} + arguments;
    if (!parser.parse(line)) {
        parsed.error = app::parseErrorText(parser, line, optionsTakingValues(command.options));
        return parsed;
    }
    if (parser.isSet(help)) {
        parsed.helpRequested = true;
        return parsed;
    }
    for (const Option& option : command.options)
        if (parser.isSet(option.name))
            parsed.invocation.options.insert(option.name, parser.value(option.name));
    parsed.invocation.arguments = parser.positionalArguments();
    const qsizetype given = parsed.invocation.arguments.size();
    if (given < requiredArguments(command) || given > argumentWords(command).size())
        parsed.error = messages::formatMessage(msg::CtlUsage, qPrintable(usageLine(command)));
    return parsed;
}

QString usageLine(const Command& command)
{
    QString line = QStringLiteral("lumiwandctl ") + command.name;
    if (!command.arguments.isEmpty())
        line += u' ' + command.arguments;
    for (const Option& option : command.options)
        line += QStringLiteral(" [") + optionSynopsis(option) + u']';
    return line;
}

QString commandHelp(const Command& command)
{
    QString text = messages::formatMessage(msg::CtlUsage, qPrintable(usageLine(command))) + u'\n';
    text += u'\n' + command.summary + u'\n';
    text += QStringLiteral("\nOptions:\n");
    appendRows(text, optionRows(command.options));
    return text;
}

QString toolHelp()
{
    QString text = messages::formatMessage(msg::CtlUsage, "lumiwandctl [OPTIONS] COMMAND [ARGUMENTS]") + u'\n';
    text += QStringLiteral("\nDesigns the content of a USB LED light stick and loads it into the stick, from the command line.\n");
    text += QStringLiteral("\nOptions:\n");
    appendRows(text, optionRows(globalOptions()));
    text += QStringLiteral("\nCommands:\n");
    QList<std::pair<QString, QString>> rows;
    for (const Command& command : commands())
        rows.append({command.name, command.summary});
    appendRows(text, rows);
    text += QStringLiteral("\n\"lumiwandctl COMMAND --help\" shows the arguments and options of a command.\n");
    return text;
}

int usageOf(Context& context, const Command& command)
{
    context.err << messages::formatMessage(msg::CtlUsage, qPrintable(usageLine(command))) << '\n';
    return kExitUsage;
}

int usageOf(Context& context, const QString& commandName)
{
    const Command* command = findCommand(commandName);
    return command ? usageOf(context, *command) : kExitUsage;
}

} // namespace ctl
