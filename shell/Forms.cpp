#include "shell/Forms.h"

#include "deviceimage/BannerSave.h"
#include "deviceimage/ImageCompiler.h"
#include "devicelink/ProductionImages.h"
#include "devicelink/ProjectImageHooks.h"
#include "imaging/Fonts.h"
#include "shell/AppState.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "ui/Command.h"

#include <QFileInfo>
#include <QTimer>
#include <utility>

namespace shell {
namespace {

devicelink::TransferSettings transferSettings(const AppState& state)
{
    return {state.edition.ledCount, state.edition.factoryMode, state.simplifiedMode, state.easyMode,
            state.workspace.projectsFolder, devicelink::downloadRecordFile(state.workspace)};
}

// The mass production window's factory line: the workspace's projects and binary files as what to download,
// sticks watched through the download dialog's transport, each one programmed on a platform of its own.
devicelink::ProductionPanelHooks productionHooks(AppState& state, messages::Prompter& prompter, devicelink::TForm10& download)
{
    devicelink::ProductionPanelHooks hooks;
    hooks.projectNames = [&state] {
        store::ProjectList projects(state.workspace.projectsFolder);
        projects.listProjects();
        QStringList names;
        for (int i = 0; i < projects.size(); ++i)
            names << QFileInfo(projects.project(i).path()).completeBaseName();
        return names;
    };
    hooks.images = [&state, &prompter](const QString& source) {
        return devicelink::productionImages({state.edition, state.workspace, state.simplifiedMode}, source, prompter);
    };
    hooks.makeLine = [&state, &download](QHash<int, QByteArray> images, devicelink::ProductionSettings settings) {
        settings.downloadRecordFile = devicelink::downloadRecordFile(state.workspace);
        return std::make_unique<devicelink::ProductionLine>(
            download.transport(),
            [](const QString& path, devicelink::EventPump& pump) { return devicelink::createStickPlatform(path, pump); },
            std::move(images), std::move(settings));
    };
    hooks.chooseImageFile = [&state, &prompter] {
        return prompter.chooseOpenFile(messages::lookupMessage(msg::OpenBinaryFilesTitle), state.workspace.exportFolder,
                                       deviceimage::binaryFileFilters());
    };
    hooks.chooseLogFile = [&prompter](const QString& current) {
        const QFileInfo file(current);
        return prompter.chooseSaveFile(messages::lookupMessage(msg::ProductionLogFile), file.absolutePath(),
                                       file.fileName(), {QStringLiteral("CSV (*.csv)")});
    };
    hooks.defaultLogFile = state.workspace.rootFolder + QStringLiteral("Production.csv");
    return hooks;
}

devicelink::ProjectHooks downloadHooks(AppState& state, messages::Prompter& prompter)
{
    const deviceimage::ImageContext context{state.edition, state.workspace, state.simplifiedMode};
    devicelink::ProjectHooks hooks = devicelink::imageProjectHooks(
        context, [&state] { return state.projects ? state.projects->current() : nullptr; }, prompter);
    hooks.selectProjectByName = [&state](const QString& name) {
        if (state.projects)
            state.projects->showProject(name);
    };
    hooks.loadEntryList = [&state] {
        if (store::Project* project = state.projects ? state.projects->current() : nullptr)
            store::loadEntryList(*project, state.workspace.clipsFolder);
    };
    return hooks;
}

} // namespace

Forms::Forms(AppState& state, messages::Prompter& prompter, devicelink::HidPlatform& platform, devicelink::EventPump& pump,
             std::function<bool()> devicePresent)
    : form12(state, prompter),
      form1(state, prompter),
      editor(state, prompter, form1),
      form4(state.workspace.projectsFolder, state.edition.pictureWidth, state.edition.ledCount, prompter),
      form10(platform, pump, prompter, downloadHooks(state, prompter), transferSettings(state)),
      form14(prompter),
      form19(state, prompter),
      form20(state, prompter),
      form21(state.edition, std::move(devicePresent), productionHooks(state, prompter, form10)),
      speedsetup(state.edition.defaultSpeed),
      leftrigthshiftadj(state.edition, prompter),
      moviegroup(prompter),
      tickersetup([&state] { return state.simplifiedMode; }),
      textToClip(QSize(state.edition.maxBannerWidth, state.edition.ledCount), prompter, fontChooser_),
      paintDlg(&form20),
      paintExp(editor.canvas, form20, prompter, state.edition, state.workspace.clipsFolder, &form20),
      showPreview(state.edition, state.workspace.exportFolder, prompter),
      state_(state),
      prompter_(prompter),
      fontChooser_(&textToClip)
{
    connectWindows();
}

void Forms::connectWindows()
{
    QObject::connect(&form12, &TForm12::runModeSet, &form12, [this] { updateDownloadDialog(); });
    QObject::connect(&form12, &TForm12::modeWindowRequested, &form12,
                     [this](StartMode mode, int startWithWizard) { openModeWindow(mode, startWithWizard); });
    QObject::connect(&form1, &TForm1::languageDialogRequested, &form19, &QDialog::exec);
    connectPages();
    // Closing the main window asks the start-up window to end the program at its next tick; closing the mass
    // production window closes the (hidden) main window.
    QObject::connect(&form1, &TForm1::closed, &form12, &TForm12::requestEnd);
    QObject::connect(&form1, &TForm1::shown, &form1, [this] { editor.startEditor(); });
    QObject::connect(&form21, &devicelink::TForm21::closed, &form1, &QWidget::close);
    QObject::connect(&form20, &TForm20::closed, &form1, &QWidget::close);
    form20.dialogs() = expressDialogs();
    const devicelink::DeviceWatcher* watcher = deviceWatcher.get();
    QObject::connect(watcher, &devicelink::DeviceWatcher::devicesChanged, &form10, &devicelink::TForm10::devicesChanged);
    QObject::connect(watcher, &devicelink::DeviceWatcher::devicesChanged, &form21, &devicelink::TForm21::devicesChanged);
    QObject::connect(watcher, &devicelink::DeviceWatcher::devicesChanged, &form20, &TForm20::devicesChanged);
}

ExpressDialogs Forms::expressDialogs()
{
    ExpressDialogs dialogs;
    dialogs.discoverDevices = [this] { return form10.transport().discoverDevices(); };
    dialogs.openDownloadDialog = [this](bool autoRead, bool autoDownload) {
        form10.autoRead = autoRead;
        form10.autoDownload = autoDownload;
        form10.setCloseRequested(false);
        form10.exec();
        const bool closeRequested = form10.closeRequested();
        form10.setCloseRequested(false);
        return closeRequested;
    };
    dialogs.openLanguageDialog = [this] { form19.exec(); };
    dialogs.chooseTicker = [this](int type, int speed) { return tickersetup.chooseTicker(type, speed); };
    dialogs.adjustShift = [this](int shift, int speed, const deviceimage::ContentBounds& bounds) {
        return leftrigthshiftadj.chooseShift({shift, speed, bounds.width}).value_or(-2);
    };
    dialogs.openTextToBanner = [this](const QString& bannerText) { return openExpressTextToBanner(bannerText); };
    dialogs.askModifyOrNew = [this] {
        paintDlg.exec();
        if (paintDlg.modify)
            return ExpressDialogs::PaintChoice::Modify;
        return paintDlg.createNew ? ExpressDialogs::PaintChoice::New : ExpressDialogs::PaintChoice::None;
    };
    dialogs.paint = [this](bool modifyMode, const QString& bannerName) {
        paintExp.modifyMode = modifyMode;
        paintExp.bannerName = bannerName;
        paintExp.exec();
        return ExpressDialogs::PaintOutcome{paintExp.saved, paintExp.savedAsNew};
    };
    dialogs.paintImported = [this](const QString& file) {
        paintExp.modifyMode = false;
        paintExp.bannerName = QStringLiteral("0");
        paintExp.importOnShow = file;
        paintExp.exec();
        paintExp.importOnShow.clear();
        return ExpressDialogs::PaintOutcome{paintExp.saved, paintExp.savedAsNew};
    };
    paintExp.workspaceFolder = state_.workspace.rootFolder;
    paintExp.importImage = [this](const QString& file) {
        editor.importclip.setExpressMode(state_.simplifiedMode);
        editor.importclip.importInto(editor.canvas, file, true);
    };
    dialogs.openShowPreview = [this] { openShowPreview(form20); };
    return dialogs;
}

void Forms::openShowPreview(QWidget& opener)
{
    store::Project* project = state_.projects ? state_.projects->current() : nullptr;
    if (!project) {
        prompter_.tell(msg::ShowPreviewTitle, msg::NoProjectToPlay, messages::Icon::Information);
        return;
    }
    // Built as the download builds it, for the edition's device type.
    const int deviceType = deviceimage::editionDeviceType(state_.edition.ledCount);
    deviceimage::CompileResult built;
    if (!ui::runCommand(prompter_, [&] {
            built = deviceimage::compileImage(deviceimage::CompileMode::Build, deviceType, project,
                                              {state_.edition, state_.workspace, state_.simplifiedMode});
        }))
        return;
    if (built.refused()) {
        prompter_.tellText(msg::ShowPreviewTitle, built.refusal, messages::Icon::Stop);
        return;
    }
    if (built.image.isEmpty()) {
        prompter_.tellText(msg::ShowPreviewTitle,
                           messages::formatMessage(msg::NoPicturesToPlay, qUtf8Printable(project->name())),
                           messages::Icon::Information);
        return;
    }
    showPreview.play(built.image, deviceType, state_.projects->currentDisplayName());
    // A window of the opener's: it opens over it and stays above it.
    if (showPreview.parentWidget() != &opener) {
        showPreview.hide();
        showPreview.setParent(&opener, showPreview.windowFlags());
    }
    if (!showPreview.isVisible())
        showPreview.move(opener.frameGeometry().center() - showPreview.rect().center());
    showPreview.show();
    showPreview.raise();
    showPreview.activateWindow();
}

void Forms::openDownloadAfterBurn()
{
    // Shown without waiting (the text-to-banner dialog that asked is closing), yet modal to the user: nothing
    // else may change the project while a transfer runs.
    form10.autoRead = false;
    form10.autoDownload = false;
    form10.setWindowModality(Qt::ApplicationModal);
    form10.show();
    form10.raise();
    form10.activateWindow();
}

void Forms::openModeWindow(StartMode mode, int startWithWizard)
{
    QWidget* window = &form1;
    switch (mode) {
    case StartMode::MassProduction:
        window = &form21;
        break;
    case StartMode::Express:
    case StartMode::Easy:
        window = &form20;
        break;
    case StartMode::Normal:
        if (startWithWizard != 0 && startFiles.isEmpty()) {
            // The wizard leads on to the main window, whose title stays the run's title.
            editor.showWizardAtStart();
            state_.applicationTitle = form1.windowTitle();
            return;
        }
        break;
    case StartMode::Setup:
    case StartMode::Uninstall:
        break;
    }
    window->show();
    // The title is taken after the window is shown, so it includes what its show handler put in the caption.
    state_.applicationTitle = window->windowTitle();
    // After the start-up window's tick has returned, so that the questions the files raise run outside it.
    if (mode == StartMode::Normal && !startFiles.isEmpty())
        QTimer::singleShot(0, &form1, [this] { openFiles(std::exchange(startFiles, {})); });
}

bool Forms::openExpressTextToBanner(const QString& bannerText)
{
    QFont font = state_.textFont;
    font.setFamily(imaging::kBannerFace);
    const deviceimage::ImageContext context{state_.edition, state_.workspace, state_.simplifiedMode};
    deviceimage::ProjectBannerKeeper keeper(
        context,
        [this]() -> store::Project* {
            if (!state_.projects)
                return nullptr;
            state_.projects->showProject(QStringLiteral("QuickStart"));
            return state_.projects->current();
        },
        prompter_, true);
    textToClip.setDialogFont(font);
    textToClip.setRememberedText(bannerText);
    textToClip.setExpressMode(true);
    textToClip.setBannerKeeper(&keeper);
    textToClip.exec();
    textToClip.setBannerKeeper(nullptr);
    const bool kept = textToClip.accepted() && !textToClip.rejected();
    if (textToClip.accepted())
        state_.textFont = textToClip.dialogFont();
    return kept;
}

void Forms::updateDownloadDialog()
{
    form10.transfers().setSettings(transferSettings(state_));
    form10.transfers().hooks() = downloadHooks(state_, prompter_);
    form10.transfers().hooks().reviewReadBack = [this](const QByteArray& image, int deviceType) {
        return !showPreview.reviewsReadBacks() || showPreview.reviewReadBack(image, deviceType);
    };
}

} // namespace shell
