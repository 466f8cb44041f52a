#pragma once

#include <QString>
#include <optional>
#include <vector>

// The seam between the device link and the operating system's HID access: enumerating HID interfaces, reading a
// manufacturer string, switching the indicator lamps of one device and collecting the keys it types. The Linux
// implementation lives in devicelink/linux/, the simulated stick used by tests and demos in devicelink/simulated/.
// Everything is called from the one user-interface thread.
namespace devicelink {

// Why a transfer could not begin, as the open and grab of the device's nodes report it.
enum class OpenStatus {
    Ok,
    Missing, // the device is gone (pulled out since it was found)
    Denied,  // this user may not open it or its key events
    Busy,    // another program holds it or its keys
    Failed,  // any other refusal
};
unsigned messageId(OpenStatus status);

struct HidInterface {
    QString path;            // what the other calls take: "/dev/hidraw3", or the simulated stick's name
    unsigned vendorId = 0;
    unsigned productId = 0;
    bool hasIndicators = true; // the interface declares the keyboard's indicator lamps (an output report)
    bool accessible = true;    // this user may open it and its key events (false: a permissions problem)
};

class HidPlatform {
public:
    virtual ~HidPlatform() = default;

    // The HID interfaces present now, in a stable order.
    virtual std::vector<HidInterface> enumerateInterfaces() = 0;

    // The USB manufacturer string of the interface's device; nullopt when it cannot be read.
    virtual std::optional<QString> manufacturerString(const QString& path) = 0;

    // Starts a transfer with one device: from now until endTransfer() the keys it types are kept from every other
    // program and collected for takeTypedKeys(), and indicator writes go through the open device. Returns why
    // the device cannot be opened when it cannot; writes then fail on their own. endTransfer() undoes everything
    // and may be called when no transfer runs.
    virtual OpenStatus beginTransfer(const QString& path) = 0;
    virtual void endTransfer() = 0;

    // Sets the four indicator lamps to the nibble's bits (bit 0 Scroll Lock, bit 1 Num Lock, bit 2 Caps Lock,
    // bit 3 Kana) in one write that the device receives as one change. True only when the write went through.
    virtual bool writeIndicators(const QString& path, int nibble) = 0;

    // The characters the device has typed since the last call, in order, as an unshifted/shifted US keyboard
    // would produce them whatever the desktop's keyboard layout.
    virtual QString takeTypedKeys() = 0;

    // Returns as soon as the device has typed something not yet taken, or after `ms` milliseconds.
    virtual void waitForKeys(int ms) = 0;
};

} // namespace devicelink
