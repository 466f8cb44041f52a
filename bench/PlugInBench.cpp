// Time from the simulated stick's plug-in or pull-out (its presence file created or removed: the event the kernel
// sends for a real stick) to the open download dialog's device list showing it, through the device watcher. The
// watcher's settle timer, which waits for the rest of a burst of events, is reported apart: the time from the
// event to the list updated is the event noticed (the watch firing) plus the list's update once the watcher
// tells it, without the timer between them. The goal is 200 ms; the periodic polls alone would take up to their
// interval.
//   bench_plug_in [--rounds N]
#include "devicelink/DeviceWatcher.h"
#include "devicelink/windows/DownloadDialog.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"

#include "bench/BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemWatcher>
#include <QTemporaryDir>
#include <QTextStream>

using namespace devicelink;

namespace {

constexpr int kGiveUpMs = 5000;

// The moments of one plug-in or pull-out, in milliseconds from the event.
struct Moments {
    double noticed = -1; // the watch fired (the settle timer starts)
    double told = -1;    // the watcher told the dialog (the settle timer ended)
    double listed = -1;  // the dialog's list shows the change
};

// Waits, running the event loop, until the dialog's first device entry is no longer `before`; false when it did
// not change within kGiveUpMs.
bool waitUntilListChanges(const DownloadDialog& dialog, const QString& before, const QElapsedTimer& since)
{
    while (dialog.ComboBox1->itemText(0) == before) {
        if (since.elapsed() > kGiveUpMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

double msSince(const QElapsedTimer& since)
{
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
    SimulatedHidPlatform platform(pump, parseSimulatedDeviceConfig(QStringLiteral("id=K,present=") + flag).sticks.front());
    SilentPrompter prompter;
    DownloadDialog dialog(platform, pump, prompter, {}, {});
    dialog.show();
    DeviceWatcher watcher;
    if (!watcher.watchPresenceFile(flag)) {
        QTextStream(stderr) << "cannot watch " << folder.path() << '\n';
        return 1;
    }
    QElapsedTimer since;
    Moments moments;
    // Connected after the watcher's own connections, so each runs right after the watcher's slot.
    QObject::connect(watcher.findChild<QFileSystemWatcher*>(), &QFileSystemWatcher::directoryChanged, &watcher, [&] {
        if (moments.noticed < 0)
            moments.noticed = msSince(since);
    });
    QObject::connect(&watcher, &DeviceWatcher::devicesChanged, &dialog, [&] {
        moments.told = msSince(since);
        dialog.devicesChanged();
        moments.listed = msSince(since);
    });

    std::vector<Moments> plugIn, pullOut;
    int missed = 0;
    for (int round = 0; round < rounds; ++round) {
        const bool plugging = round % 2 == 0;
        const QString before = dialog.ComboBox1->itemText(0);
        moments = {};
        since.start();
        if (plugging)
            QFile(flag).open(QIODevice::WriteOnly);
        else
            QFile::remove(flag);
        if (waitUntilListChanges(dialog, before, since) && moments.noticed >= 0 && moments.told >= 0)
            (plugging ? plugIn : pullOut).push_back(moments);
        else
            ++missed;
    }

    QTextStream out(stdout);
    const auto report = [&out](const char* what, const std::vector<Moments>& all) {
        if (all.empty())
            return;
        std::vector<double> total, withoutSettle, noticed, settle, update;
        for (const Moments& m : all) {
            total.push_back(m.listed);
            noticed.push_back(m.noticed);
            withoutSettle.push_back(m.noticed + (m.listed - m.told));
            settle.push_back(m.told - m.noticed);
            update.push_back(m.listed - m.told);
        }
        const auto ms = [](const std::vector<double>& values) { return QString::number(median(values), 'f', 1); };
        out << what << " (medians of " << all.size() << "): event to list updated " << ms(withoutSettle)
            << " ms (noticed " << ms(noticed) << " ms, list "
            << ms(update) << " ms), worst "
            << QString::number(*std::max_element(withoutSettle.begin(), withoutSettle.end()), 'f', 1)
            << " ms (goal 200 ms); settle timer apart " << ms(settle) << " ms (set to " << DeviceWatcher::kSettleMs
            << " ms); all told " << ms(total) << " ms\n";
    };
    report("plug-in", plugIn);
    report("pull-out", pullOut);
    out << "not noticed within " << kGiveUpMs << " ms: " << missed << '\n';
    return 0;
}
