#include "deviceimage/AnimationImport.h"
#include "messages/MessageCatalogue.h"
#include "store/LibraryCatalogue.h"
#include "tests/deviceimage/ImageFixture.h"
#include "tests/support/GifWriter.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTest>

using deviceimage::importAnimation;

namespace {

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

imaging::LitGrid gridOf(const QString& path)
{
    const imaging::PictureLoad load = imaging::loadPicture(path);
    return load.ok() ? load.picture.litGrid(imaging::LitRule::LitByLuminance) : imaging::LitGrid();
}

} // namespace

class TestAnimationImport : public QObject {
    Q_OBJECT

private slots:
    void framesBecomeOneNewGroup()
    {
        ImageFixture f;
        f.picture("a.bmp", 16, 16);
        f.project("Show", 16, 16, {"a.bmp g1"});
        const QString gif = f.dir.filePath("Wave.gif");
        writeFile(gif, testgif::makeGif(QSize(16, 16), testgif::columnFrames(QSize(16, 16), 3), 250));

        store::Project project(f.projectPath("Show"));
        const deviceimage::AnimationImport imported = importAnimation(f.context, project, "Waves", gif, {});
        QVERIFY2(imported.ok(), qPrintable(imported.errorText));
        QCOMPARE(imported.frames, 3);
        QCOMPARE(imported.baseName, QString("Wave"));
        QCOMPARE(project.totalPictures(), 4);
        for (int k = 0; k < 3; ++k) {
            const QString name = QStringLiteral("Wave_%1.bmp").arg(k, 3, 10, QChar('0'));
            QCOMPARE(project.pictureName(k + 1), name);
            QCOMPARE(project.group(k + 1), 2);
            const imaging::LitGrid grid = gridOf(f.clips() + name);
            QCOMPARE(grid.width(), 16);
            QVERIFY(grid.isLit(k, 0) && grid.isLit(k, 15));
            QVERIFY(!grid.isLit(k + 1, 0));
        }
        QCOMPARE(project.groupInterval(2), 3 * 8); // 250 ms rounds to 3 steps of 0.1 s
        store::LibraryCatalogue catalogue(f.clips());
        QVERIFY(catalogue.libraryNumber("Waves") >= 0);

        // The same file again keeps the first frames and takes the next free name.
        const deviceimage::AnimationImport again = importAnimation(f.context, project, "Waves", gif, {});
        QVERIFY2(again.ok(), qPrintable(again.errorText));
        QCOMPARE(again.baseName, QString("Wave1"));
        QCOMPARE(again.group, 3);
        QCOMPARE(project.totalPictures(), 7);
    }

    void intervalFromDelay_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("interval");
        QTest::newRow("a tenth") << 100 << 8;
        QTest::newRow("rounded up") << 150 << 16;
        QTest::newRow("rounded down") << 240 << 16;
        QTest::newRow("too short for a step") << 20 << 8;
        QTest::newRow("longer than the dialog offers") << 60000 << 256 * 8;
    }
    void intervalFromDelay()
    {
        QFETCH(int, delayMs);
        QFETCH(int, interval);
        QCOMPARE(deviceimage::groupIntervalForDelay(delayMs), interval);
    }

    void refusedFilesWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("gif");
        QTest::addColumn<QString>("reason");
        const QSize size(16, 16);
        const QByteArray three = testgif::makeGif(size, testgif::columnFrames(size, 3), 100);
        QTest::newRow("cut short") << three.left(three.size() - 20) << "cut short";
        QTest::newRow("no frame") << testgif::makeGif(size, {}, 100) << "no frame";
        QTest::newRow("too many frames") << testgif::makeGif(QSize(1, 1), testgif::columnFrames(QSize(1, 1), 256), 100)
                                         << "256 frames";
        QTest::newRow("over 25 Mpixel") << testgif::makeGif(QSize(6000, 5000), {}, 100) << "25 million";
        // A few kilobytes that would decode to 255 frames of 25 million pixels each: refused before decoding.
        QTest::newRow("frames over the decoding budget")
            << testgif::makeGif(QSize(5000, 5000), testgif::columnFrames(QSize(1, 1), 255), 100, QSize(1, 1))
            << messages::formatMessage(6082, "Bad.gif", 255, 5000, 5000, 100);
        // Eleven all-lit frames of the canvas width take 10 + 11 x (8 + 96 x 2) bytes, more than the 2048.
        QTest::newRow("beyond the stick's memory")
            << testgif::makeGif(QSize(96, 16), testgif::columnFrames(QSize(96, 16), 11, true), 100) << "do not fit";
        QTest::newRow("not a GIF") << QByteArray("BM not a gif at all") << "not a GIF";
    }
    void refusedFilesWriteNothing()
    {
        QFETCH(QByteArray, gif);
        QFETCH(QString, reason);
        ImageFixture f;
        f.picture("a.bmp", 16, 16);
        f.project("Show", 16, 16, {"a.bmp"});
        const QString path = f.dir.filePath("Bad.gif");
        writeFile(path, gif);
        const QStringList clipsBefore = folderEntries(f.clips());
        const QByteArray projectBefore = fileContents(f.projectPath("Show"));

        store::Project project(f.projectPath("Show"));
        const deviceimage::AnimationImport imported = importAnimation(f.context, project, "Lib", path, {});
        QVERIFY(!imported.ok());
        QVERIFY2(imported.errorText.contains(reason), qPrintable(imported.errorText));
        QCOMPARE(folderEntries(f.clips()), clipsBefore);
        QCOMPARE(fileContents(f.projectPath("Show")), projectBefore);
    }

    void projectOfAnotherHeightIsRefused()
    {
        ImageFixture f;
        f.project("Tall", 24, 24, {});
        const QString gif = f.dir.filePath("Wave.gif");
        writeFile(gif, testgif::makeGif(QSize(16, 16), testgif::columnFrames(QSize(16, 16), 2), 100));
        store::Project project(f.projectPath("Tall"));
        const deviceimage::AnimationImport imported = importAnimation(f.context, project, "Lib", gif, {});
        QVERIFY(!imported.ok());
        QCOMPARE(project.totalPictures(), 0);
        QVERIFY(!QFile::exists(f.clips() + "Wave_000.bmp"));
    }
};

QTEST_GUILESS_MAIN(TestAnimationImport)
#include "tst_AnimationImport.moc"
