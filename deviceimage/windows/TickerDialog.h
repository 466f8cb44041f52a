#pragma once

#include "store/Project.h"

#include <QDialog>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;

namespace deviceimage {

// "Ticker Setup": a picture's ticker type, each type with a looping preview, and the speed of every ticker of
// the project. In simplified mode the speed is fixed at 4 and its group is hidden. No close box: OK or Cancel.
class TickerDialog : public QDialog, public store::TickerChooser {
    Q_OBJECT

public:
    // simplifiedMode is asked each time the dialog is shown (the run's mode is known only after start).
    explicit TickerDialog(std::function<bool()> simplifiedMode, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;       // "Ticker Type"
    QRadioButton* RadioButton1; // "Type1: Marquee"
    QRadioButton* RadioButton2; // "Type2: Slider"
    QRadioButton* RadioButton3; // "Type3: Top Down"
    QRadioButton* RadioButton4; // "Cancel": no ticker
    QLabel* Image1;             // the three previews
    QLabel* Image2;
    QLabel* Image3;
    QGroupBox* GroupBox2;       // "Ticker Speed (for all tickers)"
    QSlider* TrackBar1;         // 1..10
    QLabel* Label1;             // "Slower"
    QLabel* Label2;             // "Faster"
    QLabel* Label3;             // the speed
    QPushButton* Button3;       // "Default Speed"
    QPushButton* Button1;       // OK
    QPushButton* Button2;       // Cancel
    QTimer* Timer1;             // 500 ms: the next preview frame

    // The preview frame shown, 1..6.
    int frame() const { return frame_; }

    store::TickerChoice chooseTicker(int currentType, int currentSpeed) override;

public slots:
    void Timer1Timer();
    void Button3Click();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void layOut(bool simplified);
    void showFrame();

    std::function<bool()> simplifiedMode_;
    int frame_ = 1;
    store::TickerChoice choice_;
};

} // namespace deviceimage
