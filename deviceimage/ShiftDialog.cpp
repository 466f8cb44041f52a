#include "deviceimage/ShiftDialog.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "ui/CaptionFit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace deviceimage {

ShiftDialog::ShiftDialog(const store::EditionParameters& edition, messages::Prompter& prompter,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      CheckBox1(new QCheckBox(this)),
      GroupBox1(new QGroupBox(this)),
      Label1(new QLabel(GroupBox1)),
      Label2(new QLabel(GroupBox1)),
      Label3(new QLabel(GroupBox1)),
      Label4(new QLabel(GroupBox1)),
      Edit1(new NumberField(0, kMaxShift, 5, GroupBox1)),
      BitBtn1(new QToolButton(GroupBox1)),
      BitBtn2(new QToolButton(GroupBox1)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)),
      edition_(edition),
      prompter_(prompter),
      adjustment_(edition, kNoShift, edition.defaultSpeed, 1)
{
    setObjectName(QStringLiteral("Leftrigthshiftadj"));
    setModal(true);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    BitBtn1->setText(QStringLiteral("+8"));
    BitBtn2->setText(QStringLiteral("-8"));
    BitBtn1->setAccessibleName(QStringLiteral("+8"));
    BitBtn2->setAccessibleName(QStringLiteral("-8"));

    CheckBox1->setGeometry(16, 12, 340, 22);
    GroupBox1->setGeometry(12, 40, 356, 160);
    Label1->setGeometry(12, 24, 240, 20);
    BitBtn1->setGeometry(262, 22, 48, 24);
    Label2->setGeometry(12, 54, 240, 20);
    BitBtn2->setGeometry(262, 52, 48, 24);
    Label3->setGeometry(12, 88, 120, 20);
    Edit1->setGeometry(140, 86, 90, 24);
    Label4->setGeometry(8, 118, 340, 36);
    Label4->setAlignment(Qt::AlignCenter);
    Label4->setWordWrap(true);
    Button1->setGeometry(80, 212, 90, 28);
    Button2->setGeometry(210, 212, 90, 28);
    setFixedSize(380, 252);
    Button1->setDefault(true);

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

void ShiftDialog::showEvent(QShowEvent* event)
{
    using messages::lookupMessage;
    setWindowTitle(lookupMessage(msg::ShiftTitle));
    CheckBox1->setText(lookupMessage(714));
    GroupBox1->setTitle(lookupMessage(715));
    Label1->setText(lookupMessage(716));
    Label2->setText(lookupMessage(717));
    Label3->setText(lookupMessage(718));
    Label4->setText(lookupMessage(795));
    Button1->setText(lookupMessage(720));
    Button2->setText(lookupMessage(719));
    Label2->setVisible(edition_.factoryMode);
    BitBtn2->setVisible(edition_.factoryMode);
    ui::fitTexts(*this);
    QDialog::showEvent(event);
}

} // namespace deviceimage
