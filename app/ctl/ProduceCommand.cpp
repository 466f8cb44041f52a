// produce: the factory line. Waits for sticks and downloads one image into every stick plugged in, several at
// once, until N sticks have finished or Ctrl+C; one CSV line per stick, a status line on standard error.

#include "app/ctl/Command.h"
#include "app/ctl/Console.h"
#include "devicelink/DeviceWatcher.h"
#include "devicelink/DownloadRecord.h"
#include "devicelink/HidPlatformChoice.h"
#include "devicelink/ProductionImages.h"
#include "devicelink/ProductionLine.h"
#include "devicelink/Transport.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <QCoreApplication>
#include <QTimer>
#include <unistd.h>

namespace ctl {
namespace {

using namespace devicelink;

constexpr int kScanInterval = 250; // ms between looks for sticks, beside the plug-in events

// The status line: rewritten in place on a terminal, one line per change otherwise.
class StatusLine {
public:
    explicit StatusLine(QTextStream& err) : err_(err), terminal_(::isatty(STDERR_FILENO) == 1) {}
    ~StatusLine()
    {
        if (terminal_ && !last_.isEmpty())
            err_ << '\n' << Qt::flush;
    }

    void show(const ProductionLine& line)
    {
        const QString text =
            messages::formatMessage(msg::ProductionStatus, line.done(), line.failed(), line.inProgress());
        if (text == last_)
            return;
        last_ = text;
        err_ << (terminal_ ? "\r\033[K" : "") << text << (terminal_ ? "" : "\n") << Qt::flush;
    }

    // A line of its own above the status line.
    void print(const QString& text)
    {
        err_ << (terminal_ ? "\r\033[K" : "") << text << '\n';
        last_.clear();
    }

private:
    QTextStream& err_;
    bool terminal_;
    QString last_;
};

int produce(Context& context, const Invocation& invocation)
{
    const QString& source = invocation.arguments[0];
    ProductionSettings settings;
    settings.ledCount = context.edition.ledCount;
    settings.verify = invocation.isSet(QStringLiteral("verify"));
    settings.logFile = invocation.value(QStringLiteral("log")).value_or(QString());
    settings.downloadRecordFile = downloadRecordFile(context.workspace);
    const std::optional<QString> count = invocation.value(QStringLiteral("count"));
    bool countOk = true;
    settings.count = count ? count->toInt(&countOk) : 0;
    if (!countOk || settings.count < 0 || (count && settings.count == 0))
        return usageOf(context, QStringLiteral("produce"));

    ProgressLine progress(context.err);
    ConsolePrompter prompter(context.err, &progress);
    const deviceimage::ImageContext imageContext{context.edition, context.workspace, context.simplifiedMode};
    const QHash<int, QByteArray> images = productionImages(imageContext, source, prompter);
    if (images.isEmpty())
        return 1;

    QtEventPump pump;
    PlatformChoice choice = createHidPlatform(pump);
    std::unique_ptr<HidPlatform> platform = std::move(choice.platform);
    if (!platform) {
        context.err << choice.refusal() << '\n';
        return 2;
    }
    Transport watch(*platform, pump);
    ProductionLine line(watch, [](const QString& path, EventPump& stickPump) {
        return createStickPlatform(path, stickPump);
    }, images, settings);
    StatusLine status(context.err);
    QObject::connect(&line, &ProductionLine::changed, [&] { status.show(line); });
    QObject::connect(&line, &ProductionLine::stickFinished, [&](const StickResult& result) {
        status.print(csvLine(result));
        if (!line.logWritable())
            status.print(messages::formatMessage(msg::ProductionLogUnwritable, qUtf8Printable(settings.logFile)));
    });
    QObject::connect(&line, &ProductionLine::allFinished, [] { QCoreApplication::quit(); });

    const std::unique_ptr<DeviceWatcher> watcher = createDeviceWatcher();
    QObject::connect(watcher.get(), &DeviceWatcher::devicesChanged, &line, &ProductionLine::scan);
    const StopSignals stopSignals;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&line] {
        if (StopSignals::received())
            line.stop();
        if (line.finished())
            QCoreApplication::quit();
        else
            line.scan();
    });
    poll.start(kScanInterval);
    line.scan();
    if (!line.finished())
        QCoreApplication::exec();
    return line.failed() == 0 ? 0 : 1;
}

const Registration produceCommand{
    {QStringLiteral("produce"), QStringLiteral("IMAGE.lwd|PROJECT"),
     QStringLiteral("Download one image into every stick plugged in, several at once, until N sticks have finished "
                    "or Ctrl+C."),
     {{QStringLiteral("verify"), {}, QStringLiteral("Verify each stick after its download.")},
      {QStringLiteral("log"), QStringLiteral("FILE.csv"), QStringLiteral("Append one CSV line per stick to FILE.")},
      {QStringLiteral("count"), QStringLiteral("N"), QStringLiteral("Stop after N sticks have finished.")}},
     produce}};

} // namespace
} // namespace ctl
