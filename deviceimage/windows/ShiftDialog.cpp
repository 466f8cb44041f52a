#include "deviceimage/windows/ShiftDialog.h"

#include "messages/MessageIds.h"
#include "messages/Prompter.h"

#include <QSignalBlocker>

namespace deviceimage {

ShiftDialog::ShiftDialog(const store::EditionParameters& edition, messages::Prompter& prompter,
                                     QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      edition_(edition),
      prompter_(prompter),
      adjustment_(edition, kNoShift, edition.defaultSpeed, 1)
{
    setupUi(this);
    Edit1->setRange(0, kMaxShift, 5);

    connect(BitBtn1, &QToolButton::clicked, this, &ShiftDialog::BitBtn1Click);
    connect(BitBtn2, &QToolButton::clicked, this, &ShiftDialog::BitBtn2Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &ShiftDialog::CheckBox1Click);
    connect(Edit1, &NumberField::touched, this, &ShiftDialog::takeTypedValue);
    connect(Button1, &QPushButton::clicked, this, &ShiftDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<int> ShiftDialog::chooseShift(const ShiftRequest& request)
{
    adjustment_ = ShiftAdjustment(edition_, request.currentShift, request.speedWord, request.contentWidth);
    showAdjustment();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return answer_;
}

void ShiftDialog::showAdjustment()
{
    const QSignalBlocker blocker(CheckBox1);
    CheckBox1->setChecked(adjustment_.automatic());
    Edit1->setValue(adjustment_.field());
}

// The field as typed or stepped by its arrows: the box is unticked and the value kept.
void ShiftDialog::takeTypedValue()
{
    const std::optional<int> typed = Edit1->value();
    if (typed)
        adjustment_.setField(*typed);
    const QSignalBlocker blocker(CheckBox1);
    CheckBox1->setChecked(false);
}

void ShiftDialog::BitBtn1Click()
{
    takeTypedValue();
    adjustment_.addEight();
    showAdjustment();
}

void ShiftDialog::BitBtn2Click()
{
    takeTypedValue();
    adjustment_.subtractEight();
    showAdjustment();
}

void ShiftDialog::CheckBox1Click(bool checked)
{
    if (checked && Edit1->value())
        adjustment_.setField(*Edit1->value());
    adjustment_.setAutomatic(checked);
    showAdjustment();
}

void ShiftDialog::Button1Click()
{
    const std::optional<int> value = Edit1->value();
    if (!value) {
        prompter_.tell(msg::ShiftTitle, msg::InputValueError, messages::Icon::Stop);
        return;
    }
    answer_ = *value;
    accept();
}

void ShiftDialog::FormShow()
{
    Label2->setVisible(edition_.factoryMode);
    BitBtn2->setVisible(edition_.factoryMode);
}

} // namespace deviceimage
