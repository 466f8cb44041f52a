#include "store/Clipart.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace store;

class tst_Clipart : public QObject {
    Q_OBJECT

private slots:
    void everyPictureIsOneBitOfTheEditionsSize_data();
    void everyPictureIsOneBitOfTheEditionsSize();
    void namesAreUniqueAndGroupsNamed();
    void animationsAreMadeOfClipart();
    void copiesTakeAFreeNameAndNeverReplaceAFile();
    void copyIntoAMissingFolderFails();
    void treeHoldsEveryPictureMarkedBuiltIn();
};

void tst_Clipart::everyPictureIsOneBitOfTheEditionsSize_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("width");
    QTest::newRow("11") << 11 << 16;
    QTest::newRow("16") << 16 << 16;
    QTest::newRow("24") << 24 << 24;
    QTest::newRow("32") << 32 << 32;
    QTest::newRow("48") << 48 << 48;
}

void tst_Clipart::everyPictureIsOneBitOfTheEditionsSize()
{
    QFETCH(int, height);
    QFETCH(int, width);
    QVERIFY(clipartPictures().size() >= 120 + 20); // the named groups, and the animations' own frames
    for (const ClipartPicture& picture : clipartPictures()) {
        const QString path = clipartPath(height, picture.name);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QVERIFY2(file.peek(2) == "BM", qPrintable(path));
        const QImage image(path, "BMP");
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), QSize(width, height));
        QCOMPARE(image.depth(), 1);
        int lit = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
                QVERIFY2(pixel == 0 || pixel == 0xFFFFFF, qPrintable(picture.name));
                lit += pixel == 0;
            }
        // Something is drawn, and not everything: a blank or solid picture is a broken drawing.
        QVERIFY2(lit > 0 && lit < width * height, qPrintable(picture.name));
    }
}

void tst_Clipart::namesAreUniqueAndGroupsNamed()
{
    QSet<QString> names;
    for (const ClipartPicture& picture : clipartPictures()) {
        QVERIFY2(!names.contains(picture.name.toLower()), qPrintable(picture.name));
        names.insert(picture.name.toLower());
        QVERIFY(isStorablePictureName(picture.fileName()));
    }
    const QStringList expected{"hearts", "stars",  "arrows",  "faces",   "weather", "animals",
                               "celebrations", "sports", "music", "symbols", "digits", "animations"};
    QCOMPARE(clipartGroups(), expected);
    for (const QString& group : expected)
        QVERIFY2(clipartGroupText(group) != group, qPrintable(group)); // a catalogue text of its own
    for (int digit = 0; digit <= 9; ++digit)
        QVERIFY(findClipart(QStringLiteral("digit_%1").arg(digit)));
    for (const char* name : {"cake", "gift", "balloons", "tree", "pumpkin", "fireworks", "check", "cross",
                             "warning", "wifi", "battery_full"})
        QVERIFY2(findClipart(QString::fromLatin1(name)), name);
    QCOMPARE(findClipart("Heart.BMP"), findClipart("heart"));
    QVERIFY(!findClipart("no_such_picture"));
    QVERIFY(clipartPath(20, "heart").isEmpty());
}

void tst_Clipart::animationsAreMadeOfClipart()
{
    QVERIFY(clipartAnimations().size() >= 8);
    for (const char* name : {"beating_heart", "spinning_star", "countdown_3_2_1", "fireworks_burst", "wave", "rain",
                             "walking_figure", "loading_bar"}) {
        const ClipartAnimation* animation = findClipartAnimation(QString::fromLatin1(name));
        QVERIFY2(animation, name);
        QVERIFY(animation->frames.size() >= 2);
        QVERIFY(animation->intervalSteps >= 1);
        for (const QString& frame : animation->frames)
            QVERIFY2(findClipart(frame), qPrintable(frame));
    }
}

void tst_Clipart::copiesTakeAFreeNameAndNeverReplaceAFile()
{
    QTemporaryDir dir;
    const QString clips = dir.path() + QStringLiteral("/");
    QFile mine(clips + QStringLiteral("heart.bmp"));
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.write("my own heart");
    mine.close();

    const ClipartCopy first = copyClipartToClips(clips, 16, QStringLiteral("heart"));
    QVERIFY(first.ok());
    QCOMPARE(first.fileName, QStringLiteral("heart1.bmp"));
    const ClipartCopy second = copyClipartToClips(clips, 16, clipartPath(16, QStringLiteral("heart")));
    QCOMPARE(second.fileName, QStringLiteral("heart2.bmp"));

    QVERIFY(mine.open(QIODevice::ReadOnly));
    QCOMPARE(mine.readAll(), QByteArray("my own heart"));
    QFile copied(clips + first.fileName), original(clipartPath(16, QStringLiteral("heart")));
    QVERIFY(copied.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), original.readAll());

    QCOMPARE(copyClipartToClips(clips, 16, QStringLiteral("nothing")).status, ClipartCopyStatus::Unknown);
}

void tst_Clipart::copyIntoAMissingFolderFails()
{
    QTemporaryDir dir;
    const ClipartCopy copy = copyClipartToClips(dir.path() + QStringLiteral("/gone/"), 16, QStringLiteral("star"));
    QCOMPARE(copy.status, ClipartCopyStatus::WriteFailed);
    QVERIFY(copy.fileName.isEmpty());
}

void tst_Clipart::treeHoldsEveryPictureMarkedBuiltIn()
{
    const LibraryNode root = clipartTree(48);
    QVERIFY(root.builtIn);
    QCOMPARE(int(root.children.size()), int(clipartGroups().size()));
    int pictures = 0;
    for (const LibraryNode& group : root.children) {
        QVERIFY(group.builtIn);
        QCOMPARE(group.kind, LibraryNodeKind::Library);
        for (const LibraryNode& file : group.children) {
            QVERIFY(file.builtIn);
            QCOMPARE(file.kind, LibraryNodeKind::File);
            QVERIFY(!clipartImage(48, file.text).isNull());
            ++pictures;
        }
    }
    QCOMPARE(pictures, int(clipartPictures().size()));
}

QTEST_GUILESS_MAIN(tst_Clipart)
#include "tst_Clipart.moc"
