#pragma once

#include "deviceimage/NumberField.h"
#include "deviceimage/TimingCommands.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace messages {
class Prompter;
}

namespace deviceimage {

// "Left & Right shift adjusting": a picture's shift value, typed, stepped by 8, or computed ("Automatic
// adjustment"). The right-shift button and its label are factory-mode controls. No close box: OK or Cancel.
class ShiftDialog : public QDialog, public ShiftChooser {
    Q_OBJECT

public:
    ShiftDialog(const store::EditionParameters& edition, messages::Prompter& prompter, QWidget* parent = nullptr);

    QCheckBox* CheckBox1;  // "Automatic adjustment"
    QGroupBox* GroupBox1;  // "Manual adjustment"
    QLabel* Label1;        // "Counterclockwise or Left shift"
    QLabel* Label2;        // "Clockwise or Right shift" (factory mode)
    QLabel* Label3;        // "Shifted lines :"
    QLabel* Label4;        // how the number moves the picture
    NumberField* Edit1;    // 0..32767 by the arrows, at most 5 characters
    QToolButton* BitBtn1;  // +8
    QToolButton* BitBtn2;  // -8 (factory mode)
    QPushButton* Button1;  // OK
    QPushButton* Button2;  // Cancel

    // The dialog's state while it is shown.
    const ShiftAdjustment& adjustment() const { return adjustment_; }

    std::optional<int> chooseShift(const ShiftRequest& request) override;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void CheckBox1Click(bool checked);
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showAdjustment();
    void takeTypedValue();

    store::EditionParameters edition_;
    messages::Prompter& prompter_;
    ShiftAdjustment adjustment_;
    int answer_ = 0;
};

} // namespace deviceimage
