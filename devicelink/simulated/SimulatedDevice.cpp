#include "devicelink/simulated/SimulatedDevice.h"

#include "devicelink/DeviceProtocol.h"

#include <QFile>
#include "messages/WholeFile.h"
#include <algorithm>

namespace devicelink {
namespace {

std::vector<int> nibblesOf(const QByteArray& bytes)
{
    std::vector<int> nibbles;
    for (qsizetype i = 0; i < bytes.size() * 2; ++i)
        nibbles.push_back(nibbleAt(bytes, i));
    return nibbles;
}

bool startsWith(const std::vector<int>& whole, const std::vector<int>& prefix)
{
    return prefix.size() <= whole.size() && std::equal(prefix.begin(), prefix.end(), whole.begin());
}

} // namespace

SimulatedDevice::SimulatedDevice(SimulatedDeviceConfig config)
    : config_(std::move(config))
{
    int size = decodeIdentity(config_.identity).memory;
    if (size == 0)
        size = 4096;
    memory_ = QByteArray(size, '\xFF');
    if (!config_.memoryFile.isEmpty()) {
        const QByteArray stored = files::readRegularFile(config_.memoryFile, files::kMaxPictureFileBytes).bytes.left(size);
        memory_.replace(0, stored.size(), stored);
    }
    if (config_.header == SimulatedDeviceConfig::Header::Erased) {
        memory_.fill('\xFF');
    } else if (config_.header == SimulatedDeviceConfig::Header::Damaged) {
        memory_[1] = 16;
        memory_[2] = '\xFF';
        memory_[3] = '\xFF';
    }
}

SimulatedDevice::~SimulatedDevice()
{
    if (dirty_)
        saveMemory();
}

void SimulatedDevice::saveMemory()
{
    dirty_ = false;
    if (config_.memoryFile.isEmpty())
        return;
    // A memory file that cannot be written keeps its old content whole, as a stick keeps what it held.
    files::writeWholeFile(config_.memoryFile, memory_);
}

void SimulatedDevice::record(const QString& event)
{
    events_ << event;
    log(event);
}

void SimulatedDevice::log(const QString& event)
{
    if (config_.logFile.isEmpty())
        return;
    // Appended and closed at once, so the record survives however the program using the stick ends.
    QFile log(config_.logFile);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(event.toUtf8() + '\n');
}

QString SimulatedDevice::takeTyped()
{
    QString typed;
    typed.swap(typed_);
    return typed;
}

bool SimulatedDevice::receiveNibble(int nibble)
{
    if (!plugged_)
        return false;
    if (config_.unplugAfterWrites >= 0 && writes_ >= config_.unplugAfterWrites) {
        plugged_ = false;
        return false;
    }
    ++writes_;
    nibbles_.push_back(nibble);
    if (state_ == State::Idle)
        idleNibble(nibble);
    else
        sessionNibble(nibble);
    return true;
}

void SimulatedDevice::idleNibble(int nibble)
{
    static const std::vector<int> kRead = nibblesOf(signOnBytes(SignOnMode::Read));
    static const std::vector<int> kWrite = nibblesOf(signOnBytes(SignOnMode::Write));
    signOn_.push_back(nibble);
    // Drop from the front until what is left can still grow into one of the two texts.
    while (!signOn_.empty() && !startsWith(kRead, signOn_) && !startsWith(kWrite, signOn_))
        signOn_.erase(signOn_.begin());
    if (signOn_ == kRead || signOn_ == kWrite) {
        const bool write = signOn_ == kWrite;
        signOn_.clear();
        state_ = write ? State::Write : State::Read;
        record(write ? QStringLiteral("write-sign-on") : QStringLiteral("read-sign-on"));
        cursor_ = 0;
        sum_ = 0;
        pendingEnd_ = -1;
        dataNibblesLeft_ = 0;
    }
}

void SimulatedDevice::sessionNibble(int nibble)
{
    if (dataNibblesLeft_ > 0) {
        if (dataNibblesLeft_ % 2 == 0)
            block_.append(static_cast<char>(nibble << 4));
        else
            block_.back() = static_cast<char>(block_.back() | nibble);
        if (--dataNibblesLeft_ > 0)
            return;
        for (char byte : std::as_const(block_)) {
            sum_ = static_cast<quint16>(sum_ + static_cast<unsigned char>(byte));
            if (cursor_ < memory_.size())
                memory_[cursor_] = byte;
            ++cursor_;
        }
        dirty_ = true;
        reply(WriteBlock, QStringLiteral("y"));
        return;
    }

    if (pendingEnd_ >= 0) {
        const int first = pendingEnd_;
        pendingEnd_ = -1;
        if (nibble == first) {
            endSession(first);
            return;
        }
    }

    const bool write = state_ == State::Write;
    switch (nibble) {
    case Identify:
        record(QStringLiteral("identify"));
        reply(Identify, QString(config_.identity.toLower()));
        break;
    case WriteBlock:
        if (write) {
            record(QStringLiteral("write-block"));
            block_.clear();
            dataNibblesLeft_ = 32;
        }
        break;
    case ReadBlock:
        if (!write) {
            record(QStringLiteral("read-block"));
            QByteArray bytes;
            for (int i = 0; i < 16; ++i, ++cursor_)
                bytes.append(cursor_ < memory_.size() ? memory_[cursor_] : '\xFF');
            reply(ReadBlock, typedBytes(bytes));
        }
        break;
    case GetChecksum:
        if (write) {
            record(QStringLiteral("checksum"));
            QByteArray bytes;
            bytes.append(static_cast<char>(sum_ >> 8));
            bytes.append(static_cast<char>(sum_ & 0xFF));
            reply(GetChecksum, typedBytes(bytes));
        }
        break;
    case EndWrite:
    case EndRead:
        if ((nibble == EndWrite) == write)
            pendingEnd_ = nibble;
        break;
    default:
        break;
    }
}

void SimulatedDevice::endSession(int command)
{
    record(command == EndWrite ? QStringLiteral("end-write") : QStringLiteral("end-read"));
    state_ = State::Idle;
    if (command == EndWrite && dirty_)
        saveMemory();
}

QString SimulatedDevice::typedBytes(const QByteArray& bytes) const
{
    // Letters come unshifted, as a keyboard types them; the digit keys are typed shifted every other byte.
    QString text;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text += encodeTypedByte(static_cast<std::uint8_t>(bytes[i]), i % 2 == 1).toLower();
    return text;
}

void SimulatedDevice::reply(int command, const QString& text)
{
    using Fault = SimulatedDeviceConfig::Fault;
    QString typed = text;
    const bool concerned = config_.fault != Fault::None
        && (config_.faultCommand < 0 || config_.faultCommand == command);
    const int seen = concerned ? repliesSeen_[command]++ : 0;
    const bool touched = concerned && seen >= config_.faultAfter
        && (config_.faultTimes < 0 || seen < config_.faultAfter + config_.faultTimes);
    if (touched) {
        switch (config_.fault) {
        case Fault::NoReply:
            typed.clear();
            break;
        case Fault::ShortReply:
            typed.chop(1);
            break;
        case Fault::WrongAck:
            if (command == WriteBlock)
                typed = QStringLiteral("n");
            break;
        case Fault::WrongChecksum:
            if (command == GetChecksum) {
                const quint16 wrong = static_cast<quint16>(sum_ + 1);
                QByteArray bytes;
                bytes.append(static_cast<char>(wrong >> 8));
                bytes.append(static_cast<char>(wrong & 0xFF));
                typed = typedBytes(bytes);
            }
            break;
        case Fault::Garbage:
            for (QChar& c : typed)
                c = QLatin1Char("*-=;,./"[c.unicode() % 7]);
            break;
        case Fault::None:
            break;
        }
    }
    typed_ += typed;
}

} // namespace devicelink
