#pragma once

#include "deviceimage/TimingCommands.h"
#include "windowkit/Window.h"
#include "ui_MovieIntervalDialog.h"

namespace messages {
class Prompter;
}

namespace deviceimage {

// "Adjust Project Movie Interval": the pause between pictures in 0.1 s steps. OK refuses a value that is not a
// positive integer (message 712) and stays open. Its controls are those of MovieIntervalDialog.ui: Edit1 the steps
// (1..2700 by the arrows, at most 4 characters), Button1 OK, Button2 Cancel.
class MovieIntervalDialog : public windowkit::Dialog, public MovieIntervalChooser, public Ui::MovieIntervalDialog {
    Q_OBJECT

public:
    explicit MovieIntervalDialog(messages::Prompter& prompter, QWidget* parent = nullptr);

    std::optional<int> chooseMovieIntervalSteps(int steps) override;

public slots:
    void Button1Click();

protected:
    void FormShow() override;

private:
    messages::Prompter& prompter_;
    int steps_ = 0;
};

} // namespace deviceimage
