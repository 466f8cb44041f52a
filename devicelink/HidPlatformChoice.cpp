#include "devicelink/HidPlatformChoice.h"

#include "devicelink/linux/LinuxHidPlatform.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"

namespace devicelink {

std::unique_ptr<HidPlatform> createHidPlatform(EventPump& pump, QString* error)
{
    if (!qEnvironmentVariableIsSet(kSimulatedDeviceVariable))
        return std::make_unique<LinuxHidPlatform>();
    QString why;
    const std::optional<SimulatedDeviceConfig> config =
        parseSimulatedDeviceConfig(qEnvironmentVariable(kSimulatedDeviceVariable), &why);
    if (!config) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(kSimulatedDeviceVariable), why);
        return nullptr;
    }
    return std::make_unique<SimulatedHidPlatform>(pump, *config);
}

std::unique_ptr<DeviceWatcher> createDeviceWatcher()
{
    auto watcher = std::make_unique<DeviceWatcher>();
    if (!qEnvironmentVariableIsSet(kSimulatedDeviceVariable)) {
        watcher->watchUdev();
        return watcher;
    }
    const std::optional<SimulatedDeviceConfig> config =
        parseSimulatedDeviceConfig(qEnvironmentVariable(kSimulatedDeviceVariable));
    if (config && !config->presentFile.isEmpty())
        watcher->watchPresenceFile(config->presentFile);
    return watcher;
}

} // namespace devicelink
