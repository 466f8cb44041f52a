#include "shell/EditorWindows.h"

#include "shell/AppState.h"
#include "shell/Main.h"

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

EditorWindows::EditorWindows(AppState& state, messages::Prompter& prompter, TForm1& form1)
    : fontChooser(&form1),
      importclip(state.edition, prompter, &form1),
      texteditor(state.edition.ledCount, prompter, fontChooser, &form1),
      texttoclip(QSize(state.edition.maxBannerWidth, state.edition.ledCount), prompter, fontChooser, &form1),
      bannerKeeper({state.edition, state.workspace, state.simplifiedMode},
                   [&state] { return state.projects ? state.projects->current() : nullptr; }, prompter, false),
      form5(state.workspace.clipsFolder, state.workspace.projectsFolder, state.edition, prompter, &form1),
      form13(state.workspace.settingsFile),
      pictureManager(state.workspace.clipsFolder, prompter, &form1),
      libraryChoice(&form1),
      state_(state),
      prompter_(prompter),
      form1_(form1)
{
    page = new editing::EditorPage(canvas, prompter, hooks, hooks, state.edition, state.workspace.rootFolder,
                                   state.workspace.clipsFolder, form1.TabSheet3);
    auto* layout = new QVBoxLayout(form1.TabSheet3);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);

    hooks.save = [this] { saveCanvas(); };
    hooks.importPicture = [this](const QString& path) { return importclip.importInto(canvas, path, false); };
    importclip.setAnimationImporter([this](const QString& path, const imaging::ImportChoice& choice) {
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
    texttoclip.setBannerKeeper(&bannerKeeper);
    connectWindows();
}

void EditorWindows::connectWindows()
{
    QObject::connect(form1_.BitBtn3, &QToolButton::clicked, page, [this] { saveCanvas(); });
    QObject::connect(page, &editing::EditorPage::saveRequested, page, [this] { saveCanvas(); });
    QObject::connect(&form1_, &TForm1::quickStartRequested, &form13, [this] {
        form13.show();
        form13.raise();
        form13.activateWindow();
    });
    QObject::connect(&form13, &TForm13::go, page, [this](UserMode mode) { go(mode); });
    QObject::connect(&form13, &TForm13::sampleChosen, page, [this](const QString& sample) { goSample(sample); });
    // Leaving the wizard without a choice never leaves the program without a window.
    QObject::connect(&form13, &TForm13::cancelled, page, [this] {
        if (!form1_.isVisible())
            form1_.show();
    });
    // The wizard's text dialog runs without blocking: what its OK changed is shown once it closes.
    QObject::connect(&texttoclip, &QDialog::finished, page, [this](int result) {
        if (!wizardTextOpen_)
            return;
        wizardTextOpen_ = false;
        if (result == QDialog::Accepted)
            state_.textFont = texttoclip.dialogFont();
        if (refreshProjectsPage)
            refreshProjectsPage();
    });
    // The box shows the editor's whole picture while its page is showing, whatever the other pages put in it.
    QObject::connect(page, &editing::EditorPage::previewChanged, form1_.Image11, [this](const QImage& preview) {
        if (form1_.PageControl1->currentWidget() == form1_.TabSheet3)
            form1_.showPreviewPicture(preview);
    });
    QObject::connect(form1_.PageControl1, &QTabWidget::currentChanged, page, [this] {
        if (form1_.PageControl1->currentWidget() == form1_.TabSheet3)
            page->activate();
    });
}

void EditorWindows::startEditor()
{
    page->startEditor();
}

std::optional<editing::TextBlock> EditorWindows::editText()
{
    if (!texteditor.editText(state_.textFont, lastText))
        return std::nullopt;
    const imaging::TextBlock& block = texteditor.textBlock();
    return editing::TextBlock{block.image, QRect(QPoint(block.left, block.top), QPoint(block.right, block.bottom))};
}

bool EditorWindows::editPicture(const QString& path)
{
    form1_.PageControl1->setCurrentWidget(form1_.TabSheet3);
    if (!importclip.importInto(canvas, path, true)) {
        form1_.PageControl1->setCurrentWidget(form1_.TabSheet2);
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
        form5.run(editing::suggestedSaveName(page->fileName()), canvas.litGrid(), state_.currentSpeed);
    if (!saved.isEmpty())
        page->setFileName(saved);
}

void EditorWindows::showWizardAtStart()
{
    form13.CheckBox1->setChecked(true);
    form13.show();
}

void EditorWindows::go(UserMode mode)
{
    form1_.show();
    form1_.raise();
    form1_.activateWindow();
    if (mode == UserMode::Graphic) {
        form1_.PageControl1->setCurrentWidget(form1_.TabSheet3);
        return;
    }
    form1_.PageControl1->setCurrentWidget(form1_.TabSheet4);
    if (state_.projects) {
        state_.projects->listProjects();
        const int starter = quickStartProject(*state_.projects);
        if (starter >= 0)
            state_.projects->setCurrentIndex(starter);
    }
    if (refreshProjectsPage)
        refreshProjectsPage();
    // Beside the Projects page, not modal: the banner made there goes into the starter project just selected.
    texttoclip.setDialogFont(form13.font());
    texttoclip.setRememberedText(QString());
    texttoclip.setExpressMode(false);
    wizardTextOpen_ = true;
    texttoclip.show();
    texttoclip.raise();
    texttoclip.activateWindow(); // the user types there next
}

void EditorWindows::goSample(const QString& sample)
{
    form1_.show();
    form1_.raise();
    form1_.activateWindow();
    form1_.PageControl1->setCurrentWidget(form1_.TabSheet4);
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
