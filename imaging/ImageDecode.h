#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decoding the images the importer takes: JPEG files through libjpeg, turned upright by their EXIF orientation;
// BMP files through the picture reader (colour values as stored); a GIF's first frame; every other format Qt's
// image plugins read (PNG, WebP, TIFF, SVG, ...) through QImageReader. Transparent pixels are drawn onto white,
// the background of every picture, so the same picture gives the same pixels from any format.
namespace imaging {

struct DecodedImage {
    QImage image;      // Format_RGB32; null when the file was refused
    QString errorText; // English, names the file; empty when decoded
    bool ok() const { return !image.isNull(); }
};

// The lower-cased extension decides: ".jpg" and ".jpeg" are JPEG, ".gif" GIF, ".bmp" BMP, any other extension an
// image plugin reads goes to that plugin, anything else is read as BMP. Files that are missing, empty, damaged,
// cut short, of more than 25 million pixels, or not what their extension says are refused with a reason and no
// image. A drawing without pixels of its own (SVG) is rendered svgRenderSize(its size, targetHeight) large.
DecodedImage decodeImageFile(const QString& path, int targetHeight = 0);

// The same for contents already in memory; `name` decides the decoder as the path does and is used in the text.
DecodedImage decodeImageData(const QByteArray& contents, const QString& name, int targetHeight = 0);

// An image as the importer takes it: Format_RGB32, transparent parts drawn onto white. Null stays null.
QImage importableImage(const QImage& image);
// Whether an image of this size is one the importer takes: at most 25 million pixels, 32767 on a side.
bool withinPixelLimit(QSize size);

// How large a vector drawing is rendered for a canvas `targetHeight` LEDs high: 4 x that height (at least the
// target), its width in proportion; its own size when no target is given; always within 25 million pixels.
QSize svgRenderSize(QSize natural, int targetHeight);

// The EXIF orientation (1..8) a JPEG's APP1 segment records; 1 (as stored) when it has none.
int jpegOrientation(const QByteArray& contents);
// The image turned upright from what EXIF orientation `orientation` says of its stored pixels.
QImage orientedImage(const QImage& image, int orientation);
// How orientedImage lays the stored axes out: the upright rows are the stored columns (transposed), and the upright
// rows or columns run against the stored axis they lie on (mirrored).
struct OrientationAxes {
    bool transposed = false;
    bool mirrorRows = false;
    bool mirrorColumns = false;
};
OrientationAxes orientationAxes(int orientation);

// The extensions (lower case, without the dot) of every image the importer reads: the plugins' and libjpeg's.
QStringList importableSuffixes();
// Whether a file's name has one of them.
bool isImportableName(const QString& name);

// libjpeg alone, as the importer calls it: the file's pixels as Format_RGB32, or an error. Exposed for the fuzz
// target and the benchmark.
DecodedImage decodeJpeg(const QByteArray& contents, const QString& name);

// Where decodeJpegRows puts the rows, top to bottom as stored (before any EXIF turn), as Format_RGB32 pixels.
class JpegRowReceiver {
public:
    virtual ~JpegRowReceiver() = default;
    // The stored size, once the header is read and found within the pixel limit; false refuses it as too large.
    virtual bool begin(QSize size) = 0;
    // Where row y is to be decoded: room for the image's width of pixels, valid until rowDecoded(y).
    virtual QRgb* rowBuffer(int y) = 0;
    virtual void rowDecoded(int y) = 0;
};

// decodeJpeg without the whole image: every row goes through the receiver as it is decoded. The file is always
// decoded to its end, so a damaged or cut-short one is refused however few rows the receiver needs. Returns the
// error text decodeJpeg would give, empty when decoded.
QString decodeJpegRows(const QByteArray& contents, const QString& name, JpegRowReceiver& receiver);

// Whether the name is decoded as JPEG (".jpg", ".jpeg").
bool isJpegName(const QString& name);

// A picture file's contents, read as decodeImageFile reads them: refused with a reason when it is missing, not a
// file, unreadable or larger than any picture the importer takes.
struct ImageFileRead {
    QByteArray contents;
    QString errorText; // English, names the file; empty when read
    bool ok() const { return errorText.isEmpty(); }
};
ImageFileRead readImageFile(const QString& path);

} // namespace imaging
