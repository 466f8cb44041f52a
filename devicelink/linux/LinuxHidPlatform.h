#pragma once

#include "devicelink/HidPlatform.h"
#include "devicelink/linux/HidReportDescriptor.h"
#include "devicelink/linux/SysfsHidraw.h"

#include <QHash>
#include <memory>

namespace devicelink {

// What an errno from opening or grabbing a device node says of the transfer: ENOENT, ENODEV and ENXIO a device
// that is gone, EACCES and EPERM no permission, EBUSY another program holding it.
OpenStatus openStatusFromErrno(int error);

// HID access on Linux: libudev lists the hidraw nodes, sysfs gives their USB ids, manufacturer and report
// descriptor; each indicator write is one output report written to the hidraw node; the typed keys are read from
// the same node's input reports while the device's evdev nodes are grabbed, so no other program receives them.
class LinuxHidPlatform : public HidPlatform {
public:
    LinuxHidPlatform();
    ~LinuxHidPlatform() override;

    std::vector<HidInterface> enumerateInterfaces() override;
    std::optional<QString> manufacturerString(const QString& path) override;
    OpenStatus beginTransfer(const QString& path) override;
    void endTransfer() override;
    bool writeIndicators(const QString& path, int nibble) override;
    QString takeTypedKeys() override;
    void waitForKeys(int ms) override;

private:
    std::optional<HidrawNode> describe(const QString& path);
    void readInput();

    QHash<QString, HidrawNode> nodes_; // by hidraw device node, from the last enumeration
    // The transfer in progress.
    QString transferPath_;
    int hidraw_ = -1;
    std::vector<int> grabbed_;
    ReportLayout layout_;
    std::unique_ptr<KeyReportDecoder> decoder_;
    QString typed_;
};

} // namespace devicelink
