#include "app/CommandLine.h"

#include "Version.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace app {
namespace {

QString dashed(const QString& name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString optionError(unsigned id, const QString& program, const QString& option)
{
    return messages::formatMessage(id, qPrintable(program), qPrintable(option), qPrintable(program));
}

} // namespace

QString parseErrorText(const QCommandLineParser& parser, const QStringList& line, const QStringList& valueOptions)
{
    const QString program = QFileInfo(line.value(0)).fileName();
    if (!parser.unknownOptionNames().isEmpty())
        return optionError(msg::UnknownOption, program, dashed(parser.unknownOptionNames().first()));
    // The parser says only in English which option lacks or has a value too many; find it again.
    for (qsizetype i = 1; i < line.size() && line[i] != QLatin1String("--"); ++i) {
        if (!line[i].startsWith(QLatin1String("--")))
            continue;
        const QString name = line[i].mid(2).section(u'=', 0, 0);
        const bool takesValue = valueOptions.contains(name);
        if (!takesValue && line[i].contains(u'='))
            return optionError(msg::OptionTakesNoValue, program, dashed(name));
        if (takesValue && !line[i].contains(u'=') && i + 1 == line.size())
            return optionError(msg::OptionNeedsValue, program, dashed(name));
    }
    return program + QStringLiteral(": ") + parser.errorText();
}

QString versionText(const QString& program)
{
    return program + u' ' + QStringLiteral(LUMIWAND_VERSION);
}

} // namespace app
