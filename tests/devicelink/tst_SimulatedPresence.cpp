#include "FakeEventPump.h"
#include "devicelink/Transport.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace devicelink;

// The simulated stick's presence file: plugging in and pulling out while the program runs.
class tst_SimulatedPresence : public QObject {
    Q_OBJECT

private slots:
    void parsesPresentKey()
    {
        const StickConfigParse parse = parseSimulatedDeviceConfig(QStringLiteral("id=K,present=/tmp/stick-in"));
        QVERIFY(parse.ok());
        QCOMPARE(parse.sticks.front().presentFile, QStringLiteral("/tmp/stick-in"));
        QVERIFY(!parseSimulatedDeviceConfig(QStringLiteral("present=")).ok());
    }

    // The stick comes and goes with the file; a write after it went fails; back in, it is found again and takes
    // a whole transfer as a fresh stick.
    void followsTheFile()
    {
        QTemporaryDir dir;
        const QString flag = dir.filePath(QStringLiteral("plugged"));
        SimulatedDeviceConfig config;
        config.presentFile = flag;
        FakeEventPump pump;
        SimulatedHidPlatform platform(pump, config);
        Transport transport(platform, pump);

        QVERIFY(!transport.discoverDevices());
        QFile(flag).open(QIODevice::WriteOnly);
        QVERIFY(transport.discoverDevices());
        QVERIFY(transport.sendNibble(0));

        QFile::remove(flag);
        QVERIFY(!transport.sendNibble(0));
        QVERIFY(!transport.discoverDevices());

        QFile(flag).open(QIODevice::WriteOnly);
        QVERIFY(transport.discoverDevices());
        QCOMPARE(platform.device().state(), SimulatedDevice::State::Idle);
        QVERIFY(transport.sendSignOn(SignOnMode::Write));
        QCOMPARE(platform.device().state(), SimulatedDevice::State::Write);
    }
};

QTEST_GUILESS_MAIN(tst_SimulatedPresence)
#include "tst_SimulatedPresence.moc"
