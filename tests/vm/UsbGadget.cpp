#include "tests/vm/UsbGadget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <functional>

namespace {

const QString kGadgetRoot = QStringLiteral("/sys/kernel/config/usb_gadget/");

// A boot keyboard: modifiers, a reserved byte, five LEDs (Num, Caps, Scroll, Compose, Kana) padded to one output
// byte, and six key slots.
const unsigned char kBootKeyboardDescriptor[] = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x03, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x03, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

QByteArray hex(unsigned value)
{
    return "0x" + QByteArray::number(value, 16).rightJustified(4, '0');
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

UsbGadget::UsbGadget(const QString& name, const GadgetIdentity& identity)
    : root_(kGadgetRoot + name)
{
    const QString function = root_ + QStringLiteral("/functions/hid.usb0");
    const QString config = root_ + QStringLiteral("/configs/c.1");
    QDir dir;
    valid_ = dir.mkpath(root_) && writeFile(root_ + "/idVendor", hex(identity.vendorId))
        && writeFile(root_ + "/idProduct", hex(identity.productId)) && writeFile(root_ + "/bcdDevice", "0x0100")
        && writeFile(root_ + "/bcdUSB", "0x0200") && dir.mkpath(root_ + "/strings/0x409")
        && setManufacturer(identity.manufacturer)
        && writeFile(root_ + "/strings/0x409/product", "USB Keyboard") && dir.mkpath(function)
        && writeFile(function + "/protocol", "1") && writeFile(function + "/subclass", "1")
        && writeFile(function + "/report_length", "8")
        && writeFile(function + "/report_desc",
                     QByteArray(reinterpret_cast<const char*>(kBootKeyboardDescriptor), sizeof kBootKeyboardDescriptor))
        && dir.mkpath(config + "/strings/0x409") && writeFile(config + "/strings/0x409/configuration", "keyboard")
        && writeFile(config + "/MaxPower", "100") && QFile::link(function, config + "/hid.usb0");
}

UsbGadget::~UsbGadget()
{
    unplug();
    const QString config = root_ + QStringLiteral("/configs/c.1");
    QFile::remove(config + "/hid.usb0");
    QDir dir;
    for (const QString& folder : {config + "/strings/0x409", config, root_ + "/functions/hid.usb0",
                                  root_ + "/strings/0x409", root_})
        dir.rmdir(folder);
}

bool UsbGadget::setManufacturer(const QString& manufacturer)
{
    return writeFile(root_ + "/strings/0x409/manufacturer", manufacturer.toUtf8());
}

bool UsbGadget::plug(int controller, bool waitForNodes)
{
    controller_ = controller;
    return writeFile(udcFile(), "dummy_udc." + QByteArray::number(controller))
        && (!waitForNodes || waitUntil([this] { return !hidrawNode().isEmpty() && !eventNode().isEmpty(); }, 20000));
}

bool UsbGadget::unplug(bool waitForNodes)
{
    if (readFile(udcFile()).isEmpty())
        return true;
    return writeFile(udcFile(), "\n") && (!waitForNodes || waitUntil([this] { return hidrawNode().isEmpty(); }, 20000));
}

QString UsbGadget::functionNode() const
{
    // "245:0": the hidg node's device number; devtmpfs names it hidg<minor>.
    const QByteArray number = readFile(root_ + "/functions/hid.usb0/dev");
    return QStringLiteral("/dev/hidg") + QString::fromLatin1(number.split(':').value(1));
}

QString UsbGadget::hostNodeUnder(const QString& sysClass, const QString& prefix) const
{
    // The host controller paired with dummy_udc.N is dummy_hcd.N; the nodes of our device sit below it.
    const QString below = QStringLiteral("/dummy_hcd.%1/").arg(controller_);
    const QDir dir(sysClass);
    for (const QString& name : dir.entryList({prefix + u'*'}, QDir::Dirs | QDir::System, QDir::Name)) {
        if (QFileInfo(dir.filePath(name)).canonicalFilePath().contains(below))
            return (prefix == QLatin1String("event") ? QStringLiteral("/dev/input/") : QStringLiteral("/dev/")) + name;
    }
    return {};
}

QString UsbGadget::hidrawNode() const
{
    return controller_ < 0 ? QString() : hostNodeUnder(QStringLiteral("/sys/class/hidraw"), QStringLiteral("hidraw"));
}

QString UsbGadget::eventNode() const
{
    return controller_ < 0 ? QString() : hostNodeUnder(QStringLiteral("/sys/class/input"), QStringLiteral("event"));
}

bool StickFirmware::start(const UsbGadget& gadget, const QString& config, bool unplugWhenPulled)
{
    stop();
    QStringList arguments;
    if (unplugWhenPulled)
        arguments << QStringLiteral("--udc") << gadget.udcFile();
    arguments << gadget.functionNode() << config;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(program_, arguments);
    return process_.waitForStarted(10000);
}

void StickFirmware::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(10000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}
