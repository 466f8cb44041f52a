#pragma once

#include "shell/StartMode.h"

#include "windowkit/Window.h"
#include "ui_StartupWindow.h"

class QTimer;

namespace messages {
class Prompter;
}

namespace shell {

struct AppState;

// The start-up window: the first window made and the one whose closing ends the program. It shows a one-line
// splash and, at its first tick (800 ms), either runs the installer or uninstaller in place, or hides itself,
// sets the run-mode flags and opens the window of the start mode. Afterwards it ticks every second until the
// main window's close handler requests the end, and then closes. Its one control is Label1 of StartupWindow.ui,
// the splash line.
class StartupWindow : public windowkit::Window, public Ui::StartupWindow {
    Q_OBJECT

public:
    StartupWindow(AppState& state, messages::Prompter& prompter);

    QTimer* Timer1;

    StartMode startMode() const { return startMode_; }
    bool started() const { return started_; }
    bool endRequested() const { return endRequested_; }

public slots:
    // The main window's close handler: the program ends at the next tick.
    void requestEnd() { endRequested_ = true; }
    void Timer1Timer();

signals:
    // The run-mode flags of the state are set, which change what a device image holds.
    void runModeSet();
    // The window of the start mode is to be shown (`startWithWizard` is the stored start-with-wizard choice).
    void modeWindowRequested(shell::StartMode mode, int startWithWizard);

    // `closed` (from windowkit::Window): the program ends.

protected:
    // The splash line says what the run does.
    void textsApplied() override;
    void FormShow() override;

private:
    void startRunMode();
    void runInstaller(StartMode mode);

    AppState& state_;
    messages::Prompter& prompter_;
    StartMode startMode_;
    bool started_ = false;
    bool endRequested_ = false;
};

} // namespace shell
