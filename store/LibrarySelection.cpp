#include "store/LibrarySelection.h"

#include <QFile>
#include <QImageReader>

namespace store {

bool libraryCommandEnabled(LibraryCommand command, LibraryMode mode)
{
    switch (command) {
    case LibraryCommand::AddBmpJpeg:
        return true;
    case LibraryCommand::Rename:
    case LibraryCommand::Email:
    case LibraryCommand::Delete:
        return mode != LibraryMode::Nothing;
    default:
        return mode == LibraryMode::File;
    }
}

bool clipartCommandEnabled(LibraryCommand command, LibraryMode mode)
{
    switch (command) {
    case LibraryCommand::AddBmpJpeg:
        return true;
    case LibraryCommand::AddToProject:
    case LibraryCommand::CopyMove:
    case LibraryCommand::Edit:
        return mode == LibraryMode::File;
    default:
        return false;
    }
}

LibraryInformation clipartInformation(const LibraryNode& node, const QString& parentText, QSize pictureSize)
{
    LibraryInformation info;
    if (node.kind != LibraryNodeKind::File) {
        info.mode = LibraryMode::Library;
        info.library = node.text;
        info.thirdValue = QString::number(node.children.size());
        return info;
    }
    info.mode = LibraryMode::File;
    info.library = parentText;
    info.file = node.text;
    info.thirdLabel = 404;
    info.pictureSize = pictureSize;
    info.thirdValue = QStringLiteral(" %1 x %2").arg(pictureSize.width()).arg(pictureSize.height());
    info.showPreview = pictureSize.isValid();
    return info;
}

LibraryInformation libraryInformation(const LibraryNode& node, const QString& parentText, const QString& clipsFolder,
                                      const LibraryInformation& previous)
{
    LibraryInformation info;
    switch (node.kind) {
    case LibraryNodeKind::Root:
        return info;
    case LibraryNodeKind::Library:
        info.mode = LibraryMode::Library;
        info.library = node.text;
        info.thirdValue = QString::number(node.children.size());
        return info;
    case LibraryNodeKind::File:
        break;
    }
    const QString path = clipsFolder + node.text;
    if (!QFile::exists(path)) {
        info = previous;
        info.showAssociated = true;
        return info;
    }
    info.mode = LibraryMode::File;
    info.library = parentText;
    info.file = node.text;
    info.thirdLabel = 404;
    info.pictureSize = QImageReader(path).size();
    info.thirdValue = QStringLiteral(" %1 x %2").arg(info.pictureSize.width()).arg(info.pictureSize.height());
    info.showPreview = info.pictureSize.isValid();
    info.showAssociated = true;
    return info;
}

QRect libraryPreviewRect(QSize picture, int groupHeight)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return {};
    const int height = static_cast<int>(qint64(picture.height()) * kLibraryPreviewWidth / picture.width());
    return {16, (groupHeight - height) / 2, kLibraryPreviewWidth, height};
}

} // namespace store
