#include "devicelink/HidPlatformChoice.h"

#include "devicelink/linux/LinuxHidPlatform.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"

namespace devicelink {
namespace {

StickConfigParse simulatedSticks()
{
    return parseSimulatedDeviceConfigs(qEnvironmentVariable(kSimulatedDeviceVariable));
}

} // namespace

PlatformChoice createHidPlatform(EventPump& pump)
{
    if (!qEnvironmentVariableIsSet(kSimulatedDeviceVariable))
        return {std::make_unique<LinuxHidPlatform>(), {}};
    StickConfigParse sticks = simulatedSticks();
    if (!sticks.ok())
        return {nullptr, std::move(sticks)};
    return {std::make_unique<SimulatedHidPlatform>(pump, sticks.sticks), std::move(sticks)};
}

QString PlatformChoice::refusal() const
{
    return stickConfigMessage(sticks, QLatin1String(kSimulatedDeviceVariable));
}

std::unique_ptr<HidPlatform> createStickPlatform(const QString& path, EventPump& pump)
{
    if (!qEnvironmentVariableIsSet(kSimulatedDeviceVariable))
        return std::make_unique<LinuxHidPlatform>();
    const StickConfigParse sticks = simulatedSticks();
    if (!sticks.ok())
        return nullptr;
    auto platform = std::make_unique<SimulatedHidPlatform>(pump, sticks.sticks);
    return platform->keepOnly(path) ? std::move(platform) : nullptr;
}

std::unique_ptr<DeviceWatcher> createDeviceWatcher()
{
    auto watcher = std::make_unique<DeviceWatcher>();
    if (!qEnvironmentVariableIsSet(kSimulatedDeviceVariable)) {
        watcher->watchUdev();
        return watcher;
    }
    const StickConfigParse sticks = simulatedSticks(); // none when it is not understood
    for (const SimulatedDeviceConfig& config : sticks.sticks) {
        if (!config.presentFile.isEmpty())
            watcher->watchPresenceFile(config.presentFile);
    }
    return watcher;
}

} // namespace devicelink
