#include "devicelink/Transport.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "tests/devicelink/FakeEventPump.h"

#include <QTest>
#include <map>

using namespace devicelink;

namespace {

// A platform with a fixed list of interfaces and manufacturer strings; the keys it "types" appear at a set time
// on the pump's clock.
class ScriptedHidPlatform : public HidPlatform {
public:
    explicit ScriptedHidPlatform(FakeEventPump& pump) : pump_(pump) {}

    std::vector<HidInterface> interfaces;
    std::map<QString, std::optional<QString>> manufacturers;
    std::map<QString, int> manufacturerReads;
    QString keys;
    qint64 keysAt = 0;
    std::vector<int> written;

    std::vector<HidInterface> enumerateInterfaces() override { return interfaces; }
    std::optional<QString> manufacturerString(const QString& path) override
    {
        ++manufacturerReads[path];
        return manufacturers[path];
    }
    OpenStatus beginTransfer(const QString&) override { return OpenStatus::Ok; }
    void endTransfer() override {}
    bool writeIndicators(const QString&, int nibble) override
    {
        written.push_back(nibble);
        return true;
    }
    QString takeTypedKeys() override
    {
        if (pump_.now() < keysAt)
            return {};
        QString typed;
        typed.swap(keys);
        return typed;
    }
    void waitForKeys(int ms) override
    {
        if (!keys.isEmpty() && keysAt > pump_.now() && keysAt < pump_.now() + ms)
            pump_.sleep(static_cast<int>(keysAt - pump_.now()));
        else if (keys.isEmpty() || keysAt > pump_.now())
            pump_.sleep(ms);
    }

private:
    FakeEventPump& pump_;
};

HidInterface stick(const QString& path, bool accessible = true, bool indicators = true)
{
    return {path, 0x05FE, 0x1113, indicators, accessible};
}

} // namespace

class tst_Transport : public QObject {
    Q_OBJECT

private slots:
    void discovery_data()
    {
        QTest::addColumn<std::vector<HidInterface>>("interfaces");
        QTest::addColumn<QStringList>("manufacturers"); // "-" for a string that cannot be read
        QTest::addColumn<QString>("found");             // path, or empty
        QTest::addColumn<QString>("emptyText");
        QTest::addColumn<QList<int>>("reads");          // manufacturer reads per interface

        QTest::newRow("one stick") << std::vector{stick("/dev/hidraw1")} << QStringList{"Moonotter"}
                                   << "/dev/hidraw1" << "" << QList<int>{1};
        QTest::newRow("case differs: rejected after three reads")
            << std::vector{stick("/dev/hidraw1")} << QStringList{"MOONOTTER"} << "" << "Device not detected"
            << QList<int>{3};
        QTest::newRow("unreadable: rejected at once")
            << std::vector{stick("/dev/hidraw1")} << QStringList{"-"} << "" << "Device not detected" << QList<int>{1};
        QTest::newRow("two sticks: the first") << std::vector{stick("/dev/hidraw1"), stick("/dev/hidraw2")}
                                               << QStringList{"Moonotter", "Moonotter"} << "/dev/hidraw1" << ""
                                               << QList<int>{1, 0};
        QTest::newRow("first rejected, second found")
            << std::vector{stick("/dev/hidraw1"), stick("/dev/hidraw2")} << QStringList{"Other", "Moonotter"}
            << "/dev/hidraw2" << "" << QList<int>{3, 1};
        QTest::newRow("other vendor passed over")
            << std::vector{HidInterface{"/dev/hidraw0", 0x046D, 0x1113, true, true}, stick("/dev/hidraw2")}
            << QStringList{"Moonotter", "Moonotter"} << "/dev/hidraw2" << "" << QList<int>{0, 1};
        QTest::newRow("interface without lamps passed over")
            << std::vector{stick("/dev/hidraw1", true, false), stick("/dev/hidraw2")}
            << QStringList{"Moonotter", "Moonotter"} << "/dev/hidraw2" << "" << QList<int>{0, 1};
        QTest::newRow("present but not accessible")
            << std::vector{stick("/dev/hidraw1", false)} << QStringList{"Moonotter"} << ""
            << "Device not accessible" << QList<int>{1};
        QTest::newRow("nothing") << std::vector<HidInterface>{} << QStringList{} << "" << "Device not detected"
                                 << QList<int>{};
    }
    void discovery()
    {
        QFETCH(std::vector<HidInterface>, interfaces);
        QFETCH(QStringList, manufacturers);
        QFETCH(QString, found);
        QFETCH(QString, emptyText);
        QFETCH(QList<int>, reads);

        FakeEventPump pump;
        ScriptedHidPlatform platform(pump);
        platform.interfaces = interfaces;
        for (std::size_t i = 0; i < interfaces.size(); ++i) {
            const QString& m = manufacturers[static_cast<int>(i)];
            platform.manufacturers[interfaces[i].path] = m == "-" ? std::nullopt : std::optional<QString>(m);
        }
        Transport transport(platform, pump);
        transport.selector().entries.push_back({"stale", "/dev/old"});

        QCOMPARE(transport.discoverDevices(), !found.isEmpty());
        const DeviceSelector& selector = transport.selector();
        if (found.isEmpty()) {
            QVERIFY(selector.isEmpty());
            QCOMPARE(selector.current(), nullptr);
            QCOMPARE(selector.emptyText(), emptyText);
        } else {
            QCOMPARE(selector.entries.size(), std::size_t(1));
            QCOMPARE(selector.current()->displayName, QStringLiteral("LED Light Show Device #1"));
            QCOMPARE(selector.current()->path, found);
        }
        for (std::size_t i = 0; i < interfaces.size(); ++i)
            QCOMPARE(platform.manufacturerReads[interfaces[i].path], reads[static_cast<int>(i)]);
    }

    void signOnSendsTheTextWithItsPauses_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("latency");
        QTest::addColumn<int>("nibbles");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("read") << false << 0 << 98 << 300;
        QTest::newRow("write") << true << 0 << 182 << 500;
        QTest::newRow("write, 1 ms a write") << true << 1 << 182 << 682;
    }
    void signOnSendsTheTextWithItsPauses()
    {
        QFETCH(bool, write);
        QFETCH(int, latency);
        QFETCH(int, nibbles);
        QFETCH(int, milliseconds);
        FakeEventPump pump;
        SimulatedDeviceConfig config;
        config.latencyMs = latency;
        SimulatedHidPlatform platform(pump, config);
        Transport transport(platform, pump);
        QVERIFY(transport.discoverDevices());

        QVERIFY(transport.sendSignOn(write ? SignOnMode::Write : SignOnMode::Read));
        QCOMPARE(int(platform.device().nibbles().size()), nibbles);
        QCOMPARE(pump.clock, milliseconds);
        QCOMPARE(platform.device().events(), QStringList{write ? "write-sign-on" : "read-sign-on"});
        QCOMPARE(platform.device().nibbles().back(), 0);
    }

    void signOnStopsAtTheFirstFailedWrite()
    {
        FakeEventPump pump;
        SimulatedDeviceConfig config;
        config.unplugAfterWrites = 40;
        SimulatedHidPlatform platform(pump, config);
        Transport transport(platform, pump);
        QVERIFY(transport.discoverDevices());
        QVERIFY(!transport.sendSignOn(SignOnMode::Write));
        QCOMPARE(platform.device().writeCount(), 40);
        QVERIFY(!transport.sendNibble(0));
        QVERIFY(!transport.discoverDevices()); // it has gone
        QVERIFY(!transport.sendNibble(0));     // and nothing is selected
    }

    void waitsEndWhenTheReplyArrives_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("arrivesAt");
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("waited");
        QTest::addColumn<QString>("field");
        QTest::newRow("already there") << "y" << 0 << 1 << 0 << "y";
        QTest::newRow("between two polls") << "y" << 37 << 1 << 37 << "y";
        QTest::newRow("never") << "" << 0 << 1 << 500 << "";
        QTest::newRow("too late") << "y" << 700 << 1 << 500 << "";
        QTest::newRow("short reply waits it out") << "abc" << 10 << 4 << 500 << "abc";
        QTest::newRow("zero counts as one") << "k" << 12 << 0 << 12 << "k";
    }
    void waitsEndWhenTheReplyArrives()
    {
        QFETCH(QString, keys);
        QFETCH(int, arrivesAt);
        QFETCH(int, wanted);
        QFETCH(int, waited);
        QFETCH(QString, field);
        FakeEventPump pump;
        ScriptedHidPlatform platform(pump);
        platform.keys = keys;
        platform.keysAt = arrivesAt;
        Transport transport(platform, pump);
        transport.waitForReply(wanted);
        QCOMPARE(pump.clock, waited);
        QCOMPARE(transport.keyInputField().text(), field);
    }

    void pauseNeverEndsEarly()
    {
        FakeEventPump pump;
        ScriptedHidPlatform platform(pump);
        platform.keys = "y";
        Transport transport(platform, pump);
        transport.pause();
        QCOMPARE(pump.clock, 150);
        QCOMPARE(transport.keyInputField().text(), QStringLiteral("y")); // pumped all the same
    }

    void exchangeClearsWritesWaitsAndUpperCases()
    {
        FakeEventPump pump;
        ScriptedHidPlatform platform(pump);
        platform.interfaces = {stick("/dev/hidraw1")};
        platform.manufacturers["/dev/hidraw1"] = QStringLiteral("Moonotter");
        Transport transport(platform, pump);
        QVERIFY(transport.discoverDevices());
        transport.keyInputField().append("stale");
        platform.keys = "k";
        QCOMPARE(transport.exchange(Identify, 1), std::optional<QString>("K"));
        QCOMPARE(transport.keyInputField().text(), QStringLiteral("K"));
        QCOMPARE(platform.written, std::vector<int>{Identify});
        QVERIFY(transport.sendCommandPair(EndRead));
        QCOMPARE(platform.written, (std::vector<int>{Identify, EndRead, EndRead}));
    }
};

QTEST_GUILESS_MAIN(tst_Transport)
#include "tst_Transport.moc"
