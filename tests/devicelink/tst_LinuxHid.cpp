// The Linux backend's pure parts: report descriptors, indicator reports, key reports, sysfs pairing on a fake tree,
// and what an open's errno says. Opening hidraw and evdev nodes needs a real device and is not tested here.
#include "devicelink/linux/HidReportDescriptor.h"
#include "devicelink/linux/LinuxHidPlatform.h"
#include "devicelink/linux/SysfsHidraw.h"
#include "devicelink/simulated/GadgetKeyboard.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

using namespace devicelink;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// The boot keyboard descriptor given as the example in the USB HID class definition.
const QByteArray kBootKeyboard = hex(
    "05 01 09 06 A1 01 05 07 19 E0 29 E7 15 00 25 01 75 01 95 08 81 02 95 01 75 08 81 01"
    " 95 05 75 01 05 08 19 01 29 05 91 02 95 01 75 03 91 01"
    " 95 06 75 08 15 00 25 65 05 07 19 00 29 65 81 00 C0");

// A composite keyboard with numbered reports: the keyboard is report 1 with its lamps listed one by one in the
// order Num, Caps, Scroll, Kana (after a Push/Pop that must restore the LED page) and a 16-bit-maximum key array,
// then a consumer-control report 2 that must not disturb it. A long item is skipped.
const QByteArray kNumberedKeyboard = hex(
    "05 01 09 06 A1 01 85 01 05 07 19 E0 29 E7 15 00 25 01 75 01 95 08 81 02 75 08 95 01 81 03"
    " FE 02 00 AA BB"
    " 05 08 A4 05 0C B4 09 01 09 02 09 03 09 05 95 04 75 01 91 02 95 04 91 03"
    " 95 06 75 08 15 00 26 FF 00 05 07 19 00 2A FF 00 81 00 C0"
    " 05 0C 09 01 A1 01 85 02 15 00 25 01 75 01 95 08 09 E9 09 EA 09 E2 09 CD 09 B5 09 B6 09 B7 09 B0 81 02 C0");

// A keyboard that reports its keys as a bitmap, with the lamps named by extended (page and usage) usages and the
// Kana lamp missing.
const QByteArray kBitmapKeyboard = hex(
    "05 01 09 06 A1 01 05 07 19 E0 29 E7 15 00 25 01 75 01 95 08 81 02"
    " 19 04 29 1D 95 1A 81 02 75 06 95 01 81 03"
    " 0B 03 00 08 00 0B 01 00 08 00 0B 02 00 08 00 95 03 75 01 91 02 95 05 91 03 C0");

QByteArray report(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

} // namespace

class tst_LinuxHid : public QObject {
    Q_OBJECT

private slots:
    void openStatusFromErrno_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<OpenStatus>("status");
        QTest::newRow("opened") << 0 << OpenStatus::Ok;
        QTest::newRow("no such node") << ENOENT << OpenStatus::Missing;
        QTest::newRow("device gone") << ENODEV << OpenStatus::Missing;
        QTest::newRow("no such device or address") << ENXIO << OpenStatus::Missing;
        QTest::newRow("no permission") << EACCES << OpenStatus::Denied;
        QTest::newRow("operation not permitted") << EPERM << OpenStatus::Denied;
        QTest::newRow("grabbed by another program") << EBUSY << OpenStatus::Busy;
        QTest::newRow("input/output error") << EIO << OpenStatus::Failed;
        QTest::newRow("too many open files") << EMFILE << OpenStatus::Failed;
    }
    void openStatusFromErrno()
    {
        QFETCH(int, error);
        QFETCH(OpenStatus, status);
        QCOMPARE(devicelink::openStatusFromErrno(error), status);
    }

    void lampsFromDescriptors_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<int>("reportId");
        QTest::addColumn<int>("reportBytes");
        QTest::addColumn<QList<int>>("bits"); // Scroll, Num, Caps, Kana
        QTest::newRow("boot keyboard") << kBootKeyboard << false << 0 << 1 << QList<int>{2, 0, 1, 4};
        QTest::newRow("numbered, one by one") << kNumberedKeyboard << true << 1 << 1 << QList<int>{2, 0, 1, 3};
        QTest::newRow("extended usages, no Kana") << kBitmapKeyboard << false << 0 << 1 << QList<int>{0, 1, 2, -1};
        QTest::newRow("no descriptor: boot layout") << QByteArray() << false << 0 << 1 << QList<int>{2, 0, 1, 4};
    }
    void lampsFromDescriptors()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(bool, numbered);
        QFETCH(int, reportId);
        QFETCH(int, reportBytes);
        QFETCH(QList<int>, bits);
        const ReportLayout layout = keyboardLayout(descriptor);
        QCOMPARE(layout.numberedReports, numbered);
        QVERIFY(layout.indicators);
        QCOMPARE(layout.indicators->reportId, reportId);
        QCOMPARE(layout.indicators->reportBytes, reportBytes);
        QCOMPARE(QList<int>(std::begin(layout.indicators->bits), std::end(layout.indicators->bits)), bits);
    }

    void aDescriptorWithoutLampsHasNone()
    {
        // A mouse: numbered reports are not guessed at.
        const QByteArray mouse = hex("05 01 09 02 A1 01 85 01 09 01 A1 00 05 09 19 01 29 03 15 00 25 01 95 03 75 01"
                                     " 81 02 95 01 75 05 81 03 05 01 09 30 09 31 15 81 25 7F 75 08 95 02 81 06 C0 C0");
        const ReportLayout layout = keyboardLayout(mouse);
        QVERIFY(!layout.indicators);
        QVERIFY(!layout.keys);
    }

    void indicatorReports_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<int>("nibble");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("boot 0") << kBootKeyboard << 0 << report({0, 0x00});
        QTest::newRow("boot Scroll") << kBootKeyboard << 1 << report({0, 0x04});
        QTest::newRow("boot Num") << kBootKeyboard << 2 << report({0, 0x01});
        QTest::newRow("boot Caps") << kBootKeyboard << 4 << report({0, 0x02});
        QTest::newRow("boot Kana") << kBootKeyboard << 8 << report({0, 0x10});
        QTest::newRow("boot 15") << kBootKeyboard << 15 << report({0, 0x17});
        QTest::newRow("numbered 15") << kNumberedKeyboard << 15 << report({1, 0x0F});
        QTest::newRow("numbered 9") << kNumberedKeyboard << 9 << report({1, 0x0C});
    }
    void indicatorReports()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(int, nibble);
        QFETCH(QByteArray, written);
        QCOMPARE(indicatorReport(*keyboardLayout(descriptor).indicators, nibble).toHex(' '), written.toHex(' '));
    }

    void typedKeysFromBootReports()
    {
        const ReportLayout layout = keyboardLayout(kBootKeyboard);
        KeyReportDecoder decoder(*layout.keys, layout.numberedReports);
        QCOMPARE(decoder.decode(report({0, 0, 0x0E, 0, 0, 0, 0, 0})), QStringLiteral("k"));
        QCOMPARE(decoder.decode(report({0, 0, 0x0E, 0, 0, 0, 0, 0})), QString()); // still held
        QCOMPARE(decoder.decode(report({0, 0, 0, 0, 0, 0, 0, 0})), QString());
        QCOMPARE(decoder.decode(report({0, 0, 0x0E, 0, 0, 0, 0, 0})), QStringLiteral("k")); // the same key again
        QCOMPARE(decoder.decode(report({0, 0, 0x0E, 0x1C, 0, 0, 0, 0})), QStringLiteral("y")); // a second key
        QCOMPARE(decoder.decode(report({0x02, 0, 0x23, 0, 0, 0, 0, 0})), QStringLiteral("^")); // left shift + 6
        QCOMPARE(decoder.decode(report({0x20, 0, 0x1F, 0, 0, 0, 0, 0})), QStringLiteral("@")); // right shift + 2
        QCOMPARE(decoder.decode(report({0, 0, 0x1F, 0x1E, 0, 0, 0, 0})), QStringLiteral("1"));
        // Rollover says nothing; the keys held before stay held.
        QCOMPARE(decoder.decode(report({0, 0, 1, 1, 1, 1, 1, 1})), QString());
        QCOMPARE(decoder.decode(report({0, 0, 0x1F, 0x1E, 0, 0, 0, 0})), QString());
        // Enter and the keypad type nothing into a one-line field.
        QCOMPARE(decoder.decode(report({0, 0, 0x28, 0x59, 0, 0, 0, 0})), QString());
        QCOMPARE(decoder.decode(report({0x02, 0, 0x04, 0, 0, 0, 0, 0})), QStringLiteral("A"));
    }

    void typedKeysFromOtherLayouts()
    {
        const ReportLayout numbered = keyboardLayout(kNumberedKeyboard);
        KeyReportDecoder decoder(*numbered.keys, numbered.numberedReports);
        QCOMPARE(decoder.decode(report({2, 0xFF})), QString()); // the consumer report
        QCOMPARE(decoder.decode(report({1, 0, 0, 0x13, 0x1E, 0, 0, 0, 0})), QStringLiteral("p1"));

        const ReportLayout bitmap = keyboardLayout(kBitmapKeyboard);
        KeyReportDecoder bits(*bitmap.keys, bitmap.numberedReports);
        // Modifier byte, then usages 4..0x1D as bits 8..33: 'a' (bit 8) and 'z' (bit 33).
        QCOMPARE(bits.decode(report({0x00, 0x01, 0x00, 0x00, 0x02})), QStringLiteral("az"));
        QCOMPARE(bits.decode(report({0x02, 0x01, 0x00, 0x00, 0x02})), QString());
    }

    // The gadget stick's end of the wire, written from its own tables, against this backend's end: every
    // character it types comes back as typed, every nibble arrives.
    void theGadgetSticksEndOfTheWire()
    {
        const ReportLayout layout = keyboardLayout(kBootKeyboard);
        KeyReportDecoder decoder(*layout.keys, layout.numberedReports);
        const QString typed = QStringLiteral("abcdefghijklmnopqrstuvwxyz 0123456789 !@#$%^&*() AZ *-=;,./ aa!!y");
        QString decoded;
        for (const QByteArray& keys : keyReportsFor(typed))
            decoded += decoder.decode(keys);
        QCOMPARE(decoded, typed);
        for (int nibble = 0; nibble < 16; ++nibble)
            QCOMPARE(nibbleFromBootLeds(static_cast<std::uint8_t>(indicatorReport(*layout.indicators, nibble).at(1))),
                     nibble);
    }

    void characters_data()
    {
        QTest::addColumn<int>("usage");
        QTest::addColumn<bool>("shifted");
        QTest::addColumn<QString>("character");
        QTest::newRow("a") << 0x04 << false << "a";
        QTest::newRow("Z") << 0x1D << true << "Z";
        QTest::newRow("0") << 0x27 << false << "0";
        QTest::newRow("!") << 0x1E << true << "!";
        QTest::newRow("%") << 0x22 << true << "%";
        QTest::newRow("-") << 0x2D << false << "-";
        QTest::newRow("?") << 0x38 << true << "?";
        QTest::newRow("'") << 0x34 << false << "'";
        QTest::newRow("enter") << 0x28 << false << "";
    }
    void characters()
    {
        QFETCH(int, usage);
        QFETCH(bool, shifted);
        QFETCH(QString, character);
        const QChar c = characterForUsage(usage, shifted);
        QCOMPARE(c.isNull() ? QString() : QString(c), character);
    }

    void sysfsPairing()
    {
        QTemporaryDir sys;
        QVERIFY(sys.isValid());
        const QString usb = sys.filePath("devices/pci0000:00/0000:00:14.0/usb1/1-2");
        writeFile(usb + "/idVendor", "05fe\n");
        writeFile(usb + "/idProduct", "1113\n");
        writeFile(usb + "/manufacturer", "Moonotter\n");
        writeFile(usb + "/1-2:1.0/bInterfaceProtocol", "01\n");
        const QString hid = usb + "/1-2:1.0/0003:05FE:1113.0005";
        writeFile(hid + "/report_descriptor", kBootKeyboard);
        QVERIFY(QDir().mkpath(hid + "/hidraw/hidraw3"));
        QVERIFY(QDir().mkpath(hid + "/input/input17/event5"));
        QVERIFY(QDir().mkpath(hid + "/input/input17/mouse0")); // not an event node
        QVERIFY(QDir().mkpath(hid + "/input/input18/event6"));
        QVERIFY(QDir().mkpath(sys.filePath("class/hidraw")));
        QVERIFY(QFile::link(hid + "/hidraw/hidraw3", sys.filePath("class/hidraw/hidraw3")));

        // A HID device that is not on USB: ids from its name, no manufacturer.
        const QString virt = sys.filePath("devices/virtual/misc/uhid/0005:05FE:1113.0007");
        writeFile(virt + "/report_descriptor", kBootKeyboard);
        QVERIFY(QDir().mkpath(virt + "/hidraw/hidraw4"));

        const std::optional<HidrawNode> node = describeHidraw(sys.filePath("class/hidraw/hidraw3"), "/dev");
        QVERIFY(node);
        QCOMPARE(node->vendorId, 0x05FEu);
        QCOMPARE(node->productId, 0x1113u);
        QCOMPARE(node->usbDevicePath, QFileInfo(usb).canonicalFilePath());
        QCOMPARE(node->hidDevicePath, QFileInfo(hid).canonicalFilePath());
        QCOMPARE(node->reportDescriptor, kBootKeyboard);
        QCOMPARE(node->eventNodes, QStringList({"/dev/input/event5", "/dev/input/event6"}));
        QCOMPARE(readManufacturer(node->usbDevicePath), std::optional<QString>("Moonotter"));

        const std::optional<HidrawNode> other = describeHidraw(virt + "/hidraw/hidraw4");
        QVERIFY(other);
        QCOMPARE(other->vendorId, 0x05FEu);
        QCOMPARE(other->productId, 0x1113u);
        QVERIFY(other->usbDevicePath.isEmpty());
        QVERIFY(other->eventNodes.isEmpty());
        QCOMPARE(readManufacturer(other->usbDevicePath), std::nullopt);

        QCOMPARE(describeHidraw(usb), std::nullopt);                      // not a hidraw node
        QCOMPARE(describeHidraw(sys.filePath("class/hidraw/hidraw9")), std::nullopt); // gone
        QFile::remove(usb + "/manufacturer");
        QCOMPARE(readManufacturer(node->usbDevicePath), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(tst_LinuxHid)
#include "tst_LinuxHid.moc"
