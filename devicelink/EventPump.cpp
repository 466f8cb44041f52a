#include "devicelink/EventPump.h"

#include <QCoreApplication>
#include <cerrno>
#include <ctime>
#include <sys/prctl.h>

namespace devicelink {

QtEventPump::QtEventPump()
{
    clock_.start();
}

void QtEventPump::processEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void QtEventPump::sleep(int ms)
{
    preciseSleep(ms);
}

qint64 QtEventPump::now()
{
    return clock_.elapsed();
}

void preciseSleep(int ms)
{
    if (ms <= 0)
        return;
    // The default slack of 50 us would add up over thousands of 1 ms sleeps.
    static const bool slackSet = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    Q_UNUSED(slackSet);
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += ms / 1000;
    deadline.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_nsec -= 1000000000L;
        ++deadline.tv_sec;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

} // namespace devicelink
