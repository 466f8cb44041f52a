#include "devicelink/Transport.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <algorithm>

namespace devicelink {

QString DeviceSelector::emptyText() const
{
    return messages::lookupMessage(accessDenied ? msg::DeviceNotAccessible : msg::DeviceNotDetected);
}

QString deviceEntryName(int number)
{
    return messages::formatMessage(msg::DeviceEntryName, number);
}

QString accessDeniedMessage()
{
    return messages::lookupMessage(msg::DeviceAccessDenied);
}

Transport::Transport(HidPlatform& platform, EventPump& pump)
    : platform_(platform), pump_(pump)
{
}

bool Transport::discoverDevices()
{
    selector_ = DeviceSelector{};
    for (const HidInterface& hid : platform_.enumerateInterfaces()) {
        if (hid.path.isEmpty() || hid.vendorId != kVendorId || hid.productId != kProductId || !hid.hasIndicators)
            continue;
        if (!identifyDevice(hid.path))
            continue;
        if (!hid.accessible) {
            // Keep looking: another stick may be usable; remember why this one is not.
            selector_.accessDenied = true;
            continue;
        }
        selector_.entries.push_back({deviceEntryName(1), hid.path});
        break;
    }
    if (selector_.entries.empty())
        return false;
    selector_.accessDenied = false;
    selector_.currentIndex = 0;
    return true;
}

bool Transport::identifyDevice(const QString& path)
{
    for (int attempt = 0; attempt < kIdentifyAttempts; ++attempt) {
        const std::optional<QString> manufacturer = platform_.manufacturerString(path);
        if (!manufacturer)
            return false;
        if (*manufacturer == kManufacturer)
            return true;
    }
    return false;
}

bool Transport::sendNibble(int value)
{
    const DeviceEntry* device = selector_.current();
    if (!device)
        return false;
    return platform_.writeIndicators(device->path, value & 0x0F);
}

bool Transport::sendSignOn(SignOnMode mode)
{
    const QByteArray bytes = signOnBytes(mode);
    for (qsizetype i = 0; i < bytes.size() * 2; ++i) {
        if (!sendNibble(nibbleAt(bytes, i)))
            return false;
        pumpEvents();
        if (i % kSignOnGroupNibbles == kSignOnGroupNibbles - 1)
            sleep(kSignOnGroupPause);
    }
    return true;
}

void Transport::pumpEvents()
{
    pump_.processEvents();
    const QString typed = platform_.takeTypedKeys();
    if (!typed.isEmpty())
        field_.append(typed);
}

void Transport::waitForReply(int n)
{
    const qsizetype needed = std::max(n, 1);
    const qint64 deadline = pump_.now() + kReplyWaitLimit;
    pumpEvents();
    for (;;) {
        if (field_.size() >= needed) {
            pumpEvents();
            pumpEvents();
            return;
        }
        const qint64 left = deadline - pump_.now();
        if (left <= 0)
            return;
        platform_.waitForKeys(static_cast<int>(std::min<qint64>(left, kReplyPoll)));
        pumpEvents();
    }
}

void Transport::pause()
{
    sleep(kPauseLength);
}

void Transport::sleep(int ms)
{
    const qint64 deadline = pump_.now() + ms;
    for (;;) {
        pumpEvents();
        const qint64 left = deadline - pump_.now();
        if (left <= 0)
            return;
        pump_.sleep(static_cast<int>(std::min<qint64>(left, kReplyPoll)));
    }
}

std::optional<QString> Transport::exchange(int command, int replyLength)
{
    field_.clear();
    if (!sendNibble(command))
        return std::nullopt;
    waitForReply(replyLength);
    return field_.upperCase();
}

std::optional<QString> Transport::exchangeValid(int command, int replyLength,
                                                const std::function<bool(const QString&)>& valid, int attempts)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const std::optional<QString> reply = exchange(command, replyLength);
        if (!reply)
            return std::nullopt;
        if (valid(*reply))
            return reply;
    }
    return QString();
}

bool Transport::sendCommandPair(int command)
{
    return sendNibble(command) && sendNibble(command);
}

TransferScope::TransferScope(Transport& transport)
    : transport_(transport)
{
    const DeviceEntry* device = transport_.selector().current();
    status_ = device ? transport_.platform().beginTransfer(device->path) : OpenStatus::Missing;
}

TransferScope::~TransferScope()
{
    transport_.platform().endTransfer();
}

} // namespace devicelink
