// Every picture format the importer reads goes through the same fit, threshold and dithering: the same picture
// stored as BMP, PNG, WebP or TIFF gives the same canvas, a JPEG turned by its EXIF orientation comes upright, and
// an SVG is rendered large enough to fit.

#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "imaging/PictureFile.h"
#include "tests/support/JpegFiles.h"
#include "tests/support/TestFiles.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace imaging;

namespace {

const QSize k16Led(96, 16);

// A grey picture with shapes in five levels on white: dark enough and light enough parts for every threshold,
// wider than the canvas so that each fit mode does something of its own.
QImage greyShapes()
{
    const int levels[] = {0, 60, 128, 200};
    QImage image(150, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int band = (x / 13 + y / 9) % 6;
            if (band < 4 && (x + y) % 5 != 0)
                image.setPixel(x, y, qRgb(levels[band], levels[band], levels[band]));
        }
    return image;
}

QByteArray encoded(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        qWarning("cannot write %s: %s", format, qPrintable(writer.errorString()));
    return bytes;
}

// The same picture with its white background transparent (and black under it, which must not show).
QImage withTransparentBackground(const QImage& image)
{
    QImage rgba = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < rgba.height(); ++y)
        for (int x = 0; x < rgba.width(); ++x)
            if (rgba.pixel(x, y) == qRgb(255, 255, 255))
                rgba.setPixel(x, y, qRgba(0, 0, 0, 0));
    return rgba;
}

QImage greyscale16(const QImage& image)
{
    QImage grey(image.size(), QImage::Format_Grayscale16);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<quint16*>(grey.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = quint16(qRed(image.pixel(x, y)) * 257);
    }
    return grey;
}

QByteArray crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : data) {
        crc ^= quint8(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    QByteArray out(4, '\0');
    qToBigEndian(crc ^ 0xFFFFFFFF, out.data());
    return out;
}

// A PNG whose header claims width x height (its CRC made right, so only the size is wrong).
QByteArray pngClaiming(int width, int height)
{
    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(Qt::white);
    QByteArray png = encoded(one, "png");
    qToBigEndian(quint32(width), png.data() + 16);
    qToBigEndian(quint32(height), png.data() + 20);
    png.replace(29, 4, crc32(png.mid(12, 17)));
    return png;
}

// Blocks of 16 x 16 black or white, aligned with the JPEG's blocks so that compression keeps them clean; no
// symmetry, so a wrong turn or mirror shows.
QImage uprightBlocks()
{
    const QStringList rows{"#..#", "##..", "#.#."};
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, rows[y / 16][x / 16] == u'#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

// How a camera stores the upright picture `u` under each EXIF orientation, pixel by pixel from the standard's
// wording (where the stored 0th row and 0th column belong in the picture as seen).
QImage storedAs(const QImage& u, int orientation)
{
    const int W = u.width(), H = u.height();
    const bool turned = orientation >= 5;
    QImage s(turned ? H : W, turned ? W : H, QImage::Format_RGB32);
    for (int sy = 0; sy < s.height(); ++sy)
        for (int sx = 0; sx < s.width(); ++sx) {
            QPoint p;
            switch (orientation) {
            case 1: p = {sx, sy}; break;
            case 2: p = {W - 1 - sx, sy}; break;
            case 3: p = {W - 1 - sx, H - 1 - sy}; break;
            case 4: p = {sx, H - 1 - sy}; break;
            case 5: p = {sy, sx}; break;
            case 6: p = {W - 1 - sy, sx}; break;
            case 7: p = {W - 1 - sy, H - 1 - sx}; break;
            case 8: p = {sy, H - 1 - sx}; break;
            }
            s.setPixel(sx, sy, u.pixel(p));
        }
    return s;
}

LitGrid converted(const QString& path, FitMode fit, ProcessMethod method)
{
    const DecodedImage decoded = decodeImageFile(path, k16Led.height());
    if (!decoded.ok())
        qWarning("%s", qPrintable(decoded.errorText));
    ImportChoice choice;
    choice.fit = fit;
    choice.method = method;
    choice.origin = QPoint(20, 10);
    return importImage(decoded.image, choice, k16Led).grid;
}

} // namespace

class tst_PictureFormats : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QList<QByteArray> formats = QImageReader::supportedImageFormats();
        for (const char* needed : {"png", "webp", "tiff", "svg"})
            QVERIFY2(formats.contains(needed), needed); // scripts/install-deps.sh installs the plug-ins
        QVERIFY(dir_.isValid());
        writeFile(dir_.filePath("shapes.bmp"), encoded(greyShapes(), "bmp"));
    }

    // The same picture from every format, through every fit mode and process method, as the BMP gives it.
    void sameBytesFromEveryFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        const QImage shapes = greyShapes();
        QImage palette = shapes.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        // An unused colour keeps the palette from being written as a grey PNG.
        palette.setColorCount(palette.colorCount() + 1);
        palette.setColor(palette.colorCount() - 1, qRgb(255, 0, 0));
        const QByteArray png16 = encoded(greyscale16(shapes), "png");
        QCOMPARE(int(quint8(png16[24])), 16); // IHDR: 16 bits a sample
        QCOMPARE(int(quint8(png16[25])), 0);  // grey
        const QByteArray paletted = encoded(palette, "png");
        QCOMPARE(int(quint8(paletted[25])), 3); // palette
        QTest::newRow("png rgb") << "shapes.png" << encoded(shapes, "png");
        QTest::newRow("png rgba, background transparent") << "shapes.png"
                                                          << encoded(withTransparentBackground(shapes), "png");
        QTest::newRow("png palette") << "shapes.png" << paletted;
        QTest::newRow("png 16-bit grey") << "shapes.PNG" << png16;
        QTest::newRow("webp lossless") << "shapes.webp" << encoded(shapes, "webp", 100);
        QTest::newRow("tiff") << "shapes.tif" << encoded(shapes, "tiff");
        QTest::newRow("tiff, background transparent") << "shapes.tiff"
                                                      << encoded(withTransparentBackground(shapes), "tiff");
    }
    void sameBytesFromEveryFormat()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        const QString path = dir_.filePath(QString::number(++files_) + name);
        writeFile(path, contents);
        const DecodedImage decoded = decodeImageFile(path, k16Led.height());
        QVERIFY2(decoded.ok(), qPrintable(decoded.errorText));
        QCOMPARE(decoded.image.format(), QImage::Format_RGB32);
        for (FitMode fit : {FitMode::Trim, FitMode::FullScreenResize, FitMode::KeepAspect})
            for (ProcessMethod method : {ProcessMethod::TextMode, ProcessMethod::PictureMode}) {
                const LitGrid expected = converted(dir_.filePath("shapes.bmp"), fit, method);
                const LitGrid got = converted(path, fit, method);
                QVERIFY(!expected.isEmpty());
                QCOMPARE(encodeBmp(got), encodeBmp(expected));
            }
    }

    void jpegTurnedByExifComesUpright_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("bigEndian");
        for (int orientation = 1; orientation <= 8; ++orientation)
            QTest::addRow("orientation %d", orientation) << orientation << (orientation % 2 == 0);
    }
    void jpegTurnedByExifComesUpright()
    {
        QFETCH(int, orientation);
        QFETCH(bool, bigEndian);
        const QImage upright = uprightBlocks();
        const QString uprightPath = dir_.filePath("upright.jpg");
        writeFile(uprightPath, encoded(upright, "jpg", 100));
        const QString path = dir_.filePath(QStringLiteral("turned%1.jpg").arg(orientation));
        const QByteArray jpeg = withOrientation(encoded(storedAs(upright, orientation), "jpg", 100), orientation,
                                                bigEndian);
        writeFile(path, jpeg);
        QCOMPARE(jpegOrientation(jpeg), orientation);

        const DecodedImage decoded = decodeImageFile(path);
        QVERIFY2(decoded.ok(), qPrintable(decoded.errorText));
        QCOMPARE(decoded.image.size(), upright.size());
        for (FitMode fit : {FitMode::Trim, FitMode::FullScreenResize, FitMode::KeepAspect}) {
            const LitGrid expected = converted(uprightPath, fit, ProcessMethod::TextMode);
            QCOMPARE(converted(path, fit, ProcessMethod::TextMode).toRows(), expected.toRows());
        }
        const LitGrid seen = LitGrid::fromImage(decoded.image, LitRule::LitBelow);
        QCOMPARE(seen.toRows(), LitGrid::fromImage(upright, LitRule::LitBelow).toRows());
    }

    void svgIsRenderedForTheCanvas_data()
    {
        QTest::addColumn<QByteArray>("svg");
        QTest::addColumn<QSize>("rendered");
        QTest::addColumn<QStringList>("aspectRows");
        // A black square on the left half of a 2:1 drawing; the rest transparent (the background).
        const QByteArray halfBlack = "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10' viewBox='0 0 20 10'>"
                                     "<rect x='0' y='0' width='10' height='10' fill='black'/></svg>";
        // 128 x 64 scaled to 32 x 16: the resampler has no half-pixel offset, so the edge column leans dark.
        QStringList rows;
        for (int y = 0; y < 16; ++y)
            rows << QString(17, u'#') + QString(79, u'.');
        QTest::newRow("small drawing, 4 x the LEDs high") << halfBlack << QSize(128, 64) << rows;
        QByteArray huge = halfBlack;
        huge.replace("width='20' height='10'", "width='200000' height='100000'");
        QTest::newRow("a huge size is no larger") << huge << QSize(128, 64) << rows;
    }
    void svgIsRenderedForTheCanvas()
    {
        QFETCH(QByteArray, svg);
        QFETCH(QSize, rendered);
        QFETCH(QStringList, aspectRows);
        const QString path = dir_.filePath(QString::number(++files_) + "drawing.svg");
        writeFile(path, svg);
        const DecodedImage decoded = decodeImageFile(path, k16Led.height());
        QVERIFY2(decoded.ok(), qPrintable(decoded.errorText));
        QCOMPARE(decoded.image.size(), rendered);
        QCOMPARE(converted(path, FitMode::KeepAspect, ProcessMethod::TextMode).toRows(), aspectRows);
    }

    void svgRenderSize_data()
    {
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<int>("target");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("4 x the target height") << QSize(30, 10) << 16 << QSize(192, 64);
        QTest::newRow("no size of its own: square") << QSize() << 16 << QSize(64, 64);
        QTest::newRow("no target: its own size") << QSize(30, 10) << 0 << QSize(30, 10);
        // 1000:1 would be 64000 wide: kept to 32767 columns, the height never below the target.
        QTest::newRow("very wide") << QSize(1000, 1) << 16 << QSize(32767, 32);
    }
    void svgRenderSize()
    {
        QFETCH(QSize, natural);
        QFETCH(int, target);
        QFETCH(QSize, expected);
        QCOMPARE(imaging::svgRenderSize(natural, target), expected);
    }

    // Every format is refused the same way: by name, with the reason, and never past 25 million pixels.
    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("reason");
        QTest::newRow("png of 6000 x 6000") << "big.png" << pngClaiming(6000, 6000) << "25 million";
        QTest::newRow("png of 40000 x 1") << "wide.png" << pngClaiming(40000, 1) << "25 million";
        QTest::newRow("empty png") << "empty.png" << QByteArray() << "not a PNG picture";
        QTest::newRow("garbage webp") << "noise.webp" << QByteArray(300, 'x') << "not a WEBP picture";
        QTest::newRow("png named tiff") << "shapes.tiff" << encoded(greyShapes(), "png") << "not a TIFF picture";
        QTest::newRow("cut short png") << "cut.png" << encoded(greyShapes(), "png").left(60) << "damaged";
        QTest::newRow("broken svg") << "broken.svg" << QByteArray("<svg xmlns='http://www.w3.org/2000/svg'") << "SVG";
    }
    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        const DecodedImage decoded = decodeImageData(contents, name, 16);
        QVERIFY(!decoded.ok());
        QVERIFY2(decoded.errorText.contains(name) && decoded.errorText.contains(reason), qPrintable(decoded.errorText));
    }

    void filtersAndDropsAskQt()
    {
        const QStringList filters = importFileFilters();
        for (const char* suffix : {"*.bmp", "*.jpg", "*.gif", "*.png", "*.webp", "*.tif", "*.svg"})
            QVERIFY2(filters.first().contains(QLatin1String(suffix)), suffix);
        QVERIFY(filters.size() > 1);
        QVERIFY(isImportableName("photo.WEBP"));
        QVERIFY(isImportableName("/a/b/scan.tiff"));
        QVERIFY(!isImportableName("notes.txt"));
        QVERIFY(!isImportableName("show.lwd"));
    }

    // A picture taken from memory (the clipboard) goes the same way: transparent parts are background.
    void importableImageDrawsOnWhite()
    {
        QImage rgba(2, 1, QImage::Format_ARGB32);
        rgba.setPixel(0, 0, qRgba(0, 0, 0, 0));
        rgba.setPixel(1, 0, qRgba(0, 0, 0, 255));
        const QImage flat = importableImage(rgba);
        QCOMPARE(flat.format(), QImage::Format_RGB32);
        QCOMPARE(flat.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(flat.pixel(1, 0), qRgb(0, 0, 0));
        QVERIFY(withinPixelLimit(QSize(5000, 5000)));
        QVERIFY(!withinPixelLimit(QSize(5001, 5000)));
    }

private:
    QTemporaryDir dir_;
    int files_ = 0;
};

QTEST_GUILESS_MAIN(tst_PictureFormats)
#include "tst_PictureFormats.moc"
