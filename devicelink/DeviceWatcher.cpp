#include "devicelink/DeviceWatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>

#include <cstring>
#include <libudev.h>

namespace devicelink {

// The udev context and monitor, released together.
struct DeviceWatcher::Udev {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;

    ~Udev()
    {
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
    }
};

DeviceWatcher::DeviceWatcher(QObject* parent) : QObject(parent)
{
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &DeviceWatcher::devicesChanged);
}

DeviceWatcher::~DeviceWatcher() = default;

bool DeviceWatcher::watching() const
{
    return notifier_ || files_;
}

void DeviceWatcher::changed()
{
    if (!settle_.isActive())
        settle_.start();
}

bool DeviceWatcher::watchUdev()
{
    auto udev = std::make_unique<Udev>();
    udev->context = udev_new();
    if (!udev->context)
        return false;
    // "udev": events after the udev daemon has made the device nodes and set their permissions.
    udev->monitor = udev_monitor_new_from_netlink(udev->context, "udev");
    if (!udev->monitor
        || udev_monitor_filter_add_match_subsystem_devtype(udev->monitor, "hidraw", nullptr) < 0
        || udev_monitor_filter_add_match_subsystem_devtype(udev->monitor, "usb", nullptr) < 0
        || udev_monitor_enable_receiving(udev->monitor) < 0)
        return false;
    const int socket = udev_monitor_get_fd(udev->monitor);
    if (socket < 0)
        return false;
    udev_ = std::move(udev);
    notifier_ = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &DeviceWatcher::readUdevEvents);
    return true;
}

void DeviceWatcher::readUdevEvents()
{
    // Every waiting event is taken, so the notifier does not fire again for the same burst. A hidraw node added
    // or removed is what a stick's transfers use, and udevd sends its event once the node has its permissions:
    // that is told at once. The USB device's own events only start or extend the settle time.
    bool any = false;
    bool hidraw = false;
    while (udev_device* device = udev_monitor_receive_device(udev_->monitor)) {
        const char* subsystem = udev_device_get_subsystem(device);
        hidraw = hidraw || (subsystem && std::strcmp(subsystem, "hidraw") == 0);
        udev_device_unref(device);
        any = true;
    }
    if (hidraw) {
        settle_.stop();
        emit devicesChanged();
    } else if (any) {
        changed();
    }
}

bool DeviceWatcher::watchPresenceFile(const QString& file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFileInfo(folder).isDir())
        return false;
    if (!files_) {
        files_ = new QFileSystemWatcher(this);
        connect(files_, &QFileSystemWatcher::directoryChanged, this, &DeviceWatcher::changed);
    }
    return files_->addPath(folder) || files_->directories().contains(folder);
}

} // namespace devicelink
