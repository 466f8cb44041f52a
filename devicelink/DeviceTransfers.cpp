// The transfers' shared parts: construction, discovery, and how a command that fails ends and says so.
#include "devicelink/DeviceTransfers.h"

#include "devicelink/TransferCommon.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"

namespace devicelink {

using messages::Icon;
using namespace transfers;

DeviceTransfers::DeviceTransfers(Transport& transport, messages::Prompter& prompter, TransferView& view,
                                 ProjectHooks hooks, TransferSettings settings)
    : transport_(transport),
      prompter_(prompter),
      view_(view),
      hooks_(std::move(hooks)),
      settings_(std::move(settings)),
      readBuffer_(kWorkAreaSize, '\0')
{
}

void DeviceTransfers::idleLook()
{
    // In the express window and the mass production tool the dialog keeps its busy look until it closes.
    view_.setBusyLook(simplifiedNotEasy());
}

bool DeviceTransfers::abandon(bool requestClose, unsigned brokenTitleId)
{
    view_.setWaitCursor(false);
    verifyTicked = false;
    idleLook();
    if (requestClose)
        closeRequested = true;
    if (brokenTitleId != 0)
        reportBroken(brokenTitleId);
    return false;
}

void DeviceTransfers::fail(unsigned titleId, unsigned textId)
{
    failText(titleId, messages::lookupMessage(textId));
}

void DeviceTransfers::failText(unsigned titleId, const QString& text)
{
    prompter_.tellText(titleId, text, Icon::Stop);
}

void DeviceTransfers::reportBroken(unsigned titleId)
{
    if (brokenReported_)
        return;
    brokenReported_ = true;
    fail(titleId, msg::ConnectionBroken);
}

void DeviceTransfers::reportNoDevice(unsigned titleId)
{
    if (transport_.selector().accessDenied)
        failText(titleId, accessDeniedMessage());
    else
        fail(titleId, msg::NoStickPluggedIn);
}

bool DeviceTransfers::refresh()
{
    if (running_)
        return false;
    return transport_.discoverDevices();
}

bool DeviceTransfers::failToOpen(unsigned titleId, OpenStatus status)
{
    fail(titleId, messageId(status));
    return abandon(true);
}

QString DeviceTransfers::stickPath() const
{
    const DeviceEntry* device = transport_.selector().current();
    return device ? device->path : QString();
}

} // namespace devicelink
