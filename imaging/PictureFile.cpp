#include "imaging/PictureFile.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/LibraryCatalogue.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include "messages/WholeFile.h"
#include <QtEndian>

namespace imaging {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kCoreHeaderSize = 12; // the OS/2 1.x header with 16-bit sizes
constexpr int kHeaderPeek = kFileHeaderSize + kInfoHeaderSize;
constexpr int kPelsPerMeter = 3780; // 96 dpi

// Compression codes of the info header whose pixel data length follows from the size and depth.
constexpr quint32 kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;

struct HeaderCheck {
    PictureError error = PictureError::None;
    QSize size;
};

// Checks what the header of a BMP file promises against the file's length before the bitmap reader sees it: the
// reader accepts a file that ends early and fills the missing rows, and it would allocate whatever size a damaged
// header claims. `head` holds at least the first kHeaderPeek bytes when the file is that long.
HeaderCheck checkHeader(const QByteArray& head, qint64 fileSize)
{
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    const qint64 available = head.size();
    if (fileSize == 0)
        return {PictureError::Truncated, {}};
    if (available < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return {PictureError::NotBmp, {}};
    if (available < kFileHeaderSize + 4)
        return {PictureError::Truncated, {}};
    const quint32 dataOffset = qFromLittleEndian<quint32>(bytes + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(bytes + 14);
    qint64 width = 0, height = 0;
    int depth = 0;
    quint32 compression = kBiRgb;
    if (headerSize == kCoreHeaderSize) {
        if (available < kFileHeaderSize + kCoreHeaderSize)
            return {PictureError::Truncated, {}};
        width = qFromLittleEndian<quint16>(bytes + 18);
        height = qFromLittleEndian<quint16>(bytes + 20);
        depth = qFromLittleEndian<quint16>(bytes + 24);
    } else if (headerSize >= kInfoHeaderSize && headerSize <= 124) {
        if (available < kFileHeaderSize + kInfoHeaderSize)
            return {PictureError::Truncated, {}};
        width = qFromLittleEndian<qint32>(bytes + 18);
        height = qFromLittleEndian<qint32>(bytes + 22); // negative: rows stored top row first
        depth = qFromLittleEndian<quint16>(bytes + 28);
        compression = qFromLittleEndian<quint32>(bytes + 30);
    } else {
        return {PictureError::NotBmp, {}};
    }
    height = qAbs(height);
    if (width <= 0 || height == 0)
        return {PictureError::NoPixels, {}};
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
        return {PictureError::TooLarge, {}};
    const bool fixedLength = compression == kBiRgb || compression == kBiBitfields || compression == kBiAlphaBitfields;
    const bool knownDepth = depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
    if (fixedLength && knownDepth) {
        const qint64 rowBytes = (width * depth + 31) / 32 * 4;
        if (fileSize < qint64(dataOffset) + rowBytes * height)
            return {PictureError::Truncated, {}};
    }
    return {PictureError::None, QSize(int(width), int(height))};
}

ImageLoad failed(PictureError error, const QString& name)
{
    ImageLoad result;
    result.error = error;
    result.name = name;
    return result;
}

// Decodes a device whose header already passed checkHeader.
ImageLoad decode(QIODevice& device, const QString& name)
{
    QImageReader reader(&device, "bmp");
    reader.setAutoTransform(false);
    ImageLoad result;
    if (!reader.read(&result.image) || result.image.isNull())
        return failed(PictureError::Corrupt, name);
    return result;
}

ImageLoad decodeContents(const QByteArray& contents, const QString& name)
{
    const QString shown = name.isEmpty() ? messages::lookupMessage(msg::ThePicture) : name;
    const HeaderCheck check = checkHeader(contents.left(kHeaderPeek), contents.size());
    if (check.error != PictureError::None)
        return failed(check.error, shown);
    QByteArray copy = contents; // shared, not copied: QBuffer only reads
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return decode(buffer, shown);
}

PictureLoad toPicture(const ImageLoad& load)
{
    PictureLoad result;
    result.error = load.error;
    result.name = load.name;
    if (load.ok())
        result.picture = Picture(load.image);
    return result;
}

PictureSave saveFailed(SaveError error, const QString& path, const QString& name)
{
    PictureSave result;
    result.error = error;
    result.path = path;
    result.name = name;
    return result;
}

} // namespace

unsigned messageId(PictureError error)
{
    switch (error) {
    case PictureError::None:
        return 0;
    case PictureError::Missing:
        return msg::FileDoesNotExist;
    case PictureError::Unreadable:
        return msg::FileCannotBeOpened;
    case PictureError::NotBmp:
        return msg::NotABmpPicture;
    case PictureError::Truncated:
        return msg::PictureIncomplete;
    case PictureError::NoPixels:
        return msg::PictureWithoutPixels;
    case PictureError::TooLarge:
        return msg::PictureTooLargeShort;
    case PictureError::Corrupt:
        return msg::DamagedBmpPicture;
    }
    return msg::DamagedBmpPicture;
}

QString errorMessage(PictureError error, const QString& name)
{
    return error == PictureError::None ? QString() : messages::formatMessage(messageId(error), qUtf8Printable(name));
}

unsigned messageId(SaveError error)
{
    switch (error) {
    case SaveError::None:
        return 0;
    case SaveError::UnsafeName:
        return msg::UnusablePictureName;
    case SaveError::Exists:
        return msg::FileAlreadyExists;
    case SaveError::NoPixels:
        return msg::EmptyPictureNotSaved;
    case SaveError::WriteFailed:
        return msg::UnableToWriteTo;
    }
    return msg::UnableToWriteTo;
}

QString errorMessage(const PictureSave& save)
{
    return save.ok() ? QString() : messages::formatMessage(messageId(save.error), qUtf8Printable(save.name));
}

ImageLoad loadImage(const QString& path)
{
    if (QFileInfo(path).isDir())
        return failed(PictureError::Missing, path);
    const files::ReadOutcome file = files::readRegularFile(path, files::kMaxPictureFileBytes);
    if (file.status == files::ReadStatus::Absent)
        return failed(PictureError::Missing, path);
    if (!file.ok())
        return failed(PictureError::Unreadable, path);
    return decodeContents(file.bytes, path);
}

PictureLoad loadPicture(const QString& path)
{
    return toPicture(loadImage(path));
}

PictureLoad decodePicture(const QByteArray& contents, const QString& name)
{
    return toPicture(decodeContents(contents, name));
}

PictureInfo readPictureInfo(const QString& path)
{
    PictureInfo result;
    const files::ReadOutcome file = QFileInfo(path).isDir()
                                        ? files::ReadOutcome{}
                                        : files::readRegularFile(path, files::kMaxPictureFileBytes);
    if (file.status == files::ReadStatus::Absent)
        result.error = PictureError::Missing;
    else if (!file.ok())
        result.error = PictureError::Unreadable;
    else {
        const HeaderCheck check = checkHeader(file.bytes.left(kHeaderPeek), file.bytes.size());
        result.error = check.error;
        result.size = check.size;
    }
    result.name = path;
    return result;
}

QByteArray encodeBmp(const LitGrid& picture)
{
    if (picture.isEmpty())
        return {};
    const int width = picture.width(), height = picture.height();
    const qsizetype rowBytes = (qsizetype(width) + 31) / 32 * 4;
    const quint32 dataOffset = kFileHeaderSize + kInfoHeaderSize + 2 * 4;
    const qsizetype imageBytes = rowBytes * height;
    QByteArray file(dataOffset + imageBytes, '\0');
    auto* out = reinterpret_cast<uchar*>(file.data());

    // BITMAPFILEHEADER
    out[0] = 'B';
    out[1] = 'M';
    qToLittleEndian<quint32>(quint32(file.size()), out + 2);
    qToLittleEndian<quint32>(dataOffset, out + 10);
    // BITMAPINFOHEADER
    uchar* info = out + kFileHeaderSize;
    qToLittleEndian<quint32>(kInfoHeaderSize, info + 0);
    qToLittleEndian<qint32>(width, info + 4);
    qToLittleEndian<qint32>(height, info + 8); // positive: bottom row first
    qToLittleEndian<quint16>(1, info + 12);    // planes
    qToLittleEndian<quint16>(1, info + 14);    // bits per pixel
    qToLittleEndian<quint32>(kBiRgb, info + 16);
    qToLittleEndian<quint32>(quint32(imageBytes), info + 20);
    qToLittleEndian<qint32>(kPelsPerMeter, info + 24);
    qToLittleEndian<qint32>(kPelsPerMeter, info + 28);
    qToLittleEndian<quint32>(2, info + 32); // colours used
    qToLittleEndian<quint32>(2, info + 36); // colours important
    // Palette (blue, green, red, reserved): 0 black, 1 white.
    uchar* palette = info + kInfoHeaderSize;
    palette[4] = palette[5] = palette[6] = 0xFF;

    uchar* pixels = out + dataOffset;
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;
        uchar* line = pixels + row * rowBytes;
        for (int x = 0; x < width; ++x)
            if (!picture.isLit(x, y))
                line[x >> 3] |= uchar(0x80 >> (x & 7));
    }
    return file;
}

PictureSave savePictureFile(const LitGrid& picture, const QString& path, ExistingFile existing)
{
    if (picture.isEmpty())
        return saveFailed(SaveError::NoPixels, path, path);
    const QFileInfo info(path);
    if (info.isDir() || (info.exists() && existing == ExistingFile::Refuse))
        return saveFailed(SaveError::Exists, path, path);
    // A new picture's name is taken atomically, so two writers never end up with one file between them.
    const files::WriteResult written =
        files::writeWholeFile(path, encodeBmp(picture),
                              existing == ExistingFile::Refuse ? files::WriteMode::CreateNew : files::WriteMode::Replace);
    if (written == files::WriteResult::Exists)
        return saveFailed(SaveError::Exists, path, path);
    if (written != files::WriteResult::Written)
        return saveFailed(SaveError::WriteFailed, path, path);
    PictureSave result;
    result.path = path;
    return result;
}

PictureSave savePicture(const LitGrid& picture, const QString& clipsFolder, const QString& fileName,
                        ExistingFile existing)
{
    const QString path = clipsFolder + fileName;
    if (!store::isStorablePictureName(fileName))
        return saveFailed(SaveError::UnsafeName, path, fileName);
    return savePictureFile(picture, path, existing);
}

} // namespace imaging
