#pragma once

#include "deviceimage/BinaryFiles.h"
#include "deviceimage/windows/ShiftDialog.h"
#include "deviceimage/windows/MovieGroupDialog.h"
#include "deviceimage/windows/MovieIntervalDialog.h"
#include "deviceimage/windows/DeviceTypeDialog.h"
#include "deviceimage/windows/ShowPreview.h"
#include "deviceimage/windows/SpeedDialog.h"
#include "deviceimage/windows/TickerDialog.h"
#include "devicelink/HidPlatformChoice.h"
#include "devicelink/windows/MassProductionWindow.h"
#include "editing/windows/PaintChoiceDialog.h"
#include "editing/windows/PainterDialog.h"
#include "imaging/windows/FontChooser.h"
#include "imaging/windows/TextToBannerDialog.h"
#include "devicelink/windows/DownloadDialog.h"
#include "shell/windows/EditorWindows.h"
#include "shell/windows/ExpressWindow.h"
#include "shell/windows/StartupWindow.h"
#include "shell/windows/LanguageDialog.h"
#include "shell/windows/MainWindow.h"
#include "store/windows/NewProjectDialog.h"
#include "store/windows/ProjectsPage.h"

#include <functional>
#include <memory>

namespace devicelink {
class EventPump;
class HidPlatform;
}

namespace messages {
class Prompter;
}

namespace shell {

struct AppState;

// Every window of the program. They are made once at start, in the order of the members below (the start-up
// window first, then the main window, whose construction prepares the edition and the workspace, then the
// dialogs and secondary windows), and all live until the program ends, in every start mode.
// The windows do not know each other: they signal, and the connections made here say what follows.
class Windows {
public:
    // `platform` and `pump` reach the sticks; `devicePresent` is the discovery the mass production window polls.
    Windows(AppState& state, messages::Prompter& prompter, devicelink::HidPlatform& platform, devicelink::EventPump& pump,
            std::function<bool()> devicePresent);

    // Gives the download dialog the run's modes and the project selector: at start and again once the start-up
    // window has set the run-mode flags, which change what an image holds.
    void updateDownloadDialog();

    StartupWindow startupWindow;
    MainWindow mainWindow;
    EditorWindows editor; // the editor page in the main window, its dialogs and the quick start wizard
    store::NewProjectDialog newProjectDialog;
    devicelink::DownloadDialog downloadDialog;
    deviceimage::MovieIntervalDialog movieIntervalDialog;
    LanguageDialog languageDialog;
    ExpressWindow expressWindow;
    devicelink::MassProductionWindow massProductionWindow;
    // The timing and effect dialogs and the device type dialog, shared by the pages and the express window.
    deviceimage::SpeedDialog speedDialog;
    deviceimage::ShiftDialog shiftDialog;
    deviceimage::MovieGroupDialog movieGroupDialog;
    deviceimage::TickerDialog tickerDialog;
    deviceimage::DeviceTypeDialog deviceTypeDialog;
    imaging::TextToBannerDialog textToBanner;
    // The express window's painter and its modify-or-new question.
    editing::PaintChoiceDialog paintChoice;
    editing::PainterDialog painter;
    // Tells the download dialog, the mass production window and the express window of a plug-in at once.
    std::unique_ptr<devicelink::DeviceWatcher> deviceWatcher = devicelink::createDeviceWatcher();
    // The show preview, opened from the Projects page and the express window.
    deviceimage::ShowPreview showPreview;

    // The express window's text to banner: the banner font ("Arial Black" at the text font's size and style),
    // `bannerText` to start from, the banner kept in QuickStart while the stick still holds the project. True
    // when OK kept it.
    bool openExpressTextToBanner(const QString& bannerText);
    // Files given on the command line, opened once the full editor's main window is up: a project image (.lwd,
    // .bin) through the open command's questions, a picture through the editor's import. With files to open, the
    // run starts in the main window rather than the wizard; the other start modes leave them.
    QStringList startFiles;
    void openFiles(const QStringList& paths);
    // The show preview over `opener`, playing the current project's image as the download would build it; with
    // no project, or nothing in it to play, the user is told so instead.
    void openShowPreview(QWidget& opener);
    // "Burn to USB Light Show": the download dialog, shown without waiting for it.
    void openDownloadAfterBurn();

private:
    // What the express window opens: the download dialog, the language dialog, text to banner, the timing
    // dialogs and the painter.
    ExpressDialogs expressDialogs();
    void connectWindows();
    // The Library and Projects pages' commands that open the dialogs above, the stick or the binary files.
    void connectPages();
    // The Library and Projects pages' commands that open the editor, its dialogs or text to banner.
    void connectEditorCommands(store::LibraryPage& library, store::ProjectsPage& projects);
    // "Text to Banner" of the Projects page and the re-edit of a banner as text: the dialog keeps its banner in
    // the current project; `start` is the text (and font) it starts from.
    void openProjectTextToBanner(const store::BannerText& start);
    store::ProjectCounters measureProject(const store::Project& project) const;
    deviceimage::BinaryCommandHooks binaryHooks();
    // "Open project binary files" on `path`, or on a file the user chooses when it is empty; the Projects page
    // then shows the project.
    void openBinaryFile(const QString& path);
    // Shows the window the start mode opens and keeps its title as the run's title.
    void openModeWindow(StartMode mode, int startWithWizard);

    AppState& state_;
    messages::Prompter& prompter_;
    imaging::QtFontChooser fontChooser_;
};

} // namespace shell
