#pragma once

#include "devicelink/ProductionLine.h"
#include "store/Edition.h"

#include "windowkit/Window.h"
#include "ui_MassProductionWindow.h"

#include <functional>
#include <memory>

class QTimer;

namespace devicelink {

// What the production panel needs from the program around it.
struct ProductionPanelHooks {
    // The workspace's projects by name, offered as what to download.
    std::function<QStringList()> projectNames;
    // The images for a project name or a binary project file; empty when refused (the user has been told why).
    std::function<QHash<int, QByteArray>(const QString& source)> images;
    // A line over the sticks plugged in, with these images and settings.
    std::function<std::unique_ptr<ProductionLine>(QHash<int, QByteArray> images, ProductionSettings settings)> makeLine;
    // File choices; empty when cancelled.
    std::function<QString()> chooseImageFile;
    std::function<QString(const QString& current)> chooseLogFile;
    QString defaultLogFile;
};

// The mass production window: while it is shown it runs device discovery every 800 ms and says in large
// letters whether a light-show device is connected (blue) or not (red). It transfers nothing until its production
// panel is ticked on: then a factory line (ProductionLine) programs every stick plugged in with one image, as
// `lumiwandctl produce` does, and the panel shows its counters, its last results and its log file. Closing it
// ends the program. Its controls are those of MassProductionWindow.ui: GroupBox1 and Label1 the status;
// ProductionBox ticks the production panel, ProductionPanel, hidden while it is not ticked, holds SourceBox (a
// project name or the path of a binary project file), ImageFileButton, VerifyBox, LogFileButton, LogFileEdit,
// StartButton (Start, or Stop while the line runs), CountersLabel and ResultsList (the newest first).
class MassProductionWindow : public windowkit::Window, public Ui::MassProductionWindow {
    Q_OBJECT

public:
    // `devicePresent` runs one discovery and tells whether a device answered correctly.
    MassProductionWindow(const store::EditionParameters& edition, std::function<bool()> devicePresent,
                         ProductionPanelHooks production = {}, QWidget* parent = nullptr);
    ~MassProductionWindow() override;

    QTimer* Timer1;

    const ProductionLine* line() const { return line_.get(); }

public slots:
    void Timer1Timer();
    // A stick plugged in or pulled out (DeviceWatcher): the poll's tick at once while the window polls.
    void devicesChanged();

    // `closed` (from windowkit::Window): the main window closes, and with it the program.

protected:
    // The texts that follow the line: Start or Stop, the counters.
    void textsApplied() override;
    void FormShow() override;
    void FormClose() override;

private:
    void showStatus(bool connected);
    void connectPanel();
    void showPanel(bool shown);
    void startOrStop();
    void startLine();
    void lineChanged();
    void addResult(const StickResult& result);
    // Drops a line that has stopped and whose transfers have all ended; enables the choices again.
    void releaseLineWhenIdle();
    void setChoicesEnabled(bool enabled);

    const store::EditionParameters& edition_;
    std::function<bool()> devicePresent_;
    ProductionPanelHooks production_;
    std::unique_ptr<ProductionLine> line_;
};

} // namespace devicelink
