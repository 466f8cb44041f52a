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

quint16 imageChecksum(const QByteArray& image)
{
    quint16 sum = 0;
    for (const char byte : image)
        sum = quint16(sum + quint8(byte));
    return sum;
}

} // namespace deviceimage
