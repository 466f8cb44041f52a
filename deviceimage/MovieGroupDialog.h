#pragma once

#include "deviceimage/NumberField.h"
#include "store/Project.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace messages {
class Prompter;
}

namespace deviceimage {

// "Select Movie Group": an existing group or a new one, and the group's interval (or "The same as movie speed").
// No close box: OK or Cancel.
class MovieGroupDialog : public QDialog, public store::MovieGroupChooser {
    Q_OBJECT

public:
    explicit MovieGroupDialog(messages::Prompter& prompter, QWidget* parent = nullptr);

    QLabel* Label1;       // "Select a Group:"
    QComboBox* ComboBox1; // "Group 1".."Group n", "Put in new group"
    QLabel* Label2;       // "Group Movie Interval: "
    NumberField* Edit1;   // 0..256 by the arrows
    QLabel* Label3;       // "(1 Step == 0.1 Second)"
    QCheckBox* CheckBox1; // "The same as movie speed"
    QPushButton* Button1; // OK
    QPushButton* Button2; // Cancel

    store::MovieGroupChoice chooseMovieGroup(int maxGroup, int movieSteps, const store::Project& project) override;

public slots:
    void ComboBox1Change();
    void CheckBox1Click(bool checked);
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    messages::Prompter& prompter_;
    const store::Project* project_ = nullptr;
    int movieSteps_ = 0;
    store::MovieGroupChoice choice_;
};

} // namespace deviceimage
