#include "shell/windows/EditorWindows.h"

#include "shell/AppState.h"
#include "shell/windows/MainWindow.h"

#include "deviceimage/AnimationImport.h"
#include "deviceimage/SampleShows.h"
#include "deviceimage/TimingRecords.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace shell {

EditorWindows::EditorWindows(AppState& state, messages::Prompter& prompter, MainWindow& mainWindow)
    : fontChooser(&mainWindow),
      pictureImport(state.edition, prompter, &mainWindow),
      textEditor(state.edition.ledCount, prompter, fontChooser, &mainWindow),
      textToBanner(QSize(state.edition.maxBannerWidth, state.edition.ledCount), prompter, fontChooser, &mainWindow),
      bannerKeeper({state.edition, state.workspace, state.simplifiedMode},
                   [&state] { return state.projects ? state.projects->current() : nullptr; }, prompter, false),
      savePictureDialog(state.workspace.clipsFolder, state.workspace.projectsFolder, state.edition, prompter, &mainWindow),
      quickStartWizard(state.workspace.settingsFile),
      pictureManager(state.workspace.clipsFolder, prompter, &mainWindow),
      libraryChoice(&mainWindow),
      state_(state),
      prompter_(prompter),
      mainWindow_(mainWindow)
{
    page = new editing::EditorPage(canvas, prompter, hooks, hooks, state.edition, state.workspace.rootFolder,
                                   state.workspace.clipsFolder, mainWindow.TabSheet3);
    auto* layout = new QVBoxLayout(mainWindow.TabSheet3);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);

    hooks.save = [this] { saveCanvas(); };
    hooks.importPicture = [this](const QString& path) { return pictureImport.importInto(canvas, path, false); };
    pictureImport.setAnimationImporter([this](const QString& path, const imaging::ImportChoice& choice) {
        const bool imported = deviceimage::importAnimationAsked(
            {state_.edition, state_.workspace, state_.simplifiedMode},
            state_.projects ? state_.projects->current() : nullptr, path, choice, prompter_);
        if (imported && refreshProjectsPage)
            refreshProjectsPage();
        return imported;
    });
    pictureManager.setClipartHeight(state.edition.ledCount);
    hooks.choosePictureFile = [this] { return pictureManager.choosePicture(); };
    hooks.chooseSpeedWord = [this] { return chooseSpeed ? chooseSpeed() : std::nullopt; };
    hooks.textBlock = [this] { return editText(); };
    textToBanner.setBannerKeeper(&bannerKeeper);
    connectWindows();
}

void EditorWindows::connectWindows()
{
    QObject::connect(mainWindow_.BitBtn3, &QToolButton::clicked, page, [this] { saveCanvas(); });
    QObject::connect(page, &editing::EditorPage::saveRequested, page, [this] { saveCanvas(); });
    QObject::connect(&mainWindow_, &MainWindow::quickStartRequested, &quickStartWizard, [this] {
        quickStartWizard.show();
        quickStartWizard.raise();
        quickStartWizard.activateWindow();
    });
    QObject::connect(&quickStartWizard, &QuickStartWizard::go, page, [this](UserMode mode) { go(mode); });
    QObject::connect(&quickStartWizard, &QuickStartWizard::sampleChosen, page, [this](const QString& sample) { goSample(sample); });
    // Leaving the wizard without a choice never leaves the program without a window.
    QObject::connect(&quickStartWizard, &QuickStartWizard::cancelled, page, [this] {
        if (!mainWindow_.isVisible())
            mainWindow_.show();
    });
    // The wizard's text dialog runs without blocking: what its OK changed is shown once it closes.
    QObject::connect(&textToBanner, &QDialog::finished, page, [this](int result) {
        if (!wizardTextOpen_)
            return;
        wizardTextOpen_ = false;
        if (result == QDialog::Accepted)
            state_.textFont = textToBanner.dialogFont();
        if (refreshProjectsPage)
            refreshProjectsPage();
    });
    // The box shows the editor's whole picture while its page is showing, whatever the other pages put in it.
    QObject::connect(page, &editing::EditorPage::previewChanged, mainWindow_.Image11, [this](const QImage& preview) {
        if (mainWindow_.PageControl1->currentWidget() == mainWindow_.TabSheet3)
            mainWindow_.showPreviewPicture(preview);
    });
    QObject::connect(mainWindow_.PageControl1, &QTabWidget::currentChanged, page, [this] {
        if (mainWindow_.PageControl1->currentWidget() == mainWindow_.TabSheet3)
            page->activate();
    });
}

void EditorWindows::startEditor()
{
    page->startEditor();
}

std::optional<editing::TextBlock> EditorWindows::editText()
{
    if (!textEditor.editText(state_.textFont, lastText))
        return std::nullopt;
    const imaging::TextBlock& block = textEditor.textBlock();
    return editing::TextBlock{block.image, QRect(QPoint(block.left, block.top), QPoint(block.right, block.bottom))};
}

bool EditorWindows::editPicture(const QString& path)
{
    mainWindow_.PageControl1->setCurrentWidget(mainWindow_.TabSheet3);
    if (!pictureImport.importInto(canvas, path, true)) {
        mainWindow_.PageControl1->setCurrentWidget(mainWindow_.TabSheet2);
        return false;
    }
    state_.currentSpeed = deviceimage::TimingRecords(state_.workspace.clipsFolder, state_.edition)
                              .lookupSpeed(QFileInfo(path).fileName());
    page->setFileName(path);
    page->model().start();
    return true;
}

void EditorWindows::saveCanvas()
{
    const QString saved =
        savePictureDialog.run(editing::suggestedSaveName(page->fileName()), canvas.litGrid(), state_.currentSpeed);
    if (!saved.isEmpty())
        page->setFileName(saved);
}

void EditorWindows::showWizardAtStart()
{
    quickStartWizard.CheckBox1->setChecked(true);
    quickStartWizard.show();
}

void EditorWindows::go(UserMode mode)
{
    mainWindow_.show();
    mainWindow_.raise();
    mainWindow_.activateWindow();
    if (mode == UserMode::Graphic) {
        mainWindow_.PageControl1->setCurrentWidget(mainWindow_.TabSheet3);
        return;
    }
    mainWindow_.PageControl1->setCurrentWidget(mainWindow_.TabSheet4);
    if (state_.projects) {
        state_.projects->listProjects();
        const int starter = quickStartProject(*state_.projects);
        if (starter >= 0)
            state_.projects->setCurrentIndex(starter);
    }
    if (refreshProjectsPage)
        refreshProjectsPage();
    // Beside the Projects page, not modal: the banner made there goes into the starter project just selected.
    textToBanner.setDialogFont(quickStartWizard.font());
    textToBanner.setRememberedText(QString());
    textToBanner.setExpressMode(false);
    wizardTextOpen_ = true;
    textToBanner.show();
    textToBanner.raise();
    textToBanner.activateWindow(); // the user types there next
}

void EditorWindows::goSample(const QString& sample)
{
    mainWindow_.show();
    mainWindow_.raise();
    mainWindow_.activateWindow();
    mainWindow_.PageControl1->setCurrentWidget(mainWindow_.TabSheet4);
    const deviceimage::SampleMade made =
        deviceimage::makeSampleShow({state_.edition, state_.workspace, state_.simplifiedMode}, sample);
    if (!made.ok()) {
        prompter_.tell(msg::SampleTitle, messageId(made.status), messages::Icon::Stop);
        return;
    }
    // The new project becomes the current one of the Projects page.
    if (state_.projects) {
        state_.projects->listProjects();
        state_.projects->selectProjectByName(made.projectName);
    }
    if (refreshProjectsPage)
        refreshProjectsPage();
}

} // namespace shell
