#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace messages {
class Prompter;
}

namespace editing {

// The picture and banner manager: the library tree with a preview of the file clicked; "Stamp" and "Edit" return
// the chosen file to the editor, "Cancel" nothing.
class PictureManagerDialog : public QDialog {
    Q_OBJECT

public:
    PictureManagerDialog(QString clipsFolder, messages::Prompter& prompter, QWidget* parent = nullptr);

    // The clipart of this height is offered after the libraries (0: none).
    void setClipartHeight(int ledCount) { clipartHeight_ = ledCount; }

    // Shows the manager modally with a fresh tree; the chosen file's full path, empty when cancelled. A clipart
    // picture is copied into the clips folder and the copy returned.
    QString choosePicture();

    QGroupBox* GroupBox1; // Preview
    QLabel* Image1;
    QLabel* Label1; // dimension text
    QLabel* Label2; // "Select Picture or Banner : "
    QTreeWidget* TreeView1;
    QPushButton* Button1; // Stamp
    QPushButton* Button2; // Edit
    QPushButton* Button3; // Cancel

public slots:
    void TreeView1Click(QTreeWidgetItem* item);
    void ButtonOkClick();

private:
    void refreshTexts();
    void buildTree();

    QString clipsFolder_;
    int clipartHeight_ = 0;
    messages::Prompter& prompter_;
    QString chosenPath_;
};

} // namespace editing
