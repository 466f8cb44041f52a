#include "shell/Installation.h"

#include "shell/DesktopEntry.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/IniFile.h"
#include "store/Workspace.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

namespace shell {
namespace {

// The uninstall record: one section shared by every edition, owned by the edition installed last.
const QString kRecordSection = QStringLiteral("Lumiwand");

QString withSlash(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

// Index of the first "." of the name, or its length when it has none.
qsizetype endOfStem(const QString& fileName)
{
    const qsizetype dot = fileName.indexOf(u'.');
    return dot < 0 ? fileName.size() : dot;
}

// Copies through a temporary name in the target's folder renamed over the target, so an existing copy (even
// a running one) is replaced whole. False when anything fails; the target is then as it was.
bool copyReplacing(const QString& source, const QString& target)
{
    const QFileInfo info(target);
    const QString partial = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".partial");
    QFile::remove(partial);
    if (!QFile::copy(source, partial))
        return false;
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

void wait(const InstallRun& run, int milliseconds)
{
    if (run.wait)
        run.wait(milliseconds);
}

void showError(const InstallRun& run, const store::IniWriteError& error)
{
    run.prompter->ask(QStringLiteral("Lumiwand"), error.message(), messages::Icon::Stop, messages::Buttons::Ok);
}

struct PendingRemoval {
    QString name;
    Removal removal;
    QString path;
};

// The removals an uninstaller leaves for the next login: this edition's own files and folders when another
// edition still has a workspace, else the whole install folder and workspace root.
QList<PendingRemoval> editionRemovals(const QString& installFolder, const QString& programFileName,
                                      const QString& root, int ledCount)
{
    const QString led = QString::number(ledCount);
    return {
        {QStringLiteral("UnIninstallLumiwandExe") + led, Removal::File, installFolder + programFileName},
        {QStringLiteral("UnIninstallExe") + led, Removal::File,
         installFolder + QStringLiteral("uninstall") + programFileName},
        {QStringLiteral("UnIninstallLumiwandPrj") + led, Removal::Folder,
         root + led + QStringLiteral("MyLumiwandProjects/")},
        {QStringLiteral("UnIninstallLumiwandClp") + led, Removal::Folder, root + led + QStringLiteral("Clips/")},
        {QStringLiteral("UnIninstallLumiwandExpo") + led, Removal::Folder, root + led + QStringLiteral("Export/")},
    };
}

QList<PendingRemoval> wholeRemovals(const QString& installFolder, const QString& root)
{
    return {
        {QStringLiteral("UnIninstallLumiwandDir"), Removal::Folder, installFolder},
        {QStringLiteral("ClearLumiwandDir"), Removal::Folder, root},
    };
}

// Removals still waiting from an earlier uninstallation would delete at the next login what this installation
// puts in place (the program, the install folder, the workspace): they are withdrawn.
void withdrawPendingRemovals(const InstallRun& run, const InstallNames& names)
{
    QList<PendingRemoval> pending =
        editionRemovals(run.folders.installFolder, names.programFileName, run.rootFolder, run.ledCount);
    pending += wholeRemovals(run.folders.installFolder, run.rootFolder);
    for (const PendingRemoval& removal : pending)
        removeOwnDesktopEntry(runOnceEntryPath(run.folders.autostart, removal.name));
}

void installSteps(const InstallRun& run)
{
    wait(run, 1000);
    const InstallFolders& folders = run.folders;
    const InstallNames names = installNamesFor(QFileInfo(run.invokedPath).fileName(), folders.installFolder);
    withdrawPendingRemovals(run, names);

    store::ensureFolderPath(folders.installFolder);
    copyReplacing(run.runningExecutable, names.installedExe);
    if (copyReplacing(QStringLiteral(":/packaging/lumiwand.svg"), folders.iconFile()))
        QFile::setPermissions(folders.iconFile(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                      QFile::ReadOther);

    if (!folders.desktop.isEmpty())
        createShortcut(names.installedExe, folders.desktop + names.programFileName + QStringLiteral(".desktop"),
                       names.programFileName, folders.iconFile(), true);

    store::IniFile record(folders.uninstallRecord());
    record.writeString(kRecordSection, QStringLiteral("DisplayName"), names.programFileName);
    record.writeString(kRecordSection, QStringLiteral("UninstallString"), names.uninstallerExe);

    store::ensureFolderPath(folders.menuFolder());
    createShortcut(names.installedExe, folders.menuFolder() + names.programFileName + QStringLiteral(".desktop"),
                   names.programFileName, folders.iconFile());

    copyReplacing(run.runningExecutable, names.uninstallerExe);

    const QString title = uninstallTitleFor(run.invokedPath, run.ledCount);
    createShortcut(names.uninstallerExe, folders.menuFolder() + title + QStringLiteral(".desktop"), title,
                   folders.iconFile());

    record.writeString(kRecordSection, QStringLiteral("DisplayIcon"), folders.iconFile());

    wait(run, 1000);
    run.prompter->tell(667, 666, messages::Icon::Information);
}

// The pictures and projects under the folders a removal would delete, as the question about them tells them.
struct UsersWork {
    int pictures = 0;
    int projects = 0;
};
UsersWork countUsersWork(const QStringList& folders)
{
    UsersWork work;
    for (const QString& folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo file = it.nextFileInfo();
            if (file.suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0)
                ++work.pictures;
            else if (file.suffix().compare(QLatin1String("ini"), Qt::CaseInsensitive) == 0 &&
                     file.path().endsWith(QLatin1String("MyLumiwandProjects")))
                ++work.projects;
        }
    }
    return work;
}

// The removals of the user's own pictures and projects (the workspace folders) stay only when the user says so in
// a second question that names the folders and what they hold; No, the default, keeps them. Folders that do not
// exist are not removed later either: what is made there before the next login was never asked about.
QList<PendingRemoval> withUsersWorkAsked(const InstallRun& run, QList<PendingRemoval> removals)
{
    const auto isWork = [&run](const PendingRemoval& removal) { return removal.path.startsWith(run.rootFolder); };
    QStringList folders;
    for (const PendingRemoval& removal : removals)
        if (isWork(removal) && QFileInfo(removal.path).isDir())
            folders << removal.path;
    if (!folders.isEmpty()) {
        const UsersWork work = countUsersWork(folders);
        const QString question = messages::formatMessage(msg::UninstallDeleteWork,
                                                         folders.join(u'\n').toUtf8().constData(), work.pictures,
                                                         work.projects);
        if (run.prompter->ask(messages::lookupMessage(msg::UninstallTitle), question, messages::Icon::Warning,
                              messages::Buttons::YesNoDefaultNo) == messages::Answer::Yes)
            return removals;
    }
    removals.removeIf(isWork);
    return removals;
}

void uninstallSteps(const InstallRun& run)
{
    if (!run.prompter->confirm(msg::UninstallTitle, msg::UninstallQuestion))
        return;
    const InstallFolders& folders = run.folders;
    const QString baseName = uninstalledBaseName(QFileInfo(run.invokedPath).fileName());
    const QString programFileName = baseName;

    // Another edition's workspace is recognised by its export folder. Every edition counts, so uninstalling one
    // never deletes another's libraries and projects.
    bool otherEditionPresent = false;
    for (const int led : kEditionLedCounts)
        if (led != run.ledCount && QFileInfo(run.rootFolder + QString::number(led) + QStringLiteral("Export/")).isDir())
            otherEditionPresent = true;
    const QList<PendingRemoval> removals = withUsersWorkAsked(
        run, otherEditionPresent ? editionRemovals(folders.installFolder, programFileName, run.rootFolder, run.ledCount)
                                 : wholeRemovals(folders.installFolder, run.rootFolder));

    // The entries this edition put in the menu, then the menu folder when nothing else is left in it.
    const QString title = uninstallTitleFor(run.invokedPath, run.ledCount);
    removeOwnDesktopEntry(folders.menuFolder() + baseName + QStringLiteral(".desktop"));
    removeOwnDesktopEntry(folders.menuFolder() + title + QStringLiteral(".desktop"));
    QDir().rmdir(folders.menuFolder());

    if (!folders.desktop.isEmpty())
        removeOwnDesktopEntry(folders.desktop + baseName + QStringLiteral(".desktop"));

    try {
        store::IniFile record(folders.uninstallRecord());
        if (record.sectionExists(kRecordSection))
            record.eraseSection(kRecordSection);
    } catch (const store::IniWriteError&) {
        // like a registry key that is already gone: nothing to report
    }

    for (const PendingRemoval& removal : removals)
        writeRunOnceEntry(folders.autostart, removal.name, removal.removal, removal.path);

    run.prompter->tell(msg::UninstallTitle, msg::UninstallDone, messages::Icon::None);
}

} // namespace

InstallFolders InstallFolders::forCurrentUser()
{
    InstallFolders folders;
    folders.installFolder = QDir::homePath() + QStringLiteral("/.local/opt/Lumiwand/");
    folders.desktop = withSlash(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    folders.programs = withSlash(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation));
    folders.autostart =
        withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) + QStringLiteral("autostart/");
    return folders;
}

InstallNames installNamesFor(const QString& fileName, const QString& installFolder)
{
    InstallNames names;
    const qsizetype end = endOfStem(fileName);
    names.editionDigits = end < 2 ? QString() : fileName.toLower().mid(end - 2, 2);
    // In the 1-based positions the names were always counted in: the name starts one character after
    // "setup" (position 0 when there is none, searched with case) and ends two characters before the dot.
    const qsizetype setupPosition = fileName.indexOf(QLatin1String("setup")) + 1;
    const qsizetype start = setupPosition + 5 + 1;
    const qsizetype count = (end + 1 - 2) - start;
    if (count > 0)
        names.programName = fileName.mid(start - 1, count);
    names.programFileName = names.programName + names.editionDigits;
    names.installedExe = installFolder + names.programFileName;
    names.uninstallerExe = installFolder + QStringLiteral("uninstall") + names.programFileName;
    return names;
}

QString uninstallTitleFor(const QString& invokedPath, int ledCount)
{
    const QString path = invokedPath.toLower();
    QString title = messages::lookupMessage(msg::UninstallTitle);
    if (path.contains(QLatin1String("_exp")))
        title += QStringLiteral(" Express");
    else if (path.contains(QLatin1String("_easy")))
        title += QStringLiteral(" Easy");
    return title + QString::number(ledCount);
}

QString uninstalledBaseName(const QString& fileName)
{
    constexpr qsizetype kUninstallLength = 9;
    const qsizetype end = endOfStem(fileName);
    return end <= kUninstallLength ? QString() : fileName.mid(kUninstallLength, end - kUninstallLength);
}

void runInstall(const InstallRun& run)
{
    try {
        installSteps(run);
    } catch (const store::IniWriteError& error) {
        showError(run, error);
    }
}

void runUninstall(const InstallRun& run)
{
    try {
        uninstallSteps(run);
    } catch (const store::IniWriteError& error) {
        showError(run, error);
    }
}

} // namespace shell
