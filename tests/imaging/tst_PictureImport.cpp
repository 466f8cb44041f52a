#include "imaging/Colour.h"
#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "imaging/PictureFile.h"
#include "imaging/Resample.h"
#include "tests/support/JpegFiles.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace imaging;

namespace {

// A grey image from rows of levels.
QImage greyImage(const QList<QList<int>>& rows)
{
    QImage image(int(rows.value(0).size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(rows[y][x], rows[y][x], rows[y][x]));
    return image;
}

QList<int> redLevels(const QImage& image, int y)
{
    QList<int> levels;
    for (int x = 0; x < image.width(); ++x)
        levels << qRed(image.pixel(x, y));
    return levels;
}

QImage blackWhite(const QStringList& rows)
{
    return LitGrid::fromRows(rows).toImage().convertToFormat(QImage::Format_RGB32);
}

const QSize k16Led(96, 16);

} // namespace

class tst_PictureImport : public QObject {
    Q_OBJECT

private slots:
    void resampleRows_data()
    {
        QTest::addColumn<QList<int>>("source");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("2 to 4: no half-pixel offset, truncating sums") << QList<int>{255, 0} << 4
                                                                       << QList<int>{255, 127, 0, 0};
        QTest::newRow("same width copies") << QList<int>{9, 200, 31} << 3 << QList<int>{9, 200, 31};
        QTest::newRow("4 to 2: triangle twice as wide") << QList<int>{100, 100, 200, 200} << 2
                                                        << QList<int>{99, 175};
        QTest::newRow("3 to 1") << QList<int>{30, 60, 90} << 1 << QList<int>{49};
    }
    void resampleRows()
    {
        QFETCH(QList<int>, source);
        QFETCH(int, width);
        QFETCH(QList<int>, expected);
        const QImage result = C2PassScale<CBilinearFilter>().Scale(greyImage({source}), width, 1);
        QCOMPARE(result.size(), QSize(width, 1));
        QCOMPARE(redLevels(result, 0), expected);
    }

    void resampleKeepsChannelsApartAndGoesByRowsFirst()
    {
        // Columns of a 1 x 2 image: the vertical pass alone, red and blue kept apart.
        QImage source(1, 2, QImage::Format_RGB32);
        source.setPixel(0, 0, qRgb(255, 0, 10));
        source.setPixel(0, 1, qRgb(0, 255, 20));
        const QImage result = C2PassScale<CBilinearFilter>().Scale(source, 1, 4);
        QCOMPARE(result.pixel(0, 0) & 0xFFFFFF, qRgb(255, 0, 10) & 0xFFFFFF);
        QCOMPARE(result.pixel(0, 1) & 0xFFFFFF, qRgb(127, 127, 15) & 0xFFFFFF);
        QCOMPARE(result.pixel(0, 2) & 0xFFFFFF, qRgb(0, 255, 20) & 0xFFFFFF);
    }

    void resampleMatchesTheWeightedSums()
    {
        // Every destination channel is the 8-bit sum of trunc(weight x byte) over its table entry, rows first.
        QImage source(50, 9, QImage::Format_RGB32);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 50; ++x)
                source.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * x + y * 53) % 256, (x * y * 7 + 90) % 256));
        const auto pass = [](const QImage& in, int length, bool rows) {
            const WeightTable table = buildWeightTable(CBilinearFilter(), rows ? in.width() : in.height(), length);
            QImage out(rows ? length : in.width(), rows ? in.height() : length, QImage::Format_RGB32);
            for (int y = 0; y < out.height(); ++y)
                for (int x = 0; x < out.width(); ++x) {
                    const Contribution& c = table.contributions[size_t(rows ? x : y)];
                    quint8 sums[3] = {0, 0, 0};
                    for (int i = c.left; i <= c.right; ++i) {
                        const QRgb pixel = rows ? in.pixel(i, y) : in.pixel(x, i);
                        const double w = c.weights[size_t(i - c.left)];
                        sums[0] = quint8(sums[0] + int(w * qRed(pixel)));
                        sums[1] = quint8(sums[1] + int(w * qGreen(pixel)));
                        sums[2] = quint8(sums[2] + int(w * qBlue(pixel)));
                    }
                    out.setPixel(x, y, qRgb(sums[0], sums[1], sums[2]));
                }
            return out;
        };
        for (const QSize size : {QSize(13, 4), QSize(120, 20), QSize(7, 30)}) {
            const QImage expected = pass(pass(source, size.width(), true), size.height(), false);
            const QImage actual = C2PassScale<CBilinearFilter>().Scale(source, size.width(), size.height());
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    QCOMPARE(actual.pixel(x, y) & 0xFFFFFF, expected.pixel(x, y) & 0xFFFFFF);
        }
    }

    void weightTableWindow()
    {
        // Shrinking 10 to 4: half-width 2.5, window 2 x 3 + 1 = 7; every entry within it and summing to 1.
        const WeightTable table = buildWeightTable(CBilinearFilter(), 10, 4);
        QCOMPARE(table.windowSize, 7);
        for (const Contribution& c : table.contributions) {
            QVERIFY(c.left >= 0 && c.right <= 9 && c.right - c.left + 1 <= 7);
            double total = 0;
            for (double w : c.weights)
                total += w;
            QVERIFY(qAbs(total - 1.0) < 1e-9);
        }
    }

    void keepAspect_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("200 x 100 on 16 LEDs") << QSize(200, 100) << k16Led << QSize(32, 16);
        QTest::newRow("1000 x 100 too wide: 96 x 9") << QSize(1000, 100) << k16Led << QSize(96, 9);
        QTest::newRow("tall") << QSize(10, 100) << QSize(288, 48) << QSize(4, 48);
        QTest::newRow("very wide keeps a row") << QSize(30000, 1) << k16Led << QSize(96, 1);
    }
    void keepAspect()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, canvas);
        QFETCH(QSize, expected);
        QCOMPARE(keepAspectSize(source, canvas), expected);
        QImage image(source, QImage::Format_RGB32);
        image.fill(Qt::black);
        QCOMPARE(fitToCanvas(image, FitMode::KeepAspect, canvas).size(), expected);
    }

    void autoThreshold_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<int>("expected");
        QImage white(96, 16, QImage::Format_RGB32);
        white.fill(Qt::white);
        QTest::newRow("all white: fallback") << white << 155;
        // Half black, half white: m = 0, N = 768, target = 384; level 0 reaches it with S = 768 > 51 %: 0 - 1
        // is not taken at level 0, which never stops the walk; level 1 stops with 768 x 100 / 768 > 51: 0.
        QImage half = white.copy();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 96; ++x)
                half.setPixel(x, y, qRgb(0, 0, 0));
        QTest::newRow("half black") << half << 0;
        // Dark grey (level 60) over three quarters of the area: m = 60, target = 36 % of 1152 = 414; level 60
        // reaches it, and S = 1152 is more than 51 % of N: one level less, 59.
        QImage grey = white.copy();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 72; ++x)
                grey.setPixel(x, y, qRgb(60, 60, 60));
        QTest::newRow("dark grey") << grey << 59;
        // The same grey over a third of the area: target 184 is below 25 % of the area: fallback.
        QImage third = white.copy();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x)
                third.setPixel(x, y, qRgb(60, 60, 60));
        QTest::newRow("too little ink") << third << 155;
        QImage sparse = white.copy();
        for (int x = 0; x < 96; ++x)
            sparse.setPixel(x, 0, qRgb(0, 0, 0));
        QTest::newRow("sparse ink") << sparse << 155;
    }
    void autoThreshold()
    {
        QFETCH(QImage, image);
        QFETCH(int, expected);
        QCOMPARE(AutoThreshold(image, image.rect(), false), expected);
    }

    void autoThresholdConvertsToGrey()
    {
        QImage image(2, 1, QImage::Format_RGB32);
        image.setPixel(0, 0, qRgb(255, 0, 0));
        image.setPixel(1, 0, qRgb(0, 0, 255));
        AutoThreshold(image, image.rect(), true);
        QCOMPARE(redLevels(image, 0), (QList<int>{77, 28}));
        QCOMPARE(qBlue(image.pixel(0, 0)), 77);
    }

    void ditherStep()
    {
        // 100 becomes black with error 100: right +43, lower-left +18, below +31, lower-right +6.
        QImage image = greyImage({{10, 100, 50, 200}, {0, 0, 0, 0}});
        const QRect area = image.rect();
        DitherStep(image, area, 1, 0);
        QCOMPARE(redLevels(image, 0), (QList<int>{10, 0, 93, 200}));
        QCOMPARE(redLevels(image, 1), (QList<int>{18, 31, 6, 0}));
        // 200 becomes white with error -56: the right neighbour is outside, 0 + (-56 x 3 / 16) clamps to 0.
        DitherStep(image, area, 3, 0);
        QCOMPARE(redLevels(image, 0), (QList<int>{10, 0, 93, 255}));
        QCOMPARE(redLevels(image, 1), (QList<int>{18, 31, 0, 0}));
    }

    void ditherStaysInsideArea()
    {
        QImage image = greyImage({{100, 100}, {100, 100}});
        DitherStep(image, QRect(0, 0, 1, 1), 0, 0);
        QCOMPARE(redLevels(image, 0), (QList<int>{0, 100}));
        QCOMPARE(redLevels(image, 1), (QList<int>{100, 100}));
    }

    void blackWhitePictureImportsCellForCell()
    {
        QStringList rows;
        for (int y = 0; y < 16; ++y) {
            QString row;
            for (int x = 0; x < 96; ++x)
                row += (x * 7 + y * 3 + x * y) % 5 < 2 ? '#' : '.';
            rows << row;
        }
        const QImage working = fitToCanvas(blackWhite(rows), FitMode::Trim, k16Led);
        const int threshold = previewThreshold(working, {}, k16Led, ProcessMethod::TextMode);
        const int ok = okThreshold(working, {}, k16Led, ProcessMethod::TextMode, threshold);
        QCOMPARE(importGrid(working, {}, k16Led, ProcessMethod::TextMode, ok).toRows(), rows);
    }

    void allWhiteLightsNothing()
    {
        QImage white(300, 40, QImage::Format_RGB32);
        white.fill(Qt::white);
        for (FitMode mode : {FitMode::Trim, FitMode::FullScreenResize, FitMode::KeepAspect}) {
            const QImage working = fitToCanvas(white, mode, k16Led);
            for (ProcessMethod method : {ProcessMethod::TextMode, ProcessMethod::PictureMode}) {
                QCOMPARE(previewThreshold(working, {}, k16Led, method), 155);
                QCOMPARE(importGrid(working, {}, k16Led, method, 155), LitGrid(96, 16));
            }
        }
    }

    void cropBeyondTheImageStaysUnlit()
    {
        // A 40 x 8 black image: only its cells light, also in Picture Mode, where no error leaks past the image.
        QImage black(40, 8, QImage::Format_RGB32);
        black.fill(Qt::black);
        for (ProcessMethod method : {ProcessMethod::TextMode, ProcessMethod::PictureMode}) {
            const LitGrid grid = importGrid(black, {}, k16Led, method, 155);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 96; ++x)
                    QCOMPARE(grid.isLit(x, y), x < 40 && y < 8);
        }
        // A crop origin inside a larger image reads from there.
        QImage wide(200, 20, QImage::Format_RGB32);
        wide.fill(Qt::white);
        wide.setPixel(150, 5, qRgb(0, 0, 0));
        QVERIFY(importGrid(wide, {100, 2}, k16Led, ProcessMethod::TextMode, 155).isLit(50, 3));
    }

    void pictureModeDithers()
    {
        // Mid grey dithers to a mix: about half the cells lit.
        QImage grey(96, 16, QImage::Format_RGB32);
        grey.fill(qRgb(128, 128, 128));
        const LitGrid grid = importGrid(grey, {}, k16Led, ProcessMethod::PictureMode, 155);
        int lit = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 96; ++x)
                lit += grid.isLit(x, y);
        QVERIFY2(lit > 96 * 16 * 4 / 10 && lit < 96 * 16 * 6 / 10, qPrintable(QString::number(lit)));
    }

    void sourceLayout_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<bool>("cropNeeded");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QSize>("frame");
        QTest::newRow("1000 x 300 photo, 16 LEDs") << QSize(1000, 300) << k16Led << true << 1 << QSize(96, 16);
        QTest::newRow("40 x 8 fits") << QSize(40, 8) << k16Led << false << 19 << QSize();
        QTest::newRow("wide but low: frame cut to the image") << QSize(200, 10) << k16Led << true << 3
                                                                << QSize(288, 30);
    }
    void sourceLayout()
    {
        QFETCH(QSize, image);
        QFETCH(QSize, canvas);
        QFETCH(bool, cropNeeded);
        QFETCH(int, zoom);
        QFETCH(QSize, frame);
        const SourceLayout layout = layoutSource(image, canvas);
        QCOMPARE(layout.cropNeeded, cropNeeded);
        QCOMPARE(layout.zoom, zoom);
        QCOMPARE(layout.cropFrame, frame);
    }

    void cropFrameSnapsAndStaysInside()
    {
        const QSize shown(600, 90), frame(288, 48);
        QCOMPARE(placeCropFrame({100, 20}, shown, frame, 3), QPoint(99, 18));
        QCOMPARE(placeCropFrame({-40, -5}, shown, frame, 3), QPoint(0, 0));
        QCOMPARE(placeCropFrame({900, 200}, shown, frame, 3), QPoint(312, 42));
        QCOMPARE(cropOriginAt({99, 18}, 3), QPoint(33, 6));
    }

    void decodesJpegAndBmp()
    {
        QTemporaryDir dir;
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int x = 0; x < 20; ++x)
            for (int y = 0; y < 20; ++y)
                image.setPixel(x, y, qRgb(0, 0, 0));
        writeFile(dir.filePath("photo.JPG"), jpegOf(image, 95));
        const DecodedImage jpeg = decodeImageFile(dir.filePath("photo.JPG"));
        QVERIFY2(jpeg.ok(), qPrintable(jpeg.errorText));
        QCOMPARE(jpeg.image.size(), QSize(40, 20));
        QVERIFY(qRed(jpeg.image.pixel(5, 5)) < 30 && qRed(jpeg.image.pixel(35, 5)) > 225);

        writeFile(dir.filePath("logo.bmp"), encodeBmp(LitGrid::fromRows({"#..#"})));
        const DecodedImage bmp = decodeImageFile(dir.filePath("logo.bmp"));
        QVERIFY(bmp.ok());
        QCOMPARE(importGrid(bmp.image, {}, QSize(4, 1), ProcessMethod::TextMode, 155).toRows(), QStringList{"#..#"});
    }

    void refusesBadFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(qRgb(10, 200, 30));
        const QByteArray jpeg = jpegOf(image, 95);
        QTest::newRow("empty jpeg") << "a.jpg" << QByteArray();
        QTest::newRow("empty bmp") << "a.bmp" << QByteArray();
        QTest::newRow("truncated jpeg") << "a.jpg" << jpeg.left(jpeg.size() / 2);
        QTest::newRow("garbage jpeg") << "a.jpg" << QByteArray(500, 'x');
        QTest::newRow("jpeg named bmp") << "a.bmp" << jpeg;
        QTest::newRow("bmp named jpg") << "a.jpg" << encodeBmp(LitGrid(8, 8));
        // A header of 6000 x 6000 pixels (36 million): refused before any pixel memory is taken.
        QByteArray huge = jpeg;
        const int sof = int(huge.indexOf("\xFF\xC0"));
        QVERIFY(sof > 0);
        huge[sof + 5] = char(0x17);
        huge[sof + 6] = char(0x70);
        huge[sof + 7] = char(0x17);
        huge[sof + 8] = char(0x70);
        QTest::newRow("huge jpeg") << "a.jpg" << huge;
    }
    void refusesBadFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        const DecodedImage decoded = decodeImageData(contents, name);
        QVERIFY(!decoded.ok());
        QVERIFY(decoded.errorText.contains(name));
    }

    void refusesMissingFile()
    {
        QVERIFY(!decodeImageFile(QStringLiteral("/nonexistent/a.jpg")).ok());
        QTemporaryDir dir;
        QVERIFY(!decodeImageFile(dir.path()).ok());
    }
};

QTEST_GUILESS_MAIN(tst_PictureImport)
#include "tst_PictureImport.moc"
