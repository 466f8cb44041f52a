#include "deviceimage/DeviceImage.h"

#include "imaging/LitGrid.h"
#include "imaging/PictureFile.h"

#include <QFileInfo>

namespace deviceimage {

DeviceTraits deviceTraits(int deviceType)
{
    switch (deviceType) {
    case kVisuallyInviting:
        return {false, false, true, true};
    case kFanStick16:
        return {true, false, false, false};
    case kRoll:
        return {false, false, true, false};
    case kFanStick32:
    case kFanStick48:
        return {true, true, false, false};
    default:
        return {};
    }
}

bool isDeviceType(int code)
{
    return code == kVisuallyInviting || code == kFanStick16 || code == kRoll || code == kFanStick32 ||
           code == kFanStick48;
}

int editionDeviceType(int ledCount)
{
    switch (ledCount) {
    case 32:
        return kFanStick32;
    case 48:
        return kFanStick48;
    default:
        return kFanStick16;
    }
}

int editionCapacity(int ledCount)
{
    return ledCount / 8 > 2 ? 4096 : 2048;
}

bool isTorchFile(const QString& storedName)
{
    const qsizetype cut = std::max(storedName.lastIndexOf(u'/'), storedName.lastIndexOf(u'\\'));
    return storedName.mid(cut + 1).compare(kTorchFile, Qt::CaseInsensitive) == 0;
}

bool ensureTorchPicture(const QString& clipsFolder, int size)
{
    if (QFileInfo::exists(clipsFolder + kTorchFile))
        return true;
    imaging::LitGrid torch(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            torch.setLit(x, y);
    return imaging::savePicture(torch, clipsFolder, kTorchFile, imaging::ExistingFile::Refuse).ok();
}

ImageHeader readImageHeader(const QByteArray& image)
{
    ImageHeader header;
    if (image.size() > kHeightOffset) {
        header.pictures = quint8(image[kCountOffset]);
        header.height = quint8(image[kHeightOffset]) & ~kHeightFlag;
        header.heightFlag = quint8(image[kHeightOffset]) & kHeightFlag;
    }
    header.totalBytes = readWord(image, kTotalBytesOffset);
    header.patternStart = readWord(image, kPatternStartOffset);
    return header;
}

int pictureWidth(const QByteArray& image, int picture)
{
    return readWord(image, linkEntryOffset(picture)) & kWidthMask;
}

int countIndelible(const QByteArray& image)
{
    int count = 0;
    for (int k = 0, n = readImageHeader(image).pictures; k < n; ++k)
        if (readWord(image, linkEntryOffset(k)) & kIndelibleBit)
            ++count;
    return count;
}

bool isStickHeight(int height)
{
    return height == 16 || height == 24 || height == 32 || height == 48 || height == 64;
}

ImageShape checkImageShape(const QByteArray& image)
{
    const qsizetype size = image.size();
    const ImageHeader header = readImageHeader(image);
    if (size < kHeaderBytes || header.totalBytes != size)
        return ImageShape::Damaged;
    if (header.pictures == 0)
        return ImageShape::NoPictures;
    if (header.height == 0)
        return ImageShape::NoHeight;
    if (header.patternStart != kHeaderBytes + kLinkEntryBytes * header.pictures || header.patternStart > size)
        return ImageShape::Damaged;
    qint64 patternBytes = 0;
    for (int k = 0; k < header.pictures; ++k) {
        const int width = pictureWidth(image, k);
        if (width == 0)
            return ImageShape::Damaged;
        patternBytes += qint64(width) * bytesPerColumn(header.height);
    }
    return header.patternStart + patternBytes == size ? ImageShape::Consistent : ImageShape::Damaged;
}

quint16 imageChecksum(const QByteArray& image)
{
    quint16 sum = 0;
    for (const char byte : image)
        sum = quint16(sum + quint8(byte));
    return sum;
}

} // namespace deviceimage
