#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decoding the images the importer takes: JPEG files through libjpeg (drawn onto white, which a JPEG without
// transparency simply is), every other file as a Windows bitmap through the picture reader. Orientation tags of
// photographs are not applied: the pixels come as stored. A GIF gives its first frame.
namespace imaging {

struct DecodedImage {
    QImage image;      // Format_RGB32; null when the file was refused
    QString errorText; // English, names the file; empty when decoded
    bool ok() const { return !image.isNull(); }
};

// The lower-cased extension decides: ".jpg" and ".jpeg" are JPEG, ".gif" GIF, anything else BMP. Files that are missing,
// empty, damaged, cut short, of more than 25 million pixels, or not what their extension says are refused with a
// reason and no image.
DecodedImage decodeImageFile(const QString& path);

// The same for contents already in memory; `name` decides the decoder as the path does and is used in the text.
DecodedImage decodeImageData(const QByteArray& contents, const QString& name);

// libjpeg alone, as the importer calls it: the file's pixels as Format_RGB32, or an error. Exposed for the fuzz
// target and the benchmark.
DecodedImage decodeJpeg(const QByteArray& contents, const QString& name);

} // namespace imaging
