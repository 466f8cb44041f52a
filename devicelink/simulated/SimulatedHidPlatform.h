#pragma once

#include "devicelink/EventPump.h"
#include "devicelink/HidPlatform.h"
#include "devicelink/simulated/SimulatedDevice.h"

#include <memory>

namespace devicelink {

// The HID platform with one simulated stick plugged in. Each indicator write takes the configured latency on the
// pump's clock (real time in the program, a virtual clock in tests).
class SimulatedHidPlatform : public HidPlatform {
public:
    static inline const QString kPath = QStringLiteral("simulated:vid_05fe&pid_1113");

    SimulatedHidPlatform(EventPump& pump, SimulatedDeviceConfig config = {});

    SimulatedDevice& device() { return *device_; }
    // Pulls the stick out and puts a new one in (with the same memory file), as a user does after an error.
    void replug(SimulatedDeviceConfig config);
    // Number of transfers begun and not ended (0 when every transfer released the stick).
    int openTransfers() const { return openTransfers_; }
    int transfersBegun() const { return transfersBegun_; }

    std::vector<HidInterface> enumerateInterfaces() override;
    std::optional<QString> manufacturerString(const QString& path) override;
    bool beginTransfer(const QString& path) override;
    void endTransfer() override;
    bool writeIndicators(const QString& path, int nibble) override;
    QString takeTypedKeys() override;
    void waitForKeys(int ms) override;

private:
    // Whether the stick is in: it was not pulled out, and its presence file (when configured) exists. A stick
    // whose presence file comes back is a stick plugged in again: it starts afresh from its memory file.
    bool present();

    EventPump& pump_;
    std::unique_ptr<SimulatedDevice> device_;
    int openTransfers_ = 0;
    int transfersBegun_ = 0;
    bool presentBefore_ = true;
};

} // namespace devicelink
