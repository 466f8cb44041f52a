#pragma once

#include "store/ProjectList.h"
#include "windowkit/Window.h"
#include "ui_MainWindow.h"

namespace messages {
class Prompter;
}
namespace store {
class LibraryPage;
class ProjectsPage;
}

namespace shell {

struct AppState;

// The main window frame of the full editor: the top row of buttons, the preview box and the page control with
// the Library, Rorazu Duzodo and My Lumiwand Projects pages (their contents are added by their own windows).
// Its construction prepares the run's state (edition, workspace, caption); it exists, hidden, in every start
// mode, and closing it ends the program about a second later.
//
// Its controls are those of MainWindow.ui: the top row, left to right, BitBtn45 Quick Start, BitBtn16 New Project,
// BitBtn7 New Library, BitBtn3 Save, BitBtn1 Language, BitBtn17 Exit; GroupBox2 the preview box, shown with the
// Rorazu Duzodo page, and its picture Image11; PageControl1 with the pages TabSheet2 Library, TabSheet3 Rorazu
// Duzodo and TabSheet4 My Lumiwand Projects.
class MainWindow : public windowkit::Window, public Ui::MainWindow {
    Q_OBJECT

public:
    MainWindow(AppState& state, messages::Prompter& prompter);

    store::LibraryPage* libraryPage;
    store::ProjectsPage* projectsPage;

    // Which projects hold which picture, shown by the Library page: built when that page shows after projects or
    // their entries changed (or the Projects page was entered), so that nothing else reads every project's
    // entries.
    const store::AssociationIndex& associations() const { return associations_; }

    // Applies the catalogue texts the controls of the window and its pages name, in the language of the moment,
    // and fits them to their controls.
    void refreshMainWindowTexts();

public slots:
    void BitBtn1Click();
    void BitBtn7Click();
    void BitBtn17Click();
    void PageControl1Change();
    // A picture file of the clips folder in the preview box at its natural size (hidden when the file is gone).
    void showTopPreview(const QString& fileName);
    // A picture in the preview box, whole and at 1:1: the box takes its width and stays right-aligned.
    void showPreviewPicture(const QImage& picture);
    void hideTopPreview();
    void refreshAssociations();
    // "New Project" created `name`: the Projects page, when showing, selects it.
    void projectCreated(const QString& name);

signals:
    // The Language button: the language dialog runs (modally) before the window reads the setting again.
    void languageDialogRequested();
    // The show handler ran: the editor page starts on a blank banner.
    void shown();
    // "New Project" and "Quick Start": their windows are opened by whoever made them.
    void newProjectRequested();
    void quickStartRequested();

    // `closed` (from windowkit::Window): the start-up window ends the program at its next tick.

protected:
    void FormShow() override;
    void textsApplied() override;

private:
    void layOutTopRow();
    void buildPages();
    void enterPage();
    void fitTopRowCaptions();
    // Reads the stored language choice; true when that changed the language texts are shown in.
    bool refreshLanguageOverride();

    // The preview box is this much wider than its picture, which sits half of it from the box's left border.
    static constexpr int kPreviewMargin = 16;

    AppState& state_;
    messages::Prompter& prompter_;
    // Builds the association index when it is stale and shows the selected file's projects.
    void showAssociations();

    store::AssociationIndex associations_;
    bool associationsStale_ = true;
};

} // namespace shell
