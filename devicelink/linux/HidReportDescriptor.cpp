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

// The short items of a descriptor (HID 1.11, 6.2.2.2): their type, tag and data. Long items are skipped.
enum class ItemType { Main = 0, Global = 1, Local = 2 };
enum class MainTag { Input = 0x8, Output = 0x9 };
enum class GlobalTag { UsagePage = 0x0, LogicalMinimum = 0x1, ReportSize = 0x7, ReportId = 0x8, ReportCount = 0x9,
                       Push = 0xA, Pop = 0xB };
enum class LocalTag { Usage = 0x0, UsageMinimum = 0x1, UsageMaximum = 0x2 };
constexpr unsigned char kLongItemPrefix = 0xFE;
constexpr unsigned kMainConstant = 0x1;
constexpr unsigned kMainVariable = 0x2;

struct Item {
    int type = 0;
    int tag = 0;
    int size = 0;          // data bytes: 0, 1, 2 or 4
    unsigned value = 0;    // the data, unsigned
    int signedValue = 0;   // the data, sign-extended from its size
};

class ItemReader {
public:
    explicit ItemReader(const QByteArray& descriptor) : data_(descriptor) {}

    // The next short item; nullopt at the end or where the descriptor is cut short.
    std::optional<Item> next()
    {
        while (at_ < data_.size()) {
            const unsigned char prefix = byteAt(at_++);
            if (prefix == kLongItemPrefix) { // size, tag, data
                if (at_ + 2 > data_.size())
                    return std::nullopt;
                at_ += 2 + byteAt(at_);
                continue;
            }
            Item item;
            item.size = (prefix & 3) == 3 ? 4 : (prefix & 3);
            item.type = (prefix >> 2) & 3;
            item.tag = prefix >> 4;
            if (at_ + item.size > data_.size())
                return std::nullopt;
            for (int k = 0; k < item.size; ++k)
                item.value |= static_cast<unsigned>(byteAt(at_ + k)) << (8 * k);
            at_ += item.size;
            item.signedValue = item.size == 1   ? static_cast<signed char>(item.value)
                               : item.size == 2 ? static_cast<short>(item.value)
                                                : static_cast<int>(item.value);
            return item;
        }
        return std::nullopt;
    }

private:
    unsigned char byteAt(qsizetype i) const { return static_cast<unsigned char>(data_[i]); }

    const QByteArray& data_;
    qsizetype at_ = 0;
};

// The nibble bit a lamp of the LED page carries; -1 for the lamps the protocol does not use.
int indicatorSlot(int ledUsage)
{
    switch (ledUsage) {
    case kLedScrollLock: return 0;
    case kLedNumLock: return 1;
    case kLedCapsLock: return 2;
    case kLedKana: return 3;
    default: return -1;
    }
}

// Walks the items, keeping the global and local state, and places the Input and Output fields the device link
// reads: the lamps of the first output report that has any, the keys of the first input report that has any.
class DescriptorParser {
public:
    ReportLayout parse(const QByteArray& descriptor)
    {
        ItemReader reader(descriptor);
        while (const std::optional<Item> item = reader.next()) {
            switch (ItemType(item->type)) {
            case ItemType::Global: onGlobal(*item); break;
            case ItemType::Local: onLocal(*item); break;
            case ItemType::Main: onMain(*item); break;
            }
        }
        return result();
    }

private:
    void onGlobal(const Item& item)
    {
        switch (GlobalTag(item.tag)) {
        case GlobalTag::UsagePage: globals_.usagePage = static_cast<int>(item.value); break;
        case GlobalTag::LogicalMinimum: globals_.logicalMinimum = item.signedValue; break;
        case GlobalTag::ReportSize: globals_.reportSize = static_cast<int>(item.value); break;
        case GlobalTag::ReportId:
            globals_.reportId = static_cast<int>(item.value);
            layout_.numberedReports = true;
            break;
        case GlobalTag::ReportCount: globals_.reportCount = static_cast<int>(item.value); break;
        case GlobalTag::Push: stack_.push_back(globals_); break;
        case GlobalTag::Pop:
            if (!stack_.empty()) {
                globals_ = stack_.back();
                stack_.pop_back();
            }
            break;
        }
    }

    void onLocal(const Item& item)
    {
        const unsigned usage = fullUsage(item.value, item.size, globals_.usagePage);
        switch (LocalTag(item.tag)) {
        case LocalTag::Usage: locals_.usages.push_back(usage); break;
        case LocalTag::UsageMinimum: locals_.minimum = usage; break;
        case LocalTag::UsageMaximum: locals_.maximum = usage; break;
        }
    }

    // Input and Output place fields; every main item ends the local state.
    void onMain(const Item& item)
    {
        const bool input = MainTag(item.tag) == MainTag::Input;
        if (input || MainTag(item.tag) == MainTag::Output) {
            int& offset = (input ? inputBits_ : outputBits_)[globals_.reportId];
            const bool constant = item.value & kMainConstant;
            if (!constant && (item.value & kMainVariable)) {
                for (int f = 0; f < globals_.reportCount; ++f)
                    placeVariableField(input, locals_.usageOf(f), offset + f * globals_.reportSize);
            } else if (!constant && input) {
                placeKeyArray(offset);
            }
            offset += globals_.reportSize * globals_.reportCount;
        }
        locals_ = Locals{};
    }

    void placeVariableField(bool input, unsigned usage, int bit)
    {
        const int page = static_cast<int>(usage >> 16);
        const int id = static_cast<int>(usage & 0xFFFF);
        if (globals_.reportSize != 1)
            return;
        if (!input && page == kLedPage && (!haveIndicators_ || indicators_.reportId == globals_.reportId)) {
            const int slot = indicatorSlot(id);
            if (slot >= 0) {
                haveIndicators_ = true;
                indicators_.reportId = globals_.reportId;
                indicators_.bits[slot] = bit;
            }
        } else if (input && page == kKeyboardPage && takesKeysOfThisReport()) {
            (id >= 0xE0 && id <= 0xE7 ? keys_.modifiers : keys_.keyBits).push_back({id, bit});
        }
    }

    void placeKeyArray(int offset)
    {
        const unsigned first = locals_.usageOf(0);
        if ((first >> 16) == kKeyboardPage && takesKeysOfThisReport())
            keys_.arrays.push_back({offset, globals_.reportSize, globals_.reportCount, globals_.logicalMinimum,
                                    static_cast<int>(first & 0xFFFF)});
    }

    // The keys are read from one input report: the first that declares any.
    bool takesKeysOfThisReport()
    {
        if (haveKeys_ && keys_.reportId != globals_.reportId)
            return false;
        haveKeys_ = true;
        keys_.reportId = globals_.reportId;
        return true;
    }

    ReportLayout result()
    {
        if (haveIndicators_) {
            indicators_.reportBytes = (outputBits_[indicators_.reportId] + 7) / 8;
            layout_.indicators = indicators_;
        }
        if (haveKeys_)
            layout_.keys = keys_;
        return layout_;
    }

    ReportLayout layout_;
    Globals globals_;
    std::vector<Globals> stack_;
    Locals locals_;
    std::map<int, int> inputBits_; // report id -> bits so far
    std::map<int, int> outputBits_;
    IndicatorLayout indicators_;
    bool haveIndicators_ = false;
    KeyInputLayout keys_;
    bool haveKeys_ = false;
};

} // namespace

ReportLayout parseReportDescriptor(const QByteArray& descriptor)
{
    return DescriptorParser().parse(descriptor);
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
