#pragma once

#include "imaging/LitGrid.h"
#include "imaging/Picture.h"

#include <QByteArray>
#include <QSize>
#include <QString>

// Reading and writing picture files: Windows bitmaps (BMP) of any bit depth are read as colour values; pictures are
// written as one-bit BMP files, black for a lit LED and white for an unlit one.
namespace imaging {

// The largest picture the readers accept. Pictures and banners are at most a few hundred columns, but imported
// images may be photographs; beyond these a file is refused before any pixel memory is taken.
inline constexpr int kMaxPictureSide = 32767;
inline constexpr qint64 kMaxPicturePixels = 25'000'000;

enum class PictureError {
    None,
    Missing,    // no such file
    Unreadable, // the file exists but cannot be opened
    NotBmp,     // not a Windows bitmap (or a header variant no reader knows)
    Truncated,  // shorter than its header says (an empty file included)
    NoPixels,   // width or height 0
    TooLarge,   // beyond kMaxPictureSide or kMaxPicturePixels
    Corrupt,    // the bitmap reader could not decode it
};
// The message of a refused picture file; it names the file.
unsigned messageId(PictureError error);

struct PictureLoad {
    Picture picture;
    PictureError error = PictureError::None;
    QString name; // the file as its message names it
    bool ok() const { return error == PictureError::None; }
};

// A picture file's image in the pixel format it is stored in (1-bit files stay indexed), for readers that want
// its lit pixels without a colour conversion. Same checks and errors as loadPicture.
struct ImageLoad {
    QImage image;
    PictureError error = PictureError::None;
    QString name;
    bool ok() const { return error == PictureError::None; }
};
ImageLoad loadImage(const QString& path);

// Loads a BMP file of any bit depth and compression the platform's bitmap reader knows. A refused file gives an
// error and a null picture, never a partial one.
PictureLoad loadPicture(const QString& path);
// The same for file contents already in memory; `name` is used in the error text.
PictureLoad decodePicture(const QByteArray& contents, const QString& name = QString());

// Width and height from the file's header, after the same checks as loadPicture (no pixels are decoded).
struct PictureInfo {
    QSize size;
    PictureError error = PictureError::None;
    QString name;
    bool ok() const { return error == PictureError::None; }
};
PictureInfo readPictureInfo(const QString& path);

// The message of a refused read, naming the file; empty when it was read.
QString errorMessage(PictureError error, const QString& name);
template <typename Read>
    requires requires(const Read& read) { read.error == PictureError::None; read.name; }
QString errorMessage(const Read& read)
{
    return errorMessage(read.error, read.name);
}

// The one-bit BMP file of a picture, the same bytes for the same picture every time: a 14-byte file header, a
// 40-byte info header (1 bit per pixel, uncompressed, 96 dpi, 2 colours), the palette black then white, and the
// rows bottom row first, each padded with zero bits to a multiple of 4 bytes. A lit pixel is colour 0 (black),
// an unlit one colour 1 (white). Empty for an empty grid.
QByteArray encodeBmp(const LitGrid& picture);

enum class ExistingFile { Refuse, Replace };

enum class SaveError {
    None,
    UnsafeName, // store::isStorablePictureName refused the name
    Exists,     // the file exists and ExistingFile::Refuse was given (or it is a folder)
    NoPixels,   // an empty grid
    WriteFailed,
};
// The message of a refused save; it names the file (UnsafeName: the name as given).
unsigned messageId(SaveError error);

struct PictureSave {
    SaveError error = SaveError::None;
    QString path; // the file written (or that would have been)
    QString name; // the file as its message names it
    bool ok() const { return error == SaveError::None; }
};
// The message of a refused save, naming the file; empty when it was saved.
QString errorMessage(const PictureSave& save);

// Writes the picture as clipsFolder + fileName (clipsFolder ends with "/"). The name must pass
// store::isStorablePictureName (it stays in the folder and the catalogue can record it); an existing file is replaced only with ExistingFile::Replace, which the caller gives after the user agreed.
// The file is written to a temporary name and renamed over the target, so a failed save leaves the old file.
PictureSave savePicture(const LitGrid& picture, const QString& clipsFolder, const QString& fileName,
                        ExistingFile existing);
// The same for a full path outside the clips folder (temporary files); the name is not checked.
PictureSave savePictureFile(const LitGrid& picture, const QString& path, ExistingFile existing);

} // namespace imaging
