#include "devicelink/linux/HidReportDescriptor.h"

#include <algorithm>
#include <map>

namespace devicelink {
namespace {

constexpr int kLedPage = 0x08;
constexpr int kKeyboardPage = 0x07;
constexpr int kLedNumLock = 0x01;
constexpr int kLedCapsLock = 0x02;
constexpr int kLedScrollLock = 0x03;
constexpr int kLedKana = 0x05;
constexpr int kErrorRollOver = 0x01;

struct Globals {
    int usagePage = 0;
    int logicalMinimum = 0;
    int reportSize = 0;
    int reportCount = 0;
    int reportId = 0;
};

struct Locals {
    std::vector<unsigned> usages; // page << 16 | usage
    std::optional<unsigned> minimum;
    std::optional<unsigned> maximum;

    // Usage of field i of a main item; 0 when none is declared.
    unsigned usageOf(int i) const
    {
        if (!usages.empty())
            return usages[std::min<std::size_t>(i, usages.size() - 1)];
        if (minimum) {
            const unsigned usage = *minimum + static_cast<unsigned>(i);
            return maximum ? std::min(usage, *maximum) : usage;
        }
        return 0;
    }
};

unsigned fullUsage(unsigned value, int size, int page)
{
    return size == 4 ? value : (static_cast<unsigned>(page) << 16) | value;
}

long long bitsAt(const QByteArray& data, int offset, int size)
{
    long long value = 0;
    for (int k = 0; k < size; ++k) {
        const int bit = offset + k;
        if (bit / 8 >= data.size())
            break;
        if (static_cast<unsigned char>(data[bit / 8]) & (1u << (bit % 8)))
            value |= 1LL << k;
    }
    return value;
}

} // namespace

ReportLayout parseReportDescriptor(const QByteArray& descriptor)
{
    ReportLayout layout;
    Globals globals;
    std::vector<Globals> stack;
    Locals locals;
    std::map<int, int> inputBits;  // report id -> bits so far
    std::map<int, int> outputBits;
    IndicatorLayout indicators;
    bool haveIndicators = false;
    KeyInputLayout keys;
    bool haveKeys = false;

    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(descriptor[i]); };
    qsizetype i = 0;
    while (i < descriptor.size()) {
        const unsigned char prefix = byteAt(i++);
        if (prefix == 0xFE) { // long item: size, tag, data
            if (i + 2 > descriptor.size())
                break;
            i += 2 + byteAt(i);
            continue;
        }
        const int size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (i + size > descriptor.size())
            break;
        unsigned value = 0;
        for (int k = 0; k < size; ++k)
            value |= static_cast<unsigned>(byteAt(i + k)) << (8 * k);
        int signedValue = static_cast<int>(value);
        if (size == 1)
            signedValue = static_cast<signed char>(value);
        else if (size == 2)
            signedValue = static_cast<short>(value);
        i += size;

        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        if (type == 1) { // global
            switch (tag) {
            case 0x0: globals.usagePage = static_cast<int>(value); break;
            case 0x1: globals.logicalMinimum = signedValue; break;
            case 0x7: globals.reportSize = static_cast<int>(value); break;
            case 0x8:
                globals.reportId = static_cast<int>(value);
                layout.numberedReports = true;
                break;
            case 0x9: globals.reportCount = static_cast<int>(value); break;
            case 0xA: stack.push_back(globals); break;
            case 0xB:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            default: break;
            }
            continue;
        }
        if (type == 2) { // local
            switch (tag) {
            case 0x0: locals.usages.push_back(fullUsage(value, size, globals.usagePage)); break;
            case 0x1: locals.minimum = fullUsage(value, size, globals.usagePage); break;
            case 0x2: locals.maximum = fullUsage(value, size, globals.usagePage); break;
            default: break;
            }
            continue;
        }
        if (type != 0)
            continue;

        // Main items. Input and Output place fields; every main item ends the local state.
        const bool input = tag == 0x8;
        const bool output = tag == 0x9;
        if (input || output) {
            int& offset = (input ? inputBits : outputBits)[globals.reportId];
            const bool constant = value & 0x1;
            const bool variable = value & 0x2;
            const int fieldSize = globals.reportSize;
            const int count = globals.reportCount;
            if (!constant && variable) {
                for (int f = 0; f < count; ++f) {
                    const unsigned usage = locals.usageOf(f);
                    const int page = static_cast<int>(usage >> 16);
                    const int id = static_cast<int>(usage & 0xFFFF);
                    const int bit = offset + f * fieldSize;
                    if (output && page == kLedPage && fieldSize == 1
                        && (!haveIndicators || indicators.reportId == globals.reportId)) {
                        const int slot = id == kLedScrollLock ? 0 : id == kLedNumLock ? 1
                            : id == kLedCapsLock ? 2 : id == kLedKana ? 3 : -1;
                        if (slot >= 0) {
                            haveIndicators = true;
                            indicators.reportId = globals.reportId;
                            indicators.bits[slot] = bit;
                        }
                    } else if (input && page == kKeyboardPage && fieldSize == 1
                               && (!haveKeys || keys.reportId == globals.reportId)) {
                        haveKeys = true;
                        keys.reportId = globals.reportId;
                        if (id >= 0xE0 && id <= 0xE7)
                            keys.modifiers.push_back({id, bit});
                        else
                            keys.keyBits.push_back({id, bit});
                    }
                }
            } else if (!constant && input) {
                const unsigned first = locals.usageOf(0);
                if ((first >> 16) == kKeyboardPage && (!haveKeys || keys.reportId == globals.reportId)) {
                    haveKeys = true;
                    keys.reportId = globals.reportId;
                    keys.arrays.push_back({offset, fieldSize, count, globals.logicalMinimum,
                                           static_cast<int>(first & 0xFFFF)});
                }
            }
            offset += fieldSize * count;
        }
        locals = Locals{};
    }

    if (haveIndicators) {
        indicators.reportBytes = (outputBits[indicators.reportId] + 7) / 8;
        layout.indicators = indicators;
    }
    if (haveKeys)
        layout.keys = keys;
    return layout;
}

ReportLayout bootKeyboardLayout()
{
    ReportLayout layout;
    IndicatorLayout indicators;
    indicators.bits[0] = 2; // Scroll Lock
    indicators.bits[1] = 0; // Num Lock
    indicators.bits[2] = 1; // Caps Lock
    indicators.bits[3] = 4; // Kana
    layout.indicators = indicators;
    KeyInputLayout keys;
    for (int m = 0; m < 8; ++m)
        keys.modifiers.push_back({0xE0 + m, m});
    keys.arrays.push_back({16, 8, 6, 0, 0});
    layout.keys = keys;
    return layout;
}

ReportLayout keyboardLayout(const QByteArray& descriptor)
{
    if (descriptor.isEmpty())
        return bootKeyboardLayout();
    ReportLayout layout = parseReportDescriptor(descriptor);
    // A keyboard whose keys the descriptor does not place sends boot reports, unless it numbers its reports.
    if (layout.indicators && !layout.keys && !layout.numberedReports)
        layout.keys = bootKeyboardLayout().keys;
    return layout;
}

QByteArray indicatorReport(const IndicatorLayout& layout, int nibble)
{
    QByteArray report(1 + layout.reportBytes, '\0');
    report[0] = static_cast<char>(layout.reportId);
    for (int k = 0; k < 4; ++k) {
        const int bit = layout.bits[k];
        if (bit < 0 || !(nibble & (1 << k)) || bit / 8 >= layout.reportBytes)
            continue;
        report[1 + bit / 8] = static_cast<char>(report[1 + bit / 8] | (1 << (bit % 8)));
    }
    return report;
}

KeyReportDecoder::KeyReportDecoder(KeyInputLayout layout, bool numberedReports)
    : layout_(std::move(layout)), numbered_(numberedReports)
{
}

QString KeyReportDecoder::decode(const QByteArray& report)
{
    QByteArray data = report;
    if (numbered_) {
        if (data.isEmpty() || static_cast<unsigned char>(data[0]) != layout_.reportId)
            return {};
        data.remove(0, 1);
    }

    std::vector<int> pressed;
    for (const KeyInputLayout::KeyArray& array : layout_.arrays) {
        for (int slot = 0; slot < array.count; ++slot) {
            const long long value = bitsAt(data, array.bitOffset + slot * array.size, array.size);
            const int usage = array.usageMinimum + static_cast<int>(value - array.logicalMinimum);
            if (usage == kErrorRollOver)
                return {}; // too many keys at once: the report says nothing about which
            if (usage > 0x03)
                pressed.push_back(usage);
        }
    }
    for (const KeyInputLayout::Bit& key : layout_.keyBits) {
        if (bitsAt(data, key.bitOffset, 1))
            pressed.push_back(key.usage);
    }
    bool shifted = false;
    for (const KeyInputLayout::Bit& modifier : layout_.modifiers) {
        if ((modifier.usage == 0xE1 || modifier.usage == 0xE5) && bitsAt(data, modifier.bitOffset, 1))
            shifted = true;
    }

    QString typed;
    for (int usage : pressed) {
        if (std::find(pressed_.begin(), pressed_.end(), usage) != pressed_.end())
            continue;
        const QChar c = characterForUsage(usage, shifted);
        if (!c.isNull())
            typed += c;
    }
    pressed_ = std::move(pressed);
    return typed;
}

QChar characterForUsage(int usage, bool shifted)
{
    if (usage >= 0x04 && usage <= 0x1D)
        return QChar((shifted ? u'A' : u'a') + (usage - 0x04));
    if (usage >= 0x1E && usage <= 0x27)
        return QLatin1Char((shifted ? "!@#$%^&*()" : "1234567890")[usage - 0x1E]);
    if (usage == 0x2C)
        return u' ';
    if (usage >= 0x2D && usage <= 0x38 && usage != 0x32) {
        static constexpr char kPlain[] = "-=[]\\?;'`,./";
        static constexpr char kShifted[] = "_+{}|?:\"~<>?";
        return QLatin1Char((shifted ? kShifted : kPlain)[usage - 0x2D]);
    }
    return {};
}

} // namespace devicelink
