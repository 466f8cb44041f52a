#include "shell/DevicePoll.h"

namespace shell {

DevicePoll::Step DevicePoll::found(bool present)
{
    if (!present) {
        deviceSeen = false;
        return {Status::NoDevice, false};
    }
    if (deviceSeen)
        return {Status::Connected, false};
    deviceSeen = true;
    return {Status::Connected, !commandRunning};
}

void DevicePoll::reset()
{
    deviceSeen = false;
    dialogOpen = false;
    commandRunning = false;
}

} // namespace shell
