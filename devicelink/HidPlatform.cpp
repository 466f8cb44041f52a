#include "devicelink/HidPlatform.h"

#include "messages/MessageIds.h"

namespace devicelink {

unsigned messageId(OpenStatus status)
{
    switch (status) {
    case OpenStatus::Ok:
        return 0;
    case OpenStatus::Missing:
        return msg::NoStickPluggedIn;
    case OpenStatus::Denied:
        return msg::DeviceAccessDenied;
    case OpenStatus::Busy:
        return msg::StickUnopenable;
    case OpenStatus::Failed:
        return msg::StickOpenFailed;
    }
    return msg::StickOpenFailed;
}

} // namespace devicelink
