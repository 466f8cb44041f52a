#pragma once

#include "devicelink/simulated/SimulatedDeviceConfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// A model of the stick's firmware at its lowest level: indicator nibbles in, typed characters out. It listens for
// a sign-on, then serves the commands of that mode until the closing command pair, keeps its memory (in a file
// when asked) and misbehaves as its configuration says.
namespace devicelink {

class SimulatedDevice {
public:
    enum class State { Idle, Read, Write };

    explicit SimulatedDevice(SimulatedDeviceConfig config = {});
    ~SimulatedDevice(); // stores the memory in its file when it changed
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    const SimulatedDeviceConfig& config() const { return config_; }

    bool plugged() const { return plugged_; }
    void unplug() { plugged_ = false; }
    // Takes this user's permission away, as a changed device rule does while the stick stays plugged in.
    void denyAccess() { config_.accessible = false; }

    // One indicator write. False when the stick is not plugged in (the write fails).
    bool receiveNibble(int nibble);

    // What the stick has typed and the host has not taken yet.
    bool hasTyped() const { return !typed_.isEmpty(); }
    QString takeTyped();

    QByteArray& memory() { return memory_; }
    State state() const { return state_; }
    int writeCount() const { return writes_; }
    // Every nibble received, in order.
    const std::vector<int>& nibbles() const { return nibbles_; }
    // What the stick understood, in order: "read-sign-on", "write-sign-on", "identify", "write-block",
    // "read-block", "checksum", "end-write", "end-read".
    const QStringList& events() const { return events_; }

    // Stores the memory in its file now (when one is configured).
    void saveMemory();
    // Appends a line to the log file of the configuration, when there is one: each event as it is recorded, and
    // what the platform adds ("transfer-begun", "transfer-ended").
    void log(const QString& event);

private:
    void idleNibble(int nibble);
    void sessionNibble(int nibble);
    void endSession(int command);
    void record(const QString& event);
    // Types a reply to a command, with the configured fault applied.
    void reply(int command, const QString& text);
    QString typedBytes(const QByteArray& bytes) const;

    SimulatedDeviceConfig config_;
    QByteArray memory_;
    bool plugged_ = true;
    bool dirty_ = false;
    State state_ = State::Idle;
    int writes_ = 0;
    std::vector<int> nibbles_;
    QStringList events_;
    QString typed_;

    std::vector<int> signOn_;     // nibbles received while idle that may still become a sign-on
    int pendingEnd_ = -1;         // the first nibble of a closing pair
    int dataNibblesLeft_ = 0;     // of the block being written
    QByteArray block_;
    int cursor_ = 0;              // next memory byte to read or write
    quint16 sum_ = 0;             // of every byte received in this write transfer
    std::vector<int> repliesSeen_ = std::vector<int>(16, 0);
};

} // namespace devicelink
