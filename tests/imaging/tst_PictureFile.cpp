#include "imaging/PictureFile.h"
#include "imaging/PicturePreview.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <sys/stat.h>
#include <unistd.h>

using namespace imaging;

namespace {

// Colours each depth can hold exactly: a 16-bit pixel has 5 bits a component, so only 0 and 255 survive.
const QList<QRgb> kBlackWhite = {rgbOf(kBlack), rgbOf(kWhite)};
const QList<QRgb> kExtremes = {rgbOf(kBlack), rgbOf(kWhite), rgbOf(kPureRed), rgbOf(kPureGreen), rgbOf(kPureBlue)};
const QList<QRgb> kAnyColours = {rgbOf(kBlack), rgbOf(kWhite), rgbOf(LitThreshold), rgbOf(0x9C9C9C),
                                 rgbOf(kPureRed), rgbOf(kPureBlue), rgbOf(0x123456), rgbOf(0xFEDCBA)};

QRgb patternColour(const QList<QRgb>& colours, int x, int y)
{
    return colours[(x * 3 + y * 5 + x * y) % colours.size()];
}

// An uncompressed BMP made byte by byte, for the depths Qt's writer does not produce (16 and 32 bits) and for
// pictures stored top row first.
QByteArray handMadeBmp(int width, int height, int depth, bool topDown, const QList<QRgb>& colours)
{
    const int rowBytes = (width * depth + 31) / 32 * 4;
    QByteArray file(54 + rowBytes * height, '\0');
    auto* out = reinterpret_cast<uchar*>(file.data());
    out[0] = 'B';
    out[1] = 'M';
    qToLittleEndian<quint32>(quint32(file.size()), out + 2);
    qToLittleEndian<quint32>(54, out + 10);
    qToLittleEndian<quint32>(40, out + 14);
    qToLittleEndian<qint32>(width, out + 18);
    qToLittleEndian<qint32>(topDown ? -height : height, out + 22);
    qToLittleEndian<quint16>(1, out + 26);
    qToLittleEndian<quint16>(quint16(depth), out + 28);
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        uchar* line = out + 54 + row * rowBytes;
        for (int x = 0; x < width; ++x) {
            const QRgb c = patternColour(colours, x, y);
            if (depth == 16) {
                qToLittleEndian<quint16>(quint16((qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | qBlue(c) >> 3),
                                         line + 2 * x);
            } else {
                uchar* pixel = line + x * depth / 8;
                pixel[0] = uchar(qBlue(c));
                pixel[1] = uchar(qGreen(c));
                pixel[2] = uchar(qRed(c));
            }
        }
    }
    return file;
}

// A BMP written by Qt's own writer from an image in `format` (Indexed8 with up to 16 colours is written with 4
// bits a pixel, with more with 8).
QByteArray qtWrittenBmp(int width, int height, QImage::Format format, const QList<QRgb>& colours)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, patternColour(colours, x, y));
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> table = colours;
        if (table.size() > 16) // pad with unused entries beyond 16 so the writer chooses 8 bits
            while (table.size() < 20)
                table << qRgb(1, 2, table.size());
        image = image.convertToFormat(format, table);
    } else if (format == QImage::Format_Mono) {
        image = image.convertToFormat(format, kBlackWhite);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

int depthOf(const QByteArray& bmp)
{
    return qFromLittleEndian<quint16>(bmp.constData() + 28);
}

// A 1-bit header claiming the given size, followed by as many data bytes as that size needs (capped).
QByteArray headerClaiming(qint32 width, qint32 height)
{
    QByteArray bmp = encodeBmp(LitGrid(8, 2));
    qToLittleEndian<qint32>(width, bmp.data() + 18);
    qToLittleEndian<qint32>(height, bmp.data() + 22);
    return bmp;
}

// An irregular picture: lit pixels in a pattern that differs between rows and reaches the last column.
LitGrid patternGrid(int width, int height)
{
    LitGrid grid(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            grid.setLit(x, y, (x * 7 + y * 3) % 5 < 2 || x == width - 1);
    return grid;
}

} // namespace

class tst_PictureFile : public QObject {
    Q_OBJECT

private slots:
    void readsEveryDepth_data();
    void readsEveryDepth();
    void writerLayout();
    void writerRoundTrip_data();
    void writerRoundTrip();
    void writerIsDeterministic();
    void refusesBadFiles_data();
    void refusesBadFiles();
    void headerInfo();
    void saveNeverOverwritesSilently();
    void saveRefusals();
    void fullDiskKeepsTheOldPicture();
    void onlyRegularFilesAreReadAndNothingBlocks();
    void previewMissingFileHidesGroup();
    void previewPlacement();
    void previewExpressModeShowsLeds();
    void previewOfBrokenFiles();

private:
    QTemporaryDir dir_;
    QString folder() const { return dir_.path() + u'/'; }
};

void tst_PictureFile::readsEveryDepth_data()
{
    QTest::addColumn<QByteArray>("bmp");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<QRgb>>("colours");

    // Odd widths exercise the row padding of every depth.
    for (int width : {1, 9, 33})
        QTest::addRow("1 bit, %d wide", width)
            << qtWrittenBmp(width, 5, QImage::Format_Mono, kBlackWhite) << 1 << width << 5 << kBlackWhite;
    for (int width : {3, 10})
        QTest::addRow("4 bits, %d wide", width)
            << qtWrittenBmp(width, 4, QImage::Format_Indexed8, kAnyColours) << 4 << width << 4 << kAnyColours;
    QList<QRgb> manyColours = kAnyColours;
    for (int i = 0; i < 12; ++i)
        manyColours << qRgb(i * 20, 255 - i * 20, i);
    for (int width : {5, 34})
        QTest::addRow("8 bits, %d wide", width)
            << qtWrittenBmp(width, 3, QImage::Format_Indexed8, manyColours) << 8 << width << 3 << manyColours;
    for (int width : {3, 7})
        QTest::addRow("16 bits, %d wide", width)
            << handMadeBmp(width, 4, 16, false, kExtremes) << 16 << width << 4 << kExtremes;
    for (int width : {1, 5, 6})
        QTest::addRow("24 bits, %d wide", width)
            << qtWrittenBmp(width, 3, QImage::Format_RGB32, kAnyColours) << 24 << width << 3 << kAnyColours;
    QTest::newRow("24 bits, top row first")
        << handMadeBmp(7, 5, 24, true, kAnyColours) << 24 << 7 << 5 << kAnyColours;
    for (int width : {3, 9})
        QTest::addRow("32 bits, %d wide", width)
            << handMadeBmp(width, 2, 32, false, kAnyColours) << 32 << width << 2 << kAnyColours;
}

void tst_PictureFile::readsEveryDepth()
{
    QFETCH(QByteArray, bmp);
    QFETCH(int, depth);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QList<QRgb>, colours);
    QCOMPARE(depthOf(bmp), depth);

    const QString path = folder() + QTest::currentDataTag() + QStringLiteral(".bmp");
    writeFile(path, bmp);
    const PictureLoad load = loadPicture(path);
    QVERIFY2(load.ok(), qPrintable(errorMessage(load)));
    QCOMPARE(load.picture.size(), QSize(width, height));
    // The reader widens the 5 bits of a 16-bit component without filling the low bits: white reads 0xF8F8F8.
    const ColourValue kept = depth == 16 ? 0xF8F8F8 : 0xFFFFFF;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            QCOMPARE(load.picture.colourAt(x, y), colourValue(patternColour(colours, x, y)) & kept);
    QCOMPARE(decodePicture(bmp).picture.image(), load.picture.image());
}

void tst_PictureFile::writerLayout()
{
    const QByteArray expected = QByteArray::fromHex(
        "424d4600000000000000" "3e000000"                       // "BM", file size 70, data at 62
        "28000000" "03000000" "02000000" "0100" "0100"          // info header, 3 x 2, 1 plane, 1 bit
        "00000000" "08000000" "c40e0000" "c40e0000"             // uncompressed, 8 data bytes, 96 dpi
        "02000000" "02000000"                                   // 2 colours
        "00000000" "ffffff00"                                   // black, white
        "a0000000"                                              // bottom row ".#.": white, black, white
        "40000000");                                            // top row "#.#"
    QCOMPARE(encodeBmp(LitGrid::fromRows({"#.#", ".#."})).toHex(), expected.toHex());
    QVERIFY(encodeBmp(LitGrid()).isEmpty());
}

void tst_PictureFile::writerRoundTrip_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (int width : {1, 7, 8, 9, 31, 32, 33, 96, 288})
        QTest::addRow("%d x 16", width) << width << 16;
    QTest::newRow("16 x 11") << 16 << 11;
    QTest::newRow("128 x 48") << 128 << 48;
}

void tst_PictureFile::writerRoundTrip()
{
    QFETCH(int, width);
    QFETCH(int, height);
    const LitGrid grid = patternGrid(width, height);
    const PictureSave save = savePicture(grid, folder(), QStringLiteral("round %1x%2.bmp").arg(width).arg(height),
                                         ExistingFile::Replace);
    QVERIFY2(save.ok(), qPrintable(errorMessage(save)));
    const QByteArray bytes = fileContents(save.path);
    QCOMPARE(bytes.size(), 62 + (width + 31) / 32 * 4 * height);
    QCOMPARE(bytes, encodeBmp(grid));

    const PictureLoad load = loadPicture(save.path);
    QVERIFY2(load.ok(), qPrintable(errorMessage(load)));
    QCOMPARE(load.picture.litGrid(LitRule::LitByLuminance), grid);
    // Only pure black and white were written.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            QCOMPARE(load.picture.colourAt(x, y), grid.isLit(x, y) ? kBlack : kWhite);
}

void tst_PictureFile::writerIsDeterministic()
{
    // The same picture reached two ways gives the same bytes; saving again changes nothing.
    const LitGrid direct = patternGrid(37, 16);
    const LitGrid viaImage = LitGrid::fromImage(direct.toImage().convertToFormat(QImage::Format_RGB888),
                                                LitRule::LitAtMost);
    QVERIFY(savePicture(direct, folder(), "first.bmp", ExistingFile::Replace).ok());
    QVERIFY(savePicture(viaImage, folder(), "second.bmp", ExistingFile::Replace).ok());
    const QByteArray first = fileContents(folder() + "first.bmp");
    QCOMPARE(fileContents(folder() + "second.bmp"), first);
    QVERIFY(savePicture(direct, folder(), "first.bmp", ExistingFile::Replace).ok());
    QCOMPARE(fileContents(folder() + "first.bmp"), first);
}

void tst_PictureFile::refusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<PictureError>("error");

    const QByteArray good = encodeBmp(patternGrid(33, 16));
    QTest::newRow("empty file") << QByteArray() << PictureError::Truncated;
    QTest::newRow("text") << QByteArray("hello, this is not a picture") << PictureError::NotBmp;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    patternGrid(8, 8).toImage().save(&buffer, "PNG");
    QTest::newRow("png") << png << PictureError::NotBmp;
    QTest::newRow("only the magic") << QByteArray("BM") << PictureError::Truncated;
    QTest::newRow("file header only") << good.left(14) << PictureError::Truncated;
    QTest::newRow("headers only") << good.left(62) << PictureError::Truncated;
    QTest::newRow("last byte missing") << good.left(good.size() - 1) << PictureError::Truncated;
    QTest::newRow("24 bits, last row missing")
        << qtWrittenBmp(5, 3, QImage::Format_RGB32, kAnyColours).chopped(16) << PictureError::Truncated;
    QTest::newRow("zero width") << headerClaiming(0, 16) << PictureError::NoPixels;
    QTest::newRow("zero height") << headerClaiming(16, 0) << PictureError::NoPixels;
    QTest::newRow("negative width") << headerClaiming(-16, 16) << PictureError::NoPixels;
    QTest::newRow("huge width") << headerClaiming(2000000000, 16) << PictureError::TooLarge;
    QTest::newRow("huge height, top row first") << headerClaiming(16, -2000000000) << PictureError::TooLarge;
    QTest::newRow("too many pixels") << headerClaiming(30000, 30000) << PictureError::TooLarge;
    QByteArray unknownHeader = good;
    qToLittleEndian<quint32>(20, unknownHeader.data() + 14);
    QTest::newRow("unknown header size") << unknownHeader << PictureError::NotBmp;
    QByteArray badDepth = good;
    qToLittleEndian<quint16>(7, badDepth.data() + 28);
    QTest::newRow("7 bits a pixel") << badDepth << PictureError::Corrupt;
}

void tst_PictureFile::refusesBadFiles()
{
    QFETCH(QByteArray, contents);
    QFETCH(PictureError, error);

    const QString path = folder() + "bad.bmp";
    writeFile(path, contents);
    const PictureLoad load = loadPicture(path);
    QCOMPARE(load.error, error);
    QVERIFY(load.picture.isNull());
    QVERIFY(errorMessage(load).contains(path));
    QCOMPARE(decodePicture(contents, "x.bmp").error, error);
}

void tst_PictureFile::headerInfo()
{
    const QString path = folder() + "info.bmp";
    writeFile(path, encodeBmp(LitGrid(96, 16)));
    QCOMPARE(readPictureInfo(path).size, QSize(96, 16));
    QVERIFY(readPictureInfo(path).ok());
    QCOMPARE(readPictureInfo(folder() + "absent.bmp").error, PictureError::Missing);
    QCOMPARE(loadPicture(folder() + "absent.bmp").error, PictureError::Missing);
    QCOMPARE(loadPicture(dir_.path()).error, PictureError::Missing); // a folder is no picture
    writeFile(path, headerClaiming(40000, 16));
    QCOMPARE(readPictureInfo(path).error, PictureError::TooLarge);
}

void tst_PictureFile::saveNeverOverwritesSilently()
{
    const LitGrid first = patternGrid(16, 16), second = LitGrid(16, 16);
    QVERIFY(savePicture(first, folder(), "keep.bmp", ExistingFile::Refuse).ok());
    const PictureSave refused = savePicture(second, folder(), "keep.bmp", ExistingFile::Refuse);
    QCOMPARE(refused.error, SaveError::Exists);
    QCOMPARE(fileContents(folder() + "keep.bmp"), encodeBmp(first));
    QVERIFY(savePicture(second, folder(), "keep.bmp", ExistingFile::Replace).ok());
    QCOMPARE(fileContents(folder() + "keep.bmp"), encodeBmp(second));
}

void tst_PictureFile::saveRefusals()
{
    QTemporaryDir base;
    const QString clips = base.path() + "/clips/";
    QVERIFY(QDir().mkpath(clips + "inner.bmp"));
    const LitGrid grid = patternGrid(16, 16);

    QCOMPARE(savePicture(grid, clips, "../escape.bmp", ExistingFile::Replace).error, SaveError::UnsafeName);
    QCOMPARE(savePicture(grid, clips, "", ExistingFile::Replace).error, SaveError::UnsafeName);
    QCOMPARE(savePicture(grid, clips, "sub/x.bmp", ExistingFile::Replace).error, SaveError::UnsafeName);
    QCOMPARE(errorMessage(savePicture(grid, clips, "sub/x.bmp", ExistingFile::Replace)),
             QStringLiteral("\"sub/x.bmp\" cannot be used as a picture file name."));
    QCOMPARE(savePicture(grid, clips, "x=1.bmp", ExistingFile::Replace).error, SaveError::UnsafeName);
    QCOMPARE(savePicture(grid, clips, "inner.bmp", ExistingFile::Replace).error, SaveError::Exists);
    QCOMPARE(savePicture(LitGrid(0, 16), clips, "empty.bmp", ExistingFile::Replace).error, SaveError::NoPixels);
    QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"clips"}));
    QCOMPARE(QDir(clips).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"inner.bmp"}));

    const PictureSave failed = savePicture(grid, base.path() + "/absent/", "x.bmp", ExistingFile::Replace);
    QCOMPARE(failed.error, SaveError::WriteFailed);
    QCOMPARE(errorMessage(failed), "Unable to write to " + base.path() + "/absent/x.bmp");
}

void tst_PictureFile::fullDiskKeepsTheOldPicture()
{
    SmallDisk disk;
    if (!disk.mounted())
        QSKIP("mounting a small tmpfs needs root");
    const QString clips = disk.path("clips") + u'/';
    QVERIFY(QDir().mkpath(clips));
    QVERIFY(savePicture(patternGrid(16, 16), clips, "keep.bmp", ExistingFile::Replace).ok());
    const QByteArray before = fileContents(clips + "keep.bmp");
    disk.fill();
    const PictureSave save = savePicture(patternGrid(4000, 16), clips, "keep.bmp", ExistingFile::Replace);
    QCOMPARE(save.error, SaveError::WriteFailed);
    QCOMPARE(fileContents(clips + "keep.bmp"), before);
    QCOMPARE(savePicture(patternGrid(4000, 16), clips, "new.bmp", ExistingFile::Refuse).error, SaveError::WriteFailed);
    QCOMPARE(QDir(clips).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.bmp"}); // no temporary left
}

void tst_PictureFile::onlyRegularFilesAreReadAndNothingBlocks()
{
    const QByteArray fifo = QFile::encodeName(folder() + "a-fifo.bmp");
    const QByteArray zero = QFile::encodeName(folder() + "dev-zero.bmp");
    QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
    QVERIFY(::symlink("/dev/zero", zero.constData()) == 0);
    for (const QByteArray& path : {fifo, zero}) {
        QCOMPARE(loadPicture(QFile::decodeName(path)).error, PictureError::Unreadable);
        QCOMPARE(readPictureInfo(QFile::decodeName(path)).error, PictureError::Unreadable);
    }
}

void tst_PictureFile::previewMissingFileHidesGroup()
{
    const PicturePreview preview = previewPictureFile(folder(), "nothing.bmp", false);
    QCOMPARE(preview.outcome, PicturePreview::HideGroup);
    QVERIFY(preview.image.isNull());
}

void tst_PictureFile::previewPlacement()
{
    const LitGrid grid = patternGrid(96, 16);
    QVERIFY(savePicture(grid, folder(), "banner.bmp", ExistingFile::Replace).ok());
    const PicturePreview preview = previewPictureFile(folder(), "banner.bmp", false);
    QCOMPARE(preview.outcome, PicturePreview::Show);
    QCOMPARE(preview.image.size(), QSize(96, 16));
    QCOMPARE(LitGrid::fromImage(preview.image, LitRule::LitBelow), grid);
    QCOMPARE(preview.groupWidth, 112);
    QCOMPARE(preview.groupLeft, 785 - 112);
    QCOMPARE(preview.imageLeft, 8);
    QCOMPARE(preview.imageTop, (89 - 16) / 2 + 2);

    const PicturePreview other = previewPictureFile(folder(), "banner.bmp", false, 500, 65);
    QCOMPARE(other.groupLeft, 500 - 112);
    QCOMPARE(other.imageTop, (65 - 16) / 2 + 2);
}

void tst_PictureFile::previewExpressModeShowsLeds()
{
    const QList<QRgb> colours = {rgbOf(kBlack), rgbOf(kWhite), rgbOf(LitThreshold), rgbOf(0x9C9C9C),
                                 rgbOf(kPureBlue), rgbOf(kPureRed)};
    QImage image(colours.size(), 1, QImage::Format_RGB32);
    for (int x = 0; x < colours.size(); ++x)
        image.setPixel(x, 0, colours[x]);
    QVERIFY(image.save(folder() + "colours.bmp", "BMP"));

    const PicturePreview express = previewPictureFile(folder(), "colours.bmp", true);
    QCOMPARE(express.outcome, PicturePreview::Show);
    const Picture shown(express.image);
    const QList<ColourValue> expected = {kPureRed, kBlack, kPureRed, kBlack, kBlack, kPureRed};
    for (int x = 0; x < colours.size(); ++x)
        QCOMPARE(shown.colourAt(x, 0), expected[x]);

    const Picture plain(previewPictureFile(folder(), "colours.bmp", false).image);
    QCOMPARE(plain.colourAt(2, 0), LitThreshold);
}

void tst_PictureFile::previewOfBrokenFiles()
{
    writeFile(folder() + "broken.bmp", "not a picture");
    const PicturePreview broken = previewPictureFile(folder(), "broken.bmp", false);
    QCOMPARE(broken.outcome, PicturePreview::Unchanged);
    QVERIFY(broken.errorText.contains("broken.bmp"));

    writeFile(folder() + "zero.bmp", headerClaiming(0, 16));
    const PicturePreview zero = previewPictureFile(folder(), "zero.bmp", true);
    QCOMPARE(zero.outcome, PicturePreview::Unchanged);
    QVERIFY(zero.errorText.isEmpty());
    QVERIFY(zero.image.isNull());
}

QTEST_GUILESS_MAIN(tst_PictureFile)
#include "tst_PictureFile.moc"
