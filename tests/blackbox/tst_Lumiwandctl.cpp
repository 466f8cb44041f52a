#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "store/LibraryCatalogue.h"
#include "store/Project.h"
#include "store/Workspace.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

imaging::LitGrid gridOf(const QString& path)
{
    return imaging::loadPicture(path).picture.litGrid(imaging::LitRule::LitByLuminance);
}

} // namespace

// The built lumiwandctl on a fresh HOME: a project counted, exported and imported again.
class tst_Lumiwandctl : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    store::Workspace workspace_;

    Run lumiwandctl(const QStringList& arguments)
    {
        QProcess process;
        start(process, arguments);
        if (!process.waitForFinished(30000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    // ordinaryUser: as a user without special rights, this one or "nobody" when the test runs as root (who may
    // open any file for writing).
    void start(QProcess& process, const QStringList& arguments, const QString& home = {}, bool ordinaryUser = false)
    {
        const QString in = home.isEmpty() ? home_.path() : home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", in);
        environment.insert("XDG_CONFIG_HOME", in + "/.config");
        environment.remove("XDG_DOCUMENTS_DIR");
        environment.insert("LC_ALL", "C.UTF-8");
        if (ordinaryUser && ::geteuid() == 0) {
            environment.remove("XDG_RUNTIME_DIR");
            process.setProcessEnvironment(environment);
            process.start("setpriv", QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", LUMIWANDCTL,
                                                 "--edition", "16"} + arguments);
            return;
        }
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(LUMIWANDCTL), QStringList{"--edition", "16"} + arguments);
    }

    QString projectPath(const QString& name) const { return workspace_.projectsFolder + name + ".ini"; }

    Run lumiwandctlIn(const QString& home, const QStringList& arguments)
    {
        QProcess process;
        start(process, arguments, home);
        if (!process.waitForFinished(30000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    // Every file and folder under a folder, hidden ones included, with the files' contents.
    static QMap<QString, QByteArray> snapshot(const QString& folder)
    {
        QMap<QString, QByteArray> entries;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            entries.insert(path, it.fileInfo().isDir() ? QByteArray("<folder>") : fileContents(path));
        }
        return entries;
    }

    // An exported project of `count` entries of heart.bmp.
    QString exportedHearts(const QString& name, int count)
    {
        store::createProject(projectPath(name), 16, 16);
        store::Project project(projectPath(name));
        {
            store::IniFile::WriteBatch batch(project.ini());
            for (int k = 0; k < count; ++k)
                store::appendEntry(project, workspace_.clipsFolder, "heart.bmp", 0, 0, 0, false);
        }
        const QString path = home_.path() + "/" + name + ".lwd";
        return lumiwandctl({"export", name, path}).status == 0 ? path : QString();
    }

    void picture(const QString& name, const QStringList& rows)
    {
        QVERIFY(imaging::savePicture(imaging::LitGrid::fromRows(rows), workspace_.clipsFolder, name,
                                     imaging::ExistingFile::Replace)
                    .ok());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home_.isValid());
        workspace_ = store::workspaceFor(home_.path() + "/Documents", 16);
        QDir().mkpath(workspace_.projectsFolder);
        QDir().mkpath(workspace_.clipsFolder);

        const QStringList rows(16, QString(16, u'.'));
        QStringList heart = rows, star = rows, wide = QStringList(16, QString(60, u'.'));
        heart[2] = "..##....##......";
        heart[3] = ".####..####.....";
        heart[15] = "###############.";
        star[0] = "#...............";
        star[8] = "........#.......";
        wide[5] = QString(10, u'.') + QString(30, u'#');
        picture("heart.bmp", heart);
        picture("star.bmp", star);
        picture("wide.bmp", wide);

        deviceimage::TimingRecords timing(workspace_.clipsFolder, store::deriveEdition("Lumiwand16"));
        timing.storeSpeed("heart.bmp", 770);
        timing.storeShift("heart.bmp", 12);
        timing.storeShift("star.bmp", 30);
        timing.storeShift("wide.bmp", 4);

        store::createProject(projectPath("Demo"), 16, 16);
        store::Project demo(projectPath("Demo"));
        const QStringList names{"heart.bmp", "star.bmp", "star.bmp", "wide.bmp"};
        for (int k = 0; k < names.size(); ++k)
            QCOMPARE(store::appendEntry(demo, workspace_.clipsFolder, names[k], 0, 0, 0, false), store::AppendStatus::Ok);
        demo.setIndelible(0, true);
        demo.setGroup(1, 1);
        demo.setGroup(2, 1);
        demo.setGroupInterval(1, 48);
        demo.setTicker(3, 2);
        demo.setMovieInterval(240);
        demo.setTickerSpeed(7);
    }

    void countExportImport()
    {
        const Run count = lumiwandctl({"count", "Demo"});
        QCOMPARE(count.status, 0);
        // 4 pictures: 16 + 16 + 16 + 30 columns of 2 bytes after a 42-byte header.
        QCOMPARE(count.out, "pictures: 4\nbytes: 198\nfree bytes: 1850\nfree characters: 77\n");

        const QString exported = home_.path() + "/demo.lwd";
        QCOMPARE(lumiwandctl({"export", "Demo", exported}).status, 0);
        QCOMPARE(fileContents(exported).size(), 198);
        QCOMPARE(lumiwandctl({"import", exported, "--name", "Copy"}).status, 0);

        // The copy holds the same pictures with the same attributes...
        store::Project demo(projectPath("Demo"));
        store::Project copy(projectPath("Copy"));
        QCOMPARE(copy.totalPictures(), 4);
        QCOMPARE(copy.movieInterval(), 240);
        QCOMPARE(copy.tickerSpeed(), 7);
        deviceimage::TimingRecords timing(workspace_.clipsFolder, store::deriveEdition("Lumiwand16"));
        for (int k = 0; k < 4; ++k) {
            const QString original = demo.pictureName(k);
            const QString imported = copy.pictureName(k);
            QCOMPARE(imported, QString("Copy_Clip%1.bmp").arg(k, 3, 10, QChar(u'0')));
            if (original != "wide.bmp")
                QCOMPARE(gridOf(workspace_.clipsFolder + imported), gridOf(workspace_.clipsFolder + original));
            QCOMPARE(copy.indelible(k), demo.indelible(k));
            QCOMPARE(copy.group(k), demo.group(k));
            QCOMPARE(copy.ticker(k), demo.ticker(k));
            QCOMPARE(timing.lookupSpeed(imported), timing.lookupSpeed(original));
            QCOMPARE(timing.lookupShift(imported), timing.lookupShift(original));
        }
        QCOMPARE(copy.groupInterval(1), 48);
        // ...the banner by its lit columns...
        QCOMPARE(gridOf(workspace_.clipsFolder + "Copy_Clip003.bmp").toRows()[5], QString(30, u'#'));
        // ...and exports to the same bytes.
        const QString again = home_.path() + "/copy.lwd";
        QCOMPARE(lumiwandctl({"export", "Copy", again}).status, 0);
        QCOMPARE(fileContents(again), fileContents(exported));
        QVERIFY(store::LibraryCatalogue(workspace_.clipsFolder).libraryNumber("Copy") >= 0);

        // The file's own name, added to the existing project of that name; another device type.
        QFile::copy(exported, home_.path() + "/Copy.v2.bin");
        const Run added = lumiwandctl({"import", home_.path() + "/Copy.v2.bin"});
        QCOMPARE(added.status, 0);
        QCOMPARE(added.out.trimmed(), messages::formatMessage(688, "Copy").trimmed());
        QCOMPARE(store::Project(projectPath("Copy")).totalPictures(), 8);
        QCOMPARE(lumiwandctl({"export", "Demo", exported, "--type", "1"}).status, 0);
        QCOMPARE(quint8(fileContents(exported)[1]), quint8(0x90));
        // Only the types of real sticks.
        for (const char* type : {"0", "2", "5", "8", "x"}) {
            QVERIFY(lumiwandctl({"export", "Demo", home_.path() + "/none.lwd", "--type", type}).status != 0);
            QVERIFY(!QFile::exists(home_.path() + "/none.lwd"));
        }
    }

    // Two lumiwandctl imports into one project at once, 20 times: every entry of both is kept, each with a
    // picture file of its own.
    void importsAtOnceLoseNothing()
    {
        const QString exported = home_.path() + "/shared.lwd";
        QCOMPARE(lumiwandctl({"export", "Demo", exported}).status, 0);
        for (int round = 0; round < 20; ++round) {
            QProcess first, second;
            start(first, {"import", exported, "--name", "Shared"});
            start(second, {"import", exported, "--name", "Shared"});
            QVERIFY(first.waitForFinished(30000) && second.waitForFinished(30000));
            QCOMPARE(first.exitCode(), 0);
            QCOMPARE(second.exitCode(), 0);
        }
        store::Project shared(projectPath("Shared"));
        QCOMPARE(shared.totalPictures(), 2 * 20 * 4);
        QSet<QString> names;
        for (int k = 0; k < shared.totalPictures(); ++k) {
            names.insert(shared.pictureName(k));
            QVERIFY(QFile::exists(workspace_.clipsFolder + shared.pictureName(k)));
        }
        QCOMPARE(names.size(), 2 * 20 * 4);
    }

    // A lock file this user may only read (left by a run as root) still makes concurrent imports take turns; one
    // that cannot be opened at all stops the command, naming it, before anything is written.
    void readOnlyLockFileStillSerialises()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        ::chmod(QFile::encodeName(home.path()).constData(), 0777);
        const QString exported = home.path() + "/shared.lwd";
        QCOMPARE(lumiwandctl({"export", "Demo", exported}).status, 0);
        const auto run = [&](const QStringList& arguments) {
            QProcess process;
            start(process, arguments, home.path(), true);
            process.waitForFinished(30000);
            return Run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
        };
        run({"count", "QuickStart"}); // makes the workspace
        const store::Workspace workspace = store::workspaceFor(home.path() + "/Documents", 16);
        const QString lock = workspace.rootFolder + ".lock";
        QVERIFY(QFile::exists(lock));
        QVERIFY(::chmod(QFile::encodeName(lock).constData(), 0444) == 0);

        for (int round = 0; round < 8; ++round) {
            QProcess imports[3];
            for (QProcess& import : imports)
                start(import, {"import", exported, "--name", "Shared"}, home.path(), true);
            for (QProcess& import : imports) {
                QVERIFY(import.waitForFinished(30000));
                QCOMPARE(import.exitCode(), 0);
            }
        }
        const QString shared = workspace.projectsFolder + "Shared.ini";
        QCOMPARE(store::Project(shared).totalPictures(), 8 * 3 * 4);

        QVERIFY(::chmod(QFile::encodeName(lock).constData(), 0) == 0);
        const QByteArray before = fileContents(shared);
        const QStringList clips = QDir(workspace.clipsFolder).entryList(QDir::Files | QDir::Hidden);
        const Run refused = run({"import", exported, "--name", "Shared"});
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains(lock), qPrintable(refused.err));
        QCOMPARE(fileContents(shared), before);
        QCOMPARE(QDir(workspace.clipsFolder).entryList(QDir::Files | QDir::Hidden), clips);
    }

    // With the catalogue unreadable, import and banner say they could not write it and change no file, so that
    // trying again adds nothing twice; once it can be read, the import adds its entries once.
    void unreadableCatalogueChangesNothing()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString exported = home.path() + "/demo.lwd";
        QCOMPARE(lumiwandctl({"export", "Demo", exported}).status, 0);
        lumiwandctlIn(home.path(), {"count", "QuickStart"}); // makes the workspace
        const store::Workspace workspace = store::workspaceFor(home.path() + "/Documents", 16);
        const QString copy = workspace.projectsFolder + "Copy.ini";
        store::createProject(copy, 16, 16);
        const QString catalogue = workspace.clipsFolder + "Clip.ini";
        QVERIFY(QDir().mkpath(catalogue)); // a folder in its place: it exists but cannot be read
        const QMap<QString, QByteArray> before = snapshot(workspace.rootFolder);
        for (int attempt = 0; attempt < 2; ++attempt) {
            const Run import = lumiwandctlIn(home.path(), {"import", exported, "--name", "Copy"});
            QCOMPARE(import.status, 1);
            QVERIFY2(import.err.trimmed().endsWith("Unable to write to " + catalogue), qPrintable(import.err));
            const Run banner = lumiwandctlIn(home.path(), {"banner", "Hello", "--project", "Copy"});
            QCOMPARE(banner.status, 1);
            QVERIFY2(banner.err.trimmed().endsWith("Unable to write to " + catalogue), qPrintable(banner.err));
            QCOMPARE(snapshot(workspace.rootFolder), before);
        }
        QVERIFY(QDir(catalogue).removeRecursively());
        QCOMPARE(lumiwandctlIn(home.path(), {"import", exported, "--name", "Copy"}).status, 0);
        QCOMPARE(store::Project(copy).totalPictures(), 4);
    }

    // An export that fails leaves the catalogue as it was, although its build found a picture without a shift
    // value; the export that succeeds stores that value.
    void failedExportLeavesTheCatalogue()
    {
        picture("plain.bmp", QStringList(16, "#..............."));
        store::createProject(projectPath("Plain"), 16, 16);
        store::Project plain(projectPath("Plain"));
        QCOMPARE(store::appendEntry(plain, workspace_.clipsFolder, "plain.bmp", 0, 0, 0, false),
                 store::AppendStatus::Ok);
        const QString catalogue = workspace_.clipsFolder + "Clip.ini";
        const QByteArray before = fileContents(catalogue);
        const Run failed = lumiwandctl({"export", "Plain", home_.path() + "/no/such/folder/plain.lwd"});
        QCOMPARE(failed.status, 1);
        QCOMPARE(fileContents(catalogue), before);
        QCOMPARE(lumiwandctl({"export", "Plain", home_.path() + "/plain.lwd"}).status, 0);
        QVERIFY(fileContents(catalogue) != before);
    }

    // An import killed at any moment leaves, after the next start, either all of its pictures with the project's
    // entries or none of them: never a picture that no project names, nor a temporary file.
    void killedImportLeavesNothingHalfDone()
    {
        const QString exported = exportedHearts("Hearts", 120);
        QVERIFY(!exported.isEmpty());
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(lumiwandctlIn(home.path(), {"import", exported, "--name", "Killed"}).status, 0);
        const qint64 whole = timer.elapsed();
        const store::Workspace workspace = store::workspaceFor(home.path() + "/Documents", 16);
        for (int round = 0; round < 12; ++round) {
            QProcess import;
            start(import, {"import", exported, "--name", "Killed"}, home.path());
            QVERIFY(import.waitForStarted());
            QThread::msleep(static_cast<unsigned long>(whole * (round + 1) / 12));
            ::kill(pid_t(import.processId()), SIGKILL);
            import.waitForFinished();
            lumiwandctlIn(home.path(), {"count", "Killed"}); // the next start

            const store::Project killed(workspace.projectsFolder + "Killed.ini");
            QStringList named;
            for (int k = 0; k < killed.totalPictures(); ++k)
                named << killed.pictureName(k);
            named.sort();
            const QStringList pictures = QDir(workspace.clipsFolder).entryList({"Killed_*"}, QDir::Files, QDir::Name);
            QCOMPARE(pictures, named);
            QCOMPARE(named.size() % 120, 0);
            for (const QString& folder : {workspace.clipsFolder, workspace.projectsFolder})
                QCOMPARE(QDir(folder).entryList({".*"}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                         QStringList());
        }
    }

    // A banner that does not fit the stick is taken back without touching the entries another command adds to
    // the same project meanwhile.
    void bannerTakeBackSparesAnotherWritersEntries()
    {
        const QString one = exportedHearts("OneHeart", 1);
        QVERIFY(!one.isEmpty());
        const int before = 200; // 40 bytes each, far beyond the stick: counting them takes a while
        exportedHearts("Full", before);
        const int rounds = 30;
        for (int round = 0; round < rounds; ++round) {
            QProcess banner, import;
            start(banner, {"banner", "Overflow", "--project", "Full"});
            QThread::msleep(static_cast<unsigned long>(round % 10) * 25); // the import lands at varying moments
            start(import, {"import", one, "--name", "Full"});
            QVERIFY(banner.waitForFinished(30000) && import.waitForFinished(30000));
            QCOMPARE(banner.exitCode(), 1);
            QCOMPARE(import.exitCode(), 0);
        }
        const store::Project full(projectPath("Full"));
        QCOMPARE(full.totalPictures(), before + rounds);
        QSet<QString> imported;
        for (int k = before; k < full.totalPictures(); ++k) {
            QVERIFY2(full.pictureName(k).startsWith("Full_Clip"), qPrintable(full.pictureName(k)));
            imported.insert(full.pictureName(k));
        }
        QCOMPARE(imported.size(), rounds);
    }

    void errorsAreTheCataloguesTexts()
    {
        const Run missing = lumiwandctl({"count", "Nothing"});
        QCOMPARE(missing.status, 1);
        QCOMPARE(missing.err.trimmed(), messages::lookupMessage(673));

        const QString damaged = home_.path() + "/damaged.lwd";
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromHex("01103400120010000208140000E0010400E001"));
        file.close();
        const Run refused = lumiwandctl({"import", damaged});
        QCOMPARE(refused.status, 1);
        QCOMPARE(refused.err.trimmed(), messages::lookupMessage(690));
        QVERIFY(!QFile::exists(projectPath("damaged")));

        store::createProject(projectPath("Empty"), 16, 16);
        const Run empty = lumiwandctl({"export", "Empty", home_.path() + "/empty.bin"});
        QCOMPARE(empty.status, 1);
        QCOMPARE(empty.err.trimmed(), messages::lookupMessage(680));
        QCOMPARE(lumiwandctl({"export", "Empty"}).status, 2);
    }

    void convertWritesWhatTheImportWould()
    {
        // A black-and-white picture of exactly 96 x 16 comes back cell for cell; a damaged one is refused.
        QStringList rows(16, QString(96, u'.'));
        rows[3] = QString(40, u'#') + QString(56, u'.');
        rows[12] = QString(90, u'.') + QString(6, u'#');
        picture("source.bmp", rows);
        const QString out = home_.path() + "/converted.bmp";
        const Run run = lumiwandctl({"convert", workspace_.clipsFolder + "source.bmp", out});
        QCOMPARE(run.status, 0);
        QCOMPARE(imaging::loadPicture(out).picture.litGrid(imaging::LitRule::LitBelow).toRows(), rows);

        writeFile(home_.path() + "/broken.jpg", "no picture");
        const Run broken = lumiwandctl({"convert", home_.path() + "/broken.jpg", home_.path() + "/never.bmp"});
        QCOMPARE(broken.status, 1);
        QVERIFY(broken.err.contains(messages::lookupMessage(409)));
        QVERIFY(!QFile::exists(home_.path() + "/never.bmp"));
    }

    void bannerSavesNumberedFilesIntoTheProject()
    {
        store::createProject(projectPath("Banners"), 16, 16);
        const Run first = lumiwandctl({"banner", "Hello", "--project", "Banners"});
        QCOMPARE(first.status, 0);
        QVERIFY(first.out.startsWith("Hello.bmp\n"));
        const Run second = lumiwandctl({"banner", "Hello", "--project", "Banners"});
        QVERIFY(second.out.startsWith("Hello0.bmp\n"));
        const store::Project project(projectPath("Banners"));
        QCOMPARE(project.totalPictures(), 2);
        QCOMPARE(imaging::loadPicture(workspace_.clipsFolder + "Hello.bmp").picture.size(), QSize(96, 16));
        QVERIFY(!store::LibraryCatalogue(workspace_.clipsFolder).readBannerText("Hello0.bmp").isEmpty());
        QCOMPARE(lumiwandctl({"banner", "   ", "--project", "Banners"}).status, 1);
        QCOMPARE(store::Project(projectPath("Banners")).totalPictures(), 2);
    }
};

QTEST_GUILESS_MAIN(tst_Lumiwandctl)
#include "tst_Lumiwandctl.moc"
