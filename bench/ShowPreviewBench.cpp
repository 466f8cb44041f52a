// The show preview on the largest images the format allows (65535 bytes at most, 127 rows): one picture of 4094
// columns, and 255 pictures of 15 columns, in a movie group and with tickers. Measured: the time from opening the
// window with the image to its first frame on screen (goal at most 100 ms), and 10 s of playback with the frame
// timer at 60 frames a second: frames drawn, frames dropped (a gap of more than 1.5 frames between two drawn
// frames counts the frames missed in it) and the longest gap. Runs on the offscreen platform unless another is set.

#include "BenchSupport.h"
#include "deviceimage/DeviceImage.h"
#include "deviceimage/ShowPreview.h"
#include "store/Edition.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kHeight = 127;
constexpr int kBands = deviceimage::bytesPerColumn(kHeight);
constexpr double kFrameMs = 1000.0 / 60;

// An image of `count` pictures of `width` columns each; every `groupEvery`-th run of pictures is a movie group and
// every third picture a ticker of the next type. Height flag set: columns left to right.
QByteArray largestImage(int count, int width)
{
    const int patternStart = deviceimage::kHeaderBytes + deviceimage::kLinkEntryBytes * count;
    const int total = patternStart + count * width * kBands;
    QByteArray image(total, '\0');
    image[0] = char(count);
    image[1] = char(kHeight | deviceimage::kHeightFlag);
    deviceimage::writeWord(image, 2, total);
    deviceimage::writeWord(image, 4, patternStart);
    for (int k = 0; k < count; ++k) {
        const int link = 6 + deviceimage::kLinkEntryBytes * k;
        const int ticker = count > 1 && k % 3 == 0 ? (k / 3) % 3 + 1 : 0;
        deviceimage::writeWord(image, link, width | (ticker << deviceimage::kTickerShift));
        deviceimage::writeWord(image, link + 2, 0x0802);
        deviceimage::writeWord(image, link + 4, 20 | (count > 1 && k % 5 < 3 ? deviceimage::kGroupContinuesBit : 0));
        deviceimage::writeWord(image, link + 6, 8);
    }
    deviceimage::writeWord(image, patternStart - 4, 10);
    deviceimage::writeWord(image, patternStart - 2, 16);
    for (int i = patternStart; i < total; ++i)
        image[i] = char((i * 37) ^ (i >> 3));
    return image;
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void run(const char* name, const QByteArray& image)
{
    const store::EditionParameters edition = store::deriveEdition(QStringLiteral("/opt/Lumiwand48"));
    SilentPrompter prompter;

    QElapsedTimer opening;
    opening.start();
    deviceimage::ShowPreview window(edition, QString(), prompter);
    window.play(image, deviceimage::kRoll, QStringLiteral("bench"));
    window.show();
    while (window.eyeView->paints() == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double firstFrameMs = double(opening.nsecsElapsed()) / 1e6;

    // Playback: the gaps between drawn frames of the eye view over 10 s.
    int lastPaints = window.eyeView->paints();
    QElapsedTimer clock;
    clock.start();
    qint64 lastFrameNs = clock.nsecsElapsed();
    int frames = 0;
    int dropped = 0;
    double longestGapMs = 0;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (window.eyeView->paints() == lastPaints)
            return;
        lastPaints = window.eyeView->paints();
        const qint64 now = clock.nsecsElapsed();
        const double gapMs = double(now - lastFrameNs) / 1e6;
        lastFrameNs = now;
        ++frames;
        longestGapMs = std::max(longestGapMs, gapMs);
        if (gapMs > 1.5 * kFrameMs)
            dropped += int(gapMs / kFrameMs + 0.5) - 1;
    });
    watch.start();
    spin(10000);
    watch.stop();

    std::printf("%-34s %6lld bytes, %3zu pictures: first frame %6.1f ms (goal <= 100); 10 s at 60 fps: %4d frames "
                "drawn, %3d dropped, longest gap %5.1f ms\n",
                name, static_cast<long long>(image.size()), window.timeline().entries.size(), firstFrameMs, frames,
                dropped, longestGapMs);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    run("one picture of 4094 x 127", largestImage(1, 4094));
    run("255 pictures of 15 x 127", largestImage(255, 15));
    return 0;
}
