#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QFileSystemWatcher;
class QSocketNotifier;

// Telling the windows at once that a stick was plugged in or pulled out, instead of waiting for their next poll:
// a udev monitor on the hidraw and usb subsystems read through a socket notifier in the event loop, or for the
// simulated stick a watch on the folder of its presence file. The windows keep their periodic polls as they are;
// without udev (no udev daemon, a container) nothing is watched and the polls alone notice the sticks.
namespace devicelink {

class DeviceWatcher : public QObject {
    Q_OBJECT

public:
    // Watches nothing until told what to watch.
    explicit DeviceWatcher(QObject* parent = nullptr);
    ~DeviceWatcher() override;

    // Listens to udev; false when udev cannot be reached (nothing is watched then).
    bool watchUdev();
    // The simulated stick's plug-in switch: the file's folder is watched, so creating or removing the file counts.
    bool watchPresenceFile(const QString& file);

    bool watching() const;

    // A burst of changes (one plug-in makes several udev events) is told once, this long after its first event;
    // a hidraw node's event is told at once.
    static constexpr int kSettleMs = 30;

signals:
    void devicesChanged();

private:
    void changed();
    void readUdevEvents();

    struct Udev;
    std::unique_ptr<Udev> udev_;
    QSocketNotifier* notifier_ = nullptr;
    QFileSystemWatcher* files_ = nullptr;
    QTimer settle_;
};

} // namespace devicelink
