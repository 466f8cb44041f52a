// lumiwandctl's device commands as a user runs them, against the simulated stick kept in a file.
#include "devicelink/DownloadRecord.h"
#include "imaging/LitGrid.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/IniFile.h"
#include "store/Project.h"
#include "store/Workspace.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

class Ctl {
public:
    Ctl()
    {
        workspace = store::prepareWorkspace(home.path() + QStringLiteral("/Documents/"), 32, 32);
        stick = home.filePath("stick.bin");
    }

    // Starts lumiwandctl on the workspace and the simulated stick (with `extraStick` settings added).
    void start(QProcess& process, const QStringList& arguments, const QString& extraStick = QString()) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath(".config"));
        environment.remove("XDG_DOCUMENTS_DIR");
        environment.insert("LUMIWAND_SIMULATED_DEVICE",
                           sticks.isEmpty() ? "id=K,memory=" + stick + extraStick : sticks);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(LUMIWANDCTL_PATH), QStringList{"--edition", "32"} + arguments);
    }

    Outcome run(const QStringList& arguments, const QString& extraStick = QString()) const
    {
        QProcess process;
        start(process, arguments, extraStick);
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QTemporaryDir home;
    store::Workspace workspace;
    QString stick;
    QString sticks; // when set, the whole LUMIWAND_SIMULATED_DEVICE value (several sticks)
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool plugIn(const QString& presenceFile)
{
    return QFile(presenceFile).open(QIODevice::WriteOnly);
}

QString begins(unsigned id)
{
    return messages::lookupMessage(id).section(u'%', 0, 0);
}

// A project of `width` x 32 holding one picture of that many columns.
void makeProject(const Ctl& ctl, const QString& name, int width)
{
    imaging::LitGrid picture(width, 32);
    for (int i = 0; i < width; ++i)
        picture.setLit(i, i % 32);
    QVERIFY(imaging::savePicture(picture, ctl.workspace.clipsFolder, name + ".bmp", imaging::ExistingFile::Replace)
                .ok());
    const QString path = ctl.workspace.projectsFolder + name + ".ini";
    store::createProject(path, 32, 32);
    store::Project project(path);
    QCOMPARE(store::appendEntry(project, ctl.workspace.clipsFolder, name + ".bmp", 0, 0, 0, false),
             store::AppendStatus::Ok);
}

} // namespace

class tst_DeviceCtl : public QObject {
    Q_OBJECT

private slots:
    void theMainPathFromTheCommandLine()
    {
        Ctl ctl;
        imaging::LitGrid picture(32, 32);
        for (int i = 0; i < 32; ++i)
            picture.setLit(i, i);
        QVERIFY(imaging::savePicture(picture, ctl.workspace.clipsFolder, "diagonal.bmp", imaging::ExistingFile::Replace)
                    .ok());
        const QString show = ctl.workspace.projectsFolder + "Show.ini";
        store::createProject(show, 32, 32);
        {
            store::Project project(show);
            QCOMPARE(store::appendEntry(project, ctl.workspace.clipsFolder, "diagonal.bmp", 0, 0, 0, false),
                     store::AppendStatus::Ok);
        }

        Outcome devices = ctl.run({"devices"});
        QCOMPARE(devices.status, 0);
        QVERIFY2(devices.out.contains("LED Light Show Device #1"), qPrintable(devices.out));

        Outcome download = ctl.run({"download", "Show"});
        QVERIFY2(download.status == 0, qPrintable(download.err));
        QVERIFY2(download.err.contains("Download 146 bytes OK!!"), qPrintable(download.err));
        QCOMPARE(QFileInfo(ctl.stick).size(), 4096);

        Outcome read = ctl.run({"read", "Copy"});
        QVERIFY2(read.status == 0, qPrintable(read.err));
        QVERIFY(read.err.contains(begins(510)));
        QVERIFY(QFile::exists(ctl.workspace.projectsFolder + "Copy.ini"));

        Outcome again = ctl.run({"read", "Copy"});
        QCOMPARE(again.status, 1);
        QVERIFY(again.err.contains(messages::lookupMessage(505)));

        Outcome verify = ctl.run({"verify", "Copy"});
        QVERIFY2(verify.status == 0, qPrintable(verify.err));
        QVERIFY(verify.err.contains(begins(508)));

        {
            store::Project project(show);
            project.setIndelible(0, true);
        }
        Outcome differs = ctl.run({"verify", "Show"});
        QCOMPARE(differs.status, 1);
        QVERIFY(differs.err.contains(begins(509)));

        Outcome wrong = ctl.run({"download", "Show"}, ",fault=wrong_checksum");
        QCOMPARE(wrong.status, 1);
        QVERIFY(wrong.err.contains(messages::lookupMessage(500)));

        Outcome empty = ctl.run({"download", "QuickStart"});
        QCOMPARE(empty.status, 1);
        QVERIFY2(empty.err.contains("holds no picture"), qPrintable(empty.err));

        Outcome missing = ctl.run({"download", "Nothing"});
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.err.contains(messages::lookupMessage(673)));

        Outcome denied = ctl.run({"download", "Show"}, ",access=denied");
        QCOMPARE(denied.status, 1);
        QVERIFY(denied.err.contains("not allowed to use it"));
    }

    // Ctrl+C in the middle of a download leaves the new image's first blocks over the old one, whose indelible
    // picture the new project has taken in. The next download, by another process, must not add that mixture's
    // pictures to the project: it says that the last download did not finish and writes the image whole.
    void interruptedDownloadIsNotMergedByTheNextProcess()
    {
        Ctl ctl;
        makeProject(ctl, "Old", 20);
        store::Project(ctl.workspace.projectsFolder + "Old.ini").setIndelible(0, true);
        QCOMPARE(ctl.run({"download", "Old"}).status, 0);
        makeProject(ctl, "New", 250);

        const QString log = ctl.home.filePath("stick.log");
        QProcess process;
        ctl.start(process, {"download", "New"}, ",latency_ms=2,log=" + log);
        const auto blocksWritten = [&log] {
            QFile file(log);
            return file.open(QIODevice::ReadOnly) ? file.readAll().count("write-block") : 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(blocksWritten() >= 8, 30000);
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 128 + SIGINT);
        const QString newProject = ctl.workspace.projectsFolder + "New.ini";
        QCOMPARE(store::Project(newProject).totalPictures(), 2); // its own and the kept indelible one

        Outcome next = ctl.run({"download", "New"});
        QVERIFY2(next.status == 0, qPrintable(next.err));
        QVERIFY2(next.err.contains(messages::lookupMessage(6000)), qPrintable(next.err));
        QCOMPARE(store::Project(newProject).totalPictures(), 2);
        QVERIFY(next.err.contains(begins(501)));
        QCOMPARE(ctl.run({"verify", "New"}).status, 0);

        // Downloaded whole, the stick's indelible picture is kept as always, without the warning.
        Outcome again = ctl.run({"download", "New"});
        QCOMPARE(again.status, 0);
        QVERIFY(!again.err.contains(messages::lookupMessage(6000)));
        QCOMPARE(store::Project(newProject).totalPictures(), 2);
    }

    // Two projects whose names differ in case only: each name selects its own project.
    void namesDifferingInCaseOnly()
    {
        Ctl ctl;
        makeProject(ctl, "Show", 30);
        makeProject(ctl, "show", 20);
        for (const QString& name : {QStringLiteral("Show"), QStringLiteral("show")}) {
            Outcome counted = ctl.run({"count", name});
            QCOMPARE(counted.status, 0);
            const int bytes = 10 + 8 + 4 * (name == QLatin1String("Show") ? 30 : 20);
            QVERIFY2(counted.out.contains(QStringLiteral("bytes: %1\n").arg(bytes)), qPrintable(counted.out));
            Outcome download = ctl.run({"download", name});
            QVERIFY2(download.err.contains(QStringLiteral("Download %1 bytes OK!!").arg(bytes)),
                     qPrintable(download.err));
        }
    }

    // read into a name that cannot name a project says why, and so does every failing device command.
    void failingCommandsSayWhy_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("why");
        QTest::newRow("read: a folder in the name") << QStringList{"read", "a/b"} << messages::lookupMessage(469);
        QTest::newRow("read: dot-dot") << QStringList{"read", ".."} << messages::lookupMessage(469);
        QTest::newRow("read: nothing") << QStringList{"read", "0"} << messages::lookupMessage(469);
        QTest::newRow("read: an existing project") << QStringList{"read", "QuickStart"} << messages::lookupMessage(505);
        QTest::newRow("download: no such project") << QStringList{"download", "Nothing"}
                                                   << messages::lookupMessage(673);
        QTest::newRow("verify: no such project") << QStringList{"verify", "Nothing"} << messages::lookupMessage(673);
        QTest::newRow("download: no usage") << QStringList{"download"} << QStringLiteral("Usage: lumiwandctl download");
        QTest::newRow("devices: an argument too many") << QStringList{"devices", "x"} << QStringLiteral("Usage: lumiwandctl devices");
    }
    void failingCommandsSayWhy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, why);
        Ctl ctl;
        Outcome outcome = ctl.run(arguments);
        QVERIFY(outcome.status != 0);
        QVERIFY2(outcome.err.contains(why), qPrintable(outcome.err));
        QVERIFY(!QFile::exists(ctl.workspace.projectsFolder + "b.ini"));
    }

    // SIGTERM in the middle of a download of a project whose name holds a dot: the stick gets its closing pair and
    // is released before the tool exits.
    void terminatedDownloadClosesTheStick()
    {
        Ctl ctl;
        makeProject(ctl, "my.show", 250);
        const QString log = ctl.home.filePath("stick.log");
        QProcess process;
        ctl.start(process, {"download", "my.show"}, ",latency_ms=1,log=" + log);
        const auto blocksWritten = [&log] {
            QFile file(log);
            return file.open(QIODevice::ReadOnly) ? file.readAll().count("write-block") : 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(blocksWritten() >= 3, 30000);
        process.terminate();
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + SIGTERM);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList events = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(events.mid(events.size() - 2), (QStringList{"end-write", "transfer-ended"}));
        QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains("Interrupted"));
    }

    // The factory line: four sticks plugged in one after another, the third pulled out mid-way. Every stick gets a
    // CSV line; the other three hold the project's image, verified; the exit status says one failed.
    void produceProgramsEveryStickPluggedIn()
    {
        Ctl ctl;
        makeProject(ctl, "Line", 280);
        const Outcome exported = ctl.run({"export", "Line", ctl.home.filePath("line.lwd")});
        QVERIFY2(exported.status == 0, qPrintable(exported.err));
        const QByteArray image = readAll(ctl.home.filePath("line.lwd"));
        QVERIFY2(image.size() > 500, qPrintable(QString::number(image.size())));
        QStringList sticks;
        for (int i = 0; i < 4; ++i)
            sticks << QStringLiteral("id=K,memory=%1,present=%2%3")
                          .arg(ctl.home.filePath(QStringLiteral("s%1.mem").arg(i)),
                               ctl.home.filePath(QStringLiteral("s%1.on").arg(i)),
                               i == 2 ? QStringLiteral(",unplug_after=600") : QString());
        ctl.sticks = sticks.join(u';');
        const QString log = ctl.home.filePath("line.csv");

        QProcess produce;
        ctl.start(produce, {"produce", "Line", "--verify", "--log", log, "--count", "4"});
        QVERIFY(produce.waitForStarted());
        for (int i = 0; i < 4; ++i) {
            QTest::qWait(400);
            QVERIFY(plugIn(ctl.home.filePath(QStringLiteral("s%1.on").arg(i))));
        }
        QVERIFY(produce.waitForFinished(120000));
        const QString err = QString::fromUtf8(produce.readAllStandardError());
        QCOMPARE(produce.exitCode(), 1);

        const QStringList lines = QString::fromUtf8(readAll(log)).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.filter(QStringLiteral(",done,")).size(), 3);
        QCOMPARE(lines.filter(QStringLiteral("/3,32,0,")).filter(QStringLiteral(",failed,")).size(), 1);
        QVERIFY2(err.contains(messages::formatMessage(6550, 3, 1, 0)), qPrintable(err));
        // Each done stick was read back and compared.
        QCOMPARE(lines.filter(QStringLiteral(",done,")).filter(begins(msg::ReadAndVerifyOk)).size(), 3);
        for (int i : {0, 1, 3})
            QCOMPARE(readAll(ctl.home.filePath(QStringLiteral("s%1.mem").arg(i))).left(image.size()).toHex(),
                     image.toHex());
        // The pulled stick holds the image's beginning over what it had: the record of unfinished downloads
        // still says so after the others, plugged in later, confirmed the same image.
        const QByteArray pulled = readAll(ctl.home.filePath("s2.mem")).left(image.size());
        QVERIFY(pulled != image && pulled.left(16) == image.left(16));
        QVERIFY(devicelink::DownloadRecord(devicelink::downloadRecordFile(ctl.workspace)).isUnfinished(pulled));
    }

    // Ctrl+C while several sticks are being written: every one of them gets its closing command pair and is
    // released, each is logged as failed (interrupted), and their image stays recorded as unfinished.
    void interruptedProduceClosesEveryStick()
    {
        Ctl ctl;
        makeProject(ctl, "Line", 280);
        QStringList sticks;
        for (int i = 0; i < 3; ++i)
            sticks << QStringLiteral("id=K,latency_ms=1,memory=%1,log=%2")
                          .arg(ctl.home.filePath(QStringLiteral("s%1.mem").arg(i)),
                               ctl.home.filePath(QStringLiteral("s%1.log").arg(i)));
        ctl.sticks = sticks.join(u';');
        const QString log = ctl.home.filePath("line.csv");
        const auto stickEvents = [&ctl](int i) {
            return QString::fromUtf8(readAll(ctl.home.filePath(QStringLiteral("s%1.log").arg(i))))
                .split(u'\n', Qt::SkipEmptyParts);
        };

        QProcess produce;
        ctl.start(produce, {"produce", "Line", "--verify", "--log", log});
        QVERIFY(produce.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(stickEvents(0).count("write-block") >= 3 && stickEvents(1).count("write-block") >= 3
                                     && stickEvents(2).count("write-block") >= 3,
                                 30000);
        ::kill(static_cast<pid_t>(produce.processId()), SIGINT);
        QVERIFY(produce.waitForFinished(30000));
        QCOMPARE(produce.exitStatus(), QProcess::NormalExit);
        QCOMPARE(produce.exitCode(), 1);

        const QStringList lines = QString::fromUtf8(readAll(log)).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.filter(QStringLiteral(",failed,") + messages::lookupMessage(msg::TransferInterrupted)).size(), 3);
        const devicelink::DownloadRecord record(devicelink::downloadRecordFile(ctl.workspace));
        for (int i = 0; i < 3; ++i) {
            const QStringList events = stickEvents(i);
            QCOMPARE(events.mid(events.size() - 2), (QStringList{"end-write", "transfer-ended"}));
            const QByteArray held = readAll(ctl.home.filePath(QStringLiteral("s%1.mem").arg(i)));
            const int length = static_cast<quint8>(held[2]) | static_cast<quint8>(held[3]) << 8;
            QVERIFY(record.isUnfinished(held.left(length)));
        }
    }

    void produceTakesABinaryProjectFileMadeForTheEdition()
    {
        Ctl ctl;
        makeProject(ctl, "Line", 40);
        QVERIFY(ctl.run({"export", "Line", ctl.home.filePath("line.lwd")}).status == 0);
        const Outcome done = ctl.run({"produce", ctl.home.filePath("line.lwd"), "--count", "1"});
        QVERIFY2(done.status == 0, qPrintable(done.err));
        const QByteArray image = readAll(ctl.home.filePath("line.lwd"));
        QCOMPARE(readAll(ctl.stick).left(image.size()).toHex(), image.toHex());

        // A log that cannot be written is named; the stick is programmed all the same.
        const QString folder = ctl.home.filePath("log-folder");
        QVERIFY(QDir().mkdir(folder));
        const Outcome unlogged = ctl.run({"produce", ctl.home.filePath("line.lwd"), "--count", "1", "--log", folder});
        QCOMPARE(unlogged.status, 0);
        QVERIFY2(unlogged.err.contains(messages::formatMessage(msg::ProductionLogUnwritable, qUtf8Printable(folder))),
                 qPrintable(unlogged.err));

        const Outcome refused = ctl.run({"--edition", "16", "produce", ctl.home.filePath("line.lwd")});
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains(messages::formatMessage(6552, 32, 16)), qPrintable(refused.err));
        QCOMPARE(ctl.run({"produce", "Line", "--count", "0"}).status, 2);
    }
};

QTEST_GUILESS_MAIN(tst_DeviceCtl)
#include "tst_DeviceCtl.moc"
