#include "devicelink/linux/SysfsHidraw.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace devicelink {
namespace {

std::optional<QByteArray> readAttribute(const QString& folder, const QString& name)
{
    QFile file(folder + u'/' + name);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<unsigned> readHexAttribute(const QString& folder, const QString& name)
{
    const std::optional<QByteArray> text = readAttribute(folder, name);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const unsigned value = text->trimmed().toUInt(&ok, 16);
    return ok ? std::optional<unsigned>(value) : std::nullopt;
}

// "0003:05FE:1113.0005": bus, vendor and product of a HID device folder.
bool idsFromHidName(const QString& name, unsigned& vendor, unsigned& product)
{
    const QStringList parts = name.section(u'.', 0, 0).split(u':');
    if (parts.size() != 3)
        return false;
    bool vendorOk = false, productOk = false;
    vendor = parts[1].toUInt(&vendorOk, 16);
    product = parts[2].toUInt(&productOk, 16);
    return vendorOk && productOk;
}

} // namespace

std::optional<HidrawNode> describeHidraw(const QString& syspath, const QString& devRoot)
{
    // <hid device>/hidraw/hidrawN
    const QString node = QFileInfo(syspath).canonicalFilePath();
    if (node.isEmpty())
        return std::nullopt;
    QDir hid(node);
    if (!hid.cdUp() || hid.dirName() != QLatin1String("hidraw") || !hid.cdUp())
        return std::nullopt;
    const std::optional<QByteArray> descriptor = readAttribute(hid.path(), QStringLiteral("report_descriptor"));
    if (!descriptor)
        return std::nullopt;

    HidrawNode result;
    result.hidDevicePath = hid.path();
    result.reportDescriptor = *descriptor;

    // The USB device is the nearest ancestor with vendor and product ids (the interface folder between has none).
    QDir up(hid);
    while (up.cdUp() && !up.isRoot()) {
        const std::optional<unsigned> vendor = readHexAttribute(up.path(), QStringLiteral("idVendor"));
        const std::optional<unsigned> product = readHexAttribute(up.path(), QStringLiteral("idProduct"));
        if (vendor && product) {
            result.usbDevicePath = up.path();
            result.vendorId = *vendor;
            result.productId = *product;
            break;
        }
    }
    if (result.usbDevicePath.isEmpty())
        idsFromHidName(hid.dirName(), result.vendorId, result.productId);

    // <hid device>/input/inputM/eventK
    const QDir inputs(hid.path() + QStringLiteral("/input"));
    for (const QString& input : inputs.entryList({QStringLiteral("input*")}, QDir::Dirs, QDir::Name)) {
        const QDir device(inputs.filePath(input));
        for (const QString& event : device.entryList({QStringLiteral("event*")}, QDir::Dirs, QDir::Name))
            result.eventNodes << devRoot + QStringLiteral("/input/") + event;
    }
    return result;
}

std::optional<QString> readManufacturer(const QString& usbDevicePath)
{
    if (usbDevicePath.isEmpty())
        return std::nullopt;
    std::optional<QByteArray> text = readAttribute(usbDevicePath, QStringLiteral("manufacturer"));
    if (!text)
        return std::nullopt;
    if (text->endsWith('\n'))
        text->chop(1);
    return QString::fromUtf8(*text);
}

} // namespace devicelink
