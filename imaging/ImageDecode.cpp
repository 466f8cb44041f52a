#include "imaging/ImageDecode.h"

#include "imaging/AnimatedImage.h"
#include "imaging/PictureFile.h"

#include <QFile>
#include <QFileInfo>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>

namespace imaging {
namespace {

// The largest file the importer reads into memory; a photograph of 25 million pixels is far smaller.
constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;
// Progressive files may hold many scans; a crafted one could make decoding run for minutes.
constexpr int kMaxScans = 100;

bool isJpegName(const QString& name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    return suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg");
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
// could skip. The caller owns the image; `info` and `manager` outlive the jump.
JpegStep decodeInto(jpeg_decompress_struct* info, ErrorManager* manager, jpeg_progress_mgr* progress,
                    const unsigned char* data, unsigned long size, QImage* image)
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
    *image = QImage(int(info->output_width), int(info->output_height), QImage::Format_RGB32);
    if (image->isNull()) {
        jpeg_destroy_decompress(info);
        return JpegStep::TooLarge;
    }
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = image->scanLine(int(info->output_scanline));
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
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return JpegStep::Done;
}

DecodedImage refused(const QString& text)
{
    return {QImage(), text};
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

DecodedImage decodeJpeg(const QByteArray& contents, const QString& name)
{
    if (contents.isEmpty())
        return refused(QStringLiteral("%1 is empty.").arg(name));
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
    QImage image;
    switch (decodeInto(&info, &manager, &progress, reinterpret_cast<const unsigned char*>(contents.constData()),
                       static_cast<unsigned long>(contents.size()), &image)) {
    case JpegStep::Done:
        return {image, {}};
    case JpegStep::TooLarge:
        return refused(QStringLiteral("%1 is too large a picture.").arg(name));
    case JpegStep::Failed:
        break;
    }
    return refused(QStringLiteral("%1 is a damaged JPEG picture: %2.").arg(name, QString::fromLocal8Bit(manager.message)));
}

DecodedImage decodeImageData(const QByteArray& contents, const QString& name)
{
    if (isJpegName(name))
        return decodeJpeg(contents, name);
    if (isAnimationName(name))
        return firstFrame(contents, name);
    PictureLoad load = decodePicture(contents, name);
    if (!load.ok())
        return refused(load.errorText);
    return {load.picture.image(), {}};
}

DecodedImage decodeImageFile(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists())
        return refused(QStringLiteral("%1 does not exist.").arg(name));
    if (!info.isFile())
        return refused(QStringLiteral("%1 is not a file.").arg(name));
    if (info.size() > kMaxFileBytes)
        return refused(QStringLiteral("%1 is too large a picture.").arg(name));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("%1 cannot be opened.").arg(name));
    const QByteArray contents = file.read(kMaxFileBytes + 1);
    if (contents.size() > kMaxFileBytes)
        return refused(QStringLiteral("%1 is too large a picture.").arg(name));
    return decodeImageData(contents, name);
}

} // namespace imaging
