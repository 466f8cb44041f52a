#include "store/Edition.h"
#include "store/IniFile.h"
#include "store/Project.h"
#include "store/Settings.h"
#include "store/Workspace.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestWorkspace : public QObject {
    Q_OBJECT

private slots:
    void editionFromTheInvokedName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("ledCount");
        QTest::addColumn<int>("pictureWidth");
        QTest::addColumn<int>("maxBannerWidth");
        QTest::addColumn<int>("defaultSpeed");
        QTest::addColumn<bool>("factory");
        QTest::newRow("11 LEDs") << "/opt/Lumiwand11.exe" << 11 << 16 << 96 << 2050 << false;
        QTest::newRow("16 by symlink, no dot") << "/usr/bin/Lumiwand16" << 16 << 16 << 96 << 2050 << false;
        QTest::newRow("24") << "Lumiwand24" << 24 << 24 << 128 << 2050 << false;
        QTest::newRow("upper case") << "LUMIWAND48.EXE" << 48 << 48 << 288 << 2 << false;
        QTest::newRow("no digits") << "Lumiwand.exe" << 32 << 32 << 128 << 2 << false;
        QTest::newRow("factory before the digits") << "lumiwand_factory16.exe" << 16 << 16 << 96 << 2050 << true;
        QTest::newRow("factory after the digits") << "lumiwand16_factory.exe" << 32 << 32 << 128 << 2 << true;
        QTest::newRow("mode word keeps the digits") << "/x/setup_Lumiwand_exp11" << 11 << 16 << 96 << 2050
                                                    << false;
        QTest::newRow("folders play no part") << "/home/a.16/factory/Lumiwand48" << 48 << 48 << 288 << 2 << false;
        QTest::newRow("name of one letter") << "/bin/x" << 32 << 32 << 128 << 2 << false;
    }
    void editionFromTheInvokedName()
    {
        QFETCH(QString, path);
        const store::EditionParameters edition = store::deriveEdition(path);
        QTEST(edition.ledCount, "ledCount");
        QTEST(edition.pictureWidth, "pictureWidth");
        QTEST(edition.maxBannerWidth, "maxBannerWidth");
        QTEST(edition.defaultSpeed, "defaultSpeed");
        QTEST(edition.factoryMode, "factory");
        QVERIFY(edition.versionLabel.isEmpty());
    }

    void versionLabel_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("label");
        QTest::newRow("four parts") << "0.9.9.6" << "  Ver 0.996";
        QTest::newRow("build version") << "1.0.0.0" << "  Ver 1.000";
        QTest::newRow("no dot") << "7" << "  Ver 7";
        QTest::newRow("zero") << "0" << "";
        QTest::newRow("empty") << "" << "";
    }
    void versionLabel()
    {
        QFETCH(QString, version);
        QTEST(store::versionLabel(version), "label");
    }

    void caption()
    {
        store::EditionParameters edition = store::deriveEdition("Lumiwand_factory16");
        edition.versionLabel = store::versionLabel("0.9.9.6");
        QCOMPARE(store::mainWindowCaption(edition), "Lumiwand16  Ver 0.996 (Factory Mode)");
        edition.factoryMode = false;
        edition.versionLabel.clear();
        QCOMPARE(store::mainWindowCaption(edition), "Lumiwand16");
    }

    void elevenLedWorkspaceWithItsStarterProject()
    {
        QTemporaryDir documents;
        const store::Workspace workspace = store::prepareWorkspace(documents.path(), 11, 16);
        const QString root = documents.path() + "/MyLumiwand/";
        QCOMPARE(workspace.rootFolder, root);
        QCOMPARE(workspace.exportFolder, root + "11Export/");
        QCOMPARE(workspace.projectsFolder, root + "11MyLumiwandProjects/");
        QCOMPARE(workspace.clipsFolder, root + "11Clips/");
        QCOMPARE(workspace.settingsFile, root + "Lumiwand.ini");
        for (const QString& folder : {workspace.exportFolder, workspace.projectsFolder, workspace.clipsFolder})
            QVERIFY(QDir(folder).exists());

        QFile starter(workspace.projectsFolder + "QuickStart.ini");
        QVERIFY(starter.open(QIODevice::ReadOnly));
        QCOMPARE(starter.readAll(), QByteArray("[DIMENSION]\r\nPICTURE_WIDTH=16\r\nPICTURE_HEIGHT=11\r\n"
                                               "[SUMMARY]\r\nTOTAL_PICTURES=0\r\nMOVIE_INTERVAL=160\r\n"));
    }

    void starterProjectIsRecreatedButNeverTouched()
    {
        QTemporaryDir documents;
        store::Workspace workspace = store::prepareWorkspace(documents.path(), 16, 16);
        const QString starter = workspace.projectsFolder + "QuickStart.ini";
        store::IniFile(starter).writeInteger("SUMMARY", "MOVIE_INTERVAL", 40);
        store::prepareWorkspace(documents.path(), 16, 16);
        QCOMPARE(store::Project(starter).movieInterval(), 40);
        QFile::remove(starter);
        store::prepareWorkspace(documents.path(), 16, 16);
        QCOMPARE(store::Project(starter).movieInterval(), 160);
        QCOMPARE(store::Project(starter).width(), 16);
        QFile(starter).resize(0); // what a start on a full disk once left
        store::prepareWorkspace(documents.path(), 16, 16);
        QCOMPARE(store::Project(starter).width(), 16);
    }

    void startOnAFullDiskLeavesNoEmptyStarterProject()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("mounting a small tmpfs needs root");
        store::prepareWorkspace(disk.path("docs"), 16, 16);
        const QString starter = disk.path("docs/MyLumiwand/16MyLumiwandProjects/QuickStart.ini");
        QFile::remove(starter);
        disk.fill();
        store::prepareWorkspace(disk.path("docs"), 16, 16);
        QVERIFY(!QFile::exists(starter));
        QFile::remove(disk.path("filler"));
        store::prepareWorkspace(disk.path("docs"), 16, 16);
        QCOMPARE(store::Project(starter).width(), 16);
    }

    void editionsShareTheSettingsButNotTheirFolders()
    {
        QTemporaryDir documents;
        const store::Workspace w16 = store::prepareWorkspace(documents.path(), 16, 16);
        const store::Workspace w48 = store::prepareWorkspace(documents.path(), 48, 48);
        QCOMPARE(w16.settingsFile, w48.settingsFile);
        QVERIFY(w16.projectsFolder != w48.projectsFolder);
        QVERIFY(w16.clipsFolder != w48.clipsFolder);
    }

    void settings()
    {
        QTemporaryDir documents;
        const QString file = documents.filePath("MyLumiwand/Lumiwand.ini");
        QCOMPARE(store::readUserLanguage(file), -1);
        QCOMPARE(store::readStartWithWizard(file), 1);
        store::ensureFolderPath(documents.filePath("MyLumiwand"));
        store::writeUserLanguage(file, 1041);
        store::writeStartWithWizard(file, false);
        QCOMPARE(store::readUserLanguage(file), 1041);
        QCOMPARE(store::readStartWithWizard(file), 0);
        store::IniFile(file).writeString("SETTING", "USER_LANGUAGE", "garbage");
        QCOMPARE(store::readUserLanguage(file), -1);
    }

    void privateTempFolderIsClosedToOthers()
    {
        const QString folder = store::privateTempFolder();
        QVERIFY(folder.endsWith('/'));
        struct stat info {};
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &info), 0);
        QVERIFY(S_ISDIR(info.st_mode));
        QCOMPARE(info.st_mode & 0077, 0u);
    }

    // The usual per-user folder is taken (not private): a fresh one is made and is gone when the program ends.
    void freshTempFolderIsRemovedAtExit()
    {
        QTemporaryDir tmp;
        const QByteArray usual = QFile::encodeName(tmp.path() + QStringLiteral("/lumiwand-%1").arg(::getuid()));
        QVERIFY(::mkdir(usual.constData(), 0755) == 0);
        int channel[2];
        QVERIFY(::pipe(channel) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::unsetenv("XDG_RUNTIME_DIR");
            ::setenv("TMPDIR", QFile::encodeName(tmp.path()).constData(), 1);
            const QByteArray folder = QFile::encodeName(store::privateTempFolder());
            if (::write(channel[1], folder.constData(), size_t(folder.size())) != folder.size())
                ::_exit(2);
            std::exit(0);
        }
        ::close(channel[1]);
        char buffer[4096];
        const ssize_t got = ::read(channel[0], buffer, sizeof buffer);
        ::close(channel[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(got > 0);
        const QString fresh = QFile::decodeName(QByteArray(buffer, int(got)));
        QVERIFY2(fresh.startsWith(QFile::decodeName(usual) + u'-'), qPrintable(fresh));
        QVERIFY(!QFileInfo::exists(fresh));
        QVERIFY(QFileInfo(QFile::decodeName(usual)).isDir()); // someone else's folder is left alone
    }

    // A start clears what killed processes left: temporary files of whole-file writes that no writer holds, and
    // the staged pictures of imports that died (moved in when a project names them, else deleted with their
    // records). A file being written, the user's own hidden files and the rest stay.
    void startClearsWhatKilledProcessesLeft()
    {
        QTemporaryDir documents;
        store::Workspace workspace = store::prepareWorkspace(documents.path(), 16, 16);
        const QString clips = workspace.clipsFolder;
        const auto touch = [](const QString& path) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
        };
        touch(clips + ".heart.bmp.a1B2c3");
        touch(workspace.projectsFolder + ".Show.ini.Zz9yX8");
        touch(workspace.exportFolder + ".Show.lwd.q0q0q0");
        touch(workspace.rootFolder + ".Lumiwand.ini.abcdef");
        touch(clips + ".notes.backup");    // not one of the program's
        touch(clips + ".star.bmp.inWork"); // held by a writer
        const int writer = ::open(QFile::encodeName(clips + ".star.bmp.inWork").constData(), O_RDONLY);
        QVERIFY(writer >= 0 && ::flock(writer, LOCK_EX) == 0);

        QVERIFY(QDir().mkpath(clips + ".import.k3k3k3"));
        touch(clips + ".import.k3k3k3/Show_Clip000.bmp");   // the project names it: the import was written
        touch(clips + ".import.k3k3k3/Other_Clip000.bmp");  // no project does: the import died before
        {
            store::IniFile catalogue(clips + "Clip.ini");
            catalogue.writeString("CLASSIFY", "Other_Clip000.bmp", "0,,,");
            store::IniFile show(workspace.projectsFolder + "Show.ini");
            show.writeString("PICTURE", "PICTURE_0", "Show_Clip000.bmp");
        }

        workspace = store::prepareWorkspace(documents.path(), 16, 16);
        ::close(writer);
        const auto hidden = [](const QString& folder) {
            return QDir(folder).entryList({".*"}, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        QCOMPARE(hidden(clips), (QStringList{".notes.backup", ".star.bmp.inWork"}));
        QCOMPARE(hidden(workspace.projectsFolder), QStringList());
        QCOMPARE(hidden(workspace.exportFolder), QStringList());
        QCOMPARE(hidden(workspace.rootFolder), QStringList{".lock"});
        QVERIFY(QFile::exists(clips + "Show_Clip000.bmp"));
        QVERIFY(!QFile::exists(clips + "Other_Clip000.bmp"));
        QVERIFY(!store::IniFile(clips + "Clip.ini").valueExists("CLASSIFY", "Other_Clip000.bmp"));
    }

    void ensureFolderPathCreatesEveryParent()
    {
        QTemporaryDir base;
        store::ensureFolderPath(base.path() + "/a/b/c/");
        QVERIFY(QDir(base.path() + "/a/b/c").exists());
        store::ensureFolderPath(base.path() + "/a/b/c/"); // exists: nothing happens
    }
};

QTEST_GUILESS_MAIN(TestWorkspace)
#include "tst_Workspace.moc"
