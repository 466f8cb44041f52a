// The main window's pages and the dialogs they open: what each command of the Library and Projects pages runs
// when it needs the device image, the stick or a dialog made beside the pages.

#include "shell/windows/Windows.h"

#include "deviceimage/BinaryFiles.h"
#include "deviceimage/ImageCompiler.h"
#include "deviceimage/TimingCommands.h"
#include "editing/EditorCommands.h"
#include "editing/PictureClipboard.h"
#include "shell/AppState.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/LibraryCatalogue.h"
#include "store/LibraryChoice.h"
#include "store/windows/LibraryPage.h"
#include "store/ProjectList.h"
#include "windowkit/RunCommand.h"
#include "windowkit/FileDrops.h"

#include <QClipboard>
#include <QGuiApplication>

namespace shell {
namespace {

deviceimage::ImageContext imageContext(const AppState& state)
{
    return {state.edition, state.workspace, state.simplifiedMode};
}

} // namespace

store::ProjectCounters Windows::measureProject(const store::Project& project) const
{
    const deviceimage::CompileResult counted =
        deviceimage::compileImage(deviceimage::CompileMode::Count, 0, &project, imageContext(state_));
    return {counted.pictures, counted.total};
}

void Windows::connectPages()
{
    store::LibraryPage& library = *mainWindow.libraryPage;
    store::ProjectsPage& projects = *mainWindow.projectsPage;
    projects.setMovieGroupChooser(&movieGroupDialog);
    projects.setTickerChooser(&tickerDialog);
    projects.setMeasure([this](const store::Project& project) { return measureProject(project); });

    QObject::connect(&mainWindow, &MainWindow::newProjectRequested, &newProjectDialog, &QDialog::exec);
    QObject::connect(&newProjectDialog, &store::NewProjectDialog::projectCreated, &mainWindow, &MainWindow::projectCreated);

    // The speed of a picture of the library, or of the selected entry's picture: the speed dialog edits
    // currentSpeed between the file's record and back.
    const auto adjustSpeed = [this](const QString& file) {
        windowkit::runCommand(prompter_, [&] {
            deviceimage::TimingRecords records(state_.workspace.clipsFolder, state_.edition);
            deviceimage::adjustFlashingSpeed(records, file, state_.currentSpeed, speedDialog);
        });
    };
    QObject::connect(&library, &store::LibraryPage::adjustSpeedRequested, &mainWindow, adjustSpeed);
    QObject::connect(&projects, &store::ProjectsPage::speedRequested, &mainWindow, adjustSpeed);
    QObject::connect(&projects, &store::ProjectsPage::shiftRequested, &mainWindow, [this](const QString& file) {
        windowkit::runCommand(prompter_, [&] {
            deviceimage::TimingRecords records(state_.workspace.clipsFolder, state_.edition);
            deviceimage::adjustShift(records, file, shiftDialog);
        });
    });
    QObject::connect(&projects, &store::ProjectsPage::movieIntervalRequested, &mainWindow, [this] {
        if (store::Project* project = state_.projects->current())
            windowkit::runCommand(prompter_,
                                  [&] { deviceimage::setProjectMovieInterval(*project, movieIntervalDialog); });
    });
    QObject::connect(&projects, &store::ProjectsPage::torchRequested, &mainWindow, [this, &projects] {
        windowkit::runCommand(prompter_, [&] {
            deviceimage::addTorchPicture(*state_.projects, state_.workspace.clipsFolder, state_.edition, prompter_);
        });
        projects.loadEntryList();
        mainWindow.refreshAssociations();
    });

    // The stick: the download dialog always opens; afterwards the page shows what a read-back or a merge of
    // indelible pictures changed.
    QObject::connect(&projects, &store::ProjectsPage::downloadRequested, &mainWindow, [this, &projects] {
        downloadDialog.exec();
        projects.refreshProjectSelector();
        projects.loadEntryList();
        mainWindow.refreshAssociations();
    });

    connectEditorCommands(library, projects);

    QObject::connect(&projects, &store::ProjectsPage::showPreviewRequested, &mainWindow, [this] { openShowPreview(mainWindow); });

    // Binary project files.
    QObject::connect(&projects, &store::ProjectsPage::exportBinaryRequested, &mainWindow, [this] {
        windowkit::runCommand(prompter_, [&] {
            deviceimage::exportBinary(*state_.projects, imageContext(state_), prompter_, binaryHooks());
        });
    });
    QObject::connect(&projects, &store::ProjectsPage::emailProjectRequested, &mainWindow, [this] {
        windowkit::runCommand(prompter_, [&] {
            deviceimage::emailProject(*state_.projects, imageContext(state_), prompter_, binaryHooks());
        });
    });
    QObject::connect(&projects, &store::ProjectsPage::openBinaryRequested, &mainWindow, [this] { openBinaryFile({}); });
    // A .lwd or .bin file dropped onto the page opens as the open command's chosen file does.
    windowkit::acceptFileDrops(projects, deviceimage::isBinaryProjectFile,
                               [this](const QString& path) { openBinaryFile(path); });
}

void Windows::openBinaryFile(const QString& path)
{
    windowkit::runCommand(prompter_, [&] {
        if (path.isEmpty())
            deviceimage::openBinary(*state_.projects, imageContext(state_), prompter_, binaryHooks());
        else
            deviceimage::openBinaryFile(path, *state_.projects, imageContext(state_), prompter_, binaryHooks());
    });
    store::ProjectsPage& projects = *mainWindow.projectsPage;
    projects.refreshProjectSelector();
    projects.loadEntryList();
    mainWindow.refreshAssociations();
}

void Windows::openFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (deviceimage::isBinaryProjectFile(path)) {
            mainWindow.PageControl1->setCurrentWidget(mainWindow.TabSheet4);
            openBinaryFile(path);
        } else {
            mainWindow.PageControl1->setCurrentWidget(mainWindow.TabSheet3);
            editor.page->commands().importDropped(path);
        }
    }
}

void Windows::connectEditorCommands(store::LibraryPage& library, store::ProjectsPage& projects)
{
    // The editor's flashing speed: the dialog edits the current speed, which is then stored for the file.
    editor.chooseSpeed = [this]() -> std::optional<int> {
        if (const std::optional<int> chosen = speedDialog.chooseSpeed(state_.currentSpeed))
            state_.currentSpeed = *chosen;
        return state_.currentSpeed;
    };
    editor.refreshProjectsPage = [this, &projects] {
        projects.refreshProjectSelector();
        projects.loadEntryList();
        mainWindow.refreshAssociations();
    };

    const auto source = [](const QString& libraryName, const QString& file, const QString& dimension) {
        return store::ChoiceSource{libraryName, file, dimension};
    };
    QObject::connect(&library, &store::LibraryPage::addToProjectsRequested, &mainWindow,
                     [this, source, &projects](const QString& name, const QString& file, const QString& dimension) {
                         windowkit::runCommand(prompter_, [&] {
                             store::addToProjects(*state_.projects, state_.workspace.clipsFolder,
                                                  source(name, file, dimension), editor.libraryChoice, prompter_);
                         });
                         projects.loadEntryList();
                         mainWindow.refreshAssociations();
                     });
    QObject::connect(&library, &store::LibraryPage::copyMoveRequested, &mainWindow,
                     [this, source, &library](const QString& name, const QString& file, const QString& dimension) {
                         windowkit::runCommand(prompter_, [&] {
                             store::LibraryCatalogue catalogue(state_.workspace.clipsFolder);
                             store::copyToLibraries(catalogue, source(name, file, dimension), editor.libraryChoice,
                                                    prompter_);
                         });
                         library.rebuildTree();
                     });
    QObject::connect(&library, &store::LibraryPage::editRequested, &mainWindow, [this](const QString& file) {
        editor.editPicture(state_.workspace.clipsFolder + file);
    });
    QObject::connect(&library, &store::LibraryPage::importRequested, &mainWindow, [this] {
        mainWindow.PageControl1->setCurrentWidget(mainWindow.TabSheet3);
        editor.page->commands().importPicture();
    });
    // A picture dropped onto the Library page goes where "Add BMP/JPEG to Library" takes a chosen one.
    windowkit::acceptFileDrops(library, editing::isImportable, [this](const QString& path) {
        mainWindow.PageControl1->setCurrentWidget(mainWindow.TabSheet3);
        editor.page->importDropped(path);
    });
    QObject::connect(&library, &store::LibraryPage::pasteRequested, &mainWindow, [this, &library](const QString& name) {
        QString pasted;
        windowkit::runCommand(prompter_, [&] {
            pasted = editing::pasteAsNewPicture(editing::clipboardPicture(QGuiApplication::clipboard()->mimeData()),
                                                name, state_.workspace.clipsFolder, state_.edition, prompter_);
        });
        if (!pasted.isEmpty())
            library.rebuildTree();
    });

    QObject::connect(&projects, &store::ProjectsPage::textToBannerRequested, &mainWindow,
                     [this] { openProjectTextToBanner({}); });
    // "Burn to USB Light Show" of the text-to-banner dialog the Projects page and the wizard open; the page shows
    // what the download changed once its dialog closes.
    QObject::connect(&editor.textToBanner, &imaging::TextToBannerDialog::burnRequested, &mainWindow, [this] {
        QObject::connect(&downloadDialog, &QDialog::finished, &mainWindow, [this] { editor.refreshProjectsPage(); },
                         Qt::SingleShotConnection);
        openDownloadAfterBurn();
    });
    QObject::connect(&projects, &store::ProjectsPage::reeditRequested, &mainWindow, [this](const QString& caption) {
        const QString name = store::fileNameFromCaption(caption);
        QString record;
        windowkit::runCommand(prompter_, [&] {
            record = store::LibraryCatalogue(state_.workspace.clipsFolder).readBannerText(name);
        });
        openProjectTextToBanner(store::bannerTextToEdit(name, record));
    });
}

void Windows::openProjectTextToBanner(const store::BannerText& start)
{
    if (!state_.projects || !state_.projects->current()) {
        prompter_.tell(msg::TextToBannerTitle, msg::NoProjectSelected, messages::Icon::Warning);
        return;
    }
    QFont font = state_.textFont;
    if (!start.fontName.isEmpty())
        font.setFamily(start.fontName);
    imaging::TextToBannerDialog& dialog = editor.textToBanner;
    dialog.setDialogFont(font);
    dialog.setRememberedText(start.text);
    dialog.setExpressMode(false);
    windowkit::runCommand(prompter_, [&] { dialog.exec(); });
    if (dialog.accepted())
        state_.textFont = dialog.dialogFont();
    dialog.setRememberedText(QString());
    store::ProjectsPage& projects = *mainWindow.projectsPage;
    projects.rebuildTree();
    projects.loadEntryList();
    mainWindow.refreshAssociations();
}

deviceimage::BinaryCommandHooks Windows::binaryHooks()
{
    deviceimage::BinaryCommandHooks hooks;
    hooks.deviceTypeChooser = &deviceTypeDialog;
    hooks.loadEntryList = [this] { mainWindow.projectsPage->loadEntryList(); };
    return hooks;
}

} // namespace shell
