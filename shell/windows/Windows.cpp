#include "shell/windows/Windows.h"

#include "deviceimage/BannerSave.h"
#include "deviceimage/ImageCompiler.h"
#include "devicelink/ProductionImages.h"
#include "devicelink/ProjectImageHooks.h"
#include "imaging/Fonts.h"
#include "shell/AppState.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "windowkit/RunCommand.h"

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
devicelink::ProductionPanelHooks productionHooks(AppState& state, messages::Prompter& prompter, devicelink::DownloadDialog& download)
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

Windows::Windows(AppState& state, messages::Prompter& prompter, devicelink::HidPlatform& platform, devicelink::EventPump& pump,
                 std::function<bool()> devicePresent)
    : startupWindow(state, prompter),
      mainWindow(state, prompter),
      editor(state, prompter, mainWindow),
      newProjectDialog(state.workspace.projectsFolder, state.edition.pictureWidth, state.edition.ledCount, prompter),
      downloadDialog(platform, pump, prompter, downloadHooks(state, prompter), transferSettings(state)),
      movieIntervalDialog(prompter),
      languageDialog(state, prompter),
      expressWindow(state, prompter),
      massProductionWindow(state.edition, std::move(devicePresent), productionHooks(state, prompter, downloadDialog)),
      speedDialog(state.edition.defaultSpeed),
      shiftDialog(state.edition, prompter),
      movieGroupDialog(prompter),
      tickerDialog([&state] { return state.simplifiedMode; }),
      textToBanner(QSize(state.edition.maxBannerWidth, state.edition.ledCount), prompter, fontChooser_),
      paintChoice(&expressWindow),
      painter(editor.canvas, expressWindow, prompter, state.edition, state.workspace.clipsFolder, &expressWindow),
      showPreview(state.edition, state.workspace.exportFolder, prompter),
      state_(state),
      prompter_(prompter),
      fontChooser_(&textToBanner)
{
    connectWindows();
}

void Windows::connectWindows()
{
    QObject::connect(&startupWindow, &StartupWindow::runModeSet, &startupWindow, [this] { updateDownloadDialog(); });
    QObject::connect(&startupWindow, &StartupWindow::modeWindowRequested, &startupWindow,
                     [this](StartMode mode, int startWithWizard) { openModeWindow(mode, startWithWizard); });
    QObject::connect(&mainWindow, &MainWindow::languageDialogRequested, &languageDialog, &QDialog::exec);
    connectPages();
    // Closing the main window asks the start-up window to end the program at its next tick; closing the mass
    // production window closes the (hidden) main window.
    QObject::connect(&mainWindow, &MainWindow::closed, &startupWindow, &StartupWindow::requestEnd);
    QObject::connect(&mainWindow, &MainWindow::shown, &mainWindow, [this] { editor.startEditor(); });
    QObject::connect(&massProductionWindow, &devicelink::MassProductionWindow::closed, &mainWindow, &QWidget::close);
    QObject::connect(&expressWindow, &ExpressWindow::closed, &mainWindow, &QWidget::close);
    expressWindow.dialogs() = expressDialogs();
    const devicelink::DeviceWatcher* watcher = deviceWatcher.get();
    QObject::connect(watcher, &devicelink::DeviceWatcher::devicesChanged, &downloadDialog, &devicelink::DownloadDialog::devicesChanged);
    QObject::connect(watcher, &devicelink::DeviceWatcher::devicesChanged, &massProductionWindow, &devicelink::MassProductionWindow::devicesChanged);
    QObject::connect(watcher, &devicelink::DeviceWatcher::devicesChanged, &expressWindow, &ExpressWindow::devicesChanged);
}

ExpressDialogs Windows::expressDialogs()
{
    ExpressDialogs dialogs;
    dialogs.discoverDevices = [this] { return downloadDialog.transport().discoverDevices(); };
    dialogs.openDownloadDialog = [this](bool autoRead, bool autoDownload) {
        downloadDialog.autoRead = autoRead;
        downloadDialog.autoDownload = autoDownload;
        downloadDialog.setCloseRequested(false);
        downloadDialog.exec();
        const bool closeRequested = downloadDialog.closeRequested();
        downloadDialog.setCloseRequested(false);
        return closeRequested;
    };
    dialogs.openLanguageDialog = [this] { languageDialog.exec(); };
    dialogs.chooseTicker = [this](int type, int speed) { return tickerDialog.chooseTicker(type, speed); };
    dialogs.adjustShift = [this](int shift, int speed, const deviceimage::ContentBounds& bounds) {
        return shiftDialog.chooseShift({shift, speed, bounds.width}).value_or(-2);
    };
    dialogs.openTextToBanner = [this](const QString& bannerText) { return openExpressTextToBanner(bannerText); };
    dialogs.askModifyOrNew = [this] {
        paintChoice.exec();
        if (paintChoice.modify)
            return ExpressDialogs::PaintChoice::Modify;
        return paintChoice.createNew ? ExpressDialogs::PaintChoice::New : ExpressDialogs::PaintChoice::None;
    };
    dialogs.paint = [this](bool modifyMode, const QString& bannerName) {
        painter.modifyMode = modifyMode;
        painter.bannerName = bannerName;
        painter.exec();
        return ExpressDialogs::PaintOutcome{painter.saved, painter.savedAsNew};
    };
    dialogs.paintImported = [this](const QString& file) {
        painter.modifyMode = false;
        painter.bannerName = QStringLiteral("0");
        painter.importOnShow = file;
        painter.exec();
        painter.importOnShow.clear();
        return ExpressDialogs::PaintOutcome{painter.saved, painter.savedAsNew};
    };
    painter.workspaceFolder = state_.workspace.rootFolder;
    painter.importImage = [this](const QString& file) {
        editor.pictureImport.setExpressMode(state_.simplifiedMode);
        editor.pictureImport.importInto(editor.canvas, file, true);
    };
    dialogs.openShowPreview = [this] { openShowPreview(expressWindow); };
    return dialogs;
}

void Windows::openShowPreview(QWidget& opener)
{
    store::Project* project = state_.projects ? state_.projects->current() : nullptr;
    if (!project) {
        prompter_.tell(msg::ShowPreviewTitle, msg::NoProjectToPlay, messages::Icon::Information);
        return;
    }
    // Built as the download builds it, for the edition's device type.
    const int deviceType = deviceimage::editionDeviceType(state_.edition.ledCount);
    deviceimage::CompileResult built;
    if (!windowkit::runCommand(prompter_, [&] {
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

void Windows::openDownloadAfterBurn()
{
    // Shown without waiting (the text-to-banner dialog that asked is closing), yet modal to the user: nothing
    // else may change the project while a transfer runs.
    downloadDialog.autoRead = false;
    downloadDialog.autoDownload = false;
    downloadDialog.setWindowModality(Qt::ApplicationModal);
    downloadDialog.show();
    downloadDialog.raise();
    downloadDialog.activateWindow();
}

void Windows::openModeWindow(StartMode mode, int startWithWizard)
{
    QWidget* window = &mainWindow;
    switch (mode) {
    case StartMode::MassProduction:
        window = &massProductionWindow;
        break;
    case StartMode::Express:
    case StartMode::Easy:
        window = &expressWindow;
        break;
    case StartMode::Normal:
        if (startWithWizard != 0 && startFiles.isEmpty()) {
            // The wizard leads on to the main window, whose title stays the run's title.
            editor.showWizardAtStart();
            state_.applicationTitle = mainWindow.windowTitle();
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
        QTimer::singleShot(0, &mainWindow, [this] { openFiles(std::exchange(startFiles, {})); });
}

bool Windows::openExpressTextToBanner(const QString& bannerText)
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
    textToBanner.setDialogFont(font);
    textToBanner.setRememberedText(bannerText);
    textToBanner.setExpressMode(true);
    textToBanner.setBannerKeeper(&keeper);
    textToBanner.exec();
    textToBanner.setBannerKeeper(nullptr);
    const bool kept = textToBanner.accepted() && !textToBanner.rejected();
    if (textToBanner.accepted())
        state_.textFont = textToBanner.dialogFont();
    return kept;
}

void Windows::updateDownloadDialog()
{
    downloadDialog.transfers().setSettings(transferSettings(state_));
    downloadDialog.transfers().hooks() = downloadHooks(state_, prompter_);
    downloadDialog.transfers().hooks().reviewReadBack = [this](const QByteArray& image, int deviceType) {
        return !showPreview.reviewsReadBacks() || showPreview.reviewReadBack(image, deviceType);
    };
}

} // namespace shell
