#include "devicelink/DeviceProtocol.h"

#include <array>

namespace devicelink {

QByteArray signOnBytes(SignOnMode mode)
{
    const char* text = mode == SignOnMode::Write ? kWriteSignOn : kReadSignOn;
    QByteArray bytes(text);
    bytes.append('\0');
    return bytes;
}

DeviceIdentity decodeIdentity(QChar letter)
{
    static constexpr std::array<DeviceIdentity, 21> kTable{{
        {256, 1, 16},  {2048, 1, 16}, {2048, 1, 16}, {256, 3, 16},  {2048, 3, 16}, {256, 3, 16},  {2048, 3, 16},
        {2048, 3, 16}, {2048, 3, 16}, {2048, 6, 32}, {4096, 6, 32}, {4096, 6, 32}, {2048, 6, 32}, {4096, 6, 32},
        {4096, 6, 32}, {2048, 7, 48}, {4096, 7, 48}, {4096, 7, 48}, {2048, 7, 48}, {4096, 7, 48}, {4096, 7, 48},
    }};
    const char16_t c = letter.toUpper().unicode();
    if (c < u'A' || c > u'U')
        return {};
    return kTable[c - u'A'];
}

std::uint8_t decodeTypedByte(QChar c1, QChar c2)
{
    const int high = c1.toUpper().unicode() - 'A';
    const char16_t second = c2.toUpper().unicode();
    int low = 0;
    switch (second) {
    case u'1': case u'!': low = 10; break;
    case u'2': case u'@': low = 11; break;
    case u'3': case u'#': low = 12; break;
    case u'4': case u'$': low = 13; break;
    case u'5': case u'%': low = 14; break;
    case u'6': case u'^': low = 15; break;
    default: low = second - 'Q'; break;
    }
    return static_cast<std::uint8_t>((high * 16 + low) & 0xFF);
}

bool isIdentityReply(const QString& reply)
{
    return !reply.isEmpty() && reply[0] >= u'A' && reply[0] <= u'Z';
}

bool isTypedBytes(const QString& reply, int count)
{
    static const QString kLowKeys = QStringLiteral("QRSTUVWXYZ123456!@#$%^");
    if (reply.size() < 2 * count)
        return false;
    for (int i = 0; i < count; ++i) {
        const QChar high = reply[2 * i];
        if (high < u'A' || high > u'P' || !kLowKeys.contains(reply[2 * i + 1]))
            return false;
    }
    return true;
}

QString encodeTypedByte(std::uint8_t value, bool shifted)
{
    static constexpr char kDigits[] = "123456";
    static constexpr char kShifted[] = "!@#$%^";
    const int high = value >> 4;
    const int low = value & 0x0F;
    QString pair;
    pair += QChar(u'A' + high);
    if (low < 10)
        pair += QChar(u'Q' + low);
    else
        pair += QLatin1Char(shifted ? kShifted[low - 10] : kDigits[low - 10]);
    return pair;
}

} // namespace devicelink
