#include "deviceimage/BannerSave.h"
#include "deviceimage/ImageCompiler.h"
#include "deviceimage/ImageToProject.h"
#include "deviceimage/TimingRecords.h"
#include "messages/Status.h"
#include "store/LibraryCatalogue.h"
#include "store/WorkspaceLock.h"
#include "tests/deviceimage/ImageFixture.h"

#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

using deviceimage::CompileMode;
using deviceimage::ImportResult;
using deviceimage::ImportStatus;
using deviceimage::compileImage;
using deviceimage::importImage;

namespace {

imaging::LitGrid gridOf(const QString& path)
{
    const imaging::PictureLoad load = imaging::loadPicture(path);
    return load.ok() ? load.picture.litGrid(imaging::LitRule::LitByLuminance) : imaging::LitGrid();
}

QByteArray build(const ImageFixture& f, const QString& project, int type)
{
    store::Project p(f.projectPath(project));
    return compileImage(CompileMode::Build, type, &p, f.context).image;
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList pictureNames(const store::Project& project)
{
    QStringList names;
    for (int k = 0; k < project.totalPictures(); ++k)
        names << project.pictureName(k);
    return names;
}

// A one-picture image of a 1-column, 16-row picture lit at the top, with the given link words.
QByteArray onePicture(int word0, int word2, int word3 = 160, int movieInterval = 160)
{
    QByteArray image(20, '\0');
    image[0] = 1;
    image[1] = 16;
    deviceimage::writeWord(image, 2, 20);
    deviceimage::writeWord(image, 4, 18);
    deviceimage::writeWord(image, 6, word0);
    deviceimage::writeWord(image, 8, 0x0802);
    deviceimage::writeWord(image, 10, word2);
    deviceimage::writeWord(image, 12, word3);
    deviceimage::writeWord(image, 14, 4);
    deviceimage::writeWord(image, 16, movieInterval);
    image[18] = char(0x80);
    return image;
}

} // namespace

class tst_ImageToProject : public QObject {
    Q_OBJECT

private slots:
    void buildThenImportGivesTheSameImage_data();
    void buildThenImportGivesTheSameImage();
    void badImagesWriteNothing_data();
    void badImagesWriteNothing();
    void mergeAddsOnlyNewIndeliblePictures();
    void groupsNumberedAfterTheHighest();
    void tickerTopDownAndIntervals();
    void torchPicture();
    void clipNumbersNeverOverwrite();
    void writeFailureIsReported();
    void fullDiskImportTakesBackWhatItWrote();
    void fullDiskAtTheProjectWriteChangesNothing();
    void bannerTakeBackSparesAnotherWriter();
};

void tst_ImageToProject::buildThenImportGivesTheSameImage_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("type");
    QTest::newRow("16 LEDs, fan stick") << 16 << 3;
    QTest::newRow("16 LEDs, visually inviting") << 16 << 1;
    QTest::newRow("16 LEDs, roll") << 16 << 4;
    QTest::newRow("11 LEDs") << 11 << 3;
    QTest::newRow("24 LEDs") << 24 << 3;
    QTest::newRow("32 LEDs") << 32 << 6;
    QTest::newRow("48 LEDs") << 48 << 7;
}

void tst_ImageToProject::buildThenImportGivesTheSameImage()
{
    QFETCH(int, leds);
    QFETCH(int, type);
    ImageFixture f(leds);
    const int h = leds;
    QList<QPoint> marks{{0, 0}, {1, h - 1}, {2, h / 2}, {5, 3}};
    f.picture("a.bmp", 6, h, marks);
    f.picture("b.bmp", h, h, {{0, 1}, {h - 1, h - 2}});
    f.picture("c.bmp", 3, h, {{1, 1}});
    f.picture("banner.bmp", f.context.edition.maxBannerWidth, h, {{7, 0}, {60, h - 1}});
    f.picture("blank.bmp", 70, h);
    f.filledPicture("LumiwandTorch.bmp", h, h);
    f.records({"a.bmp;770", "b.bmp;2050", "c.bmp;3", "banner.bmp;2", "blank.bmp;515"},
              {"a.bmp;7", "b.bmp;11", "c.bmp;-1", "banner.bmp;3", "blank.bmp;0", "LumiwandTorch.bmp;9"});
    f.project("Demo", h, h,
              {"a.bmp t1", "b.bmp g1", "b.bmp g1 i", "b.bmp g1", "banner.bmp t3", "blank.bmp", "LumiwandTorch.bmp i",
               "a.bmp g2", "c.bmp g2 t2"},
              {"MOVIE_INTERVAL=96", "TICKER_SPEED=6", "MVG_SPEED1=40", "MVG_SPEED2=-8"});

    const QByteArray image = build(f, "Demo", type);
    QVERIFY(!image.isEmpty());
    const ImportResult result = importImage(image, "Copy", nullptr, type, f.context);
    QCOMPARE(int(result.status), int(ImportStatus::Done));
    QCOMPARE(result.added, 9);

    // Pictures, flags, groups and their intervals, movie interval and ticker speed all come back: the copy
    // compiles to the same bytes. Type 1 stores no shift, and type 4 stores the FP value unhalved.
    const QByteArray again = build(f, "Copy", type);
    if (type == 4) {
        QCOMPARE(again.size(), image.size());
        return;
    }
    QCOMPARE(hexOf(again), hexOf(image));

    store::Project copy(f.projectPath("Copy"));
    QCOMPARE(copy.width(), h);
    QCOMPARE(copy.height(), h);
    QCOMPARE(pictureNames(copy), QStringList({"Copy_Clip000.bmp", "Copy_Clip001.bmp", "Copy_Clip002.bmp",
                                              "Copy_Clip003.bmp", "Copy_Clip004.bmp", "Copy_Clip005.bmp",
                                              "LumiwandTorch.bmp", "Copy_Clip006.bmp", "Copy_Clip007.bmp"}));
    QCOMPARE(gridOf(f.clips() + "Copy_Clip000.bmp"), gridOf(f.clips() + "a.bmp"));
    QCOMPARE(gridOf(f.clips() + "Copy_Clip004.bmp").width(), 54); // the banner's lit columns 7..60
    QCOMPARE(copy.groupInterval(1), 40);
    QCOMPARE(copy.groupInterval(2), deviceimage::kMovieIntervalMarker);
    QVERIFY(copy.indelible(2));
    QCOMPARE(copy.ticker(4), 3);

    // Filed in a new library named like the project.
    store::LibraryCatalogue catalogue(f.clips());
    const int library = catalogue.libraryNumber("Copy");
    QVERIFY(library >= 0);
    QCOMPARE(catalogue.memberships("Copy_Clip003.bmp"), QList<int>{library});
    QVERIFY(catalogue.memberships("LumiwandTorch.bmp").isEmpty());
}

void tst_ImageToProject::badImagesWriteNothing_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<int>("status");

    const int damaged = int(ImportStatus::Damaged);
    QTest::newRow("empty") << "" << damaged;
    QTest::newRow("shorter than a header") << "01 10 09 00 12 00 01 00 02" << damaged;
    QTest::newRow("TotalBytes says more than there is") << "01 10 16 00 12 00 01 00 02 08 14 00 A0 00 04 00 A0 00 "
                                                           "80 00" << damaged;
    QTest::newRow("no pictures") << "00 10 0A 00 0A 00 04 00 A0 00" << int(ImportStatus::NoPictures);
    QTest::newRow("height 0") << "01 00 14 00 12 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00"
                              << int(ImportStatus::WrongDimension);
    QTest::newRow("height flag alone") << "01 80 14 00 12 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00"
                                       << int(ImportStatus::WrongDimension);
    QTest::newRow("PatternStart past the end") << "01 10 14 00 FF 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00"
                                               << damaged;
    QTest::newRow("PatternStart disagrees with the count")
        << "02 10 14 00 12 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00" << damaged;
    QTest::newRow("count says more links than the image holds")
        << "FF 10 14 00 12 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00" << damaged;
    QTest::newRow("width 0") << "01 10 12 00 12 00 00 00 02 08 14 00 A0 00 04 00 A0 00" << damaged;
    QTest::newRow("width points past the end") << "01 10 14 00 12 00 FF 0F 02 08 14 00 A0 00 04 00 A0 00 80 00"
                                               << damaged;
    QTest::newRow("bytes left over") << "01 10 16 00 12 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00 00 00"
                                     << damaged;
    // 97 columns in the 16-LED edition, whose banners have 96.
    QTest::newRow("wider than a banner")
        << "01 10 D4 00 12 00 61 00 02 08 14 00 A0 00 04 00 A0 00 " + QString("00 ").repeated(194).trimmed()
        << int(ImportStatus::TooWide);
}

void tst_ImageToProject::badImagesWriteNothing()
{
    QFETCH(QString, hex);
    QFETCH(int, status);
    ImageFixture f(16);

    const ImportResult result = importImage(bytesOf(hex), "Show", nullptr, 3, f.context);
    QCOMPARE(int(result.status), status);
    QVERIFY(!messages::succeeded(result.status));
    QVERIFY(messageId(result.status) >= 690 && messageId(result.status) <= 692);
    QCOMPARE(folderEntries(f.projects()), QStringList());
    QCOMPARE(folderEntries(f.clips()), QStringList());
}

void tst_ImageToProject::mergeAddsOnlyNewIndeliblePictures()
{
    ImageFixture f(16);
    // On the stick: "heart" (indelible), "star" (indelible), "moon" (not indelible).
    f.picture("heart.bmp", 5, 16, {{0, 0}, {4, 15}});
    f.picture("star.bmp", 3, 16, {{1, 1}});
    f.picture("moon.bmp", 2, 16, {{0, 5}});
    f.project("Stick", 16, 16, {"heart.bmp i", "star.bmp i", "moon.bmp"});
    const QByteArray image = build(f, "Stick", 3);

    // The project holds the heart as the editor saves it: a full-width banner with blank margins, which the stick
    // shows as the same five columns.
    f.picture("myheart.bmp", 96, 16, {{20, 0}, {24, 15}});
    f.project("Mine", 16, 16, {"myheart.bmp i"}, {"MOVIE_INTERVAL=40"});
    store::Project mine(f.projectPath("Mine"));

    ImportResult result = importImage(image, QString(), &mine, 3, f.context);
    QCOMPARE(int(result.status), int(ImportStatus::Done));
    QCOMPARE(result.projectName, "Mine");
    QCOMPARE(result.added, 1);
    QCOMPARE(pictureNames(mine), QStringList({"myheart.bmp", "Mine_Clip000.bmp"}));
    QVERIFY(mine.indelible(1));
    QCOMPARE(gridOf(f.clips() + "Mine_Clip000.bmp"), gridOf(f.clips() + "star.bmp"));
    QCOMPARE(mine.movieInterval(), 160); // the stick's movie interval replaces the project's

    // Merging the same stick again adds nothing: the star is held now.
    result = importImage(image, QString(), &mine, 3, f.context);
    QCOMPARE(result.added, 0);
    QCOMPARE(mine.totalPictures(), 2);
    QVERIFY(!QFile::exists(f.context.workspace.tempFolder + "lumiwandtemp.tmp"));

    // A picture that is held but not indelible in the project does not count.
    mine.setIndelible(1, false);
    QCOMPARE(importImage(image, QString(), &mine, 3, f.context).added, 1);
}

void tst_ImageToProject::groupsNumberedAfterTheHighest()
{
    ImageFixture f(16);
    f.picture("dot.bmp", 1, 16, {{0, 0}});
    f.project("Source", 16, 16, {"dot.bmp g1", "dot.bmp g1", "dot.bmp g1", "dot.bmp", "dot.bmp g7", "dot.bmp g7"},
              {"MVG_SPEED1=64", "MVG_SPEED7=24"});
    const QByteArray image = build(f, "Source", 3);
    f.project("Show", 16, 16, {"dot.bmp g4", "dot.bmp g2"});

    const ImportResult result = importImage(image, "Show", nullptr, 3, f.context);
    QCOMPARE(result.added, 6);
    store::Project show(f.projectPath("Show"));
    QList<int> groups;
    for (int k = 0; k < show.totalPictures(); ++k)
        groups << show.group(k);
    QCOMPARE(groups, QList<int>({4, 2, 5, 5, 5, 0, 6, 6}));
    QCOMPARE(show.groupInterval(5), 64);
    QCOMPARE(show.groupInterval(6), 24);
}

void tst_ImageToProject::tickerTopDownAndIntervals()
{
    ImageFixture f(16);
    // Ticker bits 3, shift word 2 x 9 + 4 on a fan stick (9 + 2 for the ticker), interval 3 x 50.
    const ImportResult result = importImage(onePicture(0x3001, 22, 150, 480), "T", nullptr, 3, f.context);
    QCOMPARE(int(result.status), int(ImportStatus::Done));
    store::Project t(f.projectPath("T"));
    QCOMPARE(t.ticker(0), 3);
    QCOMPARE(t.group(0), 0);
    QCOMPARE(t.movieInterval(), 160);
    QCOMPARE(t.tickerSpeed(), 4);
    deviceimage::TimingRecords timing(f.clips(), f.context.edition);
    QCOMPARE(timing.lookupShift("T_Clip000.bmp"), 9);
    QCOMPARE(timing.lookupSpeed("T_Clip000.bmp"), 0x0802);
    // The default speed and the image's "no shift" (20) are not recorded.
    importImage(onePicture(0x0001, 40), "U", nullptr, 3, f.context);
    store::IniFile catalogue(f.clips() + "Clip.ini");
    QCOMPARE(catalogue.readString("SHIFT", "SHIFT_VALUE1"), QString());
    QCOMPARE(catalogue.readInteger("SUMMARY", "TOTAL_CLIPS", 0), 0);
}

void tst_ImageToProject::torchPicture()
{
    ImageFixture f(16);
    // No torch picture in the clips folder yet: one is drawn, 16 x 16 all lit; the stick's columns are not kept.
    ImportResult result = importImage(onePicture(0xC001, 40), "Show", nullptr, 3, f.context);
    QCOMPARE(result.added, 1);
    store::Project show(f.projectPath("Show"));
    QCOMPARE(pictureNames(show), QStringList{"LumiwandTorch.bmp"});
    QVERIFY(show.indelible(0));
    const imaging::LitGrid torch = gridOf(f.clips() + "LumiwandTorch.bmp");
    QCOMPARE(torch.width(), 16);
    QCOMPARE(torch.toRows().join(""), QString(256, u'#'));
    QCOMPARE(folderEntries(f.clips()), QStringList{"LumiwandTorch.bmp"});

    result = importImage(onePicture(0x8001, 40), "Show", nullptr, 3, f.context);
    QCOMPARE(show.totalPictures(), 2);

    // A 16-row image in the 32-LED edition: no 16 x 16 torch is drawn among the edition's 32 x 32 pictures.
    ImageFixture wide(32);
    QCOMPARE(importImage(onePicture(0xC001, 40), "Show", nullptr, 3, wide.context).added, 0);
    QVERIFY(!QFile::exists(wide.clips() + "LumiwandTorch.bmp"));
}

void tst_ImageToProject::clipNumbersNeverOverwrite()
{
    ImageFixture f(16);
    f.picture("Show_Clip001.bmp", 2, 16, {{1, 1}}); // someone else's file in the way
    const QByteArray image = onePicture(0x0001, 40);
    QCOMPARE(importImage(image, "Show", nullptr, 3, f.context).added, 1);
    QCOMPARE(importImage(image, "Show", nullptr, 3, f.context).added, 1);
    QCOMPARE(importImage(image, "Show", nullptr, 3, f.context).added, 1);
    store::Project show(f.projectPath("Show"));
    QCOMPARE(pictureNames(show), QStringList({"Show_Clip000.bmp", "Show_Clip002.bmp", "Show_Clip003.bmp"}));
    QCOMPARE(gridOf(f.clips() + "Show_Clip001.bmp").width(), 2);

    // An existing library of the same name (any case) is used, not made again.
    store::LibraryCatalogue catalogue(f.clips());
    QCOMPARE(catalogue.totalLibraries(), 1);
    QCOMPARE(catalogue.membershipText("Show_Clip003.bmp"), "0,,,");
    store::IniFile(f.clips() + "Clip.ini").writeString("LIBRARY", "LIB_0", "SHOW");
    importImage(image, "Show", nullptr, 3, f.context);
    QCOMPARE(catalogue.totalLibraries(), 1);

    // A project name a picture file name cannot hold whole still gives storable picture names.
    QCOMPARE(importImage(image, ".odd;name=1", nullptr, 3, f.context).added, 1);
    QCOMPARE(pictureNames(store::Project(f.projectPath(".odd;name=1"))), QStringList{"_odd_name_1_Clip000.bmp"});

    // Project names that cannot name a file are refused.
    QCOMPARE(int(importImage(image, "../Show", nullptr, 3, f.context).status), int(ImportStatus::BadName));
    QCOMPARE(int(importImage(image, "", nullptr, 3, f.context).status), int(ImportStatus::BadName));
    // A name whose project file (and its temporary file) the file system cannot hold, refused before any write.
    const QStringList before = folderEntries(f.clips());
    QCOMPARE(int(importImage(image, QString(250, u'n'), nullptr, 3, f.context).status), int(ImportStatus::BadName));
    QCOMPARE(folderEntries(f.clips()), before);
}

void tst_ImageToProject::writeFailureIsReported()
{
    ImageFixture f(16);
    // The catalogue cannot be written (a folder stands in its place): the first picture is in, then the import
    // stops at its speed record and says so.
    QDir().mkpath(f.clips() + "Clip.ini");
    QByteArray image = onePicture(0x0001, 40);
    deviceimage::writeWord(image, 8, 0x0302);
    ImportResult result = importImage(image, "Show", nullptr, 3, f.context);
    QCOMPARE(int(result.status), int(ImportStatus::WriteFailed));
    QVERIFY(result.errorText.startsWith("Unable to write to "));
    QCOMPARE(result.added, 0);
    // What it wrote is taken back: the picture and the project it made.
    QVERIFY(!QFile::exists(f.clips() + "Show_Clip000.bmp"));
    QVERIFY(!QFile::exists(f.projectPath("Show")));

    // A project file that cannot be made: nothing else is written.
    QDir().mkpath(f.projectPath("Blocked"));
    result = importImage(image, "Blocked", nullptr, 3, f.context);
    QCOMPARE(int(result.status), int(ImportStatus::WriteFailed));
    QVERIFY(!QFile::exists(f.clips() + "Blocked_Clip000.bmp"));

    // A target of another height is refused whole.
    f.project("Tall", 32, 32, {}, {"MOVIE_INTERVAL=40"});
    result = importImage(image, "Tall", nullptr, 3, f.context);
    QCOMPARE(int(result.status), int(ImportStatus::WrongDimension));
    QCOMPARE(store::Project(f.projectPath("Tall")).movieInterval(), 40);
}

// Three pictures as wide as the edition's banners into an existing project on a disk with room for one and a
// half: the first picture is written, the second fails, and the import leaves the clips folder and the project
// as they were.
void tst_ImageToProject::fullDiskImportTakesBackWhatItWrote()
{
    SmallDisk disk;
    if (!disk.mounted())
        QSKIP("mounting a small tmpfs needs root");
    ImageFixture f(16);
    f.context.workspace = store::workspaceFor(disk.path("docs"), 16);
    QDir().mkpath(f.clips());
    QDir().mkpath(f.projects());
    store::createProject(f.projectPath("Show"), 16, 16);
    const QByteArray projectBefore = fileContents(f.projectPath("Show"));

    const int count = 3, width = f.context.edition.maxBannerWidth;
    QByteArray image(10 + 8 * count + count * width * 2, '\0');
    image[0] = char(count);
    image[1] = 16;
    deviceimage::writeWord(image, 2, int(image.size()));
    deviceimage::writeWord(image, 4, 10 + 8 * count);
    for (int k = 0; k < count; ++k) {
        deviceimage::writeWord(image, 6 + 8 * k, width);
        deviceimage::writeWord(image, 8 + 8 * k, 0x0802);
        deviceimage::writeWord(image, 10 + 8 * k, 20);
        deviceimage::writeWord(image, 12 + 8 * k, 160);
    }
    deviceimage::writeWord(image, 6 + 8 * count, 4);
    deviceimage::writeWord(image, 8 + 8 * count, 160);

    struct statvfs space {};
    QVERIFY(::statvfs(QFile::encodeName(f.clips()).constData(), &space) == 0);
    const qint64 pictureBytes = (62 + (width + 31) / 32 * 4 * 16 + 4095) / 4096 * 4096; // in whole pages
    writeFile(disk.path("filler"), QByteArray(qint64(space.f_bavail) * space.f_frsize - pictureBytes * 3 / 2, 'x'));

    const ImportResult result = importImage(image, "Show", nullptr, 3, f.context);
    QCOMPARE(int(result.status), int(ImportStatus::WriteFailed));
    QCOMPARE(folderEntries(f.clips()), QStringList());
    QCOMPARE(fileContents(f.projectPath("Show")), projectBefore);
}

// 120 pictures into a new project on a disk with room for the empty project but not for the whole one: the last
// write of the import fails, and no picture, catalogue record or project is left.
void tst_ImageToProject::fullDiskAtTheProjectWriteChangesNothing()
{
    SmallDisk disk;
    if (!disk.mounted())
        QSKIP("mounting a small tmpfs needs root");
    ImageFixture f(16);
    f.context.workspace.projectsFolder = disk.path("projects") + "/";
    QDir().mkpath(f.projects());
    f.picture("old.bmp", 4, 16);
    deviceimage::TimingRecords(f.clips(), f.context.edition).storeSpeed("old.bmp", 7);
    const QByteArray catalogueBefore = fileContents(f.clips() + "Clip.ini");

    const int count = 120;
    QByteArray image(10 + 8 * count + count * 2, '\0');
    image[0] = char(count);
    image[1] = 16;
    deviceimage::writeWord(image, 2, int(image.size()));
    deviceimage::writeWord(image, 4, 10 + 8 * count);
    for (int k = 0; k < count; ++k) {
        deviceimage::writeWord(image, 6 + 8 * k, 1);
        deviceimage::writeWord(image, 8 + 8 * k, 0x0302); // not the default speed: a speed record each
        deviceimage::writeWord(image, 10 + 8 * k, 20);
        deviceimage::writeWord(image, 12 + 8 * k, 160);
        image[10 + 8 * count + 2 * k] = char(k);
    }
    deviceimage::writeWord(image, 6 + 8 * count, 4);
    deviceimage::writeWord(image, 8 + 8 * count, 160);

    struct statvfs space {};
    QVERIFY(::statvfs(QFile::encodeName(f.projects()).constData(), &space) == 0);
    writeFile(disk.path("filler"), QByteArray(qint64(space.f_bavail) * space.f_frsize - 6144, 'x'));

    const ImportResult result = importImage(image, "Show", nullptr, 3, f.context);
    QCOMPARE(int(result.status), int(ImportStatus::WriteFailed));
    QCOMPARE(result.errorText, "Unable to write to " + f.projectPath("Show"));
    const auto everything = [](const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    };
    QCOMPARE(everything(f.projects()), QStringList());
    QCOMPARE(everything(f.clips()), (QStringList{"Clip.ini", "old.bmp"}));
    QCOMPARE(fileContents(f.clips() + "Clip.ini"), catalogueBefore);
}

// Banners that do not fit the stick are taken back while another process keeps appending entries to the same
// project: every entry of the other process stays, and no banner's does.
void tst_ImageToProject::bannerTakeBackSparesAnotherWriter()
{
    ImageFixture f(16);
    const QString lockFile = f.dir.filePath("lock");
    store::WorkspaceLock::useLockFile(lockFile);
    f.picture("heart.bmp", 16, 16, {{0, 0}});
    const int before = 100, appended = 100; // 40 bytes each: far beyond the stick's 2048
    const QStringList hearts(before, "heart.bmp");
    f.project("Full", 16, 16, hearts);
    const pid_t child = ::fork();
    if (child == 0) {
        store::WorkspaceLock::useLockFile(lockFile); // a lock of its own, as another program has
        store::Project project(f.projectPath("Full"));
        for (int k = 0; k < appended; ++k) {
            store::appendEntry(project, f.clips(), "heart.bmp", 0, 0, 0, false);
            ::usleep(3000);
        }
        ::_exit(0);
    }
    imaging::LitGrid banner(96, 16);
    for (int x = 0; x < 96; ++x)
        banner.setLit(x, x % 16);
    store::Project project(f.projectPath("Full"));
    for (int round = 0; round < 40; ++round)
        QCOMPARE(int(deviceimage::keepBanner(f.context, project, banner, "Wide", "", true).status),
                 int(deviceimage::BannerStatus::StickTooSmall));
    int status = 0;
    ::waitpid(child, &status, 0);
    store::WorkspaceLock::useLockFile(QString());
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const store::Project full(f.projectPath("Full"));
    QCOMPARE(full.totalPictures(), before + appended);
    QCOMPARE(pictureNames(full), QStringList(before + appended, "heart.bmp"));
}

QTEST_GUILESS_MAIN(tst_ImageToProject)
#include "tst_ImageToProject.moc"
