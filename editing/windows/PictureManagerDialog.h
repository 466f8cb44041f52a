#pragma once

#include "windowkit/Window.h"
#include "ui_PictureManagerDialog.h"

namespace messages {
class Prompter;
}

namespace editing {

// The picture and banner manager: the library tree with a preview of the file clicked; "Stamp" and "Edit" return
// the chosen file to the editor, "Cancel" nothing. Its controls are those of PictureManagerDialog.ui: Image1 the preview
// and Label1 its dimension, TreeView1 the tree, Button1 Stamp, Button2 Edit, Button3 Cancel.
class PictureManagerDialog : public windowkit::Dialog, public Ui::PictureManagerDialog {
    Q_OBJECT

public:
    PictureManagerDialog(QString clipsFolder, messages::Prompter& prompter, QWidget* parent = nullptr);

    // The clipart of this height is offered after the libraries (0: none).
    void setClipartHeight(int ledCount) { clipartHeight_ = ledCount; }

    // Shows the manager modally with a fresh tree; the chosen file's full path, empty when cancelled. A clipart
    // picture is copied into the clips folder and the copy returned.
    QString choosePicture();

public slots:
    void TreeView1Click(QTreeWidgetItem* item);
    void ButtonOkClick();

private:
    void buildTree();

    QString clipsFolder_;
    int clipartHeight_ = 0;
    messages::Prompter& prompter_;
    QString chosenPath_;
};

} // namespace editing
