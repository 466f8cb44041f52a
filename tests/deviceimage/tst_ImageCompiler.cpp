#include "deviceimage/ImageCompiler.h"
#include "messages/MessageCatalogue.h"
#include "store/ProjectList.h"
#include "tests/deviceimage/ImageFixture.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QImage>
#include <QTest>

using deviceimage::CompileMode;
using deviceimage::CompileResult;
using deviceimage::ImageFigures;
using deviceimage::ImageLimit;
using deviceimage::compileImage;

namespace {

struct Recorder : deviceimage::CompileListener {
    QList<ImageFigures> told;
    void imageCompiled(const ImageFigures& figures) override { told.append(figures); }
};

// The pictures every case may use (16 rows unless named otherwise).
void drawPictures(const ImageFixture& f)
{
    f.filledPicture("full.bmp", 16, 16);
    f.picture("marks.bmp", 4, 16, {{0, 0}, {1, 8}, {3, 15}});
    f.picture("dot.bmp", 1, 16, {{0, 0}});
    f.picture("nos.bmp", 1, 16, {{0, 0}});
    f.picture("wide.bmp", 40, 16, {{5, 0}, {9, 15}});
    f.picture("blank.bmp", 40, 16);
    f.picture("low.bmp", 16, 11);
    f.filledPicture("LUMIWANDTORCH.BMP", 1, 16);
    f.filledPicture("eleven.bmp", 16, 11);
}

const QStringList kSpeeds{"full.bmp;2050", "marks.bmp;770", "dot.bmp;2050", "nos.bmp;2050", "wide.bmp;2050",
                          "blank.bmp;2050", "LUMIWANDTORCH.BMP;1", "eleven.bmp;2050"};
const QStringList kShifts{"full.bmp;10", "marks.bmp;7", "dot.bmp;3", "nos.bmp;", "wide.bmp;5", "blank.bmp;5",
                          "LUMIWANDTORCH.BMP;0", "eleven.bmp;10"};

} // namespace

class tst_ImageCompiler : public QObject {
    Q_OBJECT

private slots:
    void exactBytes_data();
    void exactBytes();
    void wideBannerColumnsFromTheRight();
    void startCountsAgainstTheBannerWidth();
    void colouredPixelsByLuminance();
    void countReadsPalettesAsBuildReadsPixels();
    void countLooksUpNothing();
    void figuresAndNothingToCompile();
    void limitsAreRefused_data();
    void limitsAreRefused();
    void entriesOutsideTheClipsFolderAreUnreadable_data();
    void entriesOutsideTheClipsFolderAreUnreadable();
    void aPictureNamedOftenIsReadOnce();
};

void tst_ImageCompiler::exactBytes_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("height");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("speeds");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("simplified");
    QTest::addColumn<QString>("expected");

    const QStringList none;
    const QString fullColumns = QString("FF ").repeated(32).trimmed();
    QTest::newRow("worked example, type 3")
        << 16 << 16 << QStringList{"full.bmp"} << none << kSpeeds << 3 << false
        << "01 10 32 00 12 00 10 00 02 08 14 00 E0 01 04 00 E0 01 " + fullColumns;
    QTest::newRow("worked example, type 1")
        << 16 << 16 << QStringList{"full.bmp"} << none << kSpeeds << 1 << false
        << "01 90 32 00 12 00 10 00 02 08 14 00 A0 00 04 00 A0 00 " + fullColumns;

    // marks.bmp: 4 columns; lit at column 0 row 0, column 1 row 8, column 3 row 15. Speed 0x0302, shift 7.
    QTest::newRow("type 1: left to right, top band first, height flag, FP 20")
        << 16 << 16 << QStringList{"marks.bmp"} << none << kSpeeds << 1 << false
        << "01 90 1A 00 12 00 04 00 02 03 14 00 A0 00 04 00 A0 00 80 00 00 80 00 00 00 01";
    QTest::newRow("type 3: right to left, intervals x 3")
        << 16 << 16 << QStringList{"marks.bmp"} << none << kSpeeds << 3 << false
        << "01 10 1A 00 12 00 04 00 02 03 0E 00 E0 01 04 00 E0 01 00 01 00 00 00 80 80 00";
    QTest::newRow("type 4: height flag, FP from the shift")
        << 16 << 16 << QStringList{"marks.bmp"} << none << kSpeeds << 4 << false
        << "01 90 1A 00 12 00 04 00 02 03 0E 00 A0 00 04 00 A0 00 80 00 00 80 00 00 00 01";
    QTest::newRow("type 6: right to left, bottom band first")
        << 16 << 16 << QStringList{"marks.bmp"} << none << kSpeeds << 6 << false
        << "01 10 1A 00 12 00 04 00 02 03 0E 00 E0 01 04 00 E0 01 01 00 00 00 80 00 00 80";
    QTest::newRow("type 7: as type 6")
        << 16 << 16 << QStringList{"marks.bmp"} << none << kSpeeds << 7 << false
        << "01 10 1A 00 12 00 04 00 02 03 0E 00 E0 01 04 00 E0 01 01 00 00 00 80 00 00 80";
    QTest::newRow("unknown type 9: none of the properties")
        << 16 << 16 << QStringList{"marks.bmp"} << none << kSpeeds << 9 << false
        << "01 10 1A 00 12 00 04 00 02 03 0E 00 A0 00 04 00 A0 00 80 00 00 80 00 00 00 01";

    QTest::newRow("banner wider than the project keeps its lit columns")
        << 16 << 16 << QStringList{"wide.bmp"} << none << kSpeeds << 1 << false
        << "01 90 1C 00 12 00 05 00 02 08 14 00 A0 00 04 00 A0 00 80 00 00 00 00 00 00 00 00 01";
    QTest::newRow("blank banner gives one empty column")
        << 16 << 16 << QStringList{"blank.bmp"} << none << kSpeeds << 3 << false
        << "01 10 14 00 12 00 01 00 02 08 0A 00 E0 01 04 00 E0 01 00 00";
    QTest::newRow("11 LEDs: rows 11 to 15 stay clear")
        << 11 << 11 << QStringList{"eleven.bmp"} << none << kSpeeds << 3 << false
        << "01 0B 32 00 12 00 10 00 02 08 14 00 E0 01 04 00 E0 01 " + QString("FF E0 ").repeated(16).trimmed();

    QTest::newRow("movie groups and their intervals")
        << 16 << 16 << QStringList{"dot.bmp g2", "dot.bmp g2", "dot.bmp", "dot.bmp g3"}
        << QStringList{"MVG_SPEED2=80", "MVG_SPEED3=-160", "MOVIE_INTERVAL=120"} << kSpeeds << 1 << false
        << "04 90 32 00 2A 00 01 00 02 08 14 80 50 00 01 00 02 08 14 00 50 00 01 00 02 08 14 00 78 00 "
           "01 00 02 08 14 00 78 00 04 00 78 00 80 00 80 00 80 00 80 00";
    QTest::newRow("a group continues into a skipped entry")
        << 16 << 16 << QStringList{"dot.bmp g2", "missing.bmp g2", "dot.bmp g2"} << none << kSpeeds << 3 << false
        << "02 10 1E 00 1A 00 01 00 02 08 06 80 E0 01 01 00 02 08 06 00 E0 01 04 00 E0 01 80 00 80 00";
    QTest::newRow("tickers, indelible, torch, no shift value")
        << 16 << 16
        << QStringList{"nos.bmp t1", "dot.bmp t2 i", "dot.bmp t3", "dot.bmp t5", "LUMIWANDTORCH.BMP", "nos.bmp"}
        << none << kSpeeds << 3 << false
        << "06 10 46 00 3A 00 01 10 02 08 02 00 E0 01 01 60 02 08 0A 00 E0 01 01 30 02 08 0A 00 E0 01 "
           "01 30 02 08 0A 00 E0 01 01 80 01 00 00 00 E0 01 01 00 02 08 28 00 E0 01 04 00 E0 01 "
           "80 00 80 00 80 00 80 00 FF FF 80 00";
    QTest::newRow("simplified mode: movie interval 160 and the default speed")
        << 16 << 16 << QStringList{"dot.bmp"} << QStringList{"MOVIE_INTERVAL=50", "TICKER_SPEED=7"}
        << QStringList{"dot.bmp;770"} << 3 << true << "01 10 14 00 12 00 01 00 02 08 06 00 E0 01 07 00 E0 01 80 00";
    QTest::newRow("the same project outside simplified mode")
        << 16 << 16 << QStringList{"dot.bmp"} << QStringList{"MOVIE_INTERVAL=50", "TICKER_SPEED=7"}
        << QStringList{"dot.bmp;770"} << 3 << false << "01 10 14 00 12 00 01 00 02 03 06 00 96 00 07 00 96 00 80 00";
    QTest::newRow("unusable entries close up")
        << 16 << 16 << QStringList{"", "missing.bmp", "low.bmp", "dot.bmp"} << none << kSpeeds << 1 << false
        << "01 90 14 00 12 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00";
    QTest::newRow("nothing usable: no bytes")
        << 16 << 16 << QStringList{"missing.bmp", "low.bmp"} << none << kSpeeds << 3 << false << "";
}

void tst_ImageCompiler::exactBytes()
{
    QFETCH(int, leds);
    QFETCH(int, height);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, settings);
    QFETCH(QStringList, speeds);
    QFETCH(int, type);
    QFETCH(bool, simplified);
    QFETCH(QString, expected);

    ImageFixture f(leds);
    f.context.simplifiedMode = simplified;
    drawPictures(f);
    f.records(speeds, kShifts);
    f.project("P", 16, height, entries, settings);
    store::Project project(f.projectPath("P"));

    const CompileResult counted = compileImage(CompileMode::Count, type, &project, f.context);
    const CompileResult built = compileImage(CompileMode::Build, type, &project, f.context);
    QCOMPARE(hexOf(built.image), expected);
    QCOMPARE(built.total, int(built.image.size()));
    QCOMPARE(counted.total, built.total);
    QCOMPARE(counted.pictures, built.pictures);
    QVERIFY(counted.image.isEmpty());
}

void tst_ImageCompiler::wideBannerColumnsFromTheRight()
{
    // One 96-column banner in a 16-LED project: 96 x 2 pattern bytes after an 18-byte header; on a fan stick
    // column 95 comes first.
    ImageFixture f(16);
    f.picture("banner.bmp", 96, 16, {{0, 0}, {95, 15}});
    f.project("P", 16, 16, {"banner.bmp"});
    store::Project project(f.projectPath("P"));

    const CompileResult fan = compileImage(CompileMode::Build, 3, &project, f.context);
    QCOMPARE(fan.total, 210);
    QCOMPARE(hexOf(fan.image.mid(18, 2)), "00 01");
    QCOMPARE(hexOf(fan.image.right(2)), "80 00");
    const CompileResult roll = compileImage(CompileMode::Build, 4, &project, f.context);
    QCOMPARE(hexOf(roll.image.mid(0, 2)), "01 90");
    QCOMPARE(hexOf(roll.image.mid(18, 2)), "80 00");
    const CompileResult bottomFirst = compileImage(CompileMode::Build, 6, &project, f.context);
    QCOMPARE(hexOf(bottomFirst.image.mid(18, 2)), "01 00");
}

void tst_ImageCompiler::startCountsAgainstTheBannerWidth()
{
    // Lit columns 10..309 of a 400-column banner in the 48-LED edition (banner width 288): 290 columns past the
    // start exceed 288, so 288 + 10 = 298 columns are kept, starting at column 10.
    ImageFixture f(48);
    QList<QPoint> lit;
    for (int x = 10; x < 310; ++x)
        lit.append({x, x % 48});
    f.picture("long.bmp", 400, 48, lit);
    f.project("P", 48, 48, {"long.bmp"});
    store::Project project(f.projectPath("P"));

    const CompileResult built = compileImage(CompileMode::Build, 7, &project, f.context);
    QCOMPARE(deviceimage::readWord(built.image, 6) & 0x0FFF, 298);
    QCOMPARE(built.total, 18 + 298 * 6);
    QCOMPARE(compileImage(CompileMode::Count, 7, &project, f.context).total, built.total);
    // Type 7 stores column 307 first, bottom band first: row 307 % 48 = 19 is bit 4 of band 2, the fourth byte.
    QCOMPARE(hexOf(built.image.mid(18, 6)), "00 00 00 10 00 00");
}

void tst_ImageCompiler::colouredPixelsByLuminance()
{
    // A file of any colours: pure blue (grey level 28) and pure green (150) are lit, grey 0x9C9C9C (156) is not.
    ImageFixture f(16);
    QImage image(3, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(0, 0, 255));
    image.setPixel(1, 0, qRgb(0x9C, 0x9C, 0x9C));
    image.setPixel(2, 0, qRgb(0, 255, 0));
    QVERIFY(image.save(f.clips() + "colours.bmp", "BMP"));
    f.project("P", 16, 16, {"colours.bmp"});
    store::Project project(f.projectPath("P"));

    const CompileResult built = compileImage(CompileMode::Build, 1, &project, f.context);
    QCOMPARE(hexOf(built.image.mid(18)), "80 00 00 00 80 00");
}

void tst_ImageCompiler::countReadsPalettesAsBuildReadsPixels()
{
    // Count finds the lit columns of a wide picture through its palette; Build through its pixels. They agree:
    // an 8-bit picture whose pure blue column (lit by luminance, not by the colour value) lies outside grey
    // 0x9B9B9B at column 10 and black at column 14, and a 1-bit picture whose palette puts white first.
    ImageFixture f(16);
    QImage indexed(40, 16, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 255, 255), qRgb(0x9B, 0x9B, 0x9B), qRgb(0x9C, 0x9C, 0x9C), qRgb(0, 0, 255),
                           qRgb(0, 0, 0)});
    indexed.fill(0);
    indexed.setPixel(2, 4, 3);
    indexed.setPixel(10, 0, 1);
    indexed.setPixel(12, 5, 2);
    indexed.setPixel(14, 15, 4);
    QVERIFY(indexed.save(f.clips() + "indexed.bmp", "BMP"));
    QImage mono(40, 16, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(0);
    mono.setPixel(7, 3, 1);
    mono.setPixel(33, 9, 1);
    QVERIFY(mono.save(f.clips() + "mono.bmp", "BMP"));
    f.project("P", 16, 16, {"indexed.bmp", "mono.bmp"});
    store::Project project(f.projectPath("P"));

    const CompileResult built = compileImage(CompileMode::Build, 1, &project, f.context);
    QCOMPARE(compileImage(CompileMode::Count, 1, &project, f.context).total, built.total);
    QCOMPARE(deviceimage::readWord(built.image, 6) & 0x0FFF, 5);
    QCOMPARE(deviceimage::readWord(built.image, 14) & 0x0FFF, 27);
    QCOMPARE(hexOf(built.image.mid(26, 10)), "80 00 00 00 00 00 00 00 00 01");
}

void tst_ImageCompiler::countLooksUpNothing()
{
    // A picture without a shift record gets one computed and stored when an image is built, never by a count.
    ImageFixture f(16);
    f.picture("fresh.bmp", 16, 16, {{0, 3}, {15, 3}});
    f.project("P", 16, 16, {"fresh.bmp"});
    store::Project project(f.projectPath("P"));
    const QString catalogue = f.clips() + "Clip.ini";

    QCOMPARE(compileImage(CompileMode::Count, 3, &project, f.context).total, 18 + 32);
    QVERIFY(!QFile::exists(catalogue));
    const CompileResult built = compileImage(CompileMode::Build, 3, &project, f.context);
    QVERIFY(fileContents(catalogue).contains("fresh.bmp;50")); // the 16-LED stick's automatic shift for 16 columns
    QCOMPARE(deviceimage::readWord(built.image, 10), 100);
    QCOMPARE(deviceimage::readWord(built.image, 8), 0x0802); // the default speed
}

void tst_ImageCompiler::figuresAndNothingToCompile()
{
    ImageFixture f(16);
    f.picture("dot.bmp", 1, 16, {{0, 0}});
    f.project("P", 16, 16, {"dot.bmp", "missing.bmp"});
    f.project("Gone", 16, 16, {"missing.bmp", "low.bmp"});
    f.project("NoWidth", 0, 16, {"dot.bmp"});
    store::Project project(f.projectPath("P"));
    Recorder recorder;

    compileImage(CompileMode::Count, 3, &project, f.context, &recorder);
    QCOMPARE(recorder.told.size(), 1);
    QCOMPARE(recorder.told[0].pictures, 1);
    QCOMPARE(recorder.told[0].total, 20);
    QCOMPARE(recorder.told[0].freeBytes, 2028);
    QCOMPARE(recorder.told[0].freeCharacters, 2028 / 24);

    // All pictures missing: 0 pictures, 0 bytes, the whole memory free.
    store::Project gone(f.projectPath("Gone"));
    QCOMPARE(compileImage(CompileMode::Build, 3, &gone, f.context, &recorder).total, 0);
    QCOMPARE(recorder.told.size(), 2);
    QCOMPARE(recorder.told[1].total, 0);
    QCOMPARE(recorder.told[1].freeBytes, 2048);

    // No project, no project file, no width: nothing at all, nothing told.
    store::Project noWidth(f.projectPath("NoWidth"));
    store::Project noFile(f.projectPath("Absent"));
    QCOMPARE(compileImage(CompileMode::Count, 3, nullptr, f.context, &recorder).total, 0);
    QCOMPARE(compileImage(CompileMode::Count, 3, &noWidth, f.context, &recorder).total, 0);
    QCOMPARE(compileImage(CompileMode::Build, 3, &noFile, f.context, &recorder).total, 0);
    QCOMPARE(recorder.told.size(), 2);

    // A project too large for a 4096-byte edition shows negative free space.
    const ImageFigures over = deviceimage::imageFigures(40, 5000, 48);
    QCOMPARE(over.freeBytes, -904);
    QCOMPARE(over.freeCharacters, -18);
}

void tst_ImageCompiler::limitsAreRefused_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("total");

    QTest::newRow("255 pictures fit") << 16 << 255 << "dot.bmp" << 16 << int(ImageLimit::None) << 10 + 255 * 10;
    QTest::newRow("256 pictures") << 16 << 256 << "dot.bmp" << 16 << int(ImageLimit::TooManyPictures) << 0;
    // 288 columns x 6 bytes: 37 banners give 64242 bytes, 38 would give 65970.
    QTest::newRow("65535 bytes") << 48 << 37 << "banner.bmp" << 48 << int(ImageLimit::None) << 10 + 37 * (8 + 1728);
    QTest::newRow("beyond 65535 bytes") << 48 << 38 << "banner.bmp" << 48 << int(ImageLimit::TooLarge) << 0;
    // Lit columns 4100..8195: 4096 columns, not cut back because the start counts against the banner width.
    QTest::newRow("4096 columns") << 16 << 1 << "huge.bmp" << 16 << int(ImageLimit::TooWide) << 0;
    QTest::newRow("128 rows") << 16 << 1 << "dot.bmp" << 128 << int(ImageLimit::TooTall) << 0;
}

void tst_ImageCompiler::limitsAreRefused()
{
    QFETCH(int, leds);
    QFETCH(int, copies);
    QFETCH(QString, file);
    QFETCH(int, height);
    QFETCH(int, limit);
    QFETCH(int, total);

    ImageFixture f(leds);
    if (file == "dot.bmp")
        f.picture(file, 1, 16, {{0, 0}});
    else if (file == "banner.bmp")
        f.filledPicture(file, 288, 48);
    else
        f.picture(file, 8196, 16, {{4100, 0}, {8195, 15}});
    f.project("P", leds, height, QStringList(copies, file));
    store::Project project(f.projectPath("P"));
    Recorder recorder;

    for (const CompileMode mode : {CompileMode::Count, CompileMode::Build}) {
        const CompileResult result = compileImage(mode, 7, &project, f.context, &recorder);
        QCOMPARE(int(result.limit), limit);
        QCOMPARE(result.total, total);
        QCOMPARE(recorder.told.last().total, total);
        QCOMPARE(recorder.told.last().limit, result.limit);
        if (result.refused()) {
            QVERIFY(result.image.isEmpty());
            QCOMPARE(result.pictures, 0);
            QVERIFY(!result.refusal.isEmpty());
            QCOMPARE(recorder.told.last().refusal, result.refusal);
        } else if (mode == CompileMode::Build) {
            QCOMPARE(int(result.image.size()), total);
            QCOMPARE(quint8(result.image[0]), quint8(copies));
        }
    }
}

// An entry is a file name in the clips folder. One that leads elsewhere is never read, even when a picture lies
// there: Count leaves it out and names it, Build refuses the project naming it, and the entry list drops it.
void tst_ImageCompiler::entriesOutsideTheClipsFolderAreUnreadable_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("parent folder") << "../outside.bmp";
    QTest::newRow("two folders up") << "../../outside.bmp";
    QTest::newRow("into a folder of the clips") << "sub/inside.bmp";
    QTest::newRow("down and up again") << "sub/../dot.bmp";
}

void tst_ImageCompiler::entriesOutsideTheClipsFolderAreUnreadable()
{
    QFETCH(QString, entry);
    ImageFixture f;
    drawPictures(f);
    QDir().mkpath(f.clips() + "sub");
    QVERIFY(imaging::savePictureFile(imaging::LitGrid::fromRows(QStringList(16, "#")), f.clips() + entry,
                                     imaging::ExistingFile::Replace)
                .ok());
    f.project("P", 16, 16, {"full.bmp", entry, "full.bmp"});
    store::Project project(f.projectPath("P"));

    const CompileResult count = compileImage(CompileMode::Count, 3, &project, f.context);
    QVERIFY(!count.refused());
    QCOMPARE(count.pictures, 2);
    QCOMPARE(count.unreadable, QStringList{messages::formatMessage(6081, entry.toUtf8().constData())});

    const CompileResult build = compileImage(CompileMode::Build, 3, &project, f.context);
    QCOMPARE(build.limit, ImageLimit::Unreadable);
    QVERIFY(build.image.isEmpty());
    QVERIFY2(build.refusal.contains(entry), qPrintable(build.refusal));
    QVERIFY(!QFileInfo::exists(f.clips() + "Clip.ini") ||
            !fileContents(f.clips() + "Clip.ini").contains(entry.toUtf8())); // no shift record made for it

    const auto rows = store::loadEntryList(project, f.clips());
    QVERIFY(rows);
    QCOMPARE(rows->size(), size_t(2));
    QCOMPARE(project.pictureName(1), "full.bmp");
}

// A project naming one picture 65535 times reads the file once: the picture is much higher than the project,
// so every entry is left out and nothing is built.
void tst_ImageCompiler::aPictureNamedOftenIsReadOnce()
{
    ImageFixture f;
    f.picture("tall.bmp", 4000, 2000);
    f.project("P", 16, 16, {});
    store::Project project(f.projectPath("P"));
    {
        store::IniFile::WriteBatch batch(project.ini());
        for (int k = 0; k < store::kMaxProjectEntries; ++k)
            project.ini().writeString("PICTURE", store::Project::entryKey(k), "tall.bmp");
        project.ini().writeInteger("SUMMARY", "TOTAL_PICTURES", store::kMaxProjectEntries);
    }
    const CompileResult build = compileImage(CompileMode::Build, 3, &project, f.context);
    QVERIFY(!build.refused());
    QCOMPARE(build.total, 0);
    QVERIFY(build.unreadable.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ImageCompiler)
#include "tst_ImageCompiler.moc"
