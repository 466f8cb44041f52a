// The store's one use of Qt Gui, its image readers: in a file of its own, so that a program that never appends a
// picture to a project (lumiwandctl) links no picture code.

#include "messages/WholeFile.h"
#include "store/Project.h"

#include "store/Names.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace store {

QSize pictureFileSize(const QString& path)
{
    files::ReadOutcome file = files::readRegularFile(path, files::kMaxPictureFileBytes);
    QBuffer buffer(&file.bytes);
    if (!file.ok() || !buffer.open(QIODevice::ReadOnly))
        return {};
    return QImageReader(&buffer).size();
}

AppendStatus appendEntry(Project& project, const QString& clipsFolder, const QString& pictureName,
                         int groupInterval, int group, int ticker, bool indelible)
{
    if (project.width() == 0 || project.height() == 0)
        return AppendStatus::NoDimension;
    const QString file = clipsFolder + pictureName;
    if (!isClipFileName(pictureName) || !QFile::exists(file))
        return AppendStatus::Rejected;
    const QSize size = pictureFileSize(file);
    if (!size.isValid() || size.height() != project.height())
        return AppendStatus::Rejected;
    return writeAppendedEntry(project, pictureName, groupInterval, group, ticker, indelible);
}

} // namespace store
