#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "store/LibraryCatalogue.h"
#include "store/Project.h"
#include "store/Workspace.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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

    void start(QProcess& process, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home_.path());
        environment.insert("XDG_CONFIG_HOME", home_.path() + "/.config");
        environment.remove("XDG_DOCUMENTS_DIR");
        environment.insert("LC_ALL", "C.UTF-8");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(LUMIWANDCTL), QStringList{"--edition", "16"} + arguments);
    }

    QString projectPath(const QString& name) const { return workspace_.projectsFolder + name + ".ini"; }

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
        QVERIFY(broken.err.startsWith(messages::lookupMessage(409)));
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
