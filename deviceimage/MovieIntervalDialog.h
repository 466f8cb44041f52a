#pragma once

#include "deviceimage/NumberField.h"
#include "deviceimage/TimingCommands.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace messages {
class Prompter;
}

namespace deviceimage {

// "Adjust Project Movie Interval": the pause between pictures in 0.1 s steps. OK refuses a value that is not a
// positive integer (message 712) and stays open.
class MovieIntervalDialog : public QDialog, public MovieIntervalChooser {
    Q_OBJECT

public:
    explicit MovieIntervalDialog(messages::Prompter& prompter, QWidget* parent = nullptr);

    QLabel* Label1;      // "Interval between pictures/banners :"
    QLabel* Label2;      // "(1 Step == 0.1 Second)"
    NumberField* Edit1;  // 1..2700 by the arrows, at most 4 characters
    QPushButton* Button1; // OK
    QPushButton* Button2; // Cancel

    std::optional<int> chooseMovieIntervalSteps(int steps) override;

public slots:
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    messages::Prompter& prompter_;
    int steps_ = 0;
};

} // namespace deviceimage
