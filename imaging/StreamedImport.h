#pragma once

#include "imaging/ImageImport.h"

#include <QByteArray>
#include <QString>

// The import of a picture file's contents, as importImage(decodeImageData(...)) gives it byte for byte, without
// the full-size image where the format allows: a JPEG is decoded a strip of rows at a time, straight into the
// resampler in the scaling modes and into the crop alone in Trim. Other formats are decoded whole.
namespace imaging {

// The image fitted as `fit` says (the crop at `origin` in Trim), or the decoder's refusal.
struct FittedDecode {
    FittedImage fitted;
    QString errorText; // as decodeImageData gives it; empty when decoded
    bool ok() const { return errorText.isEmpty(); }
};
FittedDecode fitImageData(const QByteArray& contents, const QString& name, FitMode fit, QPoint origin, QSize canvas,
                          int targetHeight = 0);

struct StreamedImport {
    ImportResult result;
    QString errorText; // as decodeImageData gives it; empty when imported
    bool ok() const { return errorText.isEmpty(); }
};
StreamedImport importImageData(const QByteArray& contents, const QString& name, const ImportChoice& choice,
                               QSize canvas, int targetHeight = 0);

} // namespace imaging
