#include "imaging/PicturePreview.h"

#include "imaging/PictureFile.h"

#include <QFileInfo>

namespace imaging {

QImage ledColouredImage(const QImage& image)
{
    const Picture picture(image);
    QImage recoloured(picture.size(), QImage::Format_RGB32);
    const QRgb lit = rgbOf(kPureRed), unlit = rgbOf(kBlack);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* in = picture.rgbRow(y);
        auto* out = reinterpret_cast<QRgb*>(recoloured.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            out[x] = litAtMost(colourValue(in[x])) ? lit : unlit;
    }
    return recoloured;
}

PicturePreview previewPictureFile(const QString& clipsFolder, const QString& relativeName, bool expressMode,
                                  int groupRight, int groupHeight)
{
    PicturePreview preview;
    const QString path = clipsFolder + relativeName;
    if (!QFileInfo(path).isFile())
        return preview;
    const PictureLoad load = loadPicture(path);
    if (!load.ok()) {
        preview.outcome = PicturePreview::Unchanged;
        // An empty picture is nothing to report; a file that is not a picture is.
        if (load.error != PictureError::NoPixels)
            preview.errorText = errorMessage(load);
        return preview;
    }
    preview.outcome = PicturePreview::Show;
    preview.image = expressMode ? ledColouredImage(load.picture.image()) : load.picture.image();
    preview.groupWidth = preview.image.width() + 16;
    preview.groupLeft = groupRight - preview.groupWidth;
    preview.imageLeft = 8;
    preview.imageTop = (groupHeight - preview.image.height()) / 2 + 2;
    return preview;
}

} // namespace imaging
