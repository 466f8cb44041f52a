#pragma once

#include "editing/PaintSave.h"
#include "shell/DevicePoll.h"
#include "shell/ExpressCommands.h"
#include "shell/ExpressStrip.h"
#include "store/Project.h"
#include "shell/windows/StripSlot.h"
#include "windowkit/Window.h"
#include "ui_ExpressWindow.h"

#include <array>
#include <functional>

class QTimer;

namespace messages {
class Prompter;
}

namespace shell {

struct AppState;

// The express window: the shortest way from typed or painted banners to the stick. It always works on the
// workspace's starter project, shows its banners as a numbered strip of thumbnails with a preview, orders,
// marks and deletes them, downloads them, and watches every two seconds for a stick being plugged in (Express
// then offers to read the stick back into the project, Easy opens the download dialog). Its controls are those of
// ExpressWindow.ui: GroupBox1 and Label1 the status line; GroupBox3 and Image1 the preview; GroupBox2 the banners,
// with Bevel1, Shape1, the slots Image2 .. Image15, ScrollBar1 and the counters (Label2 "Total Files:", Label3
// the count, Label4 "Free Space:", Label8 free bytes, Label7 "Bytes, About", Label5 free characters, Label6
// " (Characters)"); the buttons BitBtn6 Text to Banner, BitBtn8 Vove Diror, BitBtn1 USB Download, BitBtn2 Move
// Up, BitBtn3 Move Down, BitBtn4 Ticker Effect, BitBtn5 Delete, BitBtn7 Language, BitBtn9 Position Adjust (Easy).
class ExpressWindow : public windowkit::Window, public editing::ExpressProjectLink, public Ui::ExpressWindow {
    Q_OBJECT

public:
    ExpressWindow(AppState& state, messages::Prompter& prompter, ExpressDialogs dialogs = {});

    ExpressDialogs& dialogs() { return dialogs_; }
    const StripModel& strip() const { return strip_; }
    DevicePoll& poll() { return poll_; }

    std::array<StripSlot*, kStripSlots> Images{}; // Image2 .. Image15, slots 0 to 13
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
    // The texts made here: the preview's hint, the counters placed after their captions, the status line.
    void textsApplied() override;
    void FormShow() override;
    void FormClose() override;
    // A double click on the preview box opens the show preview.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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
    StripModel strip_;
    DevicePoll poll_;
    std::array<QImage, kStripSlots> thumbnails_;
    int freeBytes_ = 0;
    bool stickFound_ = false;
};

} // namespace shell
