#include "store/Workspace.h"

#include "store/IniFile.h"
#include "store/Project.h"
#include "store/Staging.h"
#include "store/WorkspaceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>
#include <unistd.h>

namespace store {
namespace {

QString withSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

// True when the folder exists as a real folder (not a link) owned by this user and closed to everyone else.
bool isPrivateFolder(const QString& folder)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 0077) == 0;
}

// Folders made under a fresh name because the usual one was taken; removed when the program ends, since no later
// run would find them again.
std::vector<QString>& freshFolders()
{
    static std::vector<QString> folders;
    return folders;
}

void removeFreshFolders()
{
    for (const QString& folder : freshFolders())
        if (isPrivateFolder(folder))
            QDir(folder).removeRecursively();
}

QString makePrivateFolder(const QString& folder)
{
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return isPrivateFolder(folder) ? withSlash(folder) : QString();
}

} // namespace

QString documentsFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath() + QStringLiteral("/Documents");
    return withSlash(documents);
}

QString privateTempFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime)) {
        const QString folder = makePrivateFolder(runtime + QStringLiteral("/lumiwand"));
        if (!folder.isEmpty())
            return folder;
    }
    const QString perUser = QDir::tempPath() + QStringLiteral("/lumiwand-%1").arg(::getuid());
    QString folder = makePrivateFolder(perUser);
    if (!folder.isEmpty())
        return folder;
    // Someone else holds that name: take a fresh folder of our own instead.
    QByteArray pattern = QFile::encodeName(perUser + QStringLiteral("-XXXXXX"));
    if (::mkdtemp(pattern.data())) {
        if (freshFolders().empty())
            std::atexit(removeFreshFolders);
        freshFolders().push_back(QFile::decodeName(pattern));
        return withSlash(QFile::decodeName(pattern));
    }
    return withSlash(QDir::tempPath());
}

Workspace workspaceFor(const QString& documents, int ledCount)
{
    Workspace workspace;
    const QString edition = QString::number(ledCount);
    workspace.rootFolder = withSlash(documents) + QStringLiteral("MyLumiwand/");
    workspace.exportFolder = workspace.rootFolder + edition + QStringLiteral("Export/");
    workspace.projectsFolder = workspace.rootFolder + edition + QStringLiteral("MyLumiwandProjects/");
    workspace.clipsFolder = workspace.rootFolder + edition + QStringLiteral("Clips/");
    workspace.settingsFile = workspace.rootFolder + QStringLiteral("Lumiwand.ini");
    return workspace;
}

void ensureFolderPath(const QString& folder)
{
    if (QDir(folder).exists())
        return;
    QDir().mkpath(folder);
}

Workspace prepareWorkspace(const QString& documents, int ledCount, int pictureWidth)
{
    Workspace workspace = workspaceFor(documents, ledCount);
    for (const QString& folder : {workspace.exportFolder, workspace.projectsFolder, workspace.clipsFolder})
        ensureFolderPath(folder);
    workspace.tempFolder = privateTempFolder();
    WorkspaceLock::useLockFile(workspace.rootFolder + QStringLiteral(".lock"));
    removeStaleTemporaries(workspace);
    // An empty starter project is what an earlier start on a full disk may have left: it is made again.
    const QString starter = workspace.projectsFolder + QStringLiteral("QuickStart.ini");
    try {
        const WorkspaceLock lock;
        if (!QFileInfo::exists(starter) || (QFileInfo(starter).isFile() && QFileInfo(starter).size() == 0))
            createProject(starter, pictureWidth, ledCount);
    } catch (const IniWriteError&) {
        // an unwritable workspace, or an unusable lock file, is reported by the first command that needs it
    }
    return workspace;
}

} // namespace store
