#include "shell/DesktopEntry.h"

#include "store/IniFile.h"
#include "store/Workspace.h"

#include <QFile>
#include <QFileInfo>
#include "messages/WholeFile.h"
#include <utility>

namespace shell {
namespace {

const QByteArray kOwnMarker = QByteArrayLiteral("X-Lumiwand-Installed=true");

// A value of the entry's string type: backslash and line breaks escaped.
QString entryString(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

QString launcherText(const QString& name, const QString& exec, const QString& icon)
{
    QFile templateFile(QStringLiteral(":/packaging/lumiwand.desktop"));
    if (!templateFile.open(QIODevice::ReadOnly))
        return {};
    const std::pair<QLatin1String, QString> fields[] = {
        {QLatin1String("@NAME@"), entryString(name)},
        {QLatin1String("@COMMENT@"), entryString(name)},
        {QLatin1String("@EXEC@"), exec},
        {QLatin1String("@ICON@"), entryString(icon)},
    };
    // Line by line, one field per line, so a value that happens to hold a placeholder stays as it is.
    QStringList lines = QString::fromUtf8(templateFile.readAll()).split(u'\n');
    for (QString& line : lines)
        for (const auto& [placeholder, value] : fields)
            if (line.contains(placeholder)) {
                line.replace(placeholder, value);
                break;
            }
    return lines.join(u'\n');
}

bool writeEntry(const QString& path, const QString& text, bool executable)
{
    if (text.isEmpty())
        return false;
    if (files::writeWholeFile(path, text.toUtf8()) != files::WriteResult::Written)
        return false;
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (executable)
        permissions |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QFile::setPermissions(path, permissions);
    return true;
}

} // namespace

QString quoteExecArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'\\' || c == u'"' || c == u'`' || c == u'$')
            quoted += u'\\';
        if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';
    return entryString(quoted);
}

QString execLine(const QString& program, const QStringList& arguments)
{
    QString line = quoteExecArgument(program);
    for (const QString& argument : arguments)
        line += u' ' + quoteExecArgument(argument);
    return line;
}

bool createShortcut(const QString& target, const QString& entryPath, const QString& description,
                    const QString& iconPath, bool executable)
{
    return writeEntry(entryPath, launcherText(description, execLine(target), iconPath), executable);
}

bool isOwnDesktopEntry(const QString& entryPath)
{
    const QFileInfo info(entryPath);
    if (!info.isFile() || info.isSymLink())
        return false;
    const files::ReadOutcome entry = files::readRegularFile(entryPath, files::kMaxTextFileBytes);
    for (const QByteArray& line : entry.bytes.split('\n'))
        if (line.trimmed() == kOwnMarker)
            return true;
    return false;
}

void removeOwnDesktopEntry(const QString& entryPath)
{
    if (isOwnDesktopEntry(entryPath))
        QFile::remove(entryPath);
}

QString runOnceEntryPath(const QString& autostartFolder, const QString& name)
{
    return autostartFolder + name + QStringLiteral(".desktop");
}

void writeRunOnceEntry(const QString& autostartFolder, const QString& name, Removal removal, const QString& path)
{
    store::ensureFolderPath(autostartFolder);
    const QString entry = runOnceEntryPath(autostartFolder, name);
    // One command removes the target and then the entry, so the entry never runs a second time.
    const QString options = removal == Removal::Folder ? QStringLiteral("-rf") : QStringLiteral("-f");
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=rm %2 -- %3 %4\n"
                                        "NoDisplay=true\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(entryString(name), options, quoteExecArgument(path), quoteExecArgument(entry))
                         + QString::fromLatin1(kOwnMarker) + u'\n';
    if (!writeEntry(entry, text, false))
        throw store::IniWriteError(entry);
}

} // namespace shell
