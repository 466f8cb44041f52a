#pragma once

#include <QString>
#include <vector>

namespace devicelink {

struct DeviceEntry {
    QString displayName; // "LED Light Show Device #1"
    QString path;        // the platform's path for opening the device
};

// The download dialog's drop-down list of devices and its current index.
struct DeviceSelector {
    std::vector<DeviceEntry> entries;
    int currentIndex = -1;
    // Set by discovery when a stick is plugged in that this user may not open, so that it is reported as a
    // permissions problem rather than as a missing stick.
    bool accessDenied = false;

    bool isEmpty() const { return entries.empty(); }
    const DeviceEntry* current() const
    {
        return currentIndex >= 0 && currentIndex < static_cast<int>(entries.size()) ? &entries[currentIndex] : nullptr;
    }
    // What the selector shows when it holds no entries.
    QString emptyText() const;
};

// The name the selector shows for the stick found as the number-th (from 1), in the current language.
QString deviceEntryName(int number);

// The text of a stick that is present but not accessible, shown instead of message 497.
QString accessDeniedMessage();

} // namespace devicelink
