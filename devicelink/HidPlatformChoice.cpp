#include "devicelink/HidPlatformChoice.h"

#include "devicelink/linux/LinuxHidPlatform.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"

namespace devicelink {
namespace {

std::optional<std::vector<SimulatedDeviceConfig>> simulatedSticks(QString* error)
{
    QString why;
    auto configs = parseSimulatedDeviceConfigs(qEnvironmentVariable(kSimulatedDeviceVariable), &why);
    if (!configs && error)
        *error = QStringLiteral("%1: %2").arg(QLatin1String(kSimulatedDeviceVariable), why);
    return configs;
}

} // namespace

std::unique_ptr<HidPlatform> createHidPlatform(EventPump& pump, QString* error)
{
    if (!qEnvironmentVariableIsSet(kSimulatedDeviceVariable))
        return std::make_unique<LinuxHidPlatform>();
    const auto configs = simulatedSticks(error);
    return configs ? std::make_unique<SimulatedHidPlatform>(pump, *configs) : nullptr;
}

std::unique_ptr<HidPlatform> createStickPlatform(const QString& path, EventPump& pump)
{
    if (!qEnvironmentVariableIsSet(kSimulatedDeviceVariable))
        return std::make_unique<LinuxHidPlatform>();
    const auto configs = simulatedSticks(nullptr);
    if (!configs)
        return nullptr;
    auto platform = std::make_unique<SimulatedHidPlatform>(pump, *configs);
    return platform->keepOnly(path) ? std::move(platform) : nullptr;
}

std::unique_ptr<DeviceWatcher> createDeviceWatcher()
{
    auto watcher = std::make_unique<DeviceWatcher>();
    if (!qEnvironmentVariableIsSet(kSimulatedDeviceVariable)) {
        watcher->watchUdev();
        return watcher;
    }
    for (const SimulatedDeviceConfig& config : simulatedSticks(nullptr).value_or(std::vector<SimulatedDeviceConfig>{})) {
        if (!config.presentFile.isEmpty())
            watcher->watchPresenceFile(config.presentFile);
    }
    return watcher;
}

} // namespace devicelink
