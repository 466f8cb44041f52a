#include "editing/EditorCommands.h"

#include "deviceimage/TimingRecords.h"
#include "imaging/ImageDecode.h"
#include "imaging/ImageImport.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"

#include <QDir>
#include <QFileInfo>

namespace editing {

using messages::Icon;

QStringList importFilters()
{
    return imaging::importFileFilters();
}

bool isImportable(const QString& path)
{
    return imaging::isImportableName(path);
}

EditorCommands::EditorCommands(Canvas& canvas, messages::Prompter& prompter, EditorDialogs& dialogs,
                               store::EditionParameters edition, QString rootFolder, QString clipsFolder)
    : canvas_(canvas),
      prompter_(prompter),
      dialogs_(dialogs),
      edition_(std::move(edition)),
      importFolder_(std::move(rootFolder)),
      clipsFolder_(std::move(clipsFolder))
{
}

// The questions before any import: save the current picture first, then the black-and-white warning.
void EditorCommands::prepareImport()
{
    if (canvas_.touched() && prompter_.confirm(msg::ImportBannerTitle, msg::SaveBeforeImport)) {
        dialogs_.saveCanvas();
        prompter_.tell(msg::ImportBannerTitle, msg::KeepOnImporting, Icon::Information);
    }
    prompter_.tell(msg::ImportBannerTitle, msg::BlackAndWhiteOnly, Icon::Warning);
}

void EditorCommands::runImport(const QString& path)
{
    if (QFileInfo(path).fileName().isEmpty()) {
        prompter_.tell(msg::ImportBannerTitle, msg::ImportFileNameError, Icon::Stop);
        return;
    }
    importFolder_ = QFileInfo(path).absolutePath();
    if (dialogs_.importFile(path))
        currentFile_ = path;
}

void EditorCommands::importPicture()
{
    prepareImport();
    const QString path =
        prompter_.chooseOpenFile(messages::lookupMessage(msg::ImportBannerTitle), importFolder_, importFilters());
    if (!path.isEmpty())
        runImport(path);
}

void EditorCommands::importDropped(const QString& path)
{
    prepareImport();
    runImport(path);
}

void EditorCommands::openPicture()
{
    const QString path = dialogs_.choosePicture();
    if (!path.isEmpty() && dialogs_.importFile(path))
        currentFile_ = path;
}

void EditorCommands::newPicture()
{
    canvas_.Reset(canvas_.width(), canvas_.rows());
    currentFile_.clear();
}

void EditorCommands::setFlashingSpeed()
{
    // The speed travels with a file of the clips folder, so the picture has to be saved there first.
    const QFileInfo file(currentFile_);
    if (currentFile_.isEmpty() || QDir(file.absolutePath()) != QDir(clipsFolder_)) {
        prompter_.tell(msg::SetFlashingSpeedTitle, msg::SaveBeforeSpeed, Icon::Warning);
        return;
    }
    if (const auto speed = dialogs_.chooseSpeed())
        deviceimage::TimingRecords(clipsFolder_, edition_).storeSpeed(file.fileName(), *speed);
}

} // namespace editing
