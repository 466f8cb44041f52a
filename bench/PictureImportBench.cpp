// Import of a 6000 x 4000 JPEG photograph (24 million pixels, just under the importer's limit) up to the lit grid
// the canvas receives, in each fit mode, against the time libjpeg alone takes to decode the same file. Goal: at
// most 1.5 times the decode. Also the text-to-banner preview rebuild of a 40-character text on 48 LEDs with the
// two-line search. Goal: a median of at most 30 ms.

#include "BenchSupport.h"

#include "imaging/Fonts.h"
#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "imaging/TextBanner.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <vector>

namespace {

// A photograph-like picture: smooth gradients with some shapes, so the JPEG is of a usual size.
QByteArray photoJpeg()
{
    QImage photo(6000, 4000, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, 6000, 4000);
    sky.setColorAt(0, QColor(30, 90, 200));
    sky.setColorAt(1, QColor(250, 220, 160));
    painter.fillRect(photo.rect(), sky);
    painter.setBrush(QColor(20, 20, 20));
    for (int i = 0; i < 40; ++i)
        painter.drawEllipse(QPoint(150 * i, 2000 + (i * 977) % 1800), 200, 120);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(90);
    writer.write(photo);
    return bytes;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication application(argc, argv);
    imaging::installFontSubstitutions();
    using namespace imaging;

    const QByteArray jpeg = photoJpeg();
    std::printf("photo: 6000 x 4000 JPEG, %lld bytes\n", static_cast<long long>(jpeg.size()));
    // Decode and imports take turns in every round, so a busy machine slows both alike; the ratio is the median
    // of the rounds' ratios.
    const QSize canvas(128, 32);
    const struct {
        const char* name;
        FitMode mode;
    } modes[] = {{"Trim", FitMode::Trim},
                 {"Full Screen Resize", FitMode::FullScreenResize},
                 {"Maintain Aspect Ratio", FitMode::KeepAspect}};
    constexpr int kRounds = 5;
    std::vector<double> decodeTimes;
    std::vector<std::vector<double>> importTimes(std::size(modes)), ratios(std::size(modes));
    for (int round = 0; round < kRounds; ++round) {
        decodeTimes.push_back(medianMs([&] { decodeJpeg(jpeg, "photo.jpg"); }, 1));
        for (size_t m = 0; m < std::size(modes); ++m) {
            importTimes[m].push_back(medianMs([&] {
                const DecodedImage decoded = decodeImageData(jpeg, "photo.jpg");
                const QImage working = fitToCanvas(decoded.image, modes[m].mode, canvas);
                const int threshold = previewThreshold(working, {}, canvas, ProcessMethod::TextMode);
                importGrid(working, {}, canvas, ProcessMethod::TextMode, threshold);
            }, 1));
            ratios[m].push_back(importTimes[m].back() / decodeTimes.back());
        }
    }
    std::printf("libjpeg decode alone: median %.1f ms\n", median(decodeTimes));
    for (size_t m = 0; m < std::size(modes); ++m)
        std::printf("import to %d x %d, %-22s median %.1f ms, %.2f x decode (goal <= 1.5)\n", canvas.width(),
                    canvas.height(), modes[m].name, median(importTimes[m]), median(ratios[m]));

    BannerComposer composer(QSize(288, 48));
    const QString text = QStringLiteral("Happy birthday to you and all of us now!");
    BannerOptions wrap;
    wrap.wrapText = true;
    const double bannerMs = medianMs(
        [&] {
            QFont font = defaultTextFont();
            composer.compose(text, font, wrap);
        },
        15);
    std::printf("text to banner, %lld characters, two-line search, 48 LEDs: median %.1f ms (goal <= 30)\n",
                static_cast<long long>(text.size()), bannerMs);
    return 0;
}
