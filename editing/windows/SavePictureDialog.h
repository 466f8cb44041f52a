#pragma once

#include "editing/SavePicture.h"
#include "store/ProjectList.h"

#include "windowkit/Window.h"
#include "ui_SavePictureDialog.h"

namespace messages {
class Prompter;
}
namespace editing {

// The save dialog: puts the editor's picture into the clips folder in three steps (file name, library, project).
// Its lists are refilled each time it opens; the None / Add to choice stays as the user left it for the run.
// Its controls are those of SavePictureDialog.ui: Edit1 the file name, ComboBox1 the libraries ("[CLIP]" first),
// RadioButton1 None, RadioButton2 Add to, ComboBox2 the projects, Button1 OK, Button2 Cancel.
class SavePictureDialog : public windowkit::Dialog, public Ui::SavePictureDialog {
    Q_OBJECT

public:
    // The dialog lists the projects of the projects folder on its own, leaving the Projects page's selection
    // alone.
    SavePictureDialog(QString clipsFolder, QString projectsFolder, store::EditionParameters edition,
           messages::Prompter& prompter, QWidget* parent = nullptr);

    // Shows the dialog modally with the name box filled; returns the path of the file saved, empty when nothing
    // was saved (cancelled).
    QString run(const QString& fileName, const imaging::LitGrid& picture, int speed);

public slots:
    void Button1Click();

private:
    void fillLists();

    QString clipsFolder_;
    store::EditionParameters edition_;
    store::ProjectList projects_;
    messages::Prompter& prompter_;
    imaging::LitGrid picture_;
    int speed_ = 0;
    QString savedPath_;
};

} // namespace editing
