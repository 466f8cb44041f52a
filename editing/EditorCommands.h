#pragma once

#include "editing/EditorTypes.h"
#include "store/Edition.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace messages {
class Prompter;
}

namespace editing {

// The windows the editor's file commands open, as the commands see them; the main window answers with its real
// dialogs, tests with scripted ones.
class EditorDialogs {
public:
    virtual ~EditorDialogs() = default;
    // The main window's Save command (the save dialog); returns once it closed.
    virtual void saveCanvas() = 0;
    // The import dialog on a picture file, adding to the canvas; true when the user took the picture.
    virtual bool importFile(const QString& path) = 0;
    // The picture and banner manager: the chosen file's path, empty when cancelled.
    virtual QString choosePicture() = 0;
    // The speed dialog: the speed word chosen, nullopt when cancelled.
    virtual std::optional<int> chooseSpeed() = 0;
};

// The file filters of the import's file dialog: every format the build reads together, then each alone.
QStringList importFilters();
// Whether a dropped file is one the import takes (by its extension, among the formats the build reads).
bool isImportable(const QString& path);

// Import, Open, New and Flashing speed of the editor page, and the file the editor's picture came from.
class EditorCommands {
public:
    EditorCommands(Canvas& canvas, messages::Prompter& prompter, EditorDialogs& dialogs,
                   store::EditionParameters edition, QString rootFolder, QString clipsFolder);

    // Offers to save a touched canvas, warns that colours become black and white, asks for a file (starting in
    // the folder of the last one) and runs the import dialog on it.
    void importPicture();
    // The same for a file dropped onto the editor, without the file dialog.
    void importDropped(const QString& path);
    // A library picture chosen in the manager, through the import dialog.
    void openPicture();
    // A blank picture.
    void newPicture();
    // The flashing speed of the editor's file, once it is a file of the clips folder.
    void setFlashingSpeed();

    // The picture last imported, opened or saved ("Banner file name:"); empty for a new picture.
    const QString& currentFile() const { return currentFile_; }
    void setCurrentFile(const QString& path) { currentFile_ = path; }

private:
    void prepareImport();
    void runImport(const QString& path);

    Canvas& canvas_;
    messages::Prompter& prompter_;
    EditorDialogs& dialogs_;
    store::EditionParameters edition_;
    QString importFolder_;
    QString clipsFolder_;
    QString currentFile_;
};

} // namespace editing
