#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <cstdint>

// The stick's protocol over the keyboard lamps: one 4-bit value per indicator write from the host, typed characters
// back. Shared by the transport and the simulated stick, so both speak from the same definitions.
namespace devicelink {

constexpr unsigned kVendorId = 0x05FE;
constexpr unsigned kProductId = 0x1113;
inline const QString kManufacturer = QStringLiteral("Moonotter");

// Command nibbles, one indicator write each.
enum Command : int {
    Identify = 15,    // the stick types its identity letter
    WriteBlock = 14,  // 32 data nibbles follow; the stick types an acknowledgement holding "Y"
    ReadBlock = 13,   // the stick types its next 16 bytes as 32 characters
    GetChecksum = 12, // the stick types the 16-bit sum of the bytes received, high byte first (4 characters)
    EndWrite = 11,    // closes a write transfer; always sent twice
    EndRead = 10,     // closes a read transfer; always sent twice
};

enum class SignOnMode { Write, Read };

// The sign-on texts, sent with their terminating zero byte, high nibble first.
inline constexpr char kReadSignOn[] = "Moonotter USB LED Light Show Stick -- READ MODE.";
inline constexpr char kWriteSignOn[] =
    "Moonotter USB LED Light Show Stick -- WRITE MODE. Do not unplug the stick until it is done";

// The bytes of a sign-on, its terminating zero included.
QByteArray signOnBytes(SignOnMode mode);

// Nibble i of a byte stream: the high nibble of byte i / 2 for even i, its low nibble for odd i.
inline int nibbleAt(const QByteArray& bytes, qsizetype i)
{
    const auto byte = static_cast<std::uint8_t>(bytes[i / 2]);
    return (i % 2 == 0) ? byte >> 4 : byte & 0x0F;
}

// What an identity letter says about the stick; all zero for an unknown letter.
struct DeviceIdentity {
    int memory = 0;   // bytes of memory
    int type = 0;     // device type code of the image format
    int ledCount = 0;
};

// Looks the letter up after upper-casing it.
DeviceIdentity decodeIdentity(QChar letter);

// One typed byte from its two characters (upper-cased first): ((c1 - 'A') * 16 + v(c2)) mod 256, where '1'..'6'
// (or their shifted '!@#$%^') give 10..15 and every other c2 gives c2 - 'Q'.
std::uint8_t decodeTypedByte(QChar c1, QChar c2);

// Whether upper-cased replies are what the stick types, rather than noise that the formulas above would still
// turn into values: an identity reply starts with a letter; `count` typed bytes are pairs of a letter 'A'..'P'
// and one of 'Q'..'Z', '1'..'6', '!@#$%^'.
bool isIdentityReply(const QString& reply);
bool isTypedBytes(const QString& reply, int count);

// The two characters the stick types for a byte: 'A'..'P' for the high nibble, 'Q'..'Z' or a digit key '1'..'6'
// (shifted when asked: '!@#$%^') for the low one.
QString encodeTypedByte(std::uint8_t value, bool shifted = false);

} // namespace devicelink
