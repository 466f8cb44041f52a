#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// What sysfs says about one hidraw node: its USB device's ids and manufacturer, its HID report descriptor, and
// the evdev nodes of the same HID device (the keyboard's key events). Plain file reads, so they run on a fake
// sysfs tree in tests.
namespace devicelink {

struct HidrawNode {
    QString hidDevicePath;   // the HID device's sysfs folder, e.g. .../1-1:1.0/0003:05FE:1113.0005
    QString usbDevicePath;   // the USB device's sysfs folder; empty when the HID device is not on USB
    unsigned vendorId = 0;
    unsigned productId = 0;
    QByteArray reportDescriptor;
    QStringList eventNodes;  // "/dev/input/event5", ... (devRoot + "/input/" + name)
};

// Describes the hidraw node at `syspath` (e.g. /sys/class/hidraw/hidraw3, links followed). nullopt when the
// path is not a hidraw node of a HID device.
std::optional<HidrawNode> describeHidraw(const QString& syspath, const QString& devRoot = QStringLiteral("/dev"));

// The manufacturer attribute of a USB device's sysfs folder, without its line end; nullopt when it cannot be read.
std::optional<QString> readManufacturer(const QString& usbDevicePath);

} // namespace devicelink
