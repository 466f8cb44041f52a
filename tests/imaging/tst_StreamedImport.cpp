// The import decoded in strips gives what the whole-image import gives, byte for byte: the resampled image of
// every fit, the crop of Trim, the threshold and the canvas cells, for photograph-like JPEGs in every EXIF
// orientation and at every LED height; and a damaged file is refused alike however few rows Trim needs.

#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "imaging/StreamedImport.h"
#include "tests/support/JpegFiles.h"

#include <QBuffer>
#include <QTest>
#include <iterator>
#include <vector>

using namespace imaging;

namespace {

// Every byte of the pixels, alpha included, row after row.
QByteArray rawPixels(const QImage& image)
{
    QByteArray bytes;
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 4);
    return QByteArray::number(image.width()) + 'x' + QByteArray::number(image.height()) + ':' + bytes;
}

// The photograph: odd sizes, so that neither the strips nor the JPEG's blocks divide them.
const QByteArray& photo()
{
    static const QByteArray jpeg = jpegOf(photoLikeImage(QSize(1203, 803), 27), 90);
    return jpeg;
}

// As wide as the canvases below are, so that a pass whose length does not change is taken too.
const QByteArray& square()
{
    static const QByteArray jpeg = jpegOf(photoLikeImage(QSize(96, 96), 5), 85);
    return jpeg;
}

// So much wider than the canvas that the first pass's weights are small: their products are summed by counting.
const QByteArray& wide()
{
    static const QByteArray jpeg = jpegOf(photoLikeImage(QSize(4001, 150), 13), 90);
    return jpeg;
}

const QByteArray& grey()
{
    static const QByteArray jpeg = jpegOf(photoLikeImage(QSize(517, 300), 9).convertToFormat(QImage::Format_Grayscale8), 90);
    return jpeg;
}

// The canvases of the five editions: the banner width and the LED count.
const QSize kCanvases[] = {{96, 11}, {288, 16}, {128, 24}, {96, 32}, {96, 48}};

} // namespace

Q_DECLARE_METATYPE(FitMode)

class tst_StreamedImport : public QObject {
    Q_OBJECT

private slots:
    void sameAsWholeImage_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<FitMode>("fit");
        QTest::addColumn<QPoint>("origin");
        // The photograph at every height; the others, which reach the passes' other ways, at two.
        const struct {
            const char* name;
            const QByteArray& jpeg;
            std::vector<QSize> canvases;
        } pictures[] = {{"photo", photo(), {std::begin(kCanvases), std::end(kCanvases)}},
                        {"square", square(), {kCanvases[1], kCanvases[4]}},
                        {"grey", grey(), {kCanvases[0], kCanvases[3]}},
                        {"wide", wide(), {kCanvases[0], kCanvases[1]}}};
        for (const auto& picture : pictures)
            for (int orientation = 1; orientation <= 8; ++orientation) {
                const QByteArray jpeg = orientation == 1 ? picture.jpeg : withOrientation(picture.jpeg, orientation, false);
                for (const QSize canvas : picture.canvases) {
                    const auto row = [&](const char* fit) -> QTestData& {
                        return QTest::addRow("%s, orientation %d, %d LEDs, %s", picture.name, orientation,
                                             canvas.height(), fit)
                               << jpeg << orientation << canvas;
                    };
                    row("stretch") << FitMode::FullScreenResize << QPoint();
                    row("aspect") << FitMode::KeepAspect << QPoint();
                    row("trim at the corner") << FitMode::Trim << QPoint();
                    row("trim inside") << FitMode::Trim << QPoint(37, 5);
                    row("trim over the far edges") << FitMode::Trim << QPoint(500, 290);
                    row("trim before the image") << FitMode::Trim << QPoint(-7, -3);
                    row("trim past the image") << FitMode::Trim << QPoint(2000, 0);
                }
            }
        QTest::addRow("square, both passes unchanged")
            << withOrientation(square(), 6, false) << 6 << QSize(96, 96) << FitMode::FullScreenResize << QPoint();
    }

    void sameAsWholeImage()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, orientation);
        QFETCH(QSize, canvas);
        QFETCH(FitMode, fit);
        QFETCH(QPoint, origin);
        QCOMPARE(jpegOrientation(jpeg), orientation);
        const DecodedImage whole = decodeImageData(jpeg, QStringLiteral("photo.jpg"));
        QVERIFY(whole.ok());
        const QImage working = fitToCanvas(whole.image, fit, canvas);

        const FittedDecode streamed = fitImageData(jpeg, QStringLiteral("photo.jpg"), fit, origin, canvas);
        QVERIFY2(streamed.ok(), qPrintable(streamed.errorText));
        QCOMPARE(streamed.fitted.size, working.size());
        if (fit == FitMode::Trim) {
            QCOMPARE(rawPixels(canvasCrop(streamed.fitted.working, streamed.fitted.origin, canvas)),
                     rawPixels(canvasCrop(working, origin, canvas)));
        } else {
            QCOMPARE(rawPixels(streamed.fitted.working), rawPixels(working));
        }

        for (const ProcessMethod method : {ProcessMethod::TextMode, ProcessMethod::PictureMode}) {
            ImportChoice choice;
            choice.fit = fit;
            choice.method = method;
            choice.origin = origin;
            const ImportResult expected = importImage(whole.image, choice, canvas);
            const StreamedImport imported = importImageData(jpeg, QStringLiteral("photo.jpg"), choice, canvas);
            QVERIFY(imported.ok());
            QCOMPARE(imported.result.grid.toRows(), expected.grid.toRows());
            QCOMPARE(imported.result.threshold, expected.threshold);
            QCOMPARE(imported.result.fitted, expected.fitted);
        }
    }

    // The rows Trim keeps are the first ones, but the file is read to its end: cut short, it is refused with the
    // same reason as by the whole-image decode.
    void damagedFileRefusedAlike_data()
    {
        QTest::addColumn<FitMode>("fit");
        QTest::newRow("trim") << FitMode::Trim;
        QTest::newRow("stretch") << FitMode::FullScreenResize;
        QTest::newRow("aspect") << FitMode::KeepAspect;
    }

    void damagedFileRefusedAlike()
    {
        QFETCH(FitMode, fit);
        const QByteArray cut = photo().left(photo().size() * 3 / 4);
        const DecodedImage whole = decodeImageData(cut, QStringLiteral("cut.jpg"));
        QVERIFY(!whole.ok());
        const FittedDecode streamed = fitImageData(cut, QStringLiteral("cut.jpg"), fit, QPoint(), QSize(288, 16));
        QCOMPARE(streamed.errorText, whole.errorText);
        const FittedDecode empty = fitImageData({}, QStringLiteral("empty.jpg"), fit, QPoint(), QSize(288, 16));
        QCOMPARE(empty.errorText, decodeImageData({}, QStringLiteral("empty.jpg")).errorText);
    }

    // Other formats are decoded whole and fitted as before.
    void otherFormatsAsBefore()
    {
        const QImage image = photoLikeImage(QSize(300, 120), 3);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(image.save(&buffer, "png"));
        const DecodedImage whole = decodeImageData(png, QStringLiteral("photo.png"));
        const FittedDecode streamed =
            fitImageData(png, QStringLiteral("photo.png"), FitMode::KeepAspect, QPoint(), QSize(288, 16));
        QVERIFY(streamed.ok());
        QCOMPARE(rawPixels(streamed.fitted.working),
                 rawPixels(fitToCanvas(whole.image, FitMode::KeepAspect, QSize(288, 16))));
    }
};

QTEST_GUILESS_MAIN(tst_StreamedImport)
#include "tst_StreamedImport.moc"
