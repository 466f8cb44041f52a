#pragma once

#include "editing/SavePicture.h"
#include "store/ProjectList.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace messages {
class Prompter;
}
namespace editing {

// The save dialog: puts the editor's picture into the clips folder in three steps (file name, library, project).
// Its lists are refilled each time it opens; the None / Add to choice stays as the user left it for the run.
class SavePictureDialog : public QDialog {
    Q_OBJECT

public:
    // The dialog lists the projects of the projects folder on its own, leaving the Projects page's selection
    // alone.
    SavePictureDialog(QString clipsFolder, QString projectsFolder, store::EditionParameters edition,
                      messages::Prompter& prompter, QWidget* parent = nullptr);

    // Shows the dialog modally with the name box filled; returns the path of the file saved, empty when nothing
    // was saved (cancelled).
    QString run(const QString& fileName, const imaging::LitGrid& picture, int speed);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QGroupBox* GroupBox1;
    QLineEdit* Edit1;
    QGroupBox* GroupBox2;
    QLabel* Label4;
    QComboBox* ComboBox1; // libraries, "[CLIP]" first
    QGroupBox* GroupBox3;
    QRadioButton* RadioButton1; // None
    QRadioButton* RadioButton2; // Add to
    QComboBox* ComboBox2;       // projects
    QPushButton* Button1;       // OK
    QPushButton* Button2;       // Cancel

    void refreshTexts();

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
