#pragma once

#include "store/Edition.h"
#include "store/LibraryTree.h"
#include "store/ProjectList.h"
#include "store/Workspace.h"
#include "ui_ProjectsPage.h"

#include <QWidget>
#include <functional>
#include <vector>

class QTreeWidgetItem;

namespace messages {
class Prompter;
}

namespace store {

// The figures the Projects page shows under its entry list.
struct ProjectCounters {
    int pictures = 0;
    int bytes = 0;
};

// The My Lumiwand Projects page: the project selector, the library tree, the entry list of the current project
// with its counters, and the row of project and entry commands. Entry and project commands of the store run
// here; commands that need the device image, the device or the timing dialogs are signals for the window above.
//
// Its controls are those of ProjectsPage.ui. The command buttons, top row left to right: BitBtn40 USB Download,
// BitBtn42 Save as binary file, BitBtn43 Open project binary files, BitBtn44 email project, BitBtn36 Move up one
// order, BitBtn37 Move down one order, BitBtn41 Add Torch function to Project, BitBtn35 Text to Banner, BitBtn39
// Rename project, BitBtn46 Set Project Movie Interval, BitBtn47 Left && Right shift adjusting, BitBtn49 Adjust
// Flashing Speed, BitBtn38 Delete this project, BitBtn50 Enable/Disable Movie Group function; below them BitBtn51
// Enable / Disable Ticker function, BitBtn53 Show preview and, in factory mode, BitBtn52 Indelible Pattern.
// Label26 "My Lumiwand Projects" and ComboBox1 the project selector; TreeView2 the libraries, in insertion order,
// collapsed; Button10 "Add to Project ->" and Button14 "<- Remove from project"; ListView1 the entry list;
// Label45 "Total Files:" and Label44 "EEPROM Bytes:" with their values Label46 and Label47.
class ProjectsPage : public QWidget, public Ui::ProjectsPage {
    Q_OBJECT

public:
    ProjectsPage(const EditionParameters& edition, const Workspace& workspace, ProjectList& projects,
                 messages::Prompter& prompter, QWidget* parent = nullptr);

    // The dialogs the group and ticker commands ask (made after the page).
    void setMovieGroupChooser(MovieGroupChooser* chooser) { groupChooser_ = chooser; }
    void setTickerChooser(TickerChooser* chooser) { tickerChooser_ = chooser; }
    // Measures the current project after every rebuild of the entry list.
    void setMeasure(std::function<ProjectCounters(const Project&)> measure) { measure_ = std::move(measure); }

    // Entering the page: the selector refilled (the first project current) and the tree rebuilt. The window
    // rebuilds the association index and then calls loadEntryList.
    void enterPage();
    // Fills the selector from the project list and shows its current project.
    void refreshProjectSelector();
    void rebuildTree();
    // Rebuilds the rows of the current project (repairing it) and the counters; keeps the selected row.
    void loadEntryList();

    // The entry the selected row stands for; -1 when no row is selected.
    int selectedEntry() const;
    void selectEntry(int entry);
    // The picture file of the selected row's entry; empty when none.
    QString selectedFileName() const;
    // The last picture file clicked in the tree (a clipart path for clipart).
    const QString& currentPicture() const { return currentPicture_; }
    const std::vector<EntryRow>& rows() const { return rows_; }

    // "Add to Project ->" for a picture file of the tree; clipart (its path) is added as a copy in the clips folder.
    void addPicture(const QString& picture);

public slots:
    void ComboBox1Change(int index);
    void TreeView2Click(QTreeWidgetItem* item);
    void TreeView2DblClick(QTreeWidgetItem* item);
    void ListView1Click();
    void ListView1DblClick();
    void Button10Click();
    void Button14Click();
    void BitBtn36Click();
    void BitBtn37Click();
    void BitBtn38Click();
    void BitBtn39Click();
    void BitBtn46Click();
    void BitBtn47Click();
    void BitBtn49Click();
    void BitBtn50Click();
    void BitBtn51Click();
    void BitBtn52Click();

signals:
    // Commands for the window above.
    void downloadRequested();
    // "Show preview": the current project's image played as the stick plays it.
    void showPreviewRequested();
    void exportBinaryRequested();
    void openBinaryRequested();
    void emailProjectRequested();
    void torchRequested();
    void textToBannerRequested();
    void movieIntervalRequested();
    void shiftRequested(const QString& fileName);
    void speedRequested(const QString& fileName);
    // A double click on a row: re-edit the banner as text.
    void reeditRequested(const QString& rowCaption);
    // The top preview shows a picture file, or hides.
    void previewRequested(const QString& fileName);
    void previewHidden();
    // Projects were created, renamed or deleted, or entries added or removed: the association index is stale.
    void projectsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs an entry command on the current project and the selected row, then rebuilds the list and selects
    // the entry `command` returns (or the same row when it returns -1).
    void entryCommand(const std::function<int(Project&, int entry)>& command);
    void showRowPreview();

    EditionParameters edition_;
    const Workspace& workspace_;
    ProjectList& projects_;
    messages::Prompter& prompter_;
    MovieGroupChooser* groupChooser_ = nullptr;
    TickerChooser* tickerChooser_ = nullptr;
    std::function<ProjectCounters(const Project&)> measure_;
    std::vector<EntryRow> rows_;
    QString currentPicture_;
    TreeFreshness treeFreshness_;
};

} // namespace store
