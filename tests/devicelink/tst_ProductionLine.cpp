// The factory line over simulated sticks: several sticks, each with its own path and memory, programmed at once;
// refusals and a stick pulled out logged as failed without stopping the others; a stick left plugged in is not
// programmed twice.
#include "devicelink/ProductionLine.h"
#include "devicelink/Transport.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace devicelink;

namespace {

constexpr int kLineTimeout = 60000;

// A 32-LED image of `bytes` bytes: a header that adds up and a recognisable body.
QByteArray image32(int bytes)
{
    QByteArray image(bytes, '\0');
    for (int i = 16; i < bytes; ++i)
        image[i] = static_cast<char>(i * 7);
    image[0] = 1;
    image[1] = 32;
    image[2] = static_cast<char>(bytes & 0xFF);
    image[3] = static_cast<char>(bytes >> 8);
    return image;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Simulated sticks given as LUMIWAND_SIMULATED_DEVICE would give them, and a production line over them.
struct Line {
    Line(const QString& sticks, const QByteArray& image, ProductionSettings settings = {})
        : configs(parseSimulatedDeviceConfigs(sticks).sticks), platform(pump, configs), watch(platform, pump)
    {
        const auto factory = [this](const QString& path, EventPump& stickPump) -> std::unique_ptr<HidPlatform> {
            auto stick = std::make_unique<SimulatedHidPlatform>(stickPump, configs);
            return stick->keepOnly(path) ? std::move(stick) : nullptr;
        };
        line = std::make_unique<ProductionLine>(watch, factory, QHash<int, QByteArray>{{6, image}}, settings);
        QObject::connect(line.get(), &ProductionLine::changed,
                         [this] { mostAtOnce = std::max(mostAtOnce, line->inProgress()); });
    }

    // Scans as the command does until nothing runs (and at least one stick finished since the call).
    bool runUntilIdle()
    {
        const int before = line->done() + line->failed();
        QElapsedTimer clock;
        clock.start();
        do {
            line->scan();
            QTest::qWait(50);
        } while ((line->inProgress() > 0 || line->done() + line->failed() == before) && clock.elapsed() < kLineTimeout);
        return line->inProgress() == 0;
    }

    std::vector<SimulatedDeviceConfig> configs;
    QtEventPump pump;
    SimulatedHidPlatform platform;
    Transport watch;
    std::unique_ptr<ProductionLine> line;
    int mostAtOnce = 0;
};

QString path(int index, int count)
{
    return SimulatedHidPlatform::stickPath(index, count);
}

} // namespace

class tst_ProductionLine : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString file(const QString& name) const { return dir_.filePath(name); }

private slots:
    void severalSimulatedSticksHaveTheirOwnPathsAndMemories()
    {
        const StickConfigParse parse = parseSimulatedDeviceConfigs("id=E,memory=a.mem,present=a.on;id=K,memory=b.mem;id=A");
        QVERIFY(parse.ok());
        const std::vector<SimulatedDeviceConfig>& configs = parse.sticks;
        QCOMPARE(configs.size(), size_t(3));
        QCOMPARE(configs.at(0).presentFile, QStringLiteral("a.on"));
        QCOMPARE(configs.at(1).memoryFile, QStringLiteral("b.mem"));
        QCOMPARE(configs.at(2).identity, QChar(u'A'));
        const StickConfigParse refused = parseSimulatedDeviceConfigs("id=K;id=K,fault=melted");
        QVERIFY(!refused.ok());
        QCOMPARE(refused.stick, 2);
        QCOMPARE(stickConfigMessage(refused, "VAR"), QStringLiteral("VAR: stick 2: bad value \"melted\" for fault"));
        QCOMPARE(parseSimulatedDeviceConfigs("id=K;").sticks.size(), size_t(1));

        QtEventPump pump;
        SimulatedHidPlatform platform(pump, parseSimulatedDeviceConfigs("id=K;id=E;id=A").sticks);
        std::vector<HidInterface> found = platform.enumerateInterfaces();
        QCOMPARE(found.size(), size_t(3));
        QCOMPARE(found[1].path, path(1, 3));
        QCOMPARE(platform.device(path(2, 3))->config().identity, QChar(u'A'));
        // One stick keeps the path it always had.
        QCOMPARE(SimulatedHidPlatform(pump, SimulatedDeviceConfig{}).enumerateInterfaces().at(0).path,
                 SimulatedHidPlatform::kPath);

        // Each stick answers on its own path: the second one identifies as E.
        Transport transport(platform, pump);
        transport.selector().entries = {{QStringLiteral("LED Light Show Device #1"), path(1, 3)}};
        transport.selector().currentIndex = 0;
        QVERIFY(transport.sendSignOn(SignOnMode::Write));
        QCOMPARE(transport.exchange(Identify, 1), QStringLiteral("E"));
        QCOMPARE(platform.device(path(0, 3))->state(), SimulatedDevice::State::Idle);
    }

    // Three sticks at once, each gets the whole image; left plugged in they are not programmed again, and a stick
    // plugged in again is.
    void everyStickPluggedInIsProgrammedOnce()
    {
        const QByteArray image = image32(300);
        QString sticks;
        for (const char* name : {"one", "two", "three"})
            sticks += QStringLiteral("id=K,memory=%1.mem,present=%1.on;").arg(file(name));
        for (const char* name : {"one", "two", "three"})
            QVERIFY(QFile(file(QStringLiteral("%1.on").arg(name))).open(QIODevice::WriteOnly));
        ProductionSettings settings;
        settings.verify = true;
        settings.logFile = file("line.csv");
        Line line(sticks, image, settings);

        QVERIFY(line.runUntilIdle());
        QCOMPARE(line.line->done(), 3);
        QCOMPARE(line.line->failed(), 0);
        QCOMPARE(line.mostAtOnce, 3);
        for (const char* name : {"one", "two", "three"})
            QCOMPARE(readAll(file(QStringLiteral("%1.mem").arg(name))).left(image.size()).toHex(), image.toHex());
        const QStringList lines = QString::fromUtf8(readAll(settings.logFile)).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        const QStringList fields = lines[0].split(u',');
        QCOMPARE(fields.size(), 7);
        QCOMPARE(fields[2], QStringLiteral("32"));
        QCOMPARE(fields[3], QStringLiteral("300"));
        QCOMPARE(fields[5], QStringLiteral("done"));
        QVERIFY2(fields[6].startsWith(messages::lookupMessage(508).section(u'%', 0, 0)), qPrintable(lines[0]));

        for (int round = 0; round < 4; ++round) {
            line.line->scan();
            QTest::qWait(30);
        }
        QCOMPARE(line.line->inProgress(), 0);
        QCOMPARE(line.line->done(), 3);

        QVERIFY(QFile::remove(file("two.on")));
        line.line->scan();
        QVERIFY(QFile(file("two.on")).open(QIODevice::WriteOnly));
        QVERIFY(line.runUntilIdle());
        QCOMPARE(line.line->done(), 4);
        QCOMPARE(line.line->results().last().path, path(1, 3));
    }

    void aStickThatCannotTakeTheImageIsLoggedFailedAndTheOthersGoOn_data()
    {
        QTest::addColumn<QString>("stick");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("ledCount");
        QTest::newRow("16 LEDs") << "id=E" << messages::lookupMessage(msg::WrongLedCount) << 16;
        QTest::newRow("too small") << "id=J" << messages::formatMessage(msg::MemoryTooSmall, 2048) << 32;
        QTest::newRow("pulled out") << "id=K,unplug_after=1500" << messages::lookupMessage(msg::ConnectionBroken) << 32;
    }

    void aStickThatCannotTakeTheImageIsLoggedFailedAndTheOthersGoOn()
    {
        QFETCH(QString, stick);
        QFETCH(QString, message);
        QFETCH(int, ledCount);
        const QByteArray image = image32(3000);
        ProductionSettings settings;
        settings.count = 3;
        settings.logFile = file(QStringLiteral("%1.csv").arg(QTest::currentDataTag()));
        Line line(QStringLiteral("id=K,memory=%1;%2;id=N,memory=%3").arg(file("k.mem"), stick, file("n.mem")), image,
                  settings);
        QSignalSpy allFinished(line.line.get(), &ProductionLine::allFinished);
        line.line->scan();
        QVERIFY(allFinished.wait(kLineTimeout));

        QVERIFY(line.line->finished());
        QCOMPARE(line.line->done(), 2);
        QCOMPARE(line.line->failed(), 1);
        const StickResult failed = *std::find_if(line.line->results().begin(), line.line->results().end(),
                                                 [](const StickResult& result) { return !result.done; });
        QCOMPARE(failed.path, path(1, 3));
        QCOMPARE(failed.ledCount, ledCount);
        QCOMPARE(failed.message, message);
        QCOMPARE(readAll(file("k.mem")).left(image.size()).toHex(), image.toHex());
        QCOMPARE(readAll(file("n.mem")).left(image.size()).toHex(), image.toHex());
        const QString log = QString::fromUtf8(readAll(settings.logFile));
        QCOMPARE(log.count(u'\n'), 3);
        QVERIFY2(log.contains(path(1, 3) + QStringLiteral(",%1,0,").arg(ledCount)), qPrintable(log));
        const QString failedLine = log.section(path(1, 3) + u',', 1).section(u'\n', 0, 0);
        QVERIFY2(failedLine.contains(QStringLiteral(",failed,")), qPrintable(log));
        QVERIFY2(failedLine.contains(QString(message).replace(u'\n', u' ')), qPrintable(log));
    }

    void csvFieldsWithCommasOrQuotesAreQuoted()
    {
        StickResult result;
        result.finishedAt = QDateTime(QDate(2026, 12, 11), QTime(3, 4, 5));
        result.path = QStringLiteral("/dev/hidraw3");
        result.ledCount = 32;
        result.bytes = 146;
        result.seconds = 2.24;
        result.message = QStringLiteral("Download 146 bytes OK!! \"fast\", really\nnext line");
        QCOMPARE(csvLine(result), QStringLiteral("2026-12-11T03:04:05,/dev/hidraw3,32,146,2.2,failed,"
                                                 "\"Download 146 bytes OK!! \"\"fast\"\", really next line\""));
    }
};

QTEST_GUILESS_MAIN(tst_ProductionLine)
#include "tst_ProductionLine.moc"
