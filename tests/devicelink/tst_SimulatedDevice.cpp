#include "devicelink/simulated/SimulatedDevice.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"

#include <QRegularExpression>
#include <QTest>

using namespace devicelink;

namespace {

// The nibbles of a text and its zero byte, high nibble first, worked out here rather than with the program's own
// helpers, so that the simulated stick is held to the wire format and not to whatever the host happens to send.
std::vector<int> textNibbles(const char* text)
{
    std::vector<int> nibbles;
    for (const char* c = text;; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        nibbles.push_back(byte >> 4);
        nibbles.push_back(byte & 0x0F);
        if (byte == 0)
            return nibbles;
    }
}

void send(SimulatedDevice& device, const std::vector<int>& nibbles)
{
    for (int nibble : nibbles)
        QVERIFY(device.receiveNibble(nibble));
}

const char* const kRead = "Moonotter USB LED Light Show Stick -- READ MODE.";
const char* const kWrite = "Moonotter USB LED Light Show Stick -- WRITE MODE. Do not unplug the stick until it is done";

} // namespace

class tst_SimulatedDevice : public QObject {
    Q_OBJECT

private slots:
    // A whole write and read-back on literal nibbles, with the replies the stick types checked character for
    // character: the identity letter, the "Y" acknowledgement, the checksum high byte first, and the typed bytes.
    void firmwareOnTheWire()
    {
        SimulatedDeviceConfig config;
        config.identity = u'K';
        SimulatedDevice device(config);

        send(device, {15, 14, 13, 12}); // commands before a sign-on are not understood
        QCOMPARE(device.takeTyped(), QString());
        QCOMPARE(device.state(), SimulatedDevice::State::Idle);

        send(device, {0, 4}); // noise before the sign-on does not hide it
        send(device, textNibbles(kWrite));
        QCOMPARE(device.state(), SimulatedDevice::State::Write);

        send(device, {15});
        QCOMPARE(device.takeTyped().toUpper(), QStringLiteral("K"));

        // Bytes 0xFF, 0xFE, then zero padding: one block of 32 nibbles.
        std::vector<int> block{14, 0xF, 0xF, 0xF, 0xE};
        block.resize(1 + 32, 0);
        send(device, block);
        QVERIFY(device.takeTyped().toUpper().contains(u'Y'));

        // 0xFF + 0xFE = 0x01FD: "AR" for the high byte, then "P4" (or "P$") for the low byte.
        send(device, {12});
        const QString checksum = device.takeTyped().toUpper();
        QVERIFY2(checksum == QLatin1String("ARP4") || checksum == QLatin1String("ARP$"), qPrintable(checksum));

        send(device, {11}); // one closing command alone does not close
        QCOMPARE(device.state(), SimulatedDevice::State::Write);
        send(device, {11});
        QCOMPARE(device.state(), SimulatedDevice::State::Idle);

        send(device, textNibbles(kRead));
        QCOMPARE(device.state(), SimulatedDevice::State::Read);
        send(device, {13});
        const QString typed = device.takeTyped().toUpper();
        QCOMPARE(typed.size(), 32);
        QVERIFY2(QRegularExpression(QStringLiteral("^P[6^]P[5%]")).match(typed).hasMatch(), qPrintable(typed));
        QCOMPARE(typed.mid(4), QStringLiteral("AQ").repeated(14));
        send(device, {10, 10});
        QCOMPARE(device.state(), SimulatedDevice::State::Idle);
    }

    // The memory file on a full disk keeps what the stick held, whole, as a stick keeps its memory when a write
    // does not finish.
    void fullDiskKeepsTheStoredMemory()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("mounting a small tmpfs needs root");
        SimulatedDeviceConfig config;
        config.memoryFile = disk.path(QStringLiteral("stick.bin"));
        const QByteArray before(4096, 'A');
        writeFile(config.memoryFile, before);
        disk.fill();

        SimulatedDevice device(config);
        send(device, textNibbles(kWrite));
        std::vector<int> block{14};
        block.resize(1 + 32, 0);
        send(device, block);
        send(device, {11, 11}); // the closing pair stores the memory
        QCOMPARE(device.state(), SimulatedDevice::State::Idle);
        QCOMPARE(device.memory().left(16), QByteArray(16, '\0'));
        QCOMPARE(fileContents(config.memoryFile), before);
    }
};

QTEST_GUILESS_MAIN(tst_SimulatedDevice)
#include "tst_SimulatedDevice.moc"
