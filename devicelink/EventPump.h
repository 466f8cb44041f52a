#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// The seam through which device transfers keep the program alive while they wait: pump the user-interface event
// queue, sleep, and read a monotonic clock. The program pumps Qt's queue and sleeps for real; tests use a pump
// whose clock only moves when something sleeps, so transfers run instantly and deterministically.
namespace devicelink {

class EventPump {
public:
    virtual ~EventPump() = default;
    // Delivers the pending user-interface events (paints, clicks, timers) and returns.
    virtual void processEvents() = 0;
    // Blocks for `ms` milliseconds (nothing when ms <= 0).
    virtual void sleep(int ms) = 0;
    // Milliseconds on a monotonic clock.
    virtual qint64 now() = 0;
};

class QtEventPump : public EventPump {
public:
    QtEventPump();
    void processEvents() override;
    void sleep(int ms) override;
    qint64 now() override;

private:
    QElapsedTimer clock_;
};

// Sleeps until `ms` milliseconds from now on the monotonic clock with a timer slack of one microsecond, so that a
// series of short sleeps adds up to its nominal length.
void preciseSleep(int ms);

} // namespace devicelink
