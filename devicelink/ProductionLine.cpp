#include "devicelink/ProductionLine.h"

#include "deviceimage/DeviceImage.h"
#include "devicelink/DeviceTransfers.h"
#include "devicelink/Transport.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace devicelink {
namespace {

// Keeps the last message a transfer showed; questions are answered No, as nobody is there to ask.
class LastMessage : public messages::Prompter {
public:
    QString text;

    messages::Answer ask(const QString&, const QString& shown, messages::Icon, messages::Buttons buttons) override
    {
        text = shown;
        return buttons == messages::Buttons::Ok ? messages::Answer::Ok : messages::Answer::No;
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString chooseOpenFile(const QString&, const QString&, const QStringList&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&, const QStringList&) override { return {}; }
};

QString csvField(QString text)
{
    text.replace(u'\n', u' ');
    if (!text.contains(u',') && !text.contains(u'"'))
        return text;
    return u'"' + text.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

// Appends the line in one write, so that lines of sticks finishing together never mix. False when it failed.
bool appendLine(const QString& file, const QString& line)
{
    const QByteArray bytes = (line + u'\n').toUtf8();
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

} // namespace

QString csvLine(const StickResult& result)
{
    return QStringList{result.finishedAt.toString(Qt::ISODate),
                       csvField(result.path),
                       QString::number(result.ledCount),
                       QString::number(result.bytes),
                       QString::number(result.seconds, 'f', 1),
                       result.done ? QStringLiteral("done") : QStringLiteral("failed"),
                       csvField(result.message)}
        .join(u',');
}

StickResult programStick(HidPlatform& platform, EventPump& pump, const QString& path,
                         const QHash<int, QByteArray>& images, const ProductionSettings& settings,
                         const std::function<bool()>& stop)
{
    Transport transport(platform, pump);
    transport.selector().entries = {{deviceEntryName(1), path}};
    transport.selector().currentIndex = 0;
    const QByteArray counted = images.value(deviceimage::editionDeviceType(settings.ledCount));

    ProjectHooks hooks;
    hooks.countedTotal = [&counted] { return static_cast<int>(counted.size()); };
    hooks.buildImage = [&images, &counted](int type) { return images.value(type, counted); };
    TransferSettings transferSettings;
    transferSettings.ledCount = settings.ledCount;
    transferSettings.factoryMode = true;
    transferSettings.downloadRecordFile = settings.downloadRecordFile;
    LastMessage messages;
    TransferView view;
    DeviceTransfers transfers(transport, messages, view, hooks, transferSettings);
    transfers.interrupted = stop;

    StickResult result;
    result.path = path;
    const qint64 start = pump.now();
    const bool written = transfers.download();
    if (written && settings.verify)
        messages.text.clear(); // the verify's message replaces the download's
    result.done = written && (!settings.verify || transfers.verify());
    result.seconds = (pump.now() - start) / 1000.0;
    result.finishedAt = QDateTime::currentDateTime();
    result.ledCount = transfers.identity() ? transfers.identity()->ledCount : 0;
    result.bytes = written ? static_cast<int>(transfers.builtImage().size()) : 0;
    // A stopped transfer shows nothing; the log says why the stick is not done.
    const bool stopped = !result.done && messages.text.isEmpty() && transfers.stopRequested();
    result.message = stopped ? messages::lookupMessage(msg::TransferInterrupted) : messages.text;
    return result;
}

ProductionLine::ProductionLine(Transport& watch, PlatformFactory factory, QHash<int, QByteArray> images,
                               ProductionSettings settings, QObject* parent)
    : QObject(parent), watch_(watch), factory_(std::move(factory)), images_(std::move(images)),
      settings_(std::move(settings))
{
}

ProductionLine::~ProductionLine()
{
    stop();
    for (auto& [path, thread] : running_)
        thread.join();
}

void ProductionLine::stop()
{
    stopped_ = true;
    stopping_->store(true);
}

bool ProductionLine::wantsMore() const
{
    const int started = done_ + failed_ + inProgress();
    return !stopped_ && (settings_.count <= 0 || started < settings_.count);
}

bool ProductionLine::finished() const
{
    return running_.empty() && (stopped_ || (settings_.count > 0 && done_ + failed_ >= settings_.count));
}

void ProductionLine::scan()
{
    QSet<QString> present;
    for (const HidInterface& hid : watch_.platform().enumerateInterfaces()) {
        if (hid.vendorId != kVendorId || hid.productId != kProductId || !hid.hasIndicators)
            continue;
        present.insert(hid.path);
        if (running_.count(hid.path) > 0 || finishedPresent_.contains(hid.path) || !wantsMore())
            continue;
        if (!watch_.identifyDevice(hid.path))
            continue;
        const QString path = hid.path;
        running_.emplace(path, std::thread([this, path, stopping = stopping_] {
            ThreadPump pump;
            std::unique_ptr<HidPlatform> platform = factory_(path, pump);
            StickResult result;
            if (platform) {
                result = programStick(*platform, pump, path, images_, settings_, [stopping] { return stopping->load(); });
            } else {
                result.path = path;
                result.finishedAt = QDateTime::currentDateTime();
                result.message = messages::lookupMessage(msg::StickUnopenable);
            }
            platform.reset();
            // The line joins this thread in finish(), or in its destructor, which waits for every thread before
            // the line is gone (and with it the queued call).
            QMetaObject::invokeMethod(this, [this, result] { finish(result); }, Qt::QueuedConnection);
        }));
    }
    finishedPresent_.intersect(present);
    emit changed();
}

void ProductionLine::finish(const StickResult& result)
{
    auto thread = running_.find(result.path);
    if (thread == running_.end())
        return;
    thread->second.join();
    running_.erase(thread);
    finishedPresent_.insert(result.path);
    ++(result.done ? done_ : failed_);
    results_.append(result);
    if (!settings_.logFile.isEmpty() && !appendLine(settings_.logFile, csvLine(result)))
        logWritable_ = false;
    emit stickFinished(result);
    emit changed();
    if (finished())
        emit allFinished();
}

} // namespace devicelink
