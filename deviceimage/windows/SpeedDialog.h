#pragma once

#include "deviceimage/TimingCommands.h"
#include "windowkit/Window.h"
#include "ui_SpeedDialog.h"

namespace deviceimage {

// "Speed Setup": a picture's display speed as a coarse and a fine slider on two pages. Made once, shown modally
// through chooseSpeed. Its controls are those of SpeedDialog.ui: TrackBar1 the coarse steps and Label4 their number,
// TrackBar2 the fine steps and Label7 their number (the slider position x 2); Button1 Default, Button2 OK,
// Button3 Cancel.
class SpeedDialog : public windowkit::Dialog, public SpeedChooser, public Ui::SpeedDialog {
    Q_OBJECT

public:
    explicit SpeedDialog(int defaultSpeed, QWidget* parent = nullptr);

    // The word the sliders give.
    int value() const;
    void setValue(int speedWord);

    std::optional<int> chooseSpeed(int speedWord) override;

public slots:
    void Button1Click();

protected:
    void FormShow() override;

private:
    void showNumbers();

    int defaultSpeed_;
};

} // namespace deviceimage
