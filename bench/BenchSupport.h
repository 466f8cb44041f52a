#pragma once

#include "messages/Prompter.h"

#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <vector>

// What the benchmarks share: the median of repeated runs, and a prompter for windows that ask nothing.

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median time of `rounds` runs of `work`, in milliseconds.
inline double medianMs(const std::function<void()>& work, int rounds)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// Nothing is asked in these runs; should something be, it is answered at once.
class SilentPrompter : public messages::Prompter {
public:
    messages::Answer ask(const QString&, const QString&, messages::Icon, messages::Buttons) override
    {
        return messages::Answer::Ok;
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseOpenFile(const QString&, const QString&, const QStringList&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&, const QStringList&) override { return {}; }
};
