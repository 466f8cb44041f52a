#include "editing/PictureClipboard.h"

#include "deviceimage/ImageToProject.h"
#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/LibraryCatalogue.h"
#include "store/WorkspaceLock.h"

#include <QBuffer>
#include <QMimeData>
#include <algorithm>

namespace editing {
namespace {

constexpr int kMaxNameTries = 1000;
const QString kPastedBaseName = QStringLiteral("Clipboard");

QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Clipboard.bmp, Clipboard0.bmp, Clipboard1.bmp ...
QString candidateName(int attempt)
{
    return attempt == 0 ? kPastedBaseName + QStringLiteral(".bmp")
                        : QStringLiteral("%1%2.bmp").arg(kPastedBaseName).arg(attempt - 1);
}

} // namespace

QMimeData* pictureMimeData(const imaging::LitGrid& block)
{
    const QImage image = block.toImage(); // one bit a pixel, as the picture files are
    auto* data = new QMimeData;
    data->setImageData(image);
    data->setData(QStringLiteral("image/png"), pngOf(image));
    data->setData(QStringLiteral("image/bmp"), imaging::encodeBmp(block));
    return data;
}

QImage clipboardPicture(const QMimeData* data)
{
    if (!data)
        return {};
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull())
            return image;
    }
    for (const QString& format : data->formats()) {
        if (!format.startsWith(QLatin1String("image/")))
            continue;
        const QImage image = QImage::fromData(data->data(format));
        if (!image.isNull())
            return image;
    }
    return {};
}

PasteStatus checkPastedPicture(const QImage& picture)
{
    if (picture.isNull())
        return PasteStatus::NoPicture;
    return imaging::withinPixelLimit(picture.size()) ? PasteStatus::Ok : PasteStatus::TooLarge;
}

unsigned messageId(PasteStatus status)
{
    switch (status) {
    case PasteStatus::Ok:
        return 0;
    case PasteStatus::NoPicture:
        return msg::ClipboardHasNoPicture;
    case PasteStatus::TooLarge:
        return msg::ClipboardPictureTooLarge;
    }
    return 0;
}

PastedBlock pastedBlock(const QImage& picture, QSize canvas)
{
    PastedBlock block;
    if (picture.isNull())
        return block;
    const QImage flat = imaging::importableImage(picture);
    const imaging::ImportResult imported =
        imaging::importImage(flat, imaging::clipboardChoice(flat.size(), canvas), canvas);
    block.grid = imported.grid;
    block.columns = std::min(imported.fitted.width(), canvas.width());
    block.rows = std::min(imported.fitted.height(), canvas.height());
    return block;
}

QString pasteAsNewPicture(const QImage& picture, const QString& library, const QString& clipsFolder,
                          const store::EditionParameters& edition, messages::Prompter& prompter)
{
    const unsigned title = msg::PasteAsNewPicture;
    if (const PasteStatus status = checkPastedPicture(picture); status != PasteStatus::Ok) {
        prompter.tell(title, messageId(status), messages::Icon::Stop);
        return {};
    }
    const PastedBlock block = pastedBlock(picture, QSize(edition.maxBannerWidth, edition.ledCount));
    // The name is taken by creating the file, so two pastes never share one; the library is filed under the lock,
    // which is let go before the user is told.
    imaging::PictureSave saved;
    QString name;
    {
        const store::WorkspaceLock lock;
        for (int attempt = 0; attempt < kMaxNameTries && name.isEmpty(); ++attempt) {
            const QString candidate = candidateName(attempt);
            saved = imaging::savePicture(block.grid, clipsFolder, candidate, imaging::ExistingFile::Refuse);
            if (saved.error == imaging::SaveError::Exists)
                continue;
            if (!saved.ok())
                break;
            if (library != store::kRootNodeText) {
                store::LibraryCatalogue catalogue(clipsFolder);
                deviceimage::fileInLibrary(catalogue, library, {candidate});
            }
            name = candidate;
        }
    }
    if (!name.isEmpty()) {
        prompter.tellText(title, messages::formatMessage(msg::PastedAsNewPicture, qUtf8Printable(name)),
                          messages::Icon::Information);
        return name;
    }
    prompter.tellText(title, imaging::errorMessage(saved), messages::Icon::Stop); // a refused write, or no free name left
    return {};
}

} // namespace editing
