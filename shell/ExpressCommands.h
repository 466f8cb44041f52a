#pragma once

#include "deviceimage/TimingRecords.h"
#include "shell/ExpressStrip.h"
#include "store/Project.h"

#include <QString>
#include <functional>
#include <optional>

namespace messages {
class Prompter;
}

// The express window's commands on its project, apart from the widgets: what each button does to the files, with
// the other windows it opens reached through ExpressDialogs.
namespace shell {

struct AppState;

// What the express window opens that belongs to other windows. shell::Windows fills them; an empty one does nothing.
struct ExpressDialogs {
    // Refills the download dialog's device selector; true when a stick was found.
    std::function<bool()> discoverDevices;
    // Opens the download dialog modally with the automatic action asked for; returns its closeRequested.
    std::function<bool(bool autoRead, bool autoDownload)> openDownloadDialog;
    std::function<void()> openLanguageDialog;
    // The text-to-banner dialog with the express window's banner font; true when it ended accepted and not
    // rejected. `bannerText` is the text to start from (the re-edit of a banner), empty for a new one.
    std::function<bool(const QString& bannerText)> openTextToBanner;
    // The show preview of the express project (selected in the project list first).
    std::function<void()> openShowPreview;
    // The ticker dialog's answer for an entry.
    std::function<store::TickerChoice(int currentType, int currentSpeed)> chooseTicker;
    // The left and right shift dialog: the stored shift, speed and content bounds in, the new shift out (-2 when
    // cancelled).
    std::function<int(int shift, int speed, const deviceimage::ContentBounds& bounds)> adjustShift;
    // The painter: PaintChoiceDialog's question when `ask`, then Vove Diror. Returns what Vove Diror reported.
    struct PaintOutcome {
        bool saved = false;
        bool savedAsNew = false;
    };
    enum class PaintChoice { None, Modify, New };
    std::function<PaintChoice()> askModifyOrNew;
    std::function<PaintOutcome(bool modifyMode, const QString& bannerName)> paint;
    // Vove Diror on a new banner that starts with a picture file through the import dialog (a file dropped
    // onto the strip).
    std::function<PaintOutcome(const QString& importFile)> paintImported;
};

// The express project, selected in the state's project list (listed again when it is not there); nullptr when it
// cannot be found.
store::Project* selectExpressProject(AppState& state);

// Read Data into the express project: the project is emptied and `readBack` (the download dialog) reads the stick
// into it. A read that brought nothing back puts the project file back as it was, rather than leaving an empty
// project; when that write fails the user is told. Throws store::IniWriteError when the project cannot be emptied.
void readBackIntoExpressProject(AppState& state, messages::Prompter& prompter, const std::function<void()>& readBack);

// What Vove Diror is to paint, asked through the dialogs when the strip has banners: the selected banner (the
// first when none is selected) to modify, or a new one. Empty when the question was closed unanswered.
struct PaintTarget {
    bool modify = false;
    QString bannerName; // the banner to modify; empty for a new one
};
std::optional<PaintTarget> choosePaintTarget(const StripModel& strip, const ExpressDialogs& dialogs);

// The text the text-to-banner dialog starts from when a banner is opened again: the banner's own text when it
// was made from text, else its file name without the extension.
QString bannerStartText(const QString& clipsFolder, const QString& bannerName);

// Ticker Effect on an entry, through the ticker dialog; true when one was chosen (and stored), false when the
// dialog was cancelled.
bool chooseExpressTicker(store::Project& project, int entry, const ExpressDialogs& dialogs);

// Position Adjust on an entry: the shift dialog gets the banner's stored shift and speed and its content bounds,
// and the shift chosen is stored. Holes and cancelled dialogs change nothing.
void adjustExpressShift(store::Project& project, int entry, const AppState& state, const ExpressDialogs& dialogs);

} // namespace shell
