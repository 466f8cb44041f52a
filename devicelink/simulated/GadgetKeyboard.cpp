#include "devicelink/simulated/GadgetKeyboard.h"

#include <optional>
#include <string_view>

namespace devicelink {
namespace {

constexpr std::uint8_t kBootLedNum = 0x01, kBootLedCaps = 0x02, kBootLedScroll = 0x04, kBootLedKana = 0x10;
constexpr std::uint8_t kLeftShift = 0x02;
constexpr int kBootReportBytes = 8;

struct KeyStroke {
    std::uint8_t usage = 0;
    bool shifted = false;
};

// Usages 0x2C..0x38 of the keyboard page (space and punctuation) unshifted and shifted; 0x32 (the non-US '#' key)
// is not on a US keyboard.
constexpr std::u16string_view kPunctuation{u" -=[]\\\0;'`,./", 13};
constexpr std::u16string_view kShiftedPunctuation{u" _+{}|\0:\"~<>?", 13};
constexpr int kFirstPunctuationUsage = 0x2C;

std::optional<KeyStroke> keyStrokeFor(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'a' && u <= u'z')
        return KeyStroke{static_cast<std::uint8_t>(0x04 + (u - u'a')), false};
    if (u >= u'A' && u <= u'Z')
        return KeyStroke{static_cast<std::uint8_t>(0x04 + (u - u'A')), true};
    if (u >= u'1' && u <= u'9')
        return KeyStroke{static_cast<std::uint8_t>(0x1E + (u - u'1')), false};
    if (u == u'0')
        return KeyStroke{0x27, false};
    static const QString kShiftedDigits = QStringLiteral("!@#$%^&*()");
    if (const qsizetype digit = kShiftedDigits.indexOf(c); digit >= 0)
        return KeyStroke{static_cast<std::uint8_t>(0x1E + digit), true};
    if (u == 0)
        return std::nullopt;
    if (const size_t at = kPunctuation.find(u); at != std::u16string_view::npos)
        return KeyStroke{static_cast<std::uint8_t>(kFirstPunctuationUsage + at), false};
    if (const size_t at = kShiftedPunctuation.find(u); at != std::u16string_view::npos)
        return KeyStroke{static_cast<std::uint8_t>(kFirstPunctuationUsage + at), true};
    return std::nullopt;
}

QByteArray report(std::uint8_t modifiers, std::uint8_t usage)
{
    QByteArray bytes(kBootReportBytes, '\0');
    bytes[0] = static_cast<char>(modifiers);
    bytes[2] = static_cast<char>(usage);
    return bytes;
}

} // namespace

int nibbleFromBootLeds(std::uint8_t leds)
{
    return ((leds & kBootLedScroll) ? 1 : 0) | ((leds & kBootLedNum) ? 2 : 0) | ((leds & kBootLedCaps) ? 4 : 0)
        | ((leds & kBootLedKana) ? 8 : 0);
}

std::vector<QByteArray> keyReportsFor(const QString& text)
{
    std::vector<QByteArray> reports;
    for (QChar c : text) {
        const std::optional<KeyStroke> key = keyStrokeFor(c);
        if (!key)
            continue;
        const std::uint8_t modifiers = key->shifted ? kLeftShift : 0;
        if (key->shifted)
            reports.push_back(report(modifiers, 0));
        reports.push_back(report(modifiers, key->usage));
        reports.push_back(report(modifiers, 0));
        if (key->shifted)
            reports.push_back(report(0, 0));
    }
    return reports;
}

} // namespace devicelink
