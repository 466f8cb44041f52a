#pragma once

#include <QChar>
#include <QString>
#include <vector>

namespace devicelink {

// How a simulated stick behaves: who it is, where it keeps its memory, how fast it is, and what goes wrong.
struct SimulatedDeviceConfig {
    enum class Fault {
        None,
        NoReply,       // the replies never come
        ShortReply,    // the replies lose their last character
        WrongAck,      // block acknowledgements say "n" instead of "y"
        WrongChecksum, // the checksum is off by one
        Garbage,       // every typed character is replaced by one outside the protocol's alphabets
    };
    enum class Header {
        Kept,    // the memory as stored
        Erased,  // every byte 0xFF, as a new stick
        Damaged, // a valid height, but a total length of 0xFFFF
    };

    QChar identity = u'K';
    QString memoryFile;     // empty: the memory lives only as long as the simulated stick
    QString manufacturer = QStringLiteral("Moonotter");
    int latencyMs = 0;      // time each indicator write takes
    bool accessible = true; // false: present, but this user may not open it
    bool grabbable = true;  // false: another program holds its keys, so no transfer can take them
    QString logFile;        // empty: none; else what the stick understood and its transfers, one line each
    Fault fault = Fault::None;
    int faultCommand = -1;  // the command whose replies the fault touches; -1 every reply
    int faultAfter = 0;     // replies to that command that still come right before the fault starts
    int faultTimes = -1;    // replies the fault touches before they come right again; -1 every one after
    int unplugAfterWrites = -1; // the stick is pulled out after this many indicator writes; -1 never
    QString presentFile;    // not empty: the stick is plugged in only while this file exists
    Header header = Header::Kept;
};

// Why a stick description was not understood.
enum class StickConfigStatus {
    Ok,
    UnknownKey,
    BadValue,
};
unsigned messageId(StickConfigStatus status);

// The sticks a description gives, or what in it was not understood.
struct StickConfigParse {
    StickConfigStatus status = StickConfigStatus::Ok;
    std::vector<SimulatedDeviceConfig> sticks; // one per stick described; empty unless Ok
    int stick = 0;   // the stick (from 1) not understood, in a description of several; 0 otherwise
    QString key;     // the key not understood, or whose value was not
    QString value;
    bool ok() const { return status == StickConfigStatus::Ok; }
};

// The message saying why the description from `source` (a variable's or a program's name) was not understood.
QString stickConfigMessage(const StickConfigParse& parse, const QString& source);

// Parses the LUMIWAND_SIMULATED_DEVICE syntax, comma-separated key=value pairs, into one stick:
//   id=LETTER  memory=FILE  manufacturer=TEXT  latency_ms=N  access=denied
//   fault=no_reply|short_reply|wrong_ack|wrong_checksum|garbage  fault_on=identify|write_block|read_block|checksum
//   fault_after=N  fault_times=N  unplug_after=N  header=erased|damaged  present=FILE
//   grab=busy  log=FILE
StickConfigParse parseSimulatedDeviceConfig(const QString& text);

// Several sticks: configurations in that syntax separated by ";", one stick each ("id=E,memory=a.mem;id=E,...").
// Text without ";" gives one.
StickConfigParse parseSimulatedDeviceConfigs(const QString& text);

} // namespace devicelink
