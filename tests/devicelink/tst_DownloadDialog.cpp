#include "devicelink/windows/DownloadDialog.h"

#include "devicelink/DeviceWatcher.h"

#include "messages/MessageCatalogue.h"
#include "tests/devicelink/FakeEventPump.h"
#include "tests/devicelink/TransferRig.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace devicelink;

namespace {

const QString kStickEntry = QStringLiteral("LED Light Show Device #1");

// The dialog over a simulated stick, with a current project that compiles to `project`.
struct DialogRig {
    explicit DialogRig(TransferSettings settings = {}, const QString& stickConfig = QStringLiteral("id=K"))
        : platform(pump, parseSimulatedDeviceConfig(stickConfig).sticks.front())
    {
        settings.projectsFolder = projects.path() + u'/';
        ProjectHooks hooks;
        hooks.currentProjectPath = [this] { return hasProject ? projects.filePath("Demo.ini") : QString(); };
        hooks.currentEntryText = [this] { return hasProject ? QStringLiteral("Demo (32 x 32)") : QString(); };
        hooks.countedTotal = [this] { return static_cast<int>(project.size()); };
        hooks.buildImage = [this](int) { return project; };
        hooks.importImage = [this](const QByteArray&, const QString& name, bool, int) {
            imported << name;
            return devicelink::ImportOutcome::Done;
        };
        dialog = std::make_unique<DownloadDialog>(platform, pump, prompter, hooks, settings);
    }

    FakeEventPump pump;
    SimulatedHidPlatform platform;
    ScriptedPrompter prompter;
    QTemporaryDir projects;
    QByteArray project = makeImage(32, {{20}});
    bool hasProject = true;
    QStringList imported;
    std::unique_ptr<DownloadDialog> dialog;

    QStringList boxes() const { return messageBoxes(prompter); }
};

bool busyLook(const DownloadDialog& d)
{
    return d.Label2->isVisible() && d.Label3->isVisible() && !d.Label1->isVisible() && !d.ComboBox1->isVisible()
        && !d.Button1->isVisible();
}

bool idleLook(const DownloadDialog& d)
{
    return !d.Label2->isVisible() && !d.Label3->isVisible() && d.Label1->isVisible() && d.ComboBox1->isVisible()
        && d.Button1->isVisible();
}

} // namespace

class tst_DownloadDialog : public QObject {
    Q_OBJECT

private slots:
    void plugInShowsInTheOpenDialog()
    {
        QTemporaryDir folder;
        const QString flag = folder.filePath("stick-in");
        DialogRig rig({}, QStringLiteral("id=K,present=") + flag);
        DownloadDialog& d = *rig.dialog;
        d.show();
        const QString noStick = d.ComboBox1->itemText(0);
        QVERIFY(noStick != kStickEntry);
        DeviceWatcher watcher;
        QVERIFY(watcher.watchPresenceFile(flag));
        connect(&watcher, &DeviceWatcher::devicesChanged, &d, &DownloadDialog::devicesChanged);

        QVERIFY(QFile(flag).open(QIODevice::WriteOnly)); // plugged in
        QTRY_COMPARE_WITH_TIMEOUT(d.ComboBox1->itemText(0), kStickEntry, 10000);
        QVERIFY(QFile::remove(flag)); // pulled out
        QTRY_COMPARE_WITH_TIMEOUT(d.ComboBox1->itemText(0), noStick, 10000);

        d.hide(); // a closed dialog leaves its list alone
        QVERIFY(QFile(flag).open(QIODevice::WriteOnly));
        QTest::qWait(3 * DeviceWatcher::kSettleMs + 200);
        QCOMPARE(d.ComboBox1->itemText(0), noStick);
    }

    void showing_data()
    {
        QTest::addColumn<bool>("plugged");
        QTest::addColumn<bool>("project");
        QTest::newRow("stick and project") << true << true;
        QTest::newRow("no stick") << false << true;
        QTest::newRow("no project") << true << false;
    }
    void showing()
    {
        QFETCH(bool, plugged);
        QFETCH(bool, project);
        DialogRig rig;
        rig.hasProject = project;
        if (!plugged)
            rig.platform.device().unplug();
        DownloadDialog& d = *rig.dialog;
        d.ProgressBar1->setValue(40);
        d.show();
        QCOMPARE(d.windowTitle(), messages::lookupMessage(639));
        QCOMPARE(d.Label1->text(), messages::lookupMessage(640));
        QCOMPARE(d.Button4->text(), messages::lookupMessage(643));
        QCOMPARE(d.height(), 150);
        QVERIFY(d.CheckBox1->geometry().top() >= 150); // out of sight
        QCOMPARE(d.ComboBox1->currentText(),
                 plugged ? QStringLiteral("LED Light Show Device #1") : QStringLiteral("Device not detected"));
        QCOMPARE(d.ProgressBar1->value(), 0);
        QCOMPARE(d.Button4->isEnabled(), project);
        QCOMPARE(d.Button3->isEnabled(), project);
        QVERIFY(d.Button2->isEnabled());
        QVERIFY(idleLook(d));
        QVERIFY(!d.Timer1->isActive());
    }

    void downloadShowsItsWorkAndIgnoresClicks()
    {
        DialogRig rig;
        const QByteArray earlier = makeImage(32, {{3}});
        rig.platform.device().memory().replace(0, earlier.size(), earlier);
        DownloadDialog& d = *rig.dialog;
        d.show();
        int checks = 0;
        bool busyThroughout = true;
        rig.pump.onEvents = [&] {
            if (checks++ % 40 != 0)
                return;
            busyThroughout = busyThroughout && busyLook(d) && QApplication::overrideCursor();
            // Every command the user may press while the transfer pumps events (Cancel stops it: see below).
            d.Button4->click();
            d.Button2->click();
            d.Button3->click();
            d.Button1->click();
        };
        QTest::mouseClick(d.Button4, Qt::LeftButton);
        rig.pump.onEvents = nullptr;

        QVERIFY(checks > 10);
        QVERIFY(busyThroughout);
        QCOMPARE(rig.boxes(), QStringList{message(501, int(rig.project.size()), int(rig.pump.clock / 1000))});
        QVERIFY(d.isVisible());
        QVERIFY(idleLook(d));
        QCOMPARE(d.ProgressBar1->value(), 100);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(rig.platform.device().events().count("write-sign-on"), 1);
        QCOMPARE(rig.platform.device().memory().left(rig.project.size()), rig.project);
        QCOMPARE(d.ComboBox1->currentText(), QStringLiteral("LED Light Show Device #1"));
    }

    // Cancel, Esc and the close box stop a running download at the next block: the stick gets its closing pair
    // and is released, the dialog shows its idle look again and stays open, the image stays recorded as
    // unfinished, and the stick takes the next download.
    void stopDuringADownload_data()
    {
        QTest::addColumn<int>("way"); // 0 Cancel, 1 Esc, 2 close box
        QTest::newRow("Cancel") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("close box") << 2;
    }
    void stopDuringADownload()
    {
        QFETCH(int, way);
        QTemporaryDir workspace;
        TransferSettings settings;
        settings.downloadRecordFile = workspace.filePath("UnfinishedDownloads.ini");
        DialogRig rig(settings, QStringLiteral("id=K,latency_ms=20"));
        rig.project = makeImage(32, {{250}});
        DownloadDialog& d = *rig.dialog;
        d.show();
        bool stopped = false;
        rig.pump.onEvents = [&] {
            if (stopped || d.ProgressBar1->value() < 40)
                return;
            stopped = true;
            if (way == 0)
                QTest::mouseClick(d.Button5, Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(&d, Qt::Key_Escape);
            else
                d.close();
        };
        QTest::mouseClick(d.Button4, Qt::LeftButton);
        rig.pump.onEvents = nullptr;

        SimulatedDevice& stick = rig.platform.device();
        const int blocks = static_cast<int>(rig.project.size() * 2 + 31) / 32;
        QVERIFY(stopped);
        QVERIFY(stick.events().count("write-block") < blocks);
        // Stopped between blocks: inside one, the closing pair would have been taken as data.
        QCOMPARE(stick.events().back(), QStringLiteral("end-write"));
        QCOMPARE(stick.state(), SimulatedDevice::State::Idle);
        QCOMPARE(rig.platform.openTransfers(), 0);
        QVERIFY(rig.boxes().isEmpty());
        QVERIFY(d.isVisible());
        QVERIFY(idleLook(d));
        QVERIFY(!QApplication::overrideCursor());
        const QByteArray held = stick.memory().left(rig.project.size());
        QVERIFY(held != rig.project);
        QVERIFY(DownloadRecord(settings.downloadRecordFile).isUnfinished(held));

        QTest::mouseClick(d.Button4, Qt::LeftButton);
        QCOMPARE(stick.memory().left(rig.project.size()), rig.project);
        QCOMPARE(rig.boxes().size(), 1);
        QVERIFY(rig.boxes()[0].startsWith(message(501, int(rig.project.size()), 0).section(u'!', 0, 0)));
        QTest::mouseClick(d.Button5, Qt::LeftButton);
        QVERIFY(!d.isVisible());
    }

    void verifyAndReadData()
    {
        DialogRig rig;
        rig.platform.device().memory().replace(0, rig.project.size(), rig.project);
        DownloadDialog& d = *rig.dialog;
        d.show();
        bool ticked = false;
        rig.pump.onEvents = [&] { ticked = ticked || d.CheckBox1->isChecked(); };
        d.Button3->click();
        rig.pump.onEvents = nullptr;
        QVERIFY(ticked);
        QVERIFY(!d.CheckBox1->isChecked());
        QCOMPARE(d.windowTitle(), messages::lookupMessage(781));
        QCOMPARE(rig.boxes(), QStringList{message(508, int(rig.project.size()), 0)});

        rig.prompter.inputs << QStringLiteral("Copy");
        d.Button2->click();
        QCOMPARE(d.windowTitle(), messages::lookupMessage(780));
        QCOMPARE(rig.imported, QStringList{"Copy"});
        QCOMPARE(rig.boxes().last(), message(510, int(rig.project.size()), 0));
        QVERIFY(d.isVisible());
    }

    void refreshFindsAStickPluggedInLater()
    {
        DialogRig rig;
        rig.platform.device().unplug();
        DownloadDialog& d = *rig.dialog;
        d.show();
        d.Button2->click();
        QCOMPARE(rig.boxes(), QStringList{message(497)});
        rig.platform.replug(parseSimulatedDeviceConfig("id=K").sticks.front());
        d.Button1->click();
        QCOMPARE(d.ComboBox1->currentText(), QStringLiteral("LED Light Show Device #1"));
    }

    void expressWindowAutomaticActions_data()
    {
        QTest::addColumn<bool>("read");
        QTest::addColumn<bool>("easy");
        QTest::newRow("download") << false << false;
        QTest::newRow("read") << true << false;
        QTest::newRow("easy mode has no timer") << false << true;
    }
    void expressWindowAutomaticActions()
    {
        QFETCH(bool, read);
        QFETCH(bool, easy);
        TransferSettings settings;
        settings.simplifiedMode = true;
        settings.easyMode = easy;
        DialogRig rig(settings);
        rig.platform.device().memory().replace(0, rig.project.size(), rig.project);
        DownloadDialog& d = *rig.dialog;
        (read ? d.autoRead : d.autoDownload) = true;
        d.setCloseRequested(false);
        d.show();
        QCOMPARE(d.Timer1->isActive(), !easy);
        if (easy) {
            QCOMPARE(d.height(), 150);
            QVERIFY(d.Button4->isVisible());
            return;
        }
        QCOMPARE(d.height(), 96 + 18 + 10);
        QVERIFY(!d.Button4->isVisible() && !d.Button2->isVisible() && !d.Button5->isVisible());
        d.Timer1Timer();
        QVERIFY(d.autoStarted);
        QCOMPARE(rig.boxes().size(), 1);
        QVERIFY(rig.boxes()[0].startsWith(read ? "Read Data OK" : "Download"));
        QCOMPARE(rig.imported, read ? QStringList{"Demo"} : QStringList{});
        QVERIFY(!d.isVisible()); // it closed itself
        QVERIFY(!d.Timer1->isActive());

        // Shown again: the action runs once more, once.
        d.show();
        QVERIFY(!d.autoStarted);
        d.Timer1Timer();
        d.show();
        QCOMPARE(rig.boxes().size(), 2);
    }

    void closeRequestedClosesOnTheNextTick()
    {
        TransferSettings settings;
        settings.simplifiedMode = true;
        DialogRig rig(settings);
        rig.platform.device().unplug();
        DownloadDialog& d = *rig.dialog;
        d.autoDownload = true;
        d.show();
        d.Timer1Timer(); // the download finds no stick: 497, close requested
        QCOMPARE(rig.boxes(), QStringList{message(497)});
        QVERIFY(d.closeRequested());
        QVERIFY(d.isVisible());
        d.Timer1Timer();
        QVERIFY(!d.isVisible());
    }
};

QTEST_MAIN(tst_DownloadDialog)
#include "tst_DownloadDialog.moc"
