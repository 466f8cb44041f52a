// The factory line's throughput: 4 simulated sticks whose every indicator write takes 2 ms, programmed all at once
// by the production line, against the same 4 programmed one after another. Sticks per minute for each and their
// ratio; the sticks are independent, so the goal is a ratio of at least 3.5.
//   bench_produce [--sticks N] [--bytes N]
#include "devicelink/ProductionLine.h"
#include "devicelink/Transport.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

using namespace devicelink;

namespace {

constexpr int kLatencyMs = 2;

// A 32-LED image of `bytes` bytes: one picture, its header and link entry saying so.
QByteArray benchImage(int bytes)
{
    QByteArray image(bytes, '\x5A');
    image[0] = 1;
    image[1] = 32;
    image[2] = static_cast<char>(bytes & 0xFF);
    image[3] = static_cast<char>(bytes >> 8);
    return image;
}

std::vector<SimulatedDeviceConfig> sticks(int count)
{
    SimulatedDeviceConfig config;
    config.latencyMs = kLatencyMs;
    return std::vector<SimulatedDeviceConfig>(count, config);
}

std::unique_ptr<HidPlatform> stickPlatform(int count, const QString& path, EventPump& pump)
{
    auto platform = std::make_unique<SimulatedHidPlatform>(pump, sticks(count));
    platform->keepOnly(path);
    return platform;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const auto option = [&arguments](const char* name, int fallback) {
        const int at = arguments.indexOf(QLatin1String(name));
        return at >= 0 ? std::max(1, arguments.value(at + 1).toInt()) : fallback;
    };
    const int count = option("--sticks", 4);
    const QByteArray image = benchImage(option("--bytes", 512));
    const QHash<int, QByteArray> images{{6, image}};
    ProductionSettings settings;
    settings.count = count;

    // One at a time: each stick's transfer in turn, as a line that serialised them would.
    QElapsedTimer clock;
    clock.start();
    int serialDone = 0;
    for (int i = 0; i < count; ++i) {
        ThreadPump pump;
        const QString path = SimulatedHidPlatform::stickPath(i, count);
        const std::unique_ptr<HidPlatform> platform = stickPlatform(count, path, pump);
        serialDone += programStick(*platform, pump, path, images, settings, {}).done ? 1 : 0;
    }
    const double serialMs = clock.nsecsElapsed() / 1e6;

    // All at once: the production line finds the sticks plugged in and starts them together.
    QtEventPump watchPump;
    SimulatedHidPlatform watchPlatform(watchPump, sticks(count));
    Transport watch(watchPlatform, watchPump);
    ProductionLine line(
        watch, [count](const QString& path, EventPump& pump) { return stickPlatform(count, path, pump); }, images,
        settings);
    QObject::connect(&line, &ProductionLine::allFinished, &application, &QCoreApplication::quit);
    clock.restart();
    line.scan();
    QCoreApplication::exec();
    const double parallelMs = clock.nsecsElapsed() / 1e6;

    const double serialRate = count * 60000.0 / serialMs;
    const double parallelRate = count * 60000.0 / parallelMs;
    QTextStream(stdout) << QStringLiteral("%1 sticks, %2 bytes each, %3 ms per indicator write\n")
                               .arg(count)
                               .arg(image.size())
                               .arg(kLatencyMs)
                        << QStringLiteral("one at a time: %1 done in %2 ms, %3 sticks/minute\n")
                               .arg(serialDone)
                               .arg(serialMs, 0, 'f', 0)
                               .arg(serialRate, 0, 'f', 1)
                        << QStringLiteral("all at once:   %1 done in %2 ms, %3 sticks/minute\n")
                               .arg(line.done())
                               .arg(parallelMs, 0, 'f', 0)
                               .arg(parallelRate, 0, 'f', 1)
                        << QStringLiteral("ratio %1 (goal >= 3.5)\n").arg(parallelRate / serialRate, 0, 'f', 2);
    return serialDone == count && line.done() == count ? 0 : 1;
}
