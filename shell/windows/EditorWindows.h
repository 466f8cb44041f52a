#pragma once

#include "editing/EditorHooks.h"
#include "editing/windows/EditorPage.h"
#include "editing/windows/SavePictureDialog.h"
#include "editing/windows/PictureManagerDialog.h"
#include "deviceimage/BannerSave.h"
#include "imaging/windows/FontChooser.h"
#include "imaging/windows/PictureImportDialog.h"
#include "imaging/windows/TextEditorDialog.h"
#include "imaging/windows/TextToBannerDialog.h"
#include "imaging/VirtualCanvas.h"
#include "shell/windows/QuickStartWizard.h"
#include "store/windows/LibraryChoiceDialog.h"

#include <functional>

namespace messages {
class Prompter;
}

namespace shell {

struct AppState;
class MainWindow;

// The picture editor and the windows around it: the one canvas of the program, the Rorazu Duzodo page inside the
// main window, the save dialog, the picture and banner manager, the library choice dialog and the quick start
// wizard, and the connections between them and the main window's "Save" and "Quick Start".
class EditorWindows {
public:
    EditorWindows(AppState& state, messages::Prompter& prompter, MainWindow& mainWindow);

    // The main window's first showing: the canvas takes the edition's geometry and the page starts on a blank
    // banner with the Selection tool.
    void startEditor();
    // "Save" (and Ctrl+S on the page): the save dialog with the editor's file name; the saved file becomes the
    // editor's file.
    void saveCanvas();
    // The wizard's "Go >>".
    void go(UserMode mode);
    // The wizard's sample show: made into a new project and shown on the Projects page.
    void goSample(const QString& sample);
    // The wizard as the start opens it: its box ticked (which stores the setting), shown.
    void showWizardAtStart();

    // The Library page's "Edit Picture / Banner": the file in the import dialog replacing the canvas, on the
    // editor page, and its speed as the current speed; back to the Library page when the user cancels.
    bool editPicture(const QString& path);

    // What windows of other subsystems do for the editor, set by whoever makes them: the speed dialog (the speed
    // word chosen) and the Projects page's refresh after the wizard selected the starter project.
    std::function<std::optional<int>()> chooseSpeed;
    std::function<void()> refreshProjectsPage;

    imaging::VirtualCanvas canvas;
    QString lastText; // the text editor's last text
    imaging::QtFontChooser fontChooser;
    editing::EditorHooks hooks;
    imaging::PictureImportDialog pictureImport;
    imaging::TextEditorDialog textEditor;
    imaging::TextToBannerDialog textToBanner;
    deviceimage::ProjectBannerKeeper bannerKeeper;
    editing::EditorPage* page; // owned by the main window's Rorazu Duzodo page
    editing::SavePictureDialog savePictureDialog;
    QuickStartWizard quickStartWizard;
    editing::PictureManagerDialog pictureManager;
    store::LibraryChoiceDialog libraryChoice;

private:
    void connectWindows();
    std::optional<editing::TextBlock> editText();

    AppState& state_;
    messages::Prompter& prompter_;
    MainWindow& mainWindow_;
    bool wizardTextOpen_ = false; // the text dialog runs for the wizard, not modally
};

} // namespace shell
