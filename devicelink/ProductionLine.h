#pragma once

#include "devicelink/EventPump.h"
#include "devicelink/HidPlatform.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <thread>

// The factory line: every stick plugged in gets the same image, several sticks at once, each transfer in a thread
// of its own on a platform of its own, so that one slow or pulled-out stick never holds up the others. A stick is
// programmed once while it stays plugged in; each one that finished is logged as one CSV line.
namespace devicelink {

class Transport;

struct ProductionSettings {
    int ledCount = 32;   // the edition's; a stick of another LED count is refused
    bool verify = false; // read every stick back and compare after its download
    int count = 0;       // sticks to finish (done or failed) before the line stops; 0: no limit
    QString logFile;     // CSV log, appended to; empty: none
    // The workspace's record of unconfirmed downloads (DownloadRecord): each stick's download is noted there
    // until the stick confirms it; empty: none is kept.
    QString downloadRecordFile;
};

// How one stick ended.
struct StickResult {
    QDateTime finishedAt;
    QString path;
    int ledCount = 0; // from the stick's identity; 0 when it never told
    int bytes = 0;    // of the image, when it was written
    double seconds = 0;
    bool done = false;
    QString message; // the transfer's last message, in one line
};

// The pump of a transfer in a thread of its own: no events to deliver, real sleeps, a monotonic clock.
class ThreadPump : public EventPump {
public:
    ThreadPump() { clock_.start(); }
    void processEvents() override {}
    void sleep(int ms) override { preciseSleep(ms); }
    qint64 now() override { return clock_.elapsed(); }

private:
    QElapsedTimer clock_;
};

// The CSV line of a result: time, device path, LED count, bytes, seconds, result (done/failed), message.
QString csvLine(const StickResult& result);

// Downloads (and verifies) the images into one stick through `platform` and `pump`: the transfers of the download dialog in
// factory mode, with their messages collected instead of shown. `images` holds the image for each device type a
// stick of the edition can have. `stop` is asked between blocks: a stick stopped there gets its closing commands
// and is logged as failed, its image left recorded as unfinished.
StickResult programStick(HidPlatform& platform, EventPump& pump, const QString& path, const QHash<int, QByteArray>& images,
                         const ProductionSettings& settings, const std::function<bool()>& stop);

class ProductionLine : public QObject {
    Q_OBJECT

public:
    // A platform of its own for the transfer with the stick at a path, made in the stick's thread, with the pump
    // that thread waits with; nullptr when the stick cannot be reached.
    using PlatformFactory = std::function<std::unique_ptr<HidPlatform>(const QString& path, EventPump& pump)>;

    // `watch` finds and identifies the sticks (in the caller's thread); `images` as for programStick.
    ProductionLine(Transport& watch, PlatformFactory factory, QHash<int, QByteArray> images,
                   ProductionSettings settings, QObject* parent = nullptr);
    ~ProductionLine() override; // stops the transfers at their next block and waits for them

    // Looks for sticks and starts a transfer for every stick plugged in that is neither busy nor already
    // finished; forgets the finished sticks that were pulled out. Call it on every plug-in and periodically.
    void scan();
    // Asks the running transfers to stop at their next block and starts no new one.
    void stop();

    int done() const { return done_; }
    int failed() const { return failed_; }
    int inProgress() const { return static_cast<int>(running_.size()); }
    // The count was reached (or the line stopped) and no transfer runs.
    bool finished() const;
    const QList<StickResult>& results() const { return results_; }
    // False once a log line could not be written.
    bool logWritable() const { return logWritable_; }

signals:
    void changed();
    void stickFinished(const devicelink::StickResult& result);
    void allFinished();

private:
    void finish(const StickResult& result);
    bool wantsMore() const;

    Transport& watch_;
    PlatformFactory factory_;
    QHash<int, QByteArray> images_;
    ProductionSettings settings_;
    std::map<QString, std::thread> running_; // the transfers running, by stick path
    QSet<QString> finishedPresent_; // finished sticks still plugged in
    QList<StickResult> results_;
    int done_ = 0;
    int failed_ = 0;
    bool logWritable_ = true;
    bool stopped_ = false;
    std::shared_ptr<std::atomic<bool>> stopping_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace devicelink
