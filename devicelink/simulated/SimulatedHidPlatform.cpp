#include "devicelink/simulated/SimulatedHidPlatform.h"

#include "devicelink/DeviceProtocol.h"

#include <QFileInfo>

namespace devicelink {

SimulatedHidPlatform::SimulatedHidPlatform(EventPump& pump, SimulatedDeviceConfig config)
    : SimulatedHidPlatform(pump, std::vector<SimulatedDeviceConfig>{std::move(config)})
{
}

SimulatedHidPlatform::SimulatedHidPlatform(EventPump& pump, const std::vector<SimulatedDeviceConfig>& configs)
    : pump_(pump)
{
    const int count = configs.empty() ? 1 : static_cast<int>(configs.size());
    for (int i = 0; i < count; ++i) {
        const SimulatedDeviceConfig config = configs.empty() ? SimulatedDeviceConfig{} : configs[i];
        sticks_.push_back({stickPath(i, count), std::make_unique<SimulatedDevice>(config)});
    }
    active_ = &sticks_.front();
}

QString SimulatedHidPlatform::stickPath(int index, int count)
{
    return count == 1 ? kPath : kPath + QStringLiteral("/%1").arg(index + 1);
}

SimulatedHidPlatform::Stick* SimulatedHidPlatform::find(const QString& path)
{
    for (Stick& stick : sticks_) {
        if (stick.path == path)
            return &stick;
    }
    return nullptr;
}

SimulatedDevice* SimulatedHidPlatform::device(const QString& path)
{
    Stick* stick = find(path);
    return stick ? stick->device.get() : nullptr;
}

bool SimulatedHidPlatform::keepOnly(const QString& path)
{
    Stick* stick = find(path);
    if (!stick)
        return false;
    Stick kept = std::move(*stick);
    sticks_.clear();
    sticks_.push_back(std::move(kept));
    active_ = &sticks_.front();
    return true;
}

void SimulatedHidPlatform::replug(SimulatedDeviceConfig config)
{
    Stick& first = sticks_.front();
    first.device.reset(); // stores the old stick's memory first
    first.device = std::make_unique<SimulatedDevice>(std::move(config));
}

bool SimulatedHidPlatform::present(Stick& stick)
{
    const QString& file = stick.device->config().presentFile;
    if (file.isEmpty())
        return stick.device->plugged();
    const bool now = QFileInfo::exists(file);
    if (now && !stick.presentBefore) {
        const SimulatedDeviceConfig config = stick.device->config();
        stick.device.reset(); // stores the old stick's memory first
        stick.device = std::make_unique<SimulatedDevice>(config);
    }
    stick.presentBefore = now;
    return now && stick.device->plugged();
}

std::vector<HidInterface> SimulatedHidPlatform::enumerateInterfaces()
{
    std::vector<HidInterface> interfaces;
    for (Stick& stick : sticks_) {
        if (present(stick))
            interfaces.push_back({stick.path, kVendorId, kProductId, true, stick.device->config().accessible});
    }
    return interfaces;
}

std::optional<QString> SimulatedHidPlatform::manufacturerString(const QString& path)
{
    Stick* stick = find(path);
    if (!stick || !present(*stick))
        return std::nullopt;
    return stick->device->config().manufacturer;
}

OpenStatus SimulatedHidPlatform::beginTransfer(const QString& path)
{
    ++transfersBegun_;
    Stick* stick = find(path);
    if (!stick || !present(*stick))
        return OpenStatus::Missing;
    if (!stick->device->config().accessible)
        return OpenStatus::Denied;
    if (!stick->device->config().grabbable)
        return OpenStatus::Busy;
    active_ = stick;
    ++openTransfers_;
    stick->device->log(QStringLiteral("transfer-begun"));
    return OpenStatus::Ok;
}

void SimulatedHidPlatform::endTransfer()
{
    if (openTransfers_ == 0)
        return;
    --openTransfers_;
    active_->device->log(QStringLiteral("transfer-ended"));
}

bool SimulatedHidPlatform::writeIndicators(const QString& path, int nibble)
{
    Stick* stick = find(path);
    if (!stick || !present(*stick) || !stick->device->config().accessible)
        return false;
    active_ = stick;
    pump_.sleep(stick->device->config().latencyMs);
    return stick->device->receiveNibble(nibble);
}

QString SimulatedHidPlatform::takeTypedKeys()
{
    return active_->device->takeTyped();
}

void SimulatedHidPlatform::waitForKeys(int ms)
{
    if (!active_->device->hasTyped())
        pump_.sleep(ms);
}

} // namespace devicelink
