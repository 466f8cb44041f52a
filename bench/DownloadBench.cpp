// Download of an image that fills a 4096-byte stick (identity letter K) to the simulated stick, with each
// indicator write taking 0 ms and 1 ms. Prints the total time against the protocol's floor, the writes times the
// latency, as a ratio, and apart from it the program's own pauses (the sign-on pauses, the pause before the
// checksum and the short sleeps between read blocks, measured on a virtual clock): the total less the pauses
// against the floor shows what the transfer costs beyond both.
//   bench_download [--runs N]
#include "devicelink/DeviceTransfers.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "messages/Prompter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <vector>

using namespace devicelink;

namespace {

// Answers every box with OK and remembers the last text.
class SilentPrompter : public messages::Prompter {
public:
    QString last;
    messages::Answer ask(const QString&, const QString& text, messages::Icon, messages::Buttons) override
    {
        last = text;
        return messages::Answer::Ok;
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseOpenFile(const QString&, const QString&, const QStringList&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&, const QStringList&) override { return {}; }
};

// A clock that moves only when something sleeps: what is left of a run on it is the pauses alone.
class VirtualPump : public EventPump {
public:
    qint64 clock = 0;
    void processEvents() override {}
    void sleep(int ms) override { clock += std::max(ms, 0); }
    qint64 now() override { return clock; }
};

// 30 pictures of 32 rows, 961 columns in all: 10 + 8 * 30 + 4 * 961 = 4094 bytes.
QByteArray fillingImage()
{
    QByteArray image;
    const auto word = [&image](int value) {
        image.append(static_cast<char>(value & 0xFF));
        image.append(static_cast<char>(value >> 8));
    };
    const int pictures = 30;
    const int total = 10 + 8 * pictures + 4 * 961;
    image.append(static_cast<char>(pictures));
    image.append(static_cast<char>(32));
    word(total);
    word(10 + 8 * pictures);
    for (int p = 0; p < pictures; ++p) {
        word(p == 0 ? 33 : 32);
        word(0x0802);
        word(20);
        word(480);
    }
    word(4);
    word(480);
    while (image.size() < total)
        image.append(static_cast<char>((image.size() * 37) & 0xFF));
    return image;
}

struct Run {
    bool ok = false;
    qint64 milliseconds = 0;
    int writes = 0;
};

Run download(EventPump& pump, int latency, const QByteArray& image, bool measure)
{
    SimulatedDeviceConfig config;
    config.identity = u'K';
    config.latencyMs = latency;
    SimulatedHidPlatform platform(pump, config);
    platform.device().memory().replace(0, image.size(), image); // an earlier download of the same project
    Transport transport(platform, pump);
    transport.discoverDevices();
    SilentPrompter prompter;
    TransferView view;
    ProjectHooks hooks;
    hooks.currentProjectPath = [] { return QStringLiteral("/projects/Fill.ini"); };
    hooks.countedTotal = [&image] { return static_cast<int>(image.size()); };
    hooks.buildImage = [&image](int) { return image; };
    TransferSettings settings;
    settings.ledCount = 32;
    DeviceTransfers transfers(transport, prompter, view, hooks, settings);

    QElapsedTimer timer;
    const qint64 start = pump.now();
    timer.start();
    Run run;
    run.ok = transfers.download() && platform.device().memory().left(image.size()) == image;
    run.milliseconds = measure ? timer.elapsed() : pump.now() - start;
    run.writes = platform.device().writeCount();
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    int runs = 1;
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype runsAt = arguments.indexOf(QStringLiteral("--runs"));
    if (runsAt >= 0 && runsAt + 1 < arguments.size())
        runs = std::max(1, arguments[runsAt + 1].toInt());

    const QByteArray image = fillingImage();
    VirtualPump virtualPump;
    const Run pauses = download(virtualPump, 0, image, false);
    out << "download of " << image.size() << " bytes to a simulated 4096-byte stick (K), " << pauses.writes
        << " indicator writes, pauses " << pauses.milliseconds << " ms\n";

    for (int latency : {0, 1}) {
        std::vector<qint64> totals;
        bool ok = true;
        for (int r = 0; r < runs; ++r) {
            QtEventPump pump;
            const Run run = download(pump, latency, image, true);
            ok = ok && run.ok && run.writes == pauses.writes;
            totals.push_back(run.milliseconds);
        }
        std::sort(totals.begin(), totals.end());
        const qint64 total = totals[totals.size() / 2];
        const qint64 floor = static_cast<qint64>(pauses.writes) * latency;
        const auto ratio = [floor](qint64 time) {
            return floor > 0 ? QString::number(double(time) / double(floor), 'f', 3) : QStringLiteral("-");
        };
        out << "latency " << latency << " ms: total " << total << " ms (median of " << runs << "), writes x latency "
            << floor << " ms, ratio " << ratio(total) << "; the program's pauses apart: " << pauses.milliseconds
            << " ms, total less them " << total - pauses.milliseconds << " ms, ratio "
            << ratio(total - pauses.milliseconds) << (ok ? "" : "  (the download FAILED)") << '\n';
    }
    return 0;
}
