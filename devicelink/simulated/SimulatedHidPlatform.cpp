#include "devicelink/simulated/SimulatedHidPlatform.h"

#include "devicelink/DeviceProtocol.h"

namespace devicelink {

SimulatedHidPlatform::SimulatedHidPlatform(EventPump& pump, SimulatedDeviceConfig config)
    : pump_(pump), device_(std::make_unique<SimulatedDevice>(std::move(config)))
{
}

void SimulatedHidPlatform::replug(SimulatedDeviceConfig config)
{
    device_.reset(); // stores the old stick's memory first
    device_ = std::make_unique<SimulatedDevice>(std::move(config));
}

std::vector<HidInterface> SimulatedHidPlatform::enumerateInterfaces()
{
    if (!device_->plugged())
        return {};
    return {HidInterface{kPath, kVendorId, kProductId, true, device_->config().accessible}};
}

std::optional<QString> SimulatedHidPlatform::manufacturerString(const QString& path)
{
    if (path != kPath || !device_->plugged())
        return std::nullopt;
    return device_->config().manufacturer;
}

bool SimulatedHidPlatform::beginTransfer(const QString& path)
{
    ++transfersBegun_;
    if (path != kPath || !device_->plugged() || !device_->config().accessible)
        return false;
    ++openTransfers_;
    return true;
}

void SimulatedHidPlatform::endTransfer()
{
    if (openTransfers_ > 0)
        --openTransfers_;
}

bool SimulatedHidPlatform::writeIndicators(const QString& path, int nibble)
{
    if (path != kPath || !device_->config().accessible)
        return false;
    pump_.sleep(device_->config().latencyMs);
    return device_->receiveNibble(nibble);
}

QString SimulatedHidPlatform::takeTypedKeys()
{
    return device_->takeTyped();
}

void SimulatedHidPlatform::waitForKeys(int ms)
{
    if (!device_->hasTyped())
        pump_.sleep(ms);
}

} // namespace devicelink
