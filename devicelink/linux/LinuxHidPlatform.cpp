#include "devicelink/linux/LinuxHidPlatform.h"

#include "devicelink/EventPump.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <libudev.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace devicelink {
namespace {

int openRetrying(const QByteArray& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeReport(int fd, const QByteArray& report)
{
    ssize_t written;
    do {
        written = ::write(fd, report.constData(), static_cast<size_t>(report.size()));
    } while (written < 0 && errno == EINTR);
    return written == report.size();
}

// The number at the end of "/dev/hidraw12", for a natural order.
int nodeNumber(const QString& devnode)
{
    qsizetype digits = devnode.size();
    while (digits > 0 && devnode[digits - 1].isDigit())
        --digits;
    return devnode.mid(digits).toInt();
}

} // namespace

LinuxHidPlatform::LinuxHidPlatform() = default;

LinuxHidPlatform::~LinuxHidPlatform()
{
    endTransfer();
}

std::vector<HidInterface> LinuxHidPlatform::enumerateInterfaces()
{
    nodes_.clear();
    std::vector<HidInterface> interfaces;
    udev* context = udev_new();
    if (!context)
        return interfaces;
    udev_enumerate* enumeration = udev_enumerate_new(context);
    if (enumeration) {
        udev_enumerate_add_match_subsystem(enumeration, "hidraw");
        udev_enumerate_scan_devices(enumeration);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration))
        {
            const char* syspath = udev_list_entry_get_name(entry);
            udev_device* device = udev_device_new_from_syspath(context, syspath);
            if (!device)
                continue;
            const char* devnode = udev_device_get_devnode(device);
            const std::optional<HidrawNode> node =
                devnode ? describeHidraw(QString::fromLocal8Bit(syspath)) : std::nullopt;
            if (node) {
                const QString path = QString::fromLocal8Bit(devnode);
                nodes_.insert(path, *node);
                HidInterface hid;
                hid.path = path;
                hid.vendorId = node->vendorId;
                hid.productId = node->productId;
                hid.hasIndicators = keyboardLayout(node->reportDescriptor).indicators.has_value();
                hid.accessible = ::access(devnode, R_OK | W_OK) == 0;
                for (const QString& event : node->eventNodes)
                    hid.accessible = hid.accessible && ::access(event.toLocal8Bit().constData(), R_OK) == 0;
                interfaces.push_back(hid);
            }
            udev_device_unref(device);
        }
        udev_enumerate_unref(enumeration);
    }
    udev_unref(context);
    std::sort(interfaces.begin(), interfaces.end(), [](const HidInterface& a, const HidInterface& b) {
        return nodeNumber(a.path) < nodeNumber(b.path);
    });
    return interfaces;
}

std::optional<HidrawNode> LinuxHidPlatform::describe(const QString& path)
{
    // The hidraw node's sysfs folder, from its device number, so a node that changed since the enumeration is
    // described as it is now.
    struct stat status {};
    if (::stat(path.toLocal8Bit().constData(), &status) != 0 || !S_ISCHR(status.st_mode))
        return std::nullopt;
    const QString syspath = QStringLiteral("/sys/dev/char/%1:%2").arg(major(status.st_rdev)).arg(minor(status.st_rdev));
    std::optional<HidrawNode> node = describeHidraw(syspath);
    if (node)
        nodes_.insert(path, *node);
    return node;
}

std::optional<QString> LinuxHidPlatform::manufacturerString(const QString& path)
{
    const auto known = nodes_.constFind(path);
    const std::optional<HidrawNode> node = known != nodes_.constEnd() ? *known : describe(path);
    if (!node)
        return std::nullopt;
    return readManufacturer(node->usbDevicePath);
}

OpenStatus openStatusFromErrno(int error)
{
    switch (error) {
    case 0:
        return OpenStatus::Ok;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenStatus::Missing;
    case EACCES:
    case EPERM:
        return OpenStatus::Denied;
    case EBUSY:
        return OpenStatus::Busy;
    default:
        return OpenStatus::Failed;
    }
}

OpenStatus LinuxHidPlatform::beginTransfer(const QString& path)
{
    endTransfer();
    const std::optional<HidrawNode> node = describe(path);
    if (!node)
        return OpenStatus::Missing;
    hidraw_ = openRetrying(path.toLocal8Bit(), O_RDWR | O_NONBLOCK);
    if (hidraw_ < 0)
        return openStatusFromErrno(errno);
    transferPath_ = path;
    layout_ = keyboardLayout(node->reportDescriptor);
    decoder_ = std::make_unique<KeyReportDecoder>(layout_.keys.value_or(KeyInputLayout{}), layout_.numberedReports);

    // Keep the keys the stick types from the desktop. Without the grab (no permission, or another program holds
    // it) the replies would be typed into the focused window, so the transfer does not start.
    for (const QString& event : node->eventNodes) {
        const int fd = openRetrying(event.toLocal8Bit(), O_RDONLY | O_NONBLOCK);
        if (fd >= 0 && ::ioctl(fd, EVIOCGRAB, 1) == 0) {
            grabbed_.push_back(fd);
            continue;
        }
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        endTransfer();
        return openStatusFromErrno(error);
    }

    // Whatever the stick typed before now belongs to no reply; learn which keys are held and drop it.
    readInput();
    typed_.clear();
    return OpenStatus::Ok;
}

void LinuxHidPlatform::endTransfer()
{
    for (int fd : grabbed_) {
        ::ioctl(fd, EVIOCGRAB, 0);
        ::close(fd);
    }
    grabbed_.clear();
    if (hidraw_ >= 0)
        ::close(hidraw_);
    hidraw_ = -1;
    transferPath_.clear();
    decoder_.reset();
    typed_.clear();
}

bool LinuxHidPlatform::writeIndicators(const QString& path, int nibble)
{
    if (hidraw_ >= 0 && path == transferPath_) {
        if (!layout_.indicators)
            return false;
        return writeReport(hidraw_, indicatorReport(*layout_.indicators, nibble));
    }
    // Outside a transfer: open, write, close.
    const std::optional<HidrawNode> node = describe(path);
    if (!node)
        return false;
    const ReportLayout layout = keyboardLayout(node->reportDescriptor);
    if (!layout.indicators)
        return false;
    const int fd = openRetrying(path.toLocal8Bit(), O_RDWR);
    if (fd < 0)
        return false;
    const bool written = writeReport(fd, indicatorReport(*layout.indicators, nibble));
    return ::close(fd) == 0 && written;
}

void LinuxHidPlatform::readInput()
{
    if (hidraw_ < 0 || !decoder_)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(hidraw_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return; // EAGAIN: nothing more for now; ENODEV: unplugged (the next write fails)
        typed_ += decoder_->decode(QByteArray(buffer, static_cast<qsizetype>(got)));
    }
}

QString LinuxHidPlatform::takeTypedKeys()
{
    readInput();
    QString typed;
    typed.swap(typed_);
    return typed;
}

void LinuxHidPlatform::waitForKeys(int ms)
{
    if (!typed_.isEmpty() || ms <= 0)
        return;
    if (hidraw_ < 0) {
        preciseSleep(ms);
        return;
    }
    pollfd wait{hidraw_, POLLIN, 0};
    const int ready = ::poll(&wait, 1, ms);
    if (ready > 0 && (wait.revents & (POLLERR | POLLHUP | POLLNVAL)))
        preciseSleep(ms); // a vanished device: do not spin; the caller's deadline ends the wait
}

} // namespace devicelink
