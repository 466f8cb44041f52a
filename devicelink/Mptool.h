#pragma once

#include "store/Edition.h"

#include "ui/Window.h"

#include <functional>

class QGroupBox;
class QLabel;
class QTimer;

namespace devicelink {

// The mass production window: while it is shown it runs device discovery every 800 ms and says in large
// letters whether a light-show device is connected (blue) or not (red). It transfers nothing. Closing it
// ends the program.
class TForm21 : public ui::Window {
    Q_OBJECT

public:
    // `devicePresent` runs one discovery and tells whether a device answered correctly.
    TForm21(const store::EditionParameters& edition, std::function<bool()> devicePresent,
            QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QTimer* Timer1;

public slots:
    void Timer1Timer();
    // A stick plugged in or pulled out (DeviceWatcher): the poll's tick at once while the window polls.
    void devicesChanged();

    // `closed` (from ui::Window): the main window closes, and with it the program.

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void showStatus(bool connected);

    const store::EditionParameters& edition_;
    std::function<bool()> devicePresent_;
};

} // namespace devicelink
