#pragma once

#include "imaging/LitGrid.h"
#include "store/Edition.h"

#include <QString>

namespace messages {
class Prompter;
}
namespace store {
class ProjectList;
}

namespace editing {

// What the save dialog's user chose: the name as typed, the library ("[CLIP]" or a library's name) and the
// project to add the picture to (an index into the project list, -1 for "None").
struct SaveChoice {
    QString fileName;
    QString library;
    int project = -1;
};

// Where a picture is saved and what the save needs to know.
struct SaveTarget {
    QString clipsFolder; // ends with "/"
    store::EditionParameters edition;
    int speed = 0; // the current speed word, recorded for the file
};

// What the dialog does after OK: close, or stay open for another try. `savedPath` is the file written (the
// editor's file name from now on), empty when nothing was written.
struct SaveResult {
    bool close = false;
    QString savedPath;
};

// The save dialog's OK: asks and reports through the prompter. A missing or unusable name, a refused overwrite
// and a failed write keep the dialog open with nothing written; the picture is cut to the edition's banner width.
// When adding to the project fails the file stays saved, without speed record or library. Catalogue writes that
// the file system refuses throw store::IniWriteError.
SaveResult savePicture(const imaging::LitGrid& picture, const SaveChoice& choice, const SaveTarget& target,
                       store::ProjectList& projects, messages::Prompter& prompter);

// The name the "Save" button puts into the dialog: the base name of the editor's file with ".bmp" for its
// extension; empty when the editor has no file.
QString suggestedSaveName(const QString& editorFile);

} // namespace editing
