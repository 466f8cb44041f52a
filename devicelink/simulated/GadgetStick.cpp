// gadgetstick: the simulated stick's firmware model behind a real USB keyboard made by the kernel's gadget
// framework. It reads each LED output report the host writes from the gadget's HID function (/dev/hidgN), hands
// the nibble to the firmware model, and types the model's replies as boot keyboard input reports.
//   gadgetstick [--udc FILE] DEVICE [CONFIG]
// CONFIG takes the LUMIWAND_SIMULATED_DEVICE syntax (identity letter, memory file, faults, unplug_after). The
// manufacturer string and the access rights are the USB device's and its nodes', set up by whoever made the
// gadget. With --udc, the gadget's UDC file is emptied when the model is pulled out, which unplugs the USB device.
// Runs until SIGTERM or SIGINT, or until it is pulled out; stores the memory file on the way out.
#include "devicelink/simulated/GadgetKeyboard.h"
#include "devicelink/simulated/SimulatedDevice.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace devicelink;

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

// Without SA_RESTART, so that a write blocked on a host that stopped polling returns with EINTR.
void installStopHandlers()
{
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool writeWhole(int fd, const QByteArray& report)
{
    ssize_t written;
    do {
        written = ::write(fd, report.constData(), static_cast<size_t>(report.size()));
    } while (written < 0 && errno == EINTR && !stopRequested);
    return written == report.size();
}

// Unplugs the USB device: an empty line in the gadget's UDC file unbinds it from its controller.
void unplug(const QString& udcFile)
{
    QFile file(udcFile);
    if (!udcFile.isEmpty() && file.open(QIODevice::WriteOnly))
        file.write("\n");
}

int serve(int fd, SimulatedDevice& device, const QString& udcFile)
{
    char report[64];
    while (!stopRequested) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 200) <= 0)
            continue;
        const ssize_t got = ::read(fd, report, sizeof report);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0)
            return 1; // the gadget went away
        device.receiveNibble(nibbleFromBootLeds(static_cast<std::uint8_t>(report[0])));
        if (!device.plugged()) {
            unplug(udcFile);
            return 0;
        }
        for (const QByteArray& keys : keyReportsFor(device.takeTyped())) {
            if (!writeWhole(fd, keys))
                return stopRequested ? 0 : 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QTextStream err(stderr);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString udcFile;
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--udc")) {
        arguments.removeFirst();
        udcFile = arguments.takeFirst();
    }
    if (arguments.isEmpty() || arguments.size() > 2) {
        err << "usage: gadgetstick [--udc FILE] DEVICE [CONFIG]\n";
        return 2;
    }
    const StickConfigParse parse = parseSimulatedDeviceConfig(arguments.value(1));
    if (!parse.ok()) {
        err << stickConfigMessage(parse, QStringLiteral("gadgetstick")) << '\n';
        return 2;
    }
    const int fd = ::open(arguments.first().toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        err << "gadgetstick: cannot open " << arguments.first() << ": " << strerror(errno) << '\n';
        return 1;
    }
    installStopHandlers();
    int status;
    {
        SimulatedDevice device(parse.sticks.front()); // stores its memory when it goes out of scope
        status = serve(fd, device, udcFile);
    }
    ::close(fd);
    return status;
}
