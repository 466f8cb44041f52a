// libFuzzer target for the picture importer's decoding: whatever bytes a file named .jpg, .bmp, .gif, .png, .webp
// or .tif holds, decoding never crashes or reads outside the data, refuses with a reason or gives an image within
// the size limit, and the import of a decoded image into a canvas gives a grid of exactly the canvas size in every fit mode. Read
// as an animation, the bytes give every frame within the limits or a reason, never both.
//   ninja -C build-fuzz fuzz_PictureDecode && build-fuzz/tests/fuzz/fuzz_PictureDecode -max_len=65536 corpus

#include "imaging/AnimatedImage.h"
#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "imaging/PictureFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const char* name : {"fuzz.jpg", "fuzz.bmp", "fuzz.gif", "fuzz.png", "fuzz.webp", "fuzz.tif"}) {
        const imaging::DecodedImage decoded = imaging::decodeImageData(bytes, QString::fromLatin1(name), 16);
        require(decoded.ok() == decoded.errorText.isEmpty());
        if (!decoded.ok())
            continue;
        require(qint64(decoded.image.width()) * decoded.image.height() <= imaging::kMaxPicturePixels);
        const QSize canvas(96, 16);
        for (imaging::FitMode mode :
             {imaging::FitMode::Trim, imaging::FitMode::FullScreenResize, imaging::FitMode::KeepAspect}) {
            const QImage working = imaging::fitToCanvas(decoded.image, mode, canvas);
            for (imaging::ProcessMethod method : {imaging::ProcessMethod::TextMode, imaging::ProcessMethod::PictureMode}) {
                const int threshold = imaging::previewThreshold(working, {}, canvas, method);
                require(threshold >= 0 && threshold <= 255);
                const imaging::LitGrid grid = imaging::importGrid(working, {}, canvas, method, threshold);
                require(grid.width() == canvas.width() && grid.height() == canvas.height());
            }
        }
    }
    int frames = 0;
    const imaging::AnimationRead animation =
        imaging::readAnimation(bytes, QStringLiteral("fuzz.gif"), [&frames](const QImage& frame) {
            require(qint64(frame.width()) * frame.height() <= imaging::kMaxPicturePixels);
            require(frame.format() == QImage::Format_RGB32);
            ++frames;
            return true;
        });
    require(frames == animation.frames && frames <= imaging::kMaxAnimationFrames);
    require(!animation.ok() || (frames >= 1 && animation.delayMs > 0));
    return 0;
}
