// lumiwandctl's device commands as a user runs them, against the simulated stick kept in a file.
#include "imaging/LitGrid.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "store/IniFile.h"
#include "store/Project.h"
#include "store/Workspace.h"

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
        environment.insert("LUMIWAND_SIMULATED_DEVICE", "id=K,memory=" + stick + extraStick);
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
};

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
};

QTEST_GUILESS_MAIN(tst_DeviceCtl)
#include "tst_DeviceCtl.moc"
