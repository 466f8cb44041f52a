#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// Reading a HID report descriptor for what the device link needs from a keyboard: where the indicator lamps sit in
// its output report and where its keys sit in its input report; building the output report for a nibble; and
// turning input reports into typed characters, the same whatever the desktop's keyboard layout.
namespace devicelink {

// The output report that carries the lamps. bits[k] is the report bit (from the first byte after any report id)
// of nibble bit k: 0 Scroll Lock, 1 Num Lock, 2 Caps Lock, 3 Kana; -1 when the device has no such lamp.
struct IndicatorLayout {
    int reportId = 0; // 0: the device does not number its reports
    int reportBytes = 1;
    int bits[4] = {-1, -1, -1, -1};
};

// Where the keys of the keyboard's input report sit.
struct KeyInputLayout {
    struct KeyArray {
        int bitOffset = 0;
        int size = 8;
        int count = 6;
        int logicalMinimum = 0;
        int usageMinimum = 0;
    };
    struct Bit {
        int usage = 0;
        int bitOffset = 0;
    };
    int reportId = 0;
    std::vector<Bit> modifiers; // usages 0xE0..0xE7
    std::vector<Bit> keyBits;   // keys reported as one bit each
    std::vector<KeyArray> arrays;
};

struct ReportLayout {
    bool numberedReports = false;
    std::optional<IndicatorLayout> indicators;
    std::optional<KeyInputLayout> keys;
};

// The layout a descriptor declares (short items, with Push/Pop, usage ranges and extended usages). Parts the
// descriptor does not declare are left empty.
ReportLayout parseReportDescriptor(const QByteArray& descriptor);

// The boot keyboard's layout: one output byte (Num 0, Caps 1, Scroll 2, Compose 3, Kana 4) and the 8-byte input
// report [modifiers, reserved, six key slots].
ReportLayout bootKeyboardLayout();

// The descriptor's layout; the boot keyboard's when the descriptor is empty (it could not be read).
ReportLayout keyboardLayout(const QByteArray& descriptor);

// The bytes one hidraw write takes to set the lamps to a nibble: the report id (0 when reports are not numbered)
// and the report with the nibble's bits on the lamps.
QByteArray indicatorReport(const IndicatorLayout& layout, int nibble);

// Turns the keyboard's input reports into the characters of the keys newly pressed in each. Shift (either side)
// selects the shifted character; Caps Lock never applies (the lamps carry data). A report of rollover errors
// changes nothing.
class KeyReportDecoder {
public:
    KeyReportDecoder(KeyInputLayout layout, bool numberedReports);
    QString decode(const QByteArray& report);
    void reset() { pressed_.clear(); }

private:
    KeyInputLayout layout_;
    bool numbered_;
    std::vector<int> pressed_;
};

// The character a key of the keyboard usage page gives on a US keyboard; a null QChar for keys that type nothing
// in a one-line text field (Enter, Tab, function keys, the keypad).
QChar characterForUsage(int usage, bool shifted);

} // namespace devicelink
