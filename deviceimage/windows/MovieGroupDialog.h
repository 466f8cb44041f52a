#pragma once

#include "store/Project.h"
#include "windowkit/Window.h"
#include "ui_MovieGroupDialog.h"

namespace messages {
class Prompter;
}

namespace deviceimage {

// "Select Movie Group": an existing group or a new one, and the group's interval (or "The same as movie speed").
// No close box: OK or Cancel. Its controls are those of MovieGroupDialog.ui: ComboBox1 "Group 1".."Group n" and "Put in
// new group", Edit1 the interval (0..256 by the arrows), CheckBox1 "The same as movie speed", Button1 OK, Button2
// Cancel.
class MovieGroupDialog : public windowkit::Dialog, public store::MovieGroupChooser, public Ui::MovieGroupDialog {
    Q_OBJECT

public:
    explicit MovieGroupDialog(messages::Prompter& prompter, QWidget* parent = nullptr);

    store::MovieGroupChoice chooseMovieGroup(int maxGroup, int movieSteps, const store::Project& project) override;

public slots:
    void ComboBox1Change();
    void CheckBox1Click(bool checked);
    void Button1Click();

private:
    messages::Prompter& prompter_;
    const store::Project* project_ = nullptr;
    int movieSteps_ = 0;
    store::MovieGroupChoice choice_;
};

} // namespace deviceimage
