#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/LibraryCatalogue.h"
#include "store/Project.h"
#include "store/Workspace.h"
#include "tests/support/GifWriter.h"
#include "tests/support/TestFiles.h"
#include "Version.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
    QByteArray rawOut; // standard output as bytes, for a command that writes a file there
};

// What a command's output path is made to be before it runs.
enum class Target { Link, LinkChain, DanglingLink, Fifo, CharacterDevice, StandardOutput };

bool isFifo(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

bool isCharacterDevice(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

imaging::LitGrid gridOf(const QString& path)
{
    return imaging::loadPicture(path).picture.litGrid(imaging::LitRule::LitByLuminance);
}

} // namespace

Q_DECLARE_METATYPE(Target)

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
        const QByteArray out = process.readAllStandardOutput();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, QString::fromUtf8(out),
                QString::fromUtf8(process.readAllStandardError()), out};
    }

    // lumiwandctl with `input` on its standard input; its output kept as bytes.
    Run piped(const QStringList& arguments, const QByteArray& input, QByteArray* output)
    {
        QProcess process;
        start(process, arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000))
            return {};
        *output = process.readAllStandardOutput();
        return {process.exitCode(), {}, QString::fromUtf8(process.readAllStandardError()), {}};
    }

    static QString oneLine(unsigned id, const QString& name)
    {
        return messages::formatMessage(id, "lumiwandctl", qPrintable(name), "lumiwandctl") + u'\n';
    }

    static QString manualPage()
    {
        return QString::fromUtf8(fileContents(QStringLiteral(LUMIWAND_SOURCE_DIR "/packaging/man/lumiwandctl.1")))
            .remove(u'\\');
    }

    // ordinaryUser: as a user without special rights, this one or "nobody" when the test runs as root (who may
    // open any file for writing).
    void start(QProcess& process, const QStringList& arguments, const QString& home = {}, bool ordinaryUser = false)
    {
        QProcessEnvironment environment = environmentIn(home.isEmpty() ? home_.path() : home);
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

    static QProcessEnvironment environmentIn(const QString& home)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home);
        environment.insert("XDG_CONFIG_HOME", home + "/.config");
        environment.remove("XDG_DOCUMENTS_DIR");
        environment.insert("LC_ALL", "C.UTF-8");
        return environment;
    }

    // A program other than the built lumiwandctl, on the test's HOME, for the 16-LED edition.
    Run runProgram(const QString& program, const QStringList& arguments, QProcessEnvironment environment)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, QStringList{"--edition", "16"} + arguments);
        if (!process.waitForFinished(30000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError()), {}};
    }

    QString projectPath(const QString& name) const { return workspace_.projectsFolder + name + ".ini"; }

    Run lumiwandctlIn(const QString& home, const QStringList& arguments)
    {
        QProcess process;
        start(process, arguments, home);
        if (!process.waitForFinished(30000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError()), {}};
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
                       QString::fromUtf8(process.readAllStandardError()), {}};
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
                QVERIFY2(import.exitCode() == 0, import.readAllStandardError().constData());
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

    // export and convert write through a symbolic link (the file it points to is replaced whole, the link stays),
    // into a FIFO and a character device as they are, and to standard output for "-".
    void outputGoesWhereTheTargetLeads_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<Target>("target");
        QTest::newRow("export through a link") << "export" << Target::Link;
        QTest::newRow("export through a relative link to a link") << "export" << Target::LinkChain;
        QTest::newRow("export through a link to no file yet") << "export" << Target::DanglingLink;
        QTest::newRow("export onto a FIFO") << "export" << Target::Fifo;
        QTest::newRow("export onto a character device") << "export" << Target::CharacterDevice;
        QTest::newRow("export to standard output") << "export" << Target::StandardOutput;
        QTest::newRow("convert through a link") << "convert" << Target::Link;
        QTest::newRow("convert onto a FIFO") << "convert" << Target::Fifo;
    }

    void outputGoesWhereTheTargetLeads()
    {
        QFETCH(QString, command);
        QFETCH(Target, target);
        QStringList rows(16, QString(96, u'.'));
        rows[7] = QString(50, u'#') + QString(46, u'.');
        picture("linked.bmp", rows);
        const auto arguments = [&](const QString& output) {
            return command == "export" ? QStringList{"export", "Demo", output}
                                       : QStringList{"convert", workspace_.clipsFolder + "linked.bmp", output};
        };
        QTemporaryDir dir;
        const QString reference = dir.filePath("reference");
        QCOMPARE(lumiwandctl(arguments(reference)).status, 0);
        const QByteArray expected = fileContents(reference);
        QVERIFY(!expected.isEmpty());

        const QString real = dir.filePath("real.out");
        const QString output = target == Target::StandardOutput ? QStringLiteral("-") : dir.filePath("output");
        int reader = -1;
        switch (target) {
        case Target::Link:
            writeFile(real, "old content");
            QVERIFY(QFile::link("real.out", output));
            break;
        case Target::LinkChain:
            writeFile(real, "old content");
            QVERIFY(QFile::link("real.out", dir.filePath("middle")));
            QVERIFY(QFile::link("middle", output));
            break;
        case Target::DanglingLink:
            QVERIFY(QFile::link("real.out", output));
            break;
        case Target::Fifo:
            QCOMPARE(::mkfifo(QFile::encodeName(output).constData(), 0600), 0);
            reader = ::open(QFile::encodeName(output).constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(reader >= 0);
            break;
        case Target::CharacterDevice:
            if (::mknod(QFile::encodeName(output).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("no right to make a device node here");
            break;
        case Target::StandardOutput:
            break;
        }

        const Run run = lumiwandctl(arguments(output));
        QCOMPARE(run.status, 0);
        switch (target) {
        case Target::Link:
        case Target::LinkChain:
        case Target::DanglingLink:
            QVERIFY(QFileInfo(output).isSymLink());
            QCOMPARE(fileContents(real), expected);
            break;
        case Target::Fifo: {
            QVERIFY(isFifo(output));
            QByteArray received(expected.size() + 1, '\0');
            QCOMPARE(::read(reader, received.data(), size_t(received.size())), ssize_t(expected.size()));
            ::close(reader);
            QCOMPARE(received.left(expected.size()), expected);
            break;
        }
        case Target::CharacterDevice:
            QVERIFY(isCharacterDevice(output));
            break;
        case Target::StandardOutput:
            QCOMPARE(run.rawOut, expected);
            QVERIFY(run.err.contains(messages::lookupMessage(681)));
            break;
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files | QDir::System).filter(".output."), {});
    }

    // A folder (or a socket, a block device) in the output's place is refused, and stays as it was.
    void outputIntoAFolderIsRefused()
    {
        QTemporaryDir dir;
        const Run run = lumiwandctl({"export", "Demo", dir.path()});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err.trimmed(), messages::formatMessage(6080, dir.path().toUtf8().constData()));
        QVERIFY(QFileInfo(dir.path()).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), {});
    }

    // Counts of 2^31 - 1 in a project or the catalogue: each command bounds its walks by what the file holds,
    // finishes, and puts its entries where readers find them.
    void hostileCountsAreBoundedByTheFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("command");
        for (const char* command : {"import", "import-gif", "banner"}) {
            QTest::addRow("TOTAL_PICTURES, %s", command) << "project" << "TOTAL_PICTURES" << command;
            QTest::addRow("TOTAL_LIBRARIES, %s", command) << "catalogue" << "TOTAL_LIBRARIES" << command;
            QTest::addRow("TOTAL_SHIFT_CLIPS, %s", command) << "catalogue" << "TOTAL_SHIFT_CLIPS" << command;
            QTest::addRow("TOTAL_CLIPS, %s", command) << "catalogue" << "TOTAL_CLIPS" << command;
        }
    }
    void hostileCountsAreBoundedByTheFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, key);
        QFETCH(QString, command);
        const QString catalogue = workspace_.clipsFolder + "Clip.ini";
        const QByteArray catalogueBefore = fileContents(catalogue);
        const auto restore = qScopeGuard([&] { writeFile(catalogue, catalogueBefore); });
        QFile::remove(projectPath("Hostile"));
        store::createProject(projectPath("Hostile"), 16, 16);
        {
            store::Project project(projectPath("Hostile"));
            QCOMPARE(store::appendEntry(project, workspace_.clipsFolder, "heart.bmp", 0, -1, -1, false),
                     store::AppendStatus::Ok);
        }
        store::IniFile(file == "project" ? projectPath("Hostile") : catalogue).writeInteger("SUMMARY", key, 2147483647);

        const QString exported = home_.path() + "/hostile.lwd";
        const QString gif = home_.path() + "/Hop.gif";
        writeFile(gif, testgif::makeGif(QSize(16, 16), testgif::columnFrames(QSize(16, 16), 2), 100));
        QCOMPARE(lumiwandctl({"export", "Demo", exported}).status, 0);
        const QStringList arguments = command == "import"       ? QStringList{"import", exported, "--name", "Hostile"}
                                      : command == "import-gif" ? QStringList{"import-gif", gif, "--project", "Hostile"}
                                                                : QStringList{"banner", "Hi", "--project", "Hostile"};
        const Run run = lumiwandctl(arguments);
        QVERIFY2(run.status == 0, qPrintable(run.err));

        const int added = command == "import" ? 4 : command == "import-gif" ? 2 : 1;
        const store::Project project(projectPath("Hostile"));
        QCOMPARE(project.totalPictures(), 1 + added);
        for (int k = 0; k < 1 + added; ++k)
            QVERIFY2(QFile::exists(workspace_.clipsFolder + project.pictureName(k)), qPrintable(project.pictureName(k)));
        if (command != "banner") // the importers file their pictures in a library named like the project
            QVERIFY(store::LibraryCatalogue(workspace_.clipsFolder).libraryNumber("Hostile") >= 0);
    }

    // A project name of 4-byte characters is cut for its pictures' file names between characters: the entries
    // name the files written, with no U+FFFD and no "?" in either.
    void namesOfFourByteCharacters()
    {
        // 241 bytes, a usable project name; its pictures' base name is cut to 200 bytes, which the 4-byte
        // characters after the "a" do not fill exactly.
        const QString name = "a" + QString::fromUcs4(U"\U0001F600").repeated(60);
        const QString exported = home_.path() + "/faces.lwd";
        QCOMPARE(lumiwandctl({"export", "Demo", exported}).status, 0);
        const Run run = lumiwandctl({"import", exported, "--name", name});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const store::Project project(projectPath(name));
        QCOMPARE(project.totalPictures(), 4);
        for (int k = 0; k < 4; ++k) {
            const QString entry = project.pictureName(k);
            QVERIFY2(!entry.contains(QChar(0xFFFD)) && !entry.contains(u'?'), qPrintable(entry));
            QVERIFY2(QFile::exists(workspace_.clipsFolder + entry), qPrintable(entry));
            QVERIFY(entry.startsWith("a" + QString::fromUcs4(U"\U0001F600")));
        }
        for (const QString& file : QDir(workspace_.clipsFolder).entryList(QDir::Files))
            QVERIFY2(!file.contains(QChar(0xFFFD)) && !file.contains(u'?'), qPrintable(file));
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

    // The command line as a table: what is printed where, and the exit status. Every run starts with
    // "--edition 16".
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // the beginning of standard output
        QTest::addColumn<QString>("err"); // the whole of standard error

        const QString toolUsage = "Usage: lumiwandctl [OPTIONS] COMMAND [ARGUMENTS]\n";
        QTest::newRow("help") << QStringList{"--help"} << 0 << toolUsage << "";
        QTest::newRow("short help") << QStringList{"-h"} << 0 << toolUsage << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "lumiwandctl " LUMIWAND_VERSION "\n" << "";
        QTest::newRow("command help") << QStringList{"count", "--help"} << 0 << "Usage: lumiwandctl count PROJECT\n"
                                      << "";
        QTest::newRow("command help after its arguments")
            << QStringList{"export", "Demo", "-h"} << 0 << "Usage: lumiwandctl export PROJECT FILE [--type N]\n" << "";
        QTest::newRow("unknown option") << QStringList{"--frobnicate", "info"} << 2 << ""
                                        << oneLine(msg::UnknownOption, "--frobnicate");
        QTest::newRow("unknown short option") << QStringList{"-x", "info"} << 2 << "" << oneLine(msg::UnknownOption, "-x");
        QTest::newRow("command's option before the command")
            << QStringList{"--type", "3", "count", "Demo"} << 2 << "" << oneLine(msg::UnknownOption, "--type");
        QTest::newRow("unknown option of a command")
            << QStringList{"count", "Demo", "--bogus"} << 2 << "" << oneLine(msg::UnknownOption, "--bogus");
        QTest::newRow("option without its value") << QStringList{"--edition"} << 2 << ""
                                                  << oneLine(msg::OptionNeedsValue, "--edition");
        QTest::newRow("command's option without its value")
            << QStringList{"export", "Demo", "x.lwd", "--type"} << 2 << "" << oneLine(msg::OptionNeedsValue, "--type");
        QTest::newRow("switch given a value") << QStringList{"--factory=yes", "info"} << 2 << ""
                                              << oneLine(msg::OptionTakesNoValue, "--factory");
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << ""
                                         << oneLine(msg::UnknownCommand, "frobnicate");
        QTest::newRow("no command") << QStringList{} << 2 << ""
                                    << messages::formatMessage(msg::CommandMissing, "lumiwandctl", "lumiwandctl") + "\n";
        QTest::newRow("too many arguments") << QStringList{"count", "Demo", "More"} << 2 << ""
                                            << "Usage: lumiwandctl count PROJECT\n";
        QTest::newRow("too few arguments") << QStringList{"convert", "in.bmp"} << 2 << ""
                                           << "Usage: lumiwandctl convert IMAGE OUT.bmp [--fit trim|stretch|aspect] "
                                              "[--mode text|picture] [--threshold N] [--crop X,Y]\n";
        QTest::newRow("value in the option") << QStringList{"export", "Demo", "--type=9", "x.lwd"} << 2 << ""
                                             << "Usage: lumiwandctl export PROJECT FILE [--type N]\n";
        QTest::newRow("-- ends the options") << QStringList{"count", "--", "--help"} << 1 << ""
                                             << messages::lookupMessage(msg::NoProjectSelected) + "\n";
        QTest::newRow("a command runs") << QStringList{"count", "Demo"} << 0 << "pictures: 4\n" << "";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Run run = lumiwandctl(arguments);
        QCOMPARE(run.err, err);
        QVERIFY2(out.isEmpty() ? run.out.isEmpty() : run.out.startsWith(out), qPrintable(run.out));
        QCOMPARE(run.status, status);
    }

    // Every command the tool lists has its help, and the manual page names it and each of its options.
    void everyCommandHasHelpAndManualPage()
    {
        const QString page = manualPage();
        const Run tool = lumiwandctl({"--help"});
        const QString commandsSection = tool.out.section("Commands:\n", 1).section("\n\n", 0, 0);
        QStringList names;
        for (const QString& row : commandsSection.split(u'\n', Qt::SkipEmptyParts))
            names << row.trimmed().section(u' ', 0, 0);
        QVERIFY2(names.size() >= 11, qPrintable(tool.out));
        QStringList options = tool.out.section("Options:\n", 1).section("\n\n", 0, 0).split(u'\n');
        for (const QString& name : names) {
            const Run help = lumiwandctl({name, "--help"});
            QCOMPARE(help.status, 0);
            QVERIFY2(help.out.startsWith("Usage: lumiwandctl " + name), qPrintable(help.out));
            QVERIFY2(page.contains(".BI " + name) || page.contains(".B " + name), qPrintable(name));
            options += help.out.section("Options:\n", 1).split(u'\n');
        }
        for (const QString& row : options) {
            const QString option = row.trimmed().section(u' ', 0, 0).remove(u',');
            if (option.startsWith("--"))
                QVERIFY2(page.contains(option), qPrintable(option + " is not in the manual page"));
        }
    }

    // Export to standard output and import from standard input make a pipe; standard input needs --name, and a
    // stream that is no project image imports nothing.
    void importFromStandardInput()
    {
        QByteArray image;
        QCOMPARE(piped({"export", "Demo", "-"}, {}, &image).status, 0);
        QCOMPARE(image.size(), 198);
        QByteArray output;
        QCOMPARE(piped({"import", "-", "--name", "Piped"}, image, &output).status, 0);
        QCOMPARE(QString::fromUtf8(output).trimmed(), messages::formatMessage(688, "Piped").trimmed());
        QCOMPARE(store::Project(projectPath("Piped")).totalPictures(), 4);

        QCOMPARE(piped({"import", "-"}, image, &output).status, 2);
        const Run garbage = piped({"import", "-", "--name", "Garbage"}, "not a project image", &output);
        QCOMPARE(garbage.status, 1);
        QVERIFY(!QFile::exists(projectPath("Garbage")));
    }

    // "-" is standard input and standard output for convert; a failed decode writes nothing.
    void convertThroughStandardStreams()
    {
        QStringList rows(16, QString(96, u'.'));
        rows[1] = QString(20, u'#') + QString(76, u'.');
        rows[14] = QString(70, u'.') + QString(26, u'#');
        const QByteArray bmp = imaging::encodeBmp(imaging::LitGrid::fromRows(rows));
        QByteArray output;

        const Run both = piped({"convert", "-", "-"}, bmp, &output);
        QCOMPARE(both.status, 0);
        QCOMPARE(imaging::decodePicture(output).picture.litGrid(imaging::LitRule::LitBelow).toRows(), rows);
        QVERIFY(both.err.startsWith("-: 96 x 16"));

        const QString out = home_.path() + "/from-stdin.bmp";
        QCOMPARE(piped({"convert", "-", out}, bmp, &output).status, 0);
        QCOMPARE(fileContents(out), QByteArray(bmp));
        QVERIFY(output.startsWith("/"));

        writeFile(home_.path() + "/stdout-source.bmp", bmp);
        QCOMPARE(piped({"convert", home_.path() + "/stdout-source.bmp", "-"}, {}, &output).status, 0);
        QCOMPARE(output, bmp);

        const Run broken = piped({"convert", "-", "-"}, "no picture", &output);
        QCOMPARE(broken.status, 1);
        QVERIFY(output.isEmpty());
        QVERIFY(broken.err.startsWith(messages::lookupMessage(msg::ImportFileOpenError)));
    }

    // info runs in lumiwandctl itself, which loads no picture, font or window library; every other command line
    // goes to lumiwandctl-commands with its arguments, standard streams and exit status unchanged.
    void infoLoadsNoPictureLibraries()
    {
        QProcessEnvironment environment = environmentIn(home_.path());
        environment.insert("LD_DEBUG", "files");
        const Run info = runProgram(QStringLiteral(LUMIWANDCTL), {"info"}, environment);
        QCOMPARE(info.status, 0);
        QVERIFY(info.out.startsWith("edition: 16\n"));
        QVERIFY2(info.err.contains("libQt6Core"), qPrintable(info.err)); // the loader's trace is there
        for (const char* library : {"libQt6Gui", "libQt6Widgets", "libjpeg", "libexif", "libudev", "libfontconfig"})
            QVERIFY2(!info.err.contains(library), library);
    }

    // Without lumiwandctl-commands beside it (or in an installation's private folder), lumiwandctl still runs
    // info and says which program it could not start for the others.
    void missingCommandsProgramIsReported()
    {
        QTemporaryDir alone;
        const QString copy = alone.filePath("lumiwandctl");
        QVERIFY(QFile::copy(QStringLiteral(LUMIWANDCTL), copy));
        const auto run = [&](const QStringList& arguments) {
            return runProgram(copy, arguments, environmentIn(home_.path()));
        };
        QVERIFY(run({"info"}).out.startsWith("edition: 16\n"));
        const Run count = run({"count", "Demo"});
        QCOMPARE(count.status, 1);
        QVERIFY(count.out.isEmpty());
        const QString missing = QFileInfo(alone.path()).canonicalFilePath() + "/../lib/lumiwand/lumiwandctl-commands";
        QCOMPARE(count.err, messages::formatMessage(msg::CommandsProgramNotStarted, "lumiwandctl", qPrintable(missing),
                                                    std::strerror(ENOENT)) + u'\n');
    }
};

QTEST_GUILESS_MAIN(tst_Lumiwandctl)
#include "tst_Lumiwandctl.moc"
