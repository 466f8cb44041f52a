// Import of a 6000 x 4000 PNG (24 million pixels, just under the importer's limit) to the 16-LED canvas, in each
// fit mode, against the time Qt's PNG reader alone takes to decode the same file. Goal: at most 1.5 times the
// decode.

#include "BenchSupport.h"

#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <cstdio>
#include <iterator>
#include <vector>

namespace {

// A photograph-like picture: smooth gradients with some shapes.
QByteArray photoPng()
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
    QImageWriter writer(&buffer, "png");
    writer.write(photo);
    return bytes;
}

QImage qtDecode(const QByteArray& png)
{
    QByteArray bytes = png;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "png").read();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication application(argc, argv);
    using namespace imaging;

    const QByteArray png = photoPng();
    std::printf("photo: 6000 x 4000 PNG, %lld bytes\n", static_cast<long long>(png.size()));
    const QSize canvas(96, 16);
    const struct {
        const char* name;
        FitMode mode;
    } modes[] = {{"Trim", FitMode::Trim},
                 {"Full Screen Resize", FitMode::FullScreenResize},
                 {"Maintain Aspect Ratio", FitMode::KeepAspect}};
    // Decode and imports take turns in every round, so a busy machine slows both alike; the ratio is the median
    // of the rounds' ratios.
    constexpr int kRounds = 5;
    std::vector<double> decodeTimes;
    std::vector<std::vector<double>> importTimes(std::size(modes)), ratios(std::size(modes));
    for (int round = 0; round < kRounds; ++round) {
        decodeTimes.push_back(medianMs([&] { qtDecode(png); }, 1));
        for (size_t m = 0; m < std::size(modes); ++m) {
            importTimes[m].push_back(medianMs([&] {
                const DecodedImage decoded = decodeImageData(png, "photo.png", canvas.height());
                ImportChoice choice;
                choice.fit = modes[m].mode;
                importImage(decoded.image, choice, canvas);
            }, 1));
            ratios[m].push_back(importTimes[m].back() / decodeTimes.back());
        }
    }
    std::printf("Qt PNG decode alone: median %.1f ms\n", median(decodeTimes));
    for (size_t m = 0; m < std::size(modes); ++m)
        std::printf("import to %d x %d, %-22s median %.1f ms, %.2f x decode (goal <= 1.5)\n", canvas.width(),
                    canvas.height(), modes[m].name, median(importTimes[m]), median(ratios[m]));
    return 0;
}
