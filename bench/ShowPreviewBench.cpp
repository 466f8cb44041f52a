// The show preview on the largest images the format allows (65535 bytes at most, 127 rows): one picture of 4094
// columns, and 255 pictures of 15 columns, in a movie group and with tickers. Measured: the time from opening the
// window with the image to its first frame on screen (goal at most 100 ms), and 10 s of playback with the frame
// timer at 60 frames a second. A frame is a new state of the show drawn: one the frame timer's tick made and a
// paint of the eye view drew before the next tick replaced it. Paints that draw nothing new (an expose, a second
// paint of the same state) are no frames; a tick never drawn is a dropped frame, and so is each 60th of a second
// in which no tick came. Printed: frames drawn against those the timer's interval allows, dropped, the ticks and paints behind them,
// and the longest gap between two drawn frames. Runs on the offscreen platform unless another is set.

#include "BenchSupport.h"
#include "deviceimage/DeviceImage.h"
#include "deviceimage/windows/ShowPreview.h"
#include "store/Edition.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kHeight = 127;
constexpr int kBands = deviceimage::bytesPerColumn(kHeight);

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

// Counts the frames drawn: the frame timer's ticks (connected after the window's own slot, so each sees the state
// the tick made) and the eye view's paints.
class FrameCounter : public QObject {
public:
    int ticks = 0;
    int paints = 0;
    int frames = 0;
    int superseded = 0; // ticks whose state the next tick replaced before it was drawn
    double longestGapMs = 0;

    FrameCounter(deviceimage::ShowPreview& window) : view_(*window.eyeView)
    {
        clock_.start();
        view_.installEventFilter(this);
        connect(window.frameTimer, &QTimer::timeout, this, [this] {
            ++ticks;
            superseded += waiting_ ? 1 : 0;
            waiting_ = true;
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &view_ || event->type() != QEvent::Paint)
            return false;
        ++paints;
        if (waiting_) {
            waiting_ = false;
            const qint64 now = clock_.nsecsElapsed();
            if (frames > 0)
                longestGapMs = std::max(longestGapMs, double(now - lastFrameNs_) / 1e6);
            lastFrameNs_ = now;
            ++frames;
        }
        return false;
    }

private:
    QWidget& view_;
    QElapsedTimer clock_;
    qint64 lastFrameNs_ = 0;
    bool waiting_ = false;
};

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

    // Playback: the frames drawn over 10 s.
    constexpr int kPlayMs = 10000;
    FrameCounter counter(window);
    QElapsedTimer playing;
    playing.start();
    spin(kPlayMs);
    // The frames the timer's interval allows in the time played.
    const int expected = int(double(playing.elapsed()) / window.frameTimer->interval());
    const int dropped = std::max(0, expected - counter.frames);

    std::printf("%-34s %6lld bytes, %3zu pictures: first frame %6.1f ms (goal <= 100); 10 s at %.1f fps: %4d of %d "
                "frames drawn, %3d dropped (%d ticks, %d never drawn; %d paints), longest gap %5.1f ms\n",
                name, static_cast<long long>(image.size()), window.timeline().entries.size(), firstFrameMs,
                1000.0 / window.frameTimer->interval(), counter.frames, expected, dropped, counter.ticks,
                counter.superseded, counter.paints, counter.longestGapMs);
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
