#include "devicelink/simulated/SimulatedHidPlatform.h"

#include "devicelink/DeviceProtocol.h"

#include <QFileInfo>

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

bool SimulatedHidPlatform::present()
{
    const QString& file = device_->config().presentFile;
    if (file.isEmpty())
        return device_->plugged();
    const bool now = QFileInfo::exists(file);
    if (now && !presentBefore_)
        replug(device_->config());
    presentBefore_ = now;
    return now && device_->plugged();
}

std::vector<HidInterface> SimulatedHidPlatform::enumerateInterfaces()
{
    if (!present())
        return {};
    return {HidInterface{kPath, kVendorId, kProductId, true, device_->config().accessible}};
}

std::optional<QString> SimulatedHidPlatform::manufacturerString(const QString& path)
{
    if (path != kPath || !present())
        return std::nullopt;
    return device_->config().manufacturer;
}

bool SimulatedHidPlatform::beginTransfer(const QString& path)
{
    ++transfersBegun_;
    const SimulatedDeviceConfig& config = device_->config();
    if (path != kPath || !present() || !config.accessible || !config.grabbable)
        return false;
    ++openTransfers_;
    device_->log(QStringLiteral("transfer-begun"));
    return true;
}

void SimulatedHidPlatform::endTransfer()
{
    if (openTransfers_ == 0)
        return;
    --openTransfers_;
    device_->log(QStringLiteral("transfer-ended"));
}

bool SimulatedHidPlatform::writeIndicators(const QString& path, int nibble)
{
    if (path != kPath || !present() || !device_->config().accessible)
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
