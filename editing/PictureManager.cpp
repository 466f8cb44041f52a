#include "editing/PictureManager.h"

#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Clipart.h"

#include <QFile>

namespace editing {
namespace {

QByteArray readClipart(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString chosenPicturePath(const QString& clipsFolder, const store::LibraryNode& node,
                          const store::LibraryNode* parent, int clipartHeight)
{
    if (node.builtIn)
        return node.kind == store::LibraryNodeKind::File ? store::clipartPath(clipartHeight, node.text) : QString();
    if (node.kind != store::LibraryNodeKind::File || !parent || parent->kind != store::LibraryNodeKind::Library)
        return {};
    return clipsFolder + node.text;
}

ManagerPreview managerPreview(const QString& path)
{
    const imaging::PictureLoad load = store::isClipartPath(path)
                                          ? imaging::decodePicture(readClipart(path), path)
                                          : imaging::loadPicture(path);
    if (!load.ok())
        return {};
    QImage image = load.picture.image();
    const QString dimension = messages::formatMessage(msg::DimensionText, image.width(), image.height());
    // Scaled pixel for pixel: a one-bit picture stays black and white, with no grey of a smoothed edge.
    if (image.width() > kManagerPreviewWidth)
        image = image.scaledToWidth(kManagerPreviewWidth, Qt::FastTransformation);
    return {image, dimension};
}

bool acceptChosenPicture(const QString& path, messages::Prompter& prompter)
{
    if (!path.isEmpty())
        return true;
    prompter.tell(msg::EditTitle, msg::FailToOpenToEdit, messages::Icon::Warning);
    return false;
}

} // namespace editing
