#pragma once

#include "deviceimage/TimingCommands.h"
#include "windowkit/Window.h"
#include "ui_ShiftDialog.h"

namespace messages {
class Prompter;
}

namespace deviceimage {

// "Left & Right shift adjusting": a picture's shift value, typed, stepped by 8, or computed ("Automatic
// adjustment"). The right-shift button and its label are factory-mode controls. No close box: OK or Cancel.
// Its controls are those of ShiftDialog.ui: CheckBox1 automatic adjustment, Edit1 the shifted lines
// (0..32767 by the arrows, at most 5 characters), BitBtn1 +8, BitBtn2 -8 and Label2 (factory mode), Button1 OK,
// Button2 Cancel.
class ShiftDialog : public windowkit::Dialog, public ShiftChooser, public Ui::ShiftDialog {
    Q_OBJECT

public:
    ShiftDialog(const store::EditionParameters& edition, messages::Prompter& prompter, QWidget* parent = nullptr);

    // The dialog's state while it is shown.
    const ShiftAdjustment& adjustment() const { return adjustment_; }

    std::optional<int> chooseShift(const ShiftRequest& request) override;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void CheckBox1Click(bool checked);
    void Button1Click();

protected:
    void FormShow() override;

private:
    void showAdjustment();
    void takeTypedValue();

    store::EditionParameters edition_;
    messages::Prompter& prompter_;
    ShiftAdjustment adjustment_;
    int answer_ = 0;
};

} // namespace deviceimage
