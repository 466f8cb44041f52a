#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <functional>

// A USB keyboard made by the kernel's gadget framework (configfs), plugged into one of dummy_hcd's device
// controllers, so that the same kernel sees it as a USB HID device with hidraw and event nodes. Root only.
struct GadgetIdentity {
    unsigned vendorId = 0x05FE;
    unsigned productId = 0x1113;
    QString manufacturer = QStringLiteral("Moonotter");
};

class UsbGadget {
public:
    // Builds the gadget (a boot keyboard with the LED output report) under /sys/kernel/config/usb_gadget/NAME.
    UsbGadget(const QString& name, const GadgetIdentity& identity);
    ~UsbGadget(); // unplugs and removes the gadget
    UsbGadget(const UsbGadget&) = delete;
    UsbGadget& operator=(const UsbGadget&) = delete;

    bool isValid() const { return valid_; }
    // Binds the gadget to the device controller dummy_udc.N and waits until its hidraw and event nodes appear
    // (unless told not to wait).
    bool plug(int controller, bool waitForNodes = true);
    // Unbinds it (the USB device disappears) and waits until its nodes are gone (unless told not to wait).
    bool unplug(bool waitForNodes = true);
    // Changes the USB manufacturer string (while unplugged).
    bool setManufacturer(const QString& manufacturer);

    QString udcFile() const { return root_ + QStringLiteral("/UDC"); }
    // The device side: where the LED reports arrive and the key reports go.
    QString functionNode() const;
    // The host side, while plugged in; empty when absent.
    QString hidrawNode() const;
    QString eventNode() const;

private:
    QString hostNodeUnder(const QString& sysClass, const QString& prefix) const;

    QString root_;
    int controller_ = -1;
    bool valid_ = false;
};

// The stick's firmware model (gadgetstick) serving a gadget: runs from start() until stop() or destruction.
class StickFirmware {
public:
    StickFirmware(const QString& program) : program_(program) {}
    ~StickFirmware() { stop(); }
    // CONFIG in the LUMIWAND_SIMULATED_DEVICE syntax; with unplugWhenPulled the gadget is unbound when the model
    // is pulled out (unplug_after).
    bool start(const UsbGadget& gadget, const QString& config, bool unplugWhenPulled = false);
    void stop();
    bool isRunning() const { return process_.state() != QProcess::NotRunning; }
    bool waitForExit(int ms) { return process_.waitForFinished(ms); }

private:
    QString program_;
    QProcess process_;
};

// Polls `condition` every 20 ms until it holds or `ms` milliseconds have passed.
bool waitUntil(const std::function<bool()>& condition, int ms);
