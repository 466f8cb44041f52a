#pragma once

#include "devicelink/EventPump.h"
#include "devicelink/HidPlatform.h"
#include "devicelink/simulated/SimulatedDevice.h"

#include <memory>
#include <vector>

namespace devicelink {

// The HID platform with simulated sticks plugged in: one, or several, each with its own configuration and device
// path. Each indicator write takes the configured latency on the pump's clock (real time in the program, a virtual
// clock in tests).
class SimulatedHidPlatform : public HidPlatform {
public:
    static inline const QString kPath = QStringLiteral("simulated:vid_05fe&pid_1113");

    SimulatedHidPlatform(EventPump& pump, SimulatedDeviceConfig config = {});
    SimulatedHidPlatform(EventPump& pump, const std::vector<SimulatedDeviceConfig>& configs);

    // The device path of stick `index` (from 0) of `count`: kPath for a single stick, kPath + "/N" (N from 1) for
    // each of several.
    static QString stickPath(int index, int count);

    // The first stick, or the one at `path` (nullptr when there is none).
    SimulatedDevice& device() { return *sticks_.front().device; }
    SimulatedDevice* device(const QString& path);
    // Keeps only the stick at `path`, for a transfer of its own beside other sticks; false when there is none.
    bool keepOnly(const QString& path);
    // Pulls the first stick out and puts a new one in (with the same memory file), as a user does after an error.
    void replug(SimulatedDeviceConfig config);
    // Number of transfers begun and not ended (0 when every transfer released the stick).
    int openTransfers() const { return openTransfers_; }
    int transfersBegun() const { return transfersBegun_; }

    std::vector<HidInterface> enumerateInterfaces() override;
    std::optional<QString> manufacturerString(const QString& path) override;
    OpenStatus beginTransfer(const QString& path) override;
    void endTransfer() override;
    bool writeIndicators(const QString& path, int nibble) override;
    QString takeTypedKeys() override;
    void waitForKeys(int ms) override;

private:
    struct Stick {
        QString path;
        std::unique_ptr<SimulatedDevice> device;
        bool presentBefore = true;
    };

    Stick* find(const QString& path);
    // Whether the stick is in: it was not pulled out, and its presence file (when configured) exists. A stick
    // whose presence file comes back is a stick plugged in again: it starts afresh from its memory file.
    bool present(Stick& stick);

    EventPump& pump_;
    std::vector<Stick> sticks_;
    Stick* active_ = nullptr; // the stick whose typing the host reads: in a transfer, or the last written to
    int openTransfers_ = 0;
    int transfersBegun_ = 0;
};

} // namespace devicelink
