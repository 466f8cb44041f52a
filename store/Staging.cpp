#include "store/Staging.h"

#include "messages/WholeFile.h"
#include "store/IniFile.h"
#include "store/LibraryCatalogue.h"
#include "store/Project.h"
#include "store/WorkspaceLock.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <cstdlib>
#include <unistd.h>

namespace store {
namespace {

const QString kStagingPrefix = QStringLiteral(".import.");

QStringList stagingFolders(const QString& clipsFolder)
{
    return QDir(clipsFolder).entryList({kStagingPrefix + QStringLiteral("??????")},
                                       QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// Moves a file in without replacing one of that name: link, then drop the staged name.
void moveWithoutReplacing(const QString& from, const QString& to)
{
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        ::unlink(QFile::encodeName(from).constData());
}

void removeFolder(const QString& folder)
{
    for (const QString& name : filesIn(folder))
        QFile::remove(folder + name);
    QDir().rmdir(folder);
}

// Every picture name an entry of a project of the edition holds.
QSet<QString> namedPictures(const QString& projectsFolder)
{
    QSet<QString> names;
    for (const QString& file : QDir(projectsFolder).entryList({QStringLiteral("*.ini")}, QDir::Files)) {
        const IniFile project(projectsFolder + file);
        for (const QString& key : project.keys(QStringLiteral("PICTURE")))
            names.insert(project.readString(QStringLiteral("PICTURE"), key));
    }
    return names;
}

void finishStagedImports(const Workspace& workspace)
{
    const QString& clips = workspace.clipsFolder;
    const WorkspaceLock lock; // a live import holds it from making its folder to removing it
    const QStringList folders = stagingFolders(clips);
    if (folders.isEmpty())
        return;
    const QSet<QString> named = namedPictures(workspace.projectsFolder);
    QStringList dropped;
    for (const QString& folder : folders) {
        const QString staged = clips + folder + u'/';
        for (const QString& name : filesIn(staged)) {
            if (named.contains(name) && !QFile::exists(clips + name))
                moveWithoutReplacing(staged + name, clips + name);
            else if (!QFile::exists(clips + name))
                dropped << name;
        }
        removeFolder(staged);
    }
    LibraryCatalogue(clips).forgetDeletedFiles(dropped);
}

// ".<name>.<bmp|ini|lwd|bin>.XXXXXX": what writeWholeFile makes beside the workspace's files.
void removeStaleWholeFileTemporaries(const QString& folder)
{
    static const QRegularExpression temporary(QStringLiteral("^\\..+\\.(bmp|ini|lwd|bin)\\.[A-Za-z0-9]{6}$"),
                                              QRegularExpression::CaseInsensitiveOption);
    for (const QString& name : QDir(folder).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden))
        if (temporary.match(name).hasMatch())
            files::removeIfStaleTemporary(folder + name);
}

} // namespace

PictureStaging::PictureStaging(QString clipsFolder) : clipsFolder_(std::move(clipsFolder))
{
    QByteArray pattern = QFile::encodeName(clipsFolder_ + kStagingPrefix + QStringLiteral("XXXXXX"));
    if (::mkdtemp(pattern.data()))
        folder_ = QFile::decodeName(pattern) + u'/';
}

PictureStaging::~PictureStaging()
{
    if (ok())
        removeFolder(folder_);
}

files::WriteResult PictureStaging::add(const QString& name, const QByteArray& bytes) const
{
    return files::writeNewFileUnsynced(folder_ + name, bytes);
}

bool PictureStaging::sync() const
{
    return files::syncFileSystemOf(folder_);
}

void PictureStaging::moveIn(const QStringList& names)
{
    for (const QString& name : names)
        moveWithoutReplacing(folder_ + name, clipsFolder_ + name);
    // The pictures' bytes are on the disk since sync(): the moves change only the two folders' entries, and
    // syncing those alone spares a second sync of everything the file system holds unwritten.
    files::syncFolder(clipsFolder_);
    files::syncFolder(folder_);
}

void removeStaleTemporaries(const Workspace& workspace)
{
    for (const QString& folder :
         {workspace.rootFolder, workspace.clipsFolder, workspace.projectsFolder, workspace.exportFolder})
        removeStaleWholeFileTemporaries(folder);
    if (stagingFolders(workspace.clipsFolder).isEmpty())
        return;
    try {
        finishStagedImports(workspace);
    } catch (const IniWriteError&) {
        // an unusable lock or catalogue: the folders wait for a later start
    }
}

} // namespace store
