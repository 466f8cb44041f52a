#pragma once

#include "devicelink/DeviceProtocol.h"
#include "devicelink/DeviceSelector.h"
#include "devicelink/EventPump.h"
#include "devicelink/HidPlatform.h"
#include "devicelink/KeyInputField.h"

#include <functional>
#include <optional>

// The keyboard-indicator channel to the stick: discovery, identification, nibble writes, sign-on, and the waits
// for typed replies. It keeps no connection of its own; a transfer is framed by a TransferScope.
namespace devicelink {

// Timing the stick relies on, in milliseconds.
constexpr int kSignOnGroupNibbles = 32;  // after every 32 sign-on nibbles...
constexpr int kSignOnGroupPause = 100;   // ...the host pauses this long
constexpr int kAfterSignOnPause = 5;     // between a read sign-on and the first command
constexpr int kReplyWaitLimit = 500;     // the longest a reply is waited for
constexpr int kReplyPoll = 5;            // how often the user interface is pumped while waiting
constexpr int kPauseLength = 150;        // pause(): a fixed wait, e.g. before asking for the checksum
constexpr int kBetweenReadBlocks = 5;    // after each block read
constexpr int kIdentifyAttempts = 3;
constexpr int kReplyAttempts = 3;      // for a reply that may be asked for again

class Transport {
public:
    Transport(HidPlatform& platform, EventPump& pump);

    HidPlatform& platform() { return platform_; }
    EventPump& pump() { return pump_; }
    DeviceSelector& selector() { return selector_; }
    const DeviceSelector& selector() const { return selector_; }
    KeyInputField& keyInputField() { return field_; }

    // Refills the selector with the first present stick that passes identification, named
    // "LED Light Show Device #1", and selects it. True when one was found.
    bool discoverDevices();
    // The manufacturer check: up to three reads, accepted when one equals "Moonotter" exactly; a failed read
    // rejects at once.
    bool identifyDevice(const QString& path);

    // One indicator write (0..15) to the selected device. False without a selected device or when the write fails.
    bool sendNibble(int value);
    // The mode's sign-on text and its zero byte, high nibble first, pumping after each nibble and pausing 100 ms
    // after every 32. Stops at the first failed write.
    bool sendSignOn(SignOnMode mode);

    // Waits until the key field holds at least max(n, 1) characters (then pumps twice more) or 500 ms have passed.
    // A reply that has arrived ends the wait at once.
    void waitForReply(int n);
    // A fixed 150 ms wait that pumps events and never ends early.
    void pause();
    // Sleeps, pumping events at least every few milliseconds.
    void sleep(int ms);
    // Delivers pending user-interface events and moves the characters the stick typed into the key field.
    void pumpEvents();

    // One exchange: clear the key field, write the command, wait for `replyLength` characters, and return the
    // upper-cased field (possibly short or empty). nullopt when the command could not be written.
    std::optional<QString> exchange(int command, int replyLength);
    // An exchange whose reply must pass `valid`. A reply that does not (noise, cut short, missing) is asked for
    // again, `attempts` exchanges in all, which only suits commands the stick answers alike each time. The valid
    // reply, or an empty text when none came; nullopt when the command could not be written.
    std::optional<QString> exchangeValid(int command, int replyLength,
                                         const std::function<bool(const QString&)>& valid, int attempts = 1);
    // A closing command written twice; the second only when the first went through. True when both did.
    bool sendCommandPair(int command);

    // Milliseconds on the pump's clock (the "tick count" of elapsed-time reports).
    qint64 tickCount() { return pump_.now(); }

private:
    HidPlatform& platform_;
    EventPump& pump_;
    DeviceSelector selector_;
    KeyInputField field_;
};

// Frames one transfer with the selected device: opens it and keeps its keys from other programs for the scope's
// lifetime, and releases it on every way out. A transfer whose scope did not open must not write: its nibbles
// would each open the device on their own and its typing would reach the focused window.
class TransferScope {
public:
    explicit TransferScope(Transport& transport);
    ~TransferScope();
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

    bool opened() const { return status_ == OpenStatus::Ok; }
    // Why it did not open.
    OpenStatus status() const { return status_; }

private:
    Transport& transport_;
    OpenStatus status_ = OpenStatus::Missing;
};

} // namespace devicelink
