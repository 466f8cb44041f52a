// The main window's pages: the Library and Projects pages placed in the page control, the steps a page change
// runs for them, the top preview they show pictures in, and the frame's "New Project" and "New Library".

#include "shell/windows/MainWindow.h"

#include "imaging/PicturePreview.h"
#include "shell/AppState.h"
#include "store/LibraryCommands.h"
#include "store/windows/LibraryPage.h"
#include "store/windows/ProjectsPage.h"
#include "windowkit/CaptionFit.h"
#include "windowkit/RunCommand.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QTabWidget>
#include <QToolButton>

namespace shell {

void MainWindow::buildPages()
{
    libraryPage = new store::LibraryPage(state_.workspace, associations_, prompter_, TabSheet2);
    libraryPage->setClipartHeight(state_.edition.ledCount);
    libraryPage->setGeometry(0, 0, 793, 470);
    projectsPage = new store::ProjectsPage(state_.edition, state_.workspace, *state_.projects, prompter_, TabSheet4);
    projectsPage->setGeometry(0, 0, 793, 470);
    connect(projectsPage, &store::ProjectsPage::previewRequested, this, &MainWindow::showTopPreview);
    connect(projectsPage, &store::ProjectsPage::previewHidden, this, &MainWindow::hideTopPreview);
    connect(projectsPage, &store::ProjectsPage::projectsChanged, this, &MainWindow::refreshAssociations);
}

void MainWindow::showTopPreview(const QString& fileName)
{
    const imaging::PicturePreview preview =
        imaging::previewPictureFile(state_.workspace.clipsFolder, fileName, state_.simplifiedMode);
    switch (preview.outcome) {
    case imaging::PicturePreview::HideGroup:
        GroupBox2->hide();
        return;
    case imaging::PicturePreview::Unchanged:
        Image11->clear();
        return;
    case imaging::PicturePreview::Show:
        break;
    }
    showPreviewPicture(preview.image);
    GroupBox2->show();
}

void MainWindow::hideTopPreview()
{
    GroupBox2->hide();
}

void MainWindow::fitTopRowCaptions()
{
    windowkit::fitCaptionsTogether({BitBtn45, BitBtn16, BitBtn7, BitBtn3, BitBtn1, BitBtn17});
}

void MainWindow::refreshAssociations()
{
    associationsStale_ = true;
    if (PageControl1->currentWidget() == TabSheet2)
        showAssociations();
}

void MainWindow::showAssociations()
{
    if (associationsStale_) {
        associations_ = store::buildAssociationIndex(*state_.projects);
        associationsStale_ = false;
    }
    libraryPage->refreshAssociations();
}

void MainWindow::enterPage()
{
    if (PageControl1->currentWidget() == TabSheet2) {
        libraryPage->enterPage();
        showAssociations();
    } else if (PageControl1->currentWidget() == TabSheet4) {
        projectsPage->enterPage();
        refreshAssociations();
        projectsPage->loadEntryList();
    }
}

void MainWindow::projectCreated(const QString& name)
{
    if (PageControl1->currentWidget() != TabSheet4)
        return;
    refreshAssociations();
    state_.projects->listProjects();
    state_.projects->selectProjectByName(name);
    projectsPage->refreshProjectSelector();
    projectsPage->loadEntryList();
}

void MainWindow::BitBtn7Click()
{
    bool created = false;
    windowkit::runCommand(prompter_, [&] {
        store::LibraryCatalogue catalogue(state_.workspace.clipsFolder);
        created = store::createLibrary(catalogue, prompter_);
    });
    if (!created)
        return;
    if (PageControl1->currentWidget() == TabSheet2)
        libraryPage->rebuildTree();
    else if (PageControl1->currentWidget() == TabSheet4)
        projectsPage->rebuildTree();
}

} // namespace shell
