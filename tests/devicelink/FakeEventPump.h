#pragma once

#include "devicelink/EventPump.h"

#include <functional>

// A pump on a virtual clock: sleeping moves the clock and returns at once, so transfers run in no real time and
// their timing can be checked to the millisecond. `onEvents` runs at every pump, as a click would arrive.
class FakeEventPump : public devicelink::EventPump {
public:
    qint64 clock = 0;
    qint64 slept = 0;
    int pumps = 0;
    std::function<void()> onEvents;

    void processEvents() override
    {
        ++pumps;
        if (onEvents)
            onEvents();
    }
    void sleep(int ms) override
    {
        if (ms > 0) {
            clock += ms;
            slept += ms;
        }
    }
    qint64 now() override { return clock; }
};
