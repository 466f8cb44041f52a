#pragma once

#include "deviceimage/TimingCommands.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;
class QTabWidget;

namespace deviceimage {

// "Speed Setup": a picture's display speed as a coarse and a fine slider on two pages. Made once, shown modally
// through chooseSpeed.
class SpeedDialog : public QDialog, public SpeedChooser {
    Q_OBJECT

public:
    explicit SpeedDialog(int defaultSpeed, QWidget* parent = nullptr);

    QLabel* Label1;           // "Select Display Speed:"
    QTabWidget* PageControl1; // "Gross Tune", "Fine Tune"
    QSlider* TrackBar1;       // coarse 0..50
    QSlider* TrackBar2;       // fine 1..127
    QLabel* Label4;           // the coarse number
    QLabel* Label7;           // the fine number (the slider position x 2)
    QPushButton* Button1;     // Default
    QPushButton* Button2;     // OK
    QPushButton* Button3;     // Cancel

    // The word the sliders give.
    int value() const;
    void setValue(int speedWord);

    std::optional<int> chooseSpeed(int speedWord) override;

public slots:
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* tunePage(QSlider* slider, QLabel* number);
    void showNumbers();

    int defaultSpeed_;
    QList<QLabel*> fastLabels_;
    QList<QLabel*> slowLabels_;
};

} // namespace deviceimage
