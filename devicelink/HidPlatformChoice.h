#pragma once

#include "devicelink/DeviceWatcher.h"
#include "devicelink/EventPump.h"
#include "devicelink/HidPlatform.h"
#include "devicelink/simulated/SimulatedDeviceConfig.h"

#include <memory>

namespace devicelink {

// The environment variable that replaces the USB devices by a simulated stick (see SimulatedDeviceConfig); several sticks are separated by ";".
inline constexpr char kSimulatedDeviceVariable[] = "LUMIWAND_SIMULATED_DEVICE";

// The platform the program and lumiwandctl talk to: the simulated stick when LUMIWAND_SIMULATED_DEVICE is set,
// otherwise the USB devices. No platform when the variable cannot be understood; `sticks` says why.
struct PlatformChoice {
    std::unique_ptr<HidPlatform> platform;
    StickConfigParse sticks; // the variable's sticks, when it is set
    // The message of a variable not understood, naming it.
    QString refusal() const;
};
PlatformChoice createHidPlatform(EventPump& pump);

// A platform of its own for a transfer with the stick at `path` while other sticks are busy with theirs (each
// in its own thread): a new USB platform, or a simulated platform holding only that stick. nullptr when the
// simulated configuration has no stick at `path`.
std::unique_ptr<HidPlatform> createStickPlatform(const QString& path, EventPump& pump);

// What tells the windows at once of a stick plugged in or pulled out, for the same platform: the simulated stick's
// presence file when LUMIWAND_SIMULATED_DEVICE gives one (nothing for a simulated stick without one), otherwise
// udev. A watcher that watches nothing leaves the windows to their polls.
std::unique_ptr<DeviceWatcher> createDeviceWatcher();

} // namespace devicelink
