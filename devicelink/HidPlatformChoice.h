#pragma once

#include "devicelink/EventPump.h"
#include "devicelink/HidPlatform.h"

#include <memory>

namespace devicelink {

// The environment variable that replaces the USB devices by a simulated stick (see SimulatedDeviceConfig).
inline constexpr char kSimulatedDeviceVariable[] = "LUMIWAND_SIMULATED_DEVICE";

// The platform the program and lumiwandctl talk to: the simulated stick when LUMIWAND_SIMULATED_DEVICE is set,
// otherwise the USB devices. nullptr with a reason in `error` when the variable cannot be understood.
std::unique_ptr<HidPlatform> createHidPlatform(EventPump& pump, QString* error = nullptr);

} // namespace devicelink
