#include "devicelink/DeviceProtocol.h"
#include "devicelink/simulated/SimulatedDeviceConfig.h"

#include <QTest>

using namespace devicelink;

class tst_DeviceProtocol : public QObject {
    Q_OBJECT

private slots:
    void typedBytes_data()
    {
        QTest::addColumn<QString>("pair");
        QTest::addColumn<int>("value");
        QTest::newRow("AQ") << "AQ" << 0x00;
        QTest::newRow("BR") << "BR" << 0x11;
        QTest::newRow("PZ") << "PZ" << 0xF9;
        QTest::newRow("P6") << "P6" << 0xFF;
        QTest::newRow("P^") << "P^" << 0xFF;
        QTest::newRow("A1") << "A1" << 0x0A;
        QTest::newRow("A!") << "A!" << 0x0A;
        QTest::newRow("C@") << "C@" << 0x2B;
        QTest::newRow("lower case") << "pz" << 0xF9;
        // ('*' - 'A') * 16 + ('-' - 'Q') = -404, which wraps to 108
        QTest::newRow("outside the alphabets wraps") << "*-" << 0x6C;
    }
    void typedBytes()
    {
        QFETCH(QString, pair);
        QFETCH(int, value);
        QCOMPARE(int(decodeTypedByte(pair[0], pair[1])), value);
    }

    // Replies are checked before they are decoded: what the stick types passes, noise does not.
    void validReplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("bytes"); // 0: an identity reply
        QTest::addColumn<bool>("valid");
        QTest::newRow("identity K") << "K" << 0 << true;
        QTest::newRow("identity Z: a letter, unknown stick") << "Z" << 0 << true;
        QTest::newRow("identity digit") << "0" << 0 << false;
        QTest::newRow("identity noise") << "*" << 0 << false;
        QTest::newRow("identity empty") << "" << 0 << false;
        QTest::newRow("pairs") << "AQBRPZP6P^A1A!C@" << 8 << true;
        QTest::newRow("longer than asked") << "AQBRX" << 2 << true;
        QTest::newRow("short") << "AQB" << 2 << false;
        QTest::newRow("high nibble past P") << "QQ" << 1 << false;
        QTest::newRow("low nibble a letter before Q") << "AP" << 1 << false;
        QTest::newRow("digit 7") << "A7" << 1 << false;
        QTest::newRow("noise") << "*-" << 1 << false;
        QTest::newRow("noise in the last pair") << "AQBRCS;," << 4 << false;
    }
    void validReplies()
    {
        QFETCH(QString, reply);
        QFETCH(int, bytes);
        QFETCH(bool, valid);
        QCOMPARE(bytes == 0 ? isIdentityReply(reply) : isTypedBytes(reply, bytes), valid);
    }

    void everyByteSurvivesTypingShiftedOrNot()
    {
        for (int value = 0; value < 256; ++value) {
            for (bool shifted : {false, true}) {
                const QString pair = encodeTypedByte(static_cast<std::uint8_t>(value), shifted);
                QCOMPARE(int(decodeTypedByte(pair[0], pair[1])), value);
                QVERIFY(isTypedBytes(pair, 1));
            }
        }
        QCOMPARE(encodeTypedByte(0xFF, true), QStringLiteral("P^"));
    }

    void identities_data()
    {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<int>("memory");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("leds");
        QTest::newRow("A") << QChar('A') << 256 << 1 << 16;
        QTest::newRow("C") << QChar('C') << 2048 << 1 << 16;
        QTest::newRow("F") << QChar('F') << 256 << 3 << 16;
        QTest::newRow("J") << QChar('J') << 2048 << 6 << 32;
        QTest::newRow("K") << QChar('K') << 4096 << 6 << 32;
        QTest::newRow("k lower") << QChar('k') << 4096 << 6 << 32;
        QTest::newRow("P") << QChar('P') << 2048 << 7 << 48;
        QTest::newRow("U") << QChar('U') << 4096 << 7 << 48;
        QTest::newRow("V") << QChar('V') << 0 << 0 << 0;
        QTest::newRow("0") << QChar('0') << 0 << 0 << 0;
    }
    void identities()
    {
        QFETCH(QChar, letter);
        QFETCH(int, memory);
        QFETCH(int, type);
        QFETCH(int, leds);
        const DeviceIdentity identity = decodeIdentity(letter);
        QCOMPARE(identity.memory, memory);
        QCOMPARE(identity.type, type);
        QCOMPARE(identity.ledCount, leds);
    }

    void signOnTexts()
    {
        const QByteArray read = signOnBytes(SignOnMode::Read);
        const QByteArray write = signOnBytes(SignOnMode::Write);
        QCOMPARE(read.size() * 2, 98);
        QCOMPARE(write.size() * 2, 182);
        QCOMPARE(read.back(), '\0');
        QCOMPARE(nibbleAt(write, 180), 0);
        QCOMPARE(nibbleAt(write, 181), 0);
        QCOMPARE(nibbleAt(write, 0), 0x4); // 'M' = 0x4D, high nibble first
        QCOMPARE(nibbleAt(write, 1), 0xD);
    }

    void simulatedDeviceSettings()
    {
        const StickConfigParse parse = parseSimulatedDeviceConfig(
            "id=B,memory=/tmp/x.bin,manufacturer=moonotter,latency_ms=3,fault=wrong_ack,fault_on=write_block,"
            "fault_after=2,unplug_after=40,header=erased,access=denied");
        QVERIFY2(parse.ok(), qPrintable(stickConfigMessage(parse, "test")));
        const SimulatedDeviceConfig* config = &parse.sticks.front();
        QCOMPARE(config->identity, QChar('B'));
        QCOMPARE(config->memoryFile, QStringLiteral("/tmp/x.bin"));
        QCOMPARE(config->manufacturer, QStringLiteral("moonotter"));
        QCOMPARE(config->latencyMs, 3);
        QCOMPARE(config->fault, SimulatedDeviceConfig::Fault::WrongAck);
        QCOMPARE(config->faultCommand, int(WriteBlock));
        QCOMPARE(config->faultAfter, 2);
        QCOMPARE(config->unplugAfterWrites, 40);
        QCOMPARE(config->header, SimulatedDeviceConfig::Header::Erased);
        QVERIFY(!config->accessible);

        QVERIFY(parseSimulatedDeviceConfig("").ok());
        const StickConfigParse unknown = parseSimulatedDeviceConfig("colour=red");
        QCOMPARE(unknown.status, StickConfigStatus::UnknownKey);
        QCOMPARE(stickConfigMessage(unknown, "VAR"), QStringLiteral("VAR: unknown key \"colour\""));
        const StickConfigParse bad = parseSimulatedDeviceConfig("fault=melted");
        QCOMPARE(bad.status, StickConfigStatus::BadValue);
        QCOMPARE(stickConfigMessage(bad, "VAR"), QStringLiteral("VAR: bad value \"melted\" for fault"));
        QVERIFY(!parseSimulatedDeviceConfig("latency_ms=-1").ok());
        QVERIFY(!parseSimulatedDeviceConfig("id=KK").ok());
    }
};

QTEST_GUILESS_MAIN(tst_DeviceProtocol)
#include "tst_DeviceProtocol.moc"
