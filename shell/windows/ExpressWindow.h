#pragma once

#include "editing/PaintSave.h"
#include "shell/DevicePoll.h"
#include "shell/ExpressCommands.h"
#include "shell/ExpressStrip.h"
#include "store/Project.h"
#include "windowkit/CatalogueTexts.h"
#include "windowkit/Window.h"

#include <QLabel>
#include <QWidget>
#include <array>
#include <functional>

class QFrame;
class QGroupBox;
class QPushButton;
class QScrollBar;
class QTimer;

namespace messages {
class Prompter;
}

namespace shell {

struct AppState;

// One slot of the strip: a picture that reports clicks and double clicks.
class StripSlot : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The express window: the shortest way from typed or painted banners to the stick. It always works on the
// workspace's starter project, shows its banners as a numbered strip of thumbnails with a preview, orders,
// marks and deletes them, downloads them, and watches every two seconds for a stick being plugged in (Express
// then offers to read the stick back into the project, Easy opens the download dialog).
class ExpressWindow : public windowkit::Window, public editing::ExpressProjectLink {
    Q_OBJECT

public:
    ExpressWindow(AppState& state, messages::Prompter& prompter, ExpressDialogs dialogs = {});

    ExpressDialogs& dialogs() { return dialogs_; }
    const StripModel& strip() const { return strip_; }
    DevicePoll& poll() { return poll_; }

    QGroupBox* GroupBox1;   // status
    QLabel* Label1;         // status line
    QGroupBox* GroupBox3;   // preview
    QLabel* Image1;
    QGroupBox* GroupBox2;   // banners
    QFrame* Bevel1;
    QFrame* Shape1;
    std::array<StripSlot*, kStripSlots> Images{}; // Image2 .. Image15, slots 0 to 13
    QScrollBar* ScrollBar1;
    QLabel* Label2;         // "Total Files:"
    QLabel* Label3;         // the count
    QLabel* Label4;         // "Free Space:"
    QLabel* Label8;         // free bytes
    QLabel* Label7;         // "Bytes, About"
    QLabel* Label5;         // free characters
    QLabel* Label6;         // " (Characters)"
    QPushButton* BitBtn6;   // Text to Banner
    QPushButton* BitBtn8;   // Vove Diror
    QPushButton* BitBtn1;   // USB Download
    QPushButton* BitBtn2;   // Move Up
    QPushButton* BitBtn3;   // Move Down
    QPushButton* BitBtn4;   // Ticker Effect
    QPushButton* BitBtn5;   // Delete
    QPushButton* BitBtn7;   // Language
    QPushButton* BitBtn9;   // Position Adjust (Easy)
    QTimer* Timer1;         // the device poll

    // What the painter saves through: the express project, the strip's reload and the free bytes the counters
    // show (negative: the project no longer fits the stick).
    store::Project* expressProject() override { return selectExpressProject(); }
    void refreshList() override { reloadList(); }
    int freeBytes() override { return freeBytes_; }

public slots:
    // Reloads the strip and the counters from the project (after another window changed it).
    void reloadList();
    void Timer1Timer();
    // A stick plugged in or pulled out (DeviceWatcher): the poll's tick at once while the window polls.
    void devicesChanged();
    void BitBtn6Click();
    void BitBtn8Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn7Click();
    void BitBtn9Click();
    void ScrollBar1Change(int position);
    void slotClick(int slot);
    void slotDoubleClick(int slot);
    // A picture file dropped onto the strip: a new banner painted from it.
    void importDropped(const QString& path);

protected:
    void FormShow() override;
    void FormClose() override;
    // A double click on the preview box opens the show preview.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* commandButton(const char* name, int top);
    void applyExpressTexts();
    void stackButtons(bool easy);
    void placeCounters();
    store::Project* selectExpressProject() { return shell::selectExpressProject(state_); }
    void drawThumbnails();
    void paintSlots();
    void showPreview();
    void hidePreview();
    void setStatus(DevicePoll::Status status);
    void askForStick();
    bool openDownloadDialog(bool autoRead, bool autoDownload);
    // Runs a command with commandRunning set; a file that cannot be written is reported, never escapes.
    void runCommand(const std::function<void()>& command);
    bool selectionInView() const;
    // After Vove Diror closed: the strip shows the banner it saved.
    void showPainted(const ExpressDialogs::PaintOutcome& outcome);
    // Move Up / Move Down: the entry moves, and the strip shows it at its new row.
    void moveSelected(int (*move)(store::Project&, int), void (StripModel::*show)(int));

    AppState& state_;
    messages::Prompter& prompter_;
    ExpressDialogs dialogs_;
    windowkit::CatalogueTexts texts_;
    StripModel strip_;
    DevicePoll poll_;
    std::array<QImage, kStripSlots> thumbnails_;
    int freeBytes_ = 0;
    bool stickFound_ = false;
};

} // namespace shell
