#include "devicelink/DeviceTransfers.h"
#include "tests/devicelink/TransferRig.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace devicelink;

namespace {

TransferSettings edition(int ledCount, bool factory = false)
{
    TransferSettings settings;
    settings.ledCount = ledCount;
    settings.factoryMode = factory;
    return settings;
}

SimulatedDeviceConfig stick(const QString& text)
{
    const StickConfigParse parse = parseSimulatedDeviceConfig(text);
    if (!parse.ok())
        qFatal("%s", qPrintable(stickConfigMessage(parse, text)));
    return parse.sticks.front();
}

// A 16-row image of 50 bytes: one picture of 16 columns.
const QByteArray kSmall = makeImage(16, {{16}});
// What an earlier download left in the stick: two pictures, none indelible.
const QByteArray kStored = makeImage(32, {{8}, {4}}, false, 3);

QStringList repeated(const QString& event, int times)
{
    return QStringList(times, event);
}

// The events of a download to a stick that holds kStored (header of 26 bytes: two header blocks).
QStringList downloadEvents(int blocks)
{
    return QStringList{"read-sign-on", "identify", "read-block", "read-block", "end-read", "write-sign-on",
                       "identify"}
        + repeated("write-block", blocks) + QStringList{"checksum", "end-write"};
}

} // namespace

class tst_DeviceTransfers : public QObject {
    Q_OBJECT

private slots:
    void download_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<bool>("factory");
        QTest::addColumn<bool>("erased");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("stick with an earlier project")
            << "id=K" << false << false << QStringList{message(501, 50, 0)} << downloadEvents(4);
        QTest::newRow("another 32-LED stick")
            << "id=N" << false << false << QStringList{message(501, 50, 0)} << downloadEvents(4);
        QTest::newRow("new stick: nothing to keep, nothing to report")
            << "id=K" << false << true << QStringList{message(501, 50, 0)}
            << QStringList{"read-sign-on", "identify", "read-block", "end-read", "write-sign-on", "identify"} + repeated("write-block", 4)
                   + QStringList{"checksum", "end-write"};
        QTest::newRow("factory mode never reads")
            << "id=K" << true << false << QStringList{message(501, 50, 0)}
            << QStringList{"write-sign-on", "identify"} + repeated("write-block", 4)
                   + QStringList{"checksum", "end-write"};
    }
    void download()
    {
        QFETCH(QString, config);
        QFETCH(bool, factory);
        QFETCH(bool, erased);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, events);
        TransferRig rig(stick(config), edition(32, factory));
        if (!erased)
            rig.store(kStored);
        rig.project = kSmall;

        QVERIFY(rig.transfers.download());
        QCOMPARE(rig.boxes(), rig.withSeconds(boxes));
        QCOMPARE(rig.prompter.shown.back().title, message(496));
        QCOMPARE(rig.prompter.shown.back().icon, messages::Icon::Information);
        QCOMPARE(rig.device().events(), events);
        QCOMPARE(rig.device().memory().left(kSmall.size()), kSmall);
        QCOMPARE(rig.builtTypes, QList<int>{6});
        QVERIFY(rig.imports.isEmpty());
        // 100 nibbles in 4 blocks of 32: the last 28 are zero.
        const std::vector<int>& nibbles = rig.device().nibbles();
        QCOMPARE(int(std::count(nibbles.end() - 3 - 28, nibbles.end() - 3, 0)), 28);
        QVERIFY(nibbles.end()[-3 - 29] != 0);
        QCOMPARE(rig.view.progress.back(), 100);
        QVERIFY(std::is_sorted(rig.view.progress.begin(), rig.view.progress.end()));
        QVERIFY(!rig.view.busy);
        QVERIFY(!rig.view.waitCursor);
        QCOMPARE(rig.view.captions, QList<unsigned>{639});
        QCOMPARE(rig.platform.openTransfers(), 0);
        QVERIFY(!rig.transfers.closeRequested);
    }

    void downloadFaults_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("projectBytes");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("closedWrite"); // the write transfer ended with END_WRITE twice
        QTest::addColumn<int>("blocksWritten");

        QTest::newRow("wrong LED count: reported by the read and again before writing")
            << "id=A" << 32 << 50 << QStringList{message(745), message(745)} << true << 0;
        QTest::newRow("too little memory") << "id=B" << 16 << 2100 << QStringList{message(499, 2048)} << true << 0;
        QTest::newRow("memory just large enough") << "id=B" << 16 << 2048 << QStringList{message(501, 2048, 0)}
                                                  << true << 128;
        QTest::newRow("no identity letter: the stick's content is unknown, it is left alone")
            << "id=K,fault=no_reply,fault_on=identify" << 32 << 50 << QStringList{message(498)} << false << 0;
        QTest::newRow("garbage identity letter: asked again, then the stick is left alone")
            << "id=K,fault=garbage,fault_on=identify" << 32 << 50 << QStringList{message(498)} << false << 0;
        QTest::newRow("garbage identity letter twice: the third answer counts")
            << "id=K,fault=garbage,fault_on=identify,fault_times=2" << 32 << 50 << QStringList{message(501, 50, 0)}
            << true << 4;
        QTest::newRow("garbage identity letter in the write only")
            << "id=K,fault=garbage,fault_on=identify,fault_after=1" << 32 << 50 << QStringList{message(498)} << true
            << 0;
        QTest::newRow("no acknowledgement") << "id=K,fault=no_reply,fault_on=write_block" << 32 << 50
                                            << QStringList{message(498)} << true << 1;
        QTest::newRow("wrong acknowledgement") << "id=K,fault=wrong_ack" << 32 << 50
                                               << QStringList{message(498)} << true << 1;
        QTest::newRow("garbage acknowledgement") << "id=K,fault=garbage,fault_on=write_block" << 32 << 50
                                                 << QStringList{message(498)} << true << 1;
        QTest::newRow("acknowledgement fails after two blocks") << "id=K,fault=wrong_ack,fault_after=2" << 32
                                                                << 50 << QStringList{message(498)} << true << 3;
        QTest::newRow("no checksum") << "id=K,fault=no_reply,fault_on=checksum" << 32 << 50
                                     << QStringList{message(498)} << true << 4;
        QTest::newRow("short checksum") << "id=K,fault=short_reply,fault_on=checksum" << 32 << 50
                                        << QStringList{message(498)} << true << 4;
        QTest::newRow("wrong checksum") << "id=K,fault=wrong_checksum" << 32 << 50 << QStringList{message(500)}
                                        << true << 4;
        QTest::newRow("garbage checksum: asked again, then broken, not a different sum")
            << "id=K,fault=garbage,fault_on=checksum" << 32 << 50 << QStringList{message(498)} << true << 4;
        QTest::newRow("garbage checksum once") << "id=K,fault=garbage,fault_on=checksum,fault_times=1" << 32 << 50
                                               << QStringList{message(501, 50, 0)} << true << 4;
        QTest::newRow("short block in the preliminary read: what the stick holds is unknown, it is left alone")
            << "id=K,fault=short_reply,fault_on=read_block" << 32 << 50 << QStringList{message(498)} << false << 0;
        QTest::newRow("damaged header: nothing to keep") << "id=K,header=damaged" << 32 << 50
                                                         << QStringList{message(501, 50, 0)} << true << 4;
    }
    void downloadFaults()
    {
        QFETCH(QString, config);
        QFETCH(int, leds);
        QFETCH(int, projectBytes);
        QFETCH(QStringList, boxes);
        QFETCH(bool, closedWrite);
        QFETCH(int, blocksWritten);
        TransferRig rig(stick(config), edition(leds));
        if (!config.contains("header"))
            rig.store(makeImage(leds, {{2}}));
        rig.project = makeImage(16, {{(projectBytes - 18) / 2}});
        rig.project.resize(projectBytes, '\x55');
        rig.project[2] = static_cast<char>(projectBytes & 0xFF);
        rig.project[3] = static_cast<char>(projectBytes >> 8);

        const bool succeeds = boxes.back().startsWith("Download");
        QCOMPARE(rig.transfers.download(), succeeds);
        QCOMPARE(rig.boxes(), rig.withSeconds(boxes));
        for (const ScriptedPrompter::Shown& box : rig.prompter.shown)
            QCOMPARE(box.icon, box.text.startsWith("Download") ? messages::Icon::Information : messages::Icon::Stop);
        const QStringList events = rig.device().events();
        QCOMPARE(events.contains("end-write"), closedWrite);
        QCOMPARE(events.count("write-block"), blocksWritten);
        QCOMPARE(rig.device().state(), SimulatedDevice::State::Idle);
        QVERIFY(rig.imports.isEmpty());
        QCOMPARE(rig.platform.openTransfers(), 0);
        QVERIFY(!rig.view.waitCursor);
        QVERIFY(!rig.view.busy);
        QVERIFY(rig.pump.clock < 5000); // nothing waits for long
    }

    void noStick_data()
    {
        QTest::addColumn<bool>("denied");
        QTest::addColumn<int>("command"); // 0 download, 1 read, 2 verify
        for (int command = 0; command < 3; ++command) {
            QTest::addRow("not plugged in, command %d", command) << false << command;
            QTest::addRow("no permission, command %d", command) << true << command;
        }
    }
    void noStick()
    {
        QFETCH(bool, denied);
        QFETCH(int, command);
        TransferRig rig(stick(denied ? "access=denied" : ""));
        if (!denied) {
            rig.device().unplug();
            QVERIFY(!rig.transfers.refresh());
        }
        QVERIFY(rig.transport.selector().isEmpty());
        QCOMPARE(rig.transport.selector().accessDenied, denied);
        rig.project = kSmall;
        const bool ok = command == 0 ? rig.transfers.download()
            : command == 1           ? rig.transfers.readData()
                                     : rig.transfers.verify();
        QVERIFY(!ok);
        QCOMPARE(rig.boxes(), QStringList{denied ? accessDeniedMessage() : message(497)});
        QCOMPARE(rig.prompter.shown[0].title, message(496));
        QVERIFY(rig.transfers.closeRequested);
        QCOMPARE(rig.device().writeCount(), 0);
        QCOMPARE(rig.prompter.shown.size(), 1); // no name was asked for
        QVERIFY(!rig.transfers.verifyTicked);
    }

    void downloadWithoutProjectStopsSilently()
    {
        TransferRig rig(stick("id=K"));
        rig.projectPath.clear();
        QVERIFY(!rig.transfers.download());
        QVERIFY(rig.boxes().isEmpty());
        QVERIFY(rig.transfers.closeRequested);
        QCOMPARE(rig.device().writeCount(), 0);
    }

    void unplugAnywhere_data()
    {
        QTest::addColumn<int>("command"); // 0 download, 1 read, 2 verify
        QTest::newRow("download") << 0;
        QTest::newRow("read") << 1;
        QTest::newRow("verify") << 2;
    }
    void unplugAnywhere()
    {
        QFETCH(int, command);
        const auto run = [command](TransferRig& rig) {
            rig.prompter.inputs.enqueue(QStringLiteral("Fresh"));
            return command == 0 ? rig.transfers.download()
                : command == 1  ? rig.transfers.readData()
                                : rig.transfers.verify();
        };
        const QByteArray stored = makeImage(32, {{40}});
        int writes = 0;
        {
            TransferRig rig(stick("id=K"));
            rig.store(stored);
            rig.project = stored;
            QVERIFY(run(rig));
            writes = rig.device().writeCount();
        }
        QVERIFY(writes > 100);
        for (int n = 0; n < writes; ++n) {
            TransferRig rig(stick(QStringLiteral("id=K,unplug_after=%1").arg(n)));
            rig.store(stored);
            rig.project = stored;
            QVERIFY2(!run(rig), qPrintable(QString::number(n)));
            QVERIFY2(rig.boxes() == QStringList{message(498)},
                     qPrintable(QStringLiteral("%1: %2").arg(n).arg(rig.boxes().join(" | "))));
            QCOMPARE(rig.platform.openTransfers(), 0);
            QVERIFY(rig.imports.isEmpty());
            QVERIFY(!rig.view.waitCursor);
            QVERIFY(rig.pump.clock < 5000);
        }
    }

    void readData_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<int>("leds");
        QTest::addColumn<QByteArray>("memory"); // empty: as the stick's configuration leaves it
        QTest::addColumn<QString>("box");       // "" for the success message
        QTest::addColumn<int>("type");
        QTest::newRow("32 LEDs") << "id=K" << 32 << makeImage(32, {{8}, {3, true}}) << "" << 6;
        QTest::newRow("fan 16 LEDs") << "id=E" << 16 << makeImage(16, {{16}}) << "" << 3;
        QTest::newRow("height flag") << "id=A" << 16 << makeImage(16, {{5}}, true) << "" << 1;
        QTest::newRow("height 64 passes") << "id=K" << 32 << makeImage(64, {{2}}) << "" << 6;
        QTest::newRow("image shorter than a block")
            << "id=K" << 32 << QByteArray("\x01\x20\x0A\x00\x0A\x00\x04\x00\xA0\x00", 10) << "" << 6;
        QTest::newRow("height 11") << "id=K" << 32 << makeImage(11, {{2}}) << message(506) << 0;
        QTest::newRow("erased") << "id=K,header=erased" << 32 << QByteArray() << message(506) << 0;
        QTest::newRow("total 0") << "id=K" << 32 << QByteArray("\x01\x20\x00\x00\x12\x00", 6) << message(506)
                                 << 0;
        QTest::newRow("header longer than the image")
            << "id=K" << 32 << QByteArray("\x01\x20\x20\x00\xF0\xFF", 6) << message(506) << 0;
        QTest::newRow("longer than the memory") << "id=A" << 16 << makeImage(16, {{200}}) << message(507, 256) << 0;
        QTest::newRow("damaged") << "id=K,header=damaged" << 32 << QByteArray() << message(507, 4096) << 0;
        QTest::newRow("wrong LED count") << "id=A" << 32 << makeImage(32, {{2}}) << message(745) << 0;
    }
    void readData()
    {
        QFETCH(QString, config);
        QFETCH(int, leds);
        QFETCH(QByteArray, memory);
        QFETCH(QString, box);
        QFETCH(int, type);
        TransferRig rig(stick(config), edition(leds));
        rig.store(memory);
        rig.prompter.inputs.enqueue(QString()); // the default name

        const bool ok = rig.transfers.readData();
        QCOMPARE(ok, box.isEmpty());
        QCOMPARE(rig.prompter.shown[0].kind, QStringLiteral("input"));
        QCOMPARE(rig.prompter.shown[0].title, message(502));
        QCOMPARE(rig.prompter.shown[0].text, message(503));
        QCOMPARE(rig.view.captions, QList<unsigned>{780});
        if (ok) {
            const int total = static_cast<unsigned char>(memory[2]) + 256 * static_cast<unsigned char>(memory[3]);
            QCOMPARE(rig.boxes(), rig.withSeconds({message(510, total, 0)}));
            QCOMPARE(rig.prompter.shown.back().title, message(504));
            QCOMPARE(rig.prompter.shown.back().icon, messages::Icon::Information);
            QCOMPARE(rig.imports.size(), 1);
            QCOMPARE(rig.imports[0].image, memory.left(total));
            QCOMPARE(rig.imports[0].name, QStringLiteral("Demo"));
            QVERIFY(!rig.imports[0].merge);
            QCOMPARE(rig.imports[0].type, type);
            QCOMPARE(rig.view.progress.back(), 100);
        } else {
            QCOMPARE(rig.boxes(), QStringList{box});
            QCOMPARE(rig.prompter.shown.back().title, message(box == message(745) ? 496 : 504));
            QVERIFY(rig.imports.isEmpty());
            QVERIFY(rig.transfers.closeRequested);
        }
        // Every read ends with the closing pair, also where the LED count stopped it before the first block.
        QVERIFY(rig.device().events().contains("end-read"));
        QCOMPARE(rig.platform.openTransfers(), 0);
        QVERIFY(!rig.view.busy);
        QVERIFY(!rig.transfers.verifyTicked);
    }

    void readDataAsksForAFreeName()
    {
        TransferRig rig(stick("id=K"));
        rig.store(makeImage(32, {{4}}));
        QFile(rig.projects.filePath("Taken.ini")).open(QIODevice::WriteOnly);
        QFile(rig.projects.filePath("Demo.ini")).open(QIODevice::WriteOnly);
        rig.prompter.inputs << QStringLiteral("Taken") << QStringLiteral("../outside") << QStringLiteral("0")
                            << QStringLiteral("Fresh");
        QVERIFY(rig.transfers.readData());
        // "0" counts as empty, which means the default: the current project, accepted although it exists.
        QCOMPARE(rig.imports[0].name, QStringLiteral("Demo"));
        QCOMPARE(rig.selected, QStringList{"Demo"});
        QStringList kinds;
        for (const ScriptedPrompter::Shown& shown : rig.prompter.shown)
            kinds << shown.kind + ":" + shown.text.left(12);
        // A name that cannot name a project file is told, not passed over in silence.
        QCOMPARE(kinds, (QStringList{"input:" + message(503).left(12), "box:" + message(505).left(12),
                                     "input:" + message(503).left(12), "box:" + message(469).left(12),
                                     "input:" + message(503).left(12), "box:" + message(510, 24, 0).left(12)}));
        QCOMPARE(rig.prompter.shown[1].icon, messages::Icon::Information);
        QCOMPARE(rig.prompter.shown[1].title, message(504));
    }

    void readDataReviewedBeforeImport()
    {
        for (const bool accepted : {true, false}) {
            TransferRig rig(stick("id=K"));
            const QByteArray image = makeImage(32, {{4}});
            rig.store(image);
            rig.prompter.inputs.enqueue(QString());
            QList<QByteArray> reviewed;
            rig.transfers.hooks().reviewReadBack = [&](const QByteArray& read, int type) {
                reviewed << read;
                return accepted && type == 6;
            };
            QCOMPARE(rig.transfers.readData(), accepted);
            QCOMPARE(reviewed, QList<QByteArray>{image});
            // Left out: nothing imported, no project selected, no success message.
            QCOMPARE(rig.imports.size(), accepted ? 1 : 0);
            QCOMPARE(rig.selected.size(), accepted ? 1 : 0);
            QCOMPARE(rig.prompter.shown.size(), accepted ? 2 : 1);
            QCOMPARE(rig.platform.openTransfers(), 0);
        }
    }

    void readDataCancelled()
    {
        TransferRig rig(stick("id=K"));
        QVERIFY(!rig.transfers.readData());
        QVERIFY(rig.transfers.closeRequested);
        QCOMPARE(rig.device().writeCount(), 0);
        QCOMPARE(rig.prompter.shown.size(), 1);
    }

    void readDataWithoutProjectNeedsAName()
    {
        TransferRig rig(stick("id=K"));
        rig.store(makeImage(32, {{4}}));
        rig.projectPath.clear();
        rig.prompter.inputs << QString() << QStringLiteral("Named");
        QVERIFY(rig.transfers.readData());
        QCOMPARE(rig.imports[0].name, QStringLiteral("Named"));
    }

    void simplifiedReadTakesTheDefaultAndCloses()
    {
        TransferSettings settings = edition(32);
        settings.simplifiedMode = true;
        TransferRig rig(stick("id=K"), settings);
        rig.store(makeImage(32, {{4}}));
        QVERIFY(rig.transfers.readData());
        QCOMPARE(rig.prompter.shown.size(), 1); // only the result
        QCOMPARE(rig.imports[0].name, QStringLiteral("Demo"));
        QCOMPARE(rig.view.closed, 1);
        QVERIFY(rig.view.busy); // the busy look stays in the express window
    }

    void verify_data()
    {
        QTest::addColumn<bool>("same");
        QTest::newRow("same image") << true;
        QTest::newRow("one byte differs") << false;
    }
    void verify()
    {
        QFETCH(bool, same);
        TransferRig rig(stick("id=K"));
        const QByteArray image = makeImage(32, {{30}, {7}});
        rig.store(image);
        rig.project = image;
        if (!same)
            rig.project[image.size() - 1] = static_cast<char>(image.back() ^ 1);
        QCOMPARE(rig.transfers.verify(), same);
        QCOMPARE(rig.boxes(), rig.withSeconds({message(same ? 508 : 509, int(image.size()), 0)}));
        QCOMPARE(rig.prompter.shown[0].icon, same ? messages::Icon::Information : messages::Icon::Stop);
        QCOMPARE(rig.prompter.shown[0].title, message(504));
        QCOMPARE(rig.builtTypes, QList<int>{6});
        QCOMPARE(rig.view.captions, QList<unsigned>{781});
        QVERIFY(rig.imports.isEmpty());
        QVERIFY(rig.selected.isEmpty());
        QVERIFY(!rig.transfers.verifyTicked);
        QCOMPARE(rig.device().events().back(), QStringLiteral("end-read"));
    }

    void verifyAfterDownload()
    {
        TransferRig rig(stick("id=K"));
        rig.project = makeImage(32, {{60}, {9, true}});
        QVERIFY(rig.transfers.download());
        QVERIFY(rig.transfers.verify());
        rig.project[20] = 0;
        QVERIFY(!rig.transfers.verify());
        const QString expected = message(509, int(rig.project.size()), 0);
        QCOMPARE(rig.boxes().last().left(expected.indexOf(" in ")), expected.left(expected.indexOf(" in ")));
    }

    void indelibleKeptBeforeDownload_data()
    {
        QTest::addColumn<QList<TestPicture>>("stored");
        QTest::addColumn<bool>("needsRest");  // the image is longer than the header blocks
        QTest::newRow("long image") << QList<TestPicture>{{40}, {20, true}, {8, true}} << true;
        QTest::newRow("image within the header blocks") << QList<TestPicture>{{1, true}} << false;
    }
    void indelibleKeptBeforeDownload()
    {
        QFETCH(QList<TestPicture>, stored);
        QFETCH(bool, needsRest);
        TransferRig rig(stick("id=K"));
        const QByteArray deviceImage = makeImage(32, stored, false, 9);
        rig.store(deviceImage);
        rig.project = makeImage(32, {{4}});
        // Merging adds the pictures, so the next count is larger.
        const QByteArray grown = makeImage(32, {{4}, {20, true}, {8, true}});
        rig.onImport = [&](const ImportCall&) { rig.project = grown; };

        QVERIFY(rig.transfers.download());
        QCOMPARE(rig.imports.size(), 1);
        QCOMPARE(rig.imports[0].image, deviceImage);
        QVERIFY(rig.imports[0].merge);
        QCOMPARE(rig.imports[0].type, 6);
        QCOMPARE(rig.refreshes, 1);
        // Selected again by its name as written: another project may differ from it in case only.
        QCOMPARE(rig.selected, needsRest ? QStringList{} : QStringList{"Demo"});
        QCOMPARE(rig.boxes(), rig.withSeconds({message(501, int(grown.size()), 0)}));
        QCOMPARE(rig.device().memory().left(grown.size()), grown);
        const QStringList events = rig.device().events();
        const int writeSignOn = events.indexOf("write-sign-on");
        QCOMPARE(events.mid(writeSignOn - 1, 2), (QStringList{"end-read", "write-sign-on"}));
        QCOMPARE(events.count("end-read"), 1);
        // The data phase's progress starts from 15 when the rest of the image was read.
        const QList<int>& progress = rig.view.progress;
        QCOMPARE(progress.contains(15) || !needsRest, true);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
    }

    void importFailures_data()
    {
        QTest::addColumn<bool>("download");
        QTest::addColumn<bool>("longImage");
        QTest::addColumn<ImportOutcome>("result");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("read: image refused") << false << true << ImportOutcome::Refused << false;
        QTest::newRow("read: write failed") << false << true << ImportOutcome::WriteFailed << false;
        QTest::newRow("download: indelible pictures refused, the download goes on")
            << true << true << ImportOutcome::Refused << true;
        QTest::newRow("download: indelible pictures not saved, the stick is left alone")
            << true << true << ImportOutcome::WriteFailed << false;
        QTest::newRow("download, short image: not saved, the stick is left alone")
            << true << false << ImportOutcome::WriteFailed << false;
    }
    void importFailures()
    {
        // The import hook has told the user why; the transfer neither claims success nor overwrites what it could
        // not keep.
        QFETCH(bool, download);
        QFETCH(bool, longImage);
        QFETCH(ImportOutcome, result);
        QFETCH(bool, succeeds);
        TransferRig rig(stick("id=K"));
        const QByteArray stored = longImage ? makeImage(32, {{40}, {20, true}}) : makeImage(32, {{1, true}});
        rig.store(stored);
        rig.project = kSmall;
        int imports = 0;
        rig.transfers.hooks().importImage = [&](const QByteArray&, const QString&, bool, int) {
            ++imports;
            return result;
        };
        rig.prompter.inputs << QStringLiteral("Fresh");
        QCOMPARE(download ? rig.transfers.download() : rig.transfers.readData(), succeeds);
        QCOMPARE(imports, 1);
        QCOMPARE(rig.boxes(), succeeds ? rig.withSeconds({message(501, 50, 0)}) : QStringList{});
        QCOMPARE(rig.device().events().contains("write-sign-on"), succeeds);
        QCOMPARE(rig.device().memory().left(stored.size()) == stored, !succeeds);
        QCOMPARE(rig.device().state(), SimulatedDevice::State::Idle);
        QVERIFY(!rig.view.busy);
    }

    void failedIndelibleReadStopsTheDownload()
    {
        // The rest of the image cannot be read: the indelible pictures are not kept, so the stick is not
        // overwritten.
        TransferRig rig(stick("id=K,fault=short_reply,fault_on=read_block,fault_after=3"));
        const QByteArray stored = makeImage(32, {{40}, {20, true}});
        rig.store(stored);
        rig.project = kSmall;
        QVERIFY(!rig.transfers.download());
        QVERIFY(rig.imports.isEmpty());
        QCOMPARE(rig.boxes(), QStringList{message(498)});
        QVERIFY(!rig.device().events().contains("write-sign-on"));
        QCOMPARE(rig.device().memory().left(stored.size()), stored);
        QCOMPARE(rig.device().state(), SimulatedDevice::State::Idle);
        QVERIFY(rig.transfers.closeRequested);
        QVERIFY(!rig.view.busy);
    }

    // Keystrokes outside the protocol's alphabets are no data: the read fails with its message, a download stops
    // before writing (the stick keeps its indelible pictures), and Read Data imports nothing.
    void garbageReadRepliesChangeNothing_data()
    {
        QTest::addColumn<QString>("config");
        QTest::newRow("every reply") << "id=K,fault=garbage";
        QTest::newRow("first header block") << "id=K,fault=garbage,fault_on=read_block";
        QTest::newRow("second header block") << "id=K,fault=garbage,fault_on=read_block,fault_after=1";
        QTest::newRow("one block of the rest") << "id=K,fault=garbage,fault_on=read_block,fault_after=4,fault_times=1";
    }
    void garbageReadRepliesChangeNothing()
    {
        QFETCH(QString, config);
        const QByteArray stored = makeImage(32, {{40}, {20, true}});
        for (const bool download : {true, false}) {
            TransferRig rig(stick(config));
            rig.store(stored);
            rig.project = kSmall;
            rig.prompter.inputs << QStringLiteral("Fresh");
            QVERIFY(!(download ? rig.transfers.download() : rig.transfers.readData()));
            QCOMPARE(rig.boxes(), QStringList{message(498)});
            QVERIFY(rig.imports.isEmpty());
            QVERIFY(!rig.device().events().contains("write-sign-on"));
            QCOMPARE(rig.device().memory().left(stored.size()), stored);
            QCOMPARE(rig.device().state(), SimulatedDevice::State::Idle);
            QCOMPARE(rig.platform.openTransfers(), 0);
            QVERIFY(!rig.view.busy);
        }
    }

    // An image whose lengths do not add up is not merged: the user is told and the download goes on.
    void damagedIndelibleImageIsNotMerged()
    {
        TransferRig rig(stick("id=K"));
        QByteArray stored = makeImage(32, {{40}, {20, true}});
        stored[6] = 41; // the first picture claims a column more than the pattern data holds
        rig.store(stored);
        rig.project = kSmall;
        QVERIFY(rig.transfers.download());
        QVERIFY(rig.imports.isEmpty());
        QCOMPARE(rig.boxes(), rig.withSeconds({message(6380), message(501, 50, 0)}));
    }

    // A download stopped half way leaves the new header over the rest of the old image. The next download, by
    // another process sharing the workspace's record, must not take that mixture for pictures to keep: it tells the
    // user and goes on. Read Data imports nothing from it. A whole image is merged as always, also when the
    // record knows it, and so is one written elsewhere.
    // Sticks given the same image at once (a production line): one confirming it leaves the others recorded,
    // until each confirms its own; a record written before sticks were told apart is cleared by any.
    void recordsOfSticksTakingTheSameImageAreApart()
    {
        QTemporaryDir dir;
        const DownloadRecord record(dir.filePath("UnfinishedDownloads.ini"));
        DownloadRecord writer = record;
        const QByteArray image = makeImage(32, {{60}, {40}}, false, 7);
        QByteArray half = image;
        half.replace(40, 16, QByteArray(16, '\xFF'));
        writer.recordUnfinished(image, QStringLiteral("/dev/hidraw1"));
        writer.recordUnfinished(image, QStringLiteral("/dev/hidraw2"));
        writer.clearUnfinished(image, QStringLiteral("/dev/hidraw1"));
        QVERIFY(record.isUnfinished(half));
        QVERIFY(!record.isUnfinished(image));
        writer.clearUnfinished(image, QStringLiteral("/dev/hidraw2"));
        QVERIFY(!record.isUnfinished(half));

        writer.recordUnfinished(image);
        QVERIFY(record.isUnfinished(half));
        writer.clearUnfinished(image, QStringLiteral("/dev/hidraw3"));
        QVERIFY(!record.isUnfinished(half));
    }

    void halfWrittenImageIsNotMergedByTheNextProcess_data()
    {
        QTest::addColumn<int>("writesLeft"); // indicator writes of the download that never happened
        QTest::addColumn<bool>("unfinished");
        QTest::newRow("pulled out half way") << 300 << true;
        QTest::newRow("pulled out after the second block") << 1000 << true;
        QTest::newRow("pulled out before the checksum: the image is whole") << 3 << false;
    }
    void halfWrittenImageIsNotMergedByTheNextProcess()
    {
        QFETCH(int, writesLeft);
        QFETCH(bool, unfinished);
        QTemporaryDir dir;
        const QString memory = "id=K,memory=" + dir.filePath("stick.bin");
        TransferSettings workspace;
        workspace.ledCount = 32;
        workspace.downloadRecordFile = dir.filePath("UnfinishedDownloads.ini");
        const QByteArray older = makeImage(32, {{20, true}, {8}}, false, 5);
        const QByteArray newer = makeImage(32, {{20, true}, {60}, {40}}, false, 7);
        int writes = 0;
        {
            TransferRig whole(stick("id=K"));
            whole.store(older);
            whole.project = newer;
            QVERIFY(whole.transfers.download());
            writes = whole.device().writeCount();
        }
        {
            TransferRig first(stick(memory));
            first.store(older);
            first.device().saveMemory();
        }
        {
            TransferRig first(stick(memory + QStringLiteral(",unplug_after=%1").arg(writes - writesLeft)), workspace);
            first.project = newer;
            QVERIFY(!first.transfers.download());
            QCOMPARE(first.imports.size(), 1); // the older image's indelible picture, kept before writing
            QCOMPARE(first.boxes(), QStringList{message(498)});
            first.device().saveMemory();
        }
        const QByteArray held = [&] {
            TransferRig look(stick(memory));
            return look.device().memory().left(newer.size());
        }();
        QCOMPARE(held.left(32), newer.left(32));
        QCOMPARE(held != newer, unfinished);

        TransferRig reader(stick(memory), workspace);
        reader.prompter.inputs << QStringLiteral("Fresh");
        QCOMPARE(reader.transfers.readData(), !unfinished);
        QCOMPARE(reader.imports.size(), unfinished ? 0 : 1);
        if (unfinished)
            QCOMPARE(reader.boxes(), QStringList{message(6001)});

        TransferRig second(stick(memory), workspace);
        second.store(held);
        second.project = newer;
        QVERIFY(second.transfers.download());
        QCOMPARE(second.imports.size(), unfinished ? 0 : 1);
        const QStringList boxes = second.boxes();
        QCOMPARE(boxes.size(), unfinished ? 2 : 1);
        if (unfinished)
            QCOMPARE(boxes[0], message(6000));
        QVERIFY(boxes.back().startsWith(message(501, int(newer.size()), 0).section(u'!', 0, 0)));
        QCOMPARE(second.device().memory().left(newer.size()), newer);
        // Confirmed whole, the image is no longer recorded.
        QVERIFY(!DownloadRecord(workspace.downloadRecordFile).isUnfinished(held));

        // A finished image the record does not know, written by another computer, is merged as always.
        TransferRig elsewhere(stick("id=K"), workspace);
        elsewhere.store(older);
        elsewhere.project = newer;
        QVERIFY(elsewhere.transfers.download());
        QCOMPARE(elsewhere.imports.size(), 1);
    }

    // Without a record of what it is about to write, a download does not begin.
    void downloadThatCannotBeRecordedDoesNotWrite()
    {
        QTemporaryDir dir;
        TransferSettings workspace = edition(32);
        workspace.downloadRecordFile = dir.filePath("UnfinishedDownloads.ini");
        QVERIFY(QDir().mkdir(workspace.downloadRecordFile)); // a folder where the file should be
        TransferRig rig(stick("id=K"), workspace);
        rig.store(kStored);
        rig.project = kSmall;
        QVERIFY(!rig.transfers.download());
        QCOMPARE(rig.boxes().size(), 1);
        QVERIFY2(rig.boxes()[0].contains(workspace.downloadRecordFile), qPrintable(rig.boxes()[0]));
        QCOMPARE(rig.device().events().count("write-block"), 0);
        QCOMPARE(rig.device().events().back(), QStringLiteral("end-write"));
        QCOMPARE(rig.device().memory().left(kStored.size()), kStored);
        QVERIFY(!rig.view.busy);
    }

    void emptyBuildClosesTheWriteTransfer()
    {
        TransferRig rig(stick("id=K"));
        rig.store(kStored);
        rig.transfers.hooks().buildImage = [&](int) {
            rig.prompter.tellText(496, "nothing to show", messages::Icon::Stop);
            return QByteArray();
        };
        QVERIFY(!rig.transfers.download());
        QCOMPARE(rig.boxes(), QStringList{"nothing to show"});
        QCOMPARE(rig.device().events().mid(rig.device().events().size() - 2),
                 (QStringList{"identify", "end-write"}));
        QCOMPARE(rig.device().state(), SimulatedDevice::State::Idle);
        QVERIFY(!rig.view.busy);
        QVERIFY(!rig.view.waitCursor);
        QVERIFY(rig.transfers.closeRequested);
    }

    // A stick found but not opened says why: another program holds its keys, it was pulled out since, or this
    // user lost the permission since.
    void stickThatCannotBeOpened_data()
    {
        QTest::addColumn<int>("command"); // 0 download, 1 read, 2 verify
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("change"); // what happens between discovery and the transfer
        QTest::addColumn<unsigned>("messageId");
        const char* commands[] = {"download", "read", "verify"};
        for (int command = 0; command < 3; ++command) {
            QTest::addRow("%s, keys held by another program", commands[command])
                << command << "id=K,grab=busy" << "" << 6379u;
            QTest::addRow("%s, pulled out", commands[command]) << command << "id=K" << "unplug" << 497u;
            QTest::addRow("%s, permission taken away", commands[command])
                << command << "id=K" << "deny" << 6349u;
        }
    }
    void stickThatCannotBeOpened()
    {
        QFETCH(int, command);
        QFETCH(QString, config);
        QFETCH(QString, change);
        QFETCH(unsigned, messageId);
        TransferRig rig(stick(config));
        rig.store(kStored);
        rig.project = kSmall;
        rig.prompter.inputs << QStringLiteral("Fresh");
        QVERIFY(!rig.transport.selector().isEmpty());
        if (change == QLatin1String("unplug"))
            rig.device().unplug();
        else if (change == QLatin1String("deny"))
            rig.device().denyAccess();
        const bool ok = command == 0 ? rig.transfers.download()
            : command == 1           ? rig.transfers.readData()
                                     : rig.transfers.verify();
        QVERIFY(!ok);
        QCOMPARE(rig.boxes(), QStringList{message(messageId)});
        QCOMPARE(rig.device().writeCount(), 0);
        QCOMPARE(rig.platform.openTransfers(), 0);
        QVERIFY(rig.transfers.closeRequested);
        QVERIFY(!rig.view.busy);
        QVERIFY(!rig.view.waitCursor);
    }

    void interruptedTransfersCloseTheStick_data()
    {
        QTest::addColumn<int>("command"); // 0 download, 1 read
        QTest::addColumn<QString>("closing");
        QTest::newRow("download") << 0 << "end-write";
        QTest::newRow("read") << 1 << "end-read";
    }
    void interruptedTransfersCloseTheStick()
    {
        QFETCH(int, command);
        QFETCH(QString, closing);
        TransferRig rig(stick("id=K"));
        rig.store(makeImage(32, {{200}}));
        rig.project = makeImage(32, {{200}});
        rig.prompter.inputs << QStringLiteral("Fresh");
        rig.transfers.interrupted = [&] { return rig.view.progress.size() > 8; };
        QVERIFY(!(command == 0 ? rig.transfers.download() : rig.transfers.readData()));
        QVERIFY(rig.boxes().isEmpty());
        QCOMPARE(rig.device().events().back(), closing);
        QCOMPARE(rig.device().state(), SimulatedDevice::State::Idle);
        QCOMPARE(rig.platform.openTransfers(), 0);
        QVERIFY(rig.imports.isEmpty());
    }

    void commandsPressedDuringATransferDoNothing()
    {
        TransferRig rig(stick("id=K"));
        rig.store(kStored);
        rig.project = kSmall;
        int refused = 0;
        int tries = 0;
        rig.pump.onEvents = [&] {
            if (tries++ % 50 != 0)
                return;
            refused += !rig.transfers.download();
            refused += !rig.transfers.readData();
            refused += !rig.transfers.verify();
            refused += !rig.transfers.refresh();
        };
        QVERIFY(rig.transfers.download());
        rig.pump.onEvents = nullptr;
        QVERIFY(refused > 20);
        QCOMPARE(refused % 4, 0);
        QCOMPARE(rig.boxes(), QStringList{message(501, 50, 0)});
        QCOMPARE(rig.device().events(), downloadEvents(4));
        QVERIFY(!rig.transfers.isRunning());
        QVERIFY(rig.transfers.refresh());
    }

    void singleMemberGroupsAreWarnedAbout()
    {
        TransferRig rig(stick("id=K"));
        rig.store(kStored);
        rig.project = kSmall;
        rig.transfers.hooks().singleMemberGroups = [] { return QStringLiteral("Group 3 \n"); };
        QVERIFY(rig.transfers.download());
        QCOMPARE(rig.boxes()[0], QStringLiteral("Group 3 \n") + message(730));
        QCOMPARE(rig.prompter.shown[0].icon, messages::Icon::None);
        QCOMPARE(rig.prompter.shown[0].title, message(496));
    }

    void memoryKeptAcrossRuns()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("stick.bin");
        {
            TransferRig rig(stick("id=K,memory=" + file));
            rig.project = kSmall;
            QVERIFY(rig.transfers.download());
        }
        QCOMPARE(QFileInfo(file).size(), 4096);
        TransferRig rig(stick("id=K,memory=" + file));
        QCOMPARE(rig.device().memory().left(kSmall.size()), kSmall);
        rig.project = kSmall;
        QVERIFY(rig.transfers.verify());
    }
};

QTEST_GUILESS_MAIN(tst_DeviceTransfers)
#include "tst_DeviceTransfers.moc"
