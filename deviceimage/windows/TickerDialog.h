#pragma once

#include "store/Project.h"
#include "windowkit/Window.h"
#include "ui_TickerDialog.h"

#include <functional>

class QTimer;

namespace deviceimage {

// "Ticker Setup": a picture's ticker type, each type with a looping preview, and the speed of every ticker of
// the project. In simplified mode the speed is fixed at 4 and its group is hidden. No close box: OK or Cancel.
// Its controls are those of TickerDialog.ui: in GroupBox1 the types RadioButton1 "Type1: Marquee",
// RadioButton2 "Type2: Slider", RadioButton3 "Type3: Top Down", RadioButton4 "Cancel" (no ticker) and the
// previews Image1 to Image3; in GroupBox2 TrackBar1 the speed (1..10) between Label1 "Slower" and Label2 "Faster",
// Label3 its number, Button3 "Default Speed"; Button1 OK, Button2 Cancel.
class TickerDialog : public windowkit::Dialog, public store::TickerChooser, public Ui::TickerDialog {
    Q_OBJECT

public:
    // simplifiedMode is asked each time the dialog is shown (the run's mode is known only after start).
    explicit TickerDialog(std::function<bool()> simplifiedMode, QWidget* parent = nullptr);

    QTimer* Timer1; // 500 ms: the next preview frame

    // The preview frame shown, 1..6.
    int frame() const { return frame_; }

    store::TickerChoice chooseTicker(int currentType, int currentSpeed) override;

public slots:
    void Timer1Timer();
    void Button3Click();
    void Button1Click();

protected:
    // The previews move whenever the dialog is on screen, also after it was minimised.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void layOut(bool simplified);
    void showFrame();

    std::function<bool()> simplifiedMode_;
    int fullButtonsTop_;
    int fullHeight_;
    int frame_ = 1;
    store::TickerChoice choice_;
};

} // namespace deviceimage
