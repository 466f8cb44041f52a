// Time from the simulated stick's plug-in or pull-out (its presence file created or removed) to the open download
// dialog's device list showing it, through the device watcher. The goal is 200 ms; the periodic polls alone would
// take up to their interval.
//   bench_plug_in [--rounds N]
#include "devicelink/DeviceWatcher.h"
#include "devicelink/Usbdownload.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"

#include "bench/BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using namespace devicelink;

namespace {

constexpr int kGiveUpMs = 5000;

// Waits, running the event loop, until the dialog's first device entry is no longer `before`; the milliseconds
// taken, or -1 when it did not change within kGiveUpMs.
double msUntilListChanges(const TForm10& dialog, const QString& before, const QElapsedTimer& since)
{
    while (dialog.ComboBox1->itemText(0) == before) {
        if (since.elapsed() > kGiveUpMs)
            return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return double(since.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const int at = arguments.indexOf(QStringLiteral("--rounds"));
    const int rounds = at >= 0 ? std::max(2, arguments.value(at + 1).toInt()) : 20;

    QTemporaryDir folder;
    const QString flag = folder.filePath(QStringLiteral("stick-in"));
    QtEventPump pump;
    SimulatedHidPlatform platform(pump, *parseSimulatedDeviceConfig(QStringLiteral("id=K,present=") + flag));
    SilentPrompter prompter;
    TForm10 dialog(platform, pump, prompter, {}, {});
    dialog.show();
    DeviceWatcher watcher;
    if (!watcher.watchPresenceFile(flag)) {
        QTextStream(stderr) << "cannot watch " << folder.path() << '\n';
        return 1;
    }
    QObject::connect(&watcher, &DeviceWatcher::devicesChanged, &dialog, &TForm10::devicesChanged);

    std::vector<double> plugIn, pullOut;
    int missed = 0;
    for (int round = 0; round < rounds; ++round) {
        const bool plugging = round % 2 == 0;
        const QString before = dialog.ComboBox1->itemText(0);
        QElapsedTimer since;
        since.start();
        if (plugging)
            QFile(flag).open(QIODevice::WriteOnly);
        else
            QFile::remove(flag);
        const double ms = msUntilListChanges(dialog, before, since);
        if (ms < 0)
            ++missed;
        else
            (plugging ? plugIn : pullOut).push_back(ms);
    }

    QTextStream out(stdout);
    const auto report = [&out](const char* what, const std::vector<double>& times) {
        if (times.empty())
            return;
        out << what << ": median " << QString::number(median(times), 'f', 1) << " ms, worst "
            << QString::number(*std::max_element(times.begin(), times.end()), 'f', 1) << " ms over " << times.size()
            << " rounds (goal 200 ms)\n";
    };
    report("plug-in to device list", plugIn);
    report("pull-out to device list", pullOut);
    out << "not noticed within " << kGiveUpMs << " ms: " << missed << '\n';
    return 0;
}
