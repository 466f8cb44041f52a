#include "imaging/ImageDecode.h"

#include "imaging/AnimatedImage.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <cmath>
#include <jpeglib.h>
#include <libexif/exif-data.h>
#include <memory>

namespace imaging {
namespace {

// The largest file the importer reads into memory; a photograph of 25 million pixels is far smaller.
constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;
// Progressive files may hold many scans; a crafted one could make decoding run for minutes.
constexpr int kMaxScans = 100;

// What an image plugin may allocate for one picture: 25 million pixels of 64-bit colour (16-bit PNG, TIFF).
constexpr int kPluginAllocationMb = 256;
// Vector drawings are rendered this many times the canvas height, so the resampler has detail to work with.
constexpr int kSvgOversampling = 4;

QString suffixOf(const QString& name)
{
    return QFileInfo(name).suffix().toLower();
}

bool isVectorFormat(const QByteArray& format)
{
    return format == "svg" || format == "svgz";
}

bool tooManyPixels(QSize size)
{
    return qint64(size.width()) * size.height() > kMaxPicturePixels || size.width() > kMaxPictureSide
           || size.height() > kMaxPictureSide;
}

// libjpeg reports errors through this manager: the message is kept and control jumps back to decodeInto, so the
// library never ends the process. Warnings (a file cut short among them) count as errors, since the library
// would fill the missing part with grey and call it a picture.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void failJpeg(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void onJpegMessage(j_common_ptr info, int level)
{
    if (level < 0) // a warning: corrupt data the library would paper over
        failJpeg(info);
}

void onJpegOutput(j_common_ptr) {}

void limitScans(j_common_ptr info)
{
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
        auto* manager = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(manager->message, sizeof manager->message, "too many scans");
        std::longjmp(manager->jump, 1);
    }
}

enum class JpegStep { Done, Failed, TooLarge };

// Every libjpeg call lives here, with no C++ object between setjmp and the calls whose destructor a longjmp
// could skip. The receiver owns the rows; `info` and `manager` outlive the jump.
JpegStep decodeInto(jpeg_decompress_struct* info, ErrorManager* manager, jpeg_progress_mgr* progress,
                    const unsigned char* data, unsigned long size, JpegRowReceiver* receiver)
{
    if (setjmp(manager->jump)) {
        jpeg_destroy_decompress(info);
        return JpegStep::Failed;
    }
    jpeg_create_decompress(info);
    info->progress = progress;
    jpeg_mem_src(info, data, size);
    jpeg_read_header(info, TRUE);
    if (qint64(info->image_width) * qint64(info->image_height) > kMaxPicturePixels
        || info->image_width > unsigned(kMaxPictureSide) || info->image_height > unsigned(kMaxPictureSide)) {
        jpeg_destroy_decompress(info);
        return JpegStep::TooLarge;
    }
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX; // BGRX is QImage's RGB32 in memory
    jpeg_start_decompress(info);
    if (!receiver->begin(QSize(int(info->output_width), int(info->output_height)))) {
        jpeg_destroy_decompress(info);
        return JpegStep::TooLarge;
    }
    while (info->output_scanline < info->output_height) {
        const int y = int(info->output_scanline);
        JSAMPROW row = reinterpret_cast<JSAMPROW>(receiver->rowBuffer(y));
        jpeg_read_scanlines(info, &row, 1);
        if (cmyk) {
            // Four bytes C, M, Y, K in place; the files this comes from (Adobe's) store them inverted, so each
            // byte is already "255 - ink" and the colour is the product of the channel with the black channel.
            for (JDIMENSION x = 0; x < info->output_width; ++x) {
                unsigned char* pixel = row + 4 * x;
                const int k = pixel[3];
                const int red = pixel[0] * k / 255, green = pixel[1] * k / 255, blue = pixel[2] * k / 255;
                pixel[0] = static_cast<unsigned char>(blue);
                pixel[1] = static_cast<unsigned char>(green);
                pixel[2] = static_cast<unsigned char>(red);
                pixel[3] = 0xFF;
            }
        }
        receiver->rowDecoded(y);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return JpegStep::Done;
}

// The whole image, each row decoded straight into its place.
class WholeImageReceiver : public JpegRowReceiver {
public:
    bool begin(QSize size) override
    {
        image = QImage(size, QImage::Format_RGB32);
        return !image.isNull();
    }
    QRgb* rowBuffer(int y) override { return reinterpret_cast<QRgb*>(image.scanLine(y)); }
    void rowDecoded(int) override {}

    QImage image;
};

DecodedImage refused(const QString& text)
{
    return {QImage(), text};
}

DecodedImage refusedAsTooLarge(const QString& name)
{
    return refused(messages::formatMessage(msg::PictureTooLarge, qUtf8Printable(name)));
}

// Every format but BMP, JPEG and GIF: the plugin named by the extension reads it, its size checked first where
// the header tells it. Orientation tags the plugin knows (TIFF, WebP) are applied.
DecodedImage decodeWithPlugin(const QByteArray& contents, const QString& name, const QByteArray& format,
                              int targetHeight)
{
    const auto unreadable = [&] {
        return refused(messages::formatMessage(msg::PictureUnreadable, qUtf8Printable(name),
                                               format.toUpper().constData()));
    };
    if (contents.isEmpty())
        return unreadable();
    if (QImageReader::allocationLimit() < kPluginAllocationMb)
        QImageReader::setAllocationLimit(kPluginAllocationMb);
    QByteArray bytes = contents; // shared, not copied: QBuffer only reads
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return unreadable();
    QSize size = reader.size();
    if (isVectorFormat(format)) {
        size = svgRenderSize(size, targetHeight);
        reader.setScaledSize(size);
    }
    if (size.isValid() && tooManyPixels(size))
        return refusedAsTooLarge(name);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return unreadable();
    if (tooManyPixels(image.size()))
        return refusedAsTooLarge(name);
    return {importableImage(image), {}};
}

// The first frame of a GIF: what the import dialog shows and fits; every frame is read again on import.
DecodedImage firstFrame(const QByteArray& contents, const QString& name)
{
    QImage first;
    const AnimationRead read = readAnimation(contents, name, [&first](const QImage& frame) {
        first = frame;
        return false;
    });
    return read.ok() ? DecodedImage{first, {}} : refused(read.errorText);
}

} // namespace

QString decodeJpegRows(const QByteArray& contents, const QString& name, JpegRowReceiver& receiver)
{
    if (contents.isEmpty())
        return messages::formatMessage(msg::FileIsEmpty, qUtf8Printable(name));
    jpeg_decompress_struct info;
    ErrorManager manager;
    std::memset(&info, 0, sizeof info);
    std::memset(&manager, 0, sizeof manager);
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = failJpeg;
    manager.base.emit_message = onJpegMessage;
    manager.base.output_message = onJpegOutput;
    jpeg_progress_mgr progress;
    std::memset(&progress, 0, sizeof progress);
    progress.progress_monitor = limitScans;
    switch (decodeInto(&info, &manager, &progress, reinterpret_cast<const unsigned char*>(contents.constData()),
                       static_cast<unsigned long>(contents.size()), &receiver)) {
    case JpegStep::Done:
        return {};
    case JpegStep::TooLarge:
        return messages::formatMessage(msg::PictureTooLargeShort, qUtf8Printable(name));
    case JpegStep::Failed:
        break;
    }
    return messages::formatMessage(msg::DamagedJpegPicture, qUtf8Printable(name),
                                   qUtf8Printable(QString::fromLocal8Bit(manager.message)));
}

DecodedImage decodeJpeg(const QByteArray& contents, const QString& name)
{
    WholeImageReceiver receiver;
    const QString error = decodeJpegRows(contents, name, receiver);
    return error.isEmpty() ? DecodedImage{receiver.image, {}} : refused(error);
}

bool isJpegName(const QString& name)
{
    const QString suffix = suffixOf(name);
    return suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg");
}

int jpegOrientation(const QByteArray& contents)
{
    // libexif finds the APP1 segment among the JPEG's markers; IFD 0 holds the orientation.
    if (contents.isEmpty())
        return 1;
    const std::unique_ptr<ExifData, decltype(&exif_data_unref)> exif(
        exif_data_new_from_data(reinterpret_cast<const unsigned char*>(contents.constData()),
                                static_cast<unsigned int>(contents.size())),
        &exif_data_unref);
    if (!exif)
        return 1;
    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || entry->size < 2)
        return 1;
    const int orientation = exif_get_short(entry->data, exif_data_get_byte_order(exif.get()));
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

QImage orientedImage(const QImage& image, int orientation)
{
    // Orientation n says where the stored rows and columns belong: 2 mirrored, 3 half turned, 4 flipped,
    // 5 transposed, 6 turned a quarter counter-clockwise (so it is turned clockwise), 7 transversed, 8 turned a
    // quarter clockwise. Quarter turns of a 32-bit image copy pixels exactly.
    const auto turned = [&image](qreal degrees) { return image.transformed(QTransform().rotate(degrees)); };
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return turned(90).mirrored(true, false);
    case 6:
        return turned(90);
    case 7:
        return turned(90).mirrored(false, true);
    case 8:
        return turned(270);
    default:
        return image;
    }
}

OrientationAxes orientationAxes(int orientation)
{
    OrientationAxes axes;
    axes.transposed = orientation >= 5 && orientation <= 8;
    axes.mirrorRows = orientation == 2 || orientation == 3 || orientation == 6 || orientation == 7;
    axes.mirrorColumns = orientation == 3 || orientation == 4 || orientation == 7 || orientation == 8;
    return axes;
}

QSize svgRenderSize(QSize natural, int targetHeight)
{
    if (natural.isEmpty())
        natural = QSize(targetHeight > 0 ? targetHeight : 1, targetHeight > 0 ? targetHeight : 1);
    if (targetHeight <= 0)
        return natural.boundedTo(QSize(kMaxPictureSide, kMaxPictureSide));
    const int height = kSvgOversampling * targetHeight;
    const double ratio = double(natural.width()) / double(natural.height());
    QSizeF size(std::max(1.0, std::round(height * ratio)), height);
    // A very wide drawing is kept within the pixel budget, its height shrunk with it (never below the target).
    const double budget = double(kMaxPicturePixels);
    if (size.width() > kMaxPictureSide || size.width() * size.height() > budget) {
        const double width = std::min(double(kMaxPictureSide), std::floor(budget / size.height()));
        size = QSizeF(width, std::max(double(targetHeight), std::floor(width / ratio)));
    }
    return QSize(int(size.width()), std::max(1, int(size.height())));
}

bool withinPixelLimit(QSize size)
{
    return !tooManyPixels(size);
}

QImage importableImage(const QImage& image)
{
    if (image.isNull() || !image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

QStringList importableSuffixes()
{
    QStringList suffixes{QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif")};
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        if (!suffixes.contains(QString::fromLatin1(format).toLower()))
            suffixes << QString::fromLatin1(format).toLower();
    return suffixes;
}

bool isImportableName(const QString& name)
{
    return importableSuffixes().contains(suffixOf(name));
}

DecodedImage decodeImageData(const QByteArray& contents, const QString& name, int targetHeight)
{
    if (isJpegName(name)) {
        DecodedImage decoded = decodeJpeg(contents, name);
        if (decoded.ok())
            decoded.image = orientedImage(decoded.image, jpegOrientation(contents));
        return decoded;
    }
    if (isAnimationName(name))
        return firstFrame(contents, name);
    const QByteArray format = suffixOf(name).toLatin1();
    if (format != "bmp" && QImageReader::supportedImageFormats().contains(format))
        return decodeWithPlugin(contents, name, format, targetHeight);
    PictureLoad load = decodePicture(contents, name);
    if (!load.ok())
        return refused(errorMessage(load));
    return {load.picture.image(), {}};
}

ImageFileRead readImageFile(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists())
        return {{}, messages::formatMessage(msg::FileDoesNotExist, qUtf8Printable(name))};
    if (!info.isFile())
        return {{}, messages::formatMessage(msg::NotAFile, qUtf8Printable(name))};
    if (info.size() > kMaxFileBytes)
        return {{}, messages::formatMessage(msg::PictureTooLargeShort, qUtf8Printable(name))};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, messages::formatMessage(msg::FileCannotBeOpened, qUtf8Printable(name))};
    ImageFileRead read{file.read(kMaxFileBytes + 1), {}};
    if (read.contents.size() > kMaxFileBytes)
        return {{}, messages::formatMessage(msg::PictureTooLargeShort, qUtf8Printable(name))};
    return read;
}

DecodedImage decodeImageFile(const QString& path, int targetHeight)
{
    const ImageFileRead read = readImageFile(path);
    if (!read.ok())
        return refused(read.errorText);
    return decodeImageData(read.contents, QFileInfo(path).fileName(), targetHeight);
}

} // namespace imaging
