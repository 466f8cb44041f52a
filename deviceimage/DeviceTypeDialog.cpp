#include "deviceimage/DeviceTypeDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace deviceimage {
namespace {

constexpr int kWidth = 320;
constexpr int kMargin = 16;
constexpr int kRowHeight = 24;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;

} // namespace

DeviceTypeDialog::DeviceTypeDialog(QWidget* parent)
    : ui::Dialog(parent, Qt::Dialog | ui::kFixedWindowFlags),
      Label1(new QLabel(this)),
      RadioButton1(new QRadioButton(this)),
      RadioButton2(new QRadioButton(this)),
      RadioButton3(new QRadioButton(QStringLiteral("LED Light Show ROLL"), this)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this))
{
    setObjectName(QStringLiteral("Savebindialog"));
    setModal(true);
    Label1->setObjectName(QStringLiteral("Label1"));
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    RadioButton1->setChecked(true);
    Button1->setDefault(true);

    const int contentWidth = kWidth - 2 * kMargin;
    int top = 14;
    Label1->setGeometry(kMargin, top, contentWidth, 20);
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3}) {
        top += kRowHeight + 4;
        button->setGeometry(kMargin + 8, top, contentWidth - 8, kRowHeight);
    }
    top += kRowHeight + 18;
    Button1->setGeometry(kWidth / 2 - kButtonWidth - 8, top, kButtonWidth, kButtonHeight);
    Button2->setGeometry(kWidth / 2 + 8, top, kButtonWidth, kButtonHeight);
    setFixedSize(kWidth, top + kButtonHeight + 12);

    connect(Button1, &QPushButton::clicked, this, &DeviceTypeDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &DeviceTypeDialog::Button2Click);
    texts_.caption(this, 722)
        .caption(Label1, 725)
        .caption(RadioButton1, 723)
        .caption(RadioButton2, 724)
        .caption(Button1, 727)
        .caption(Button2, 726);
    FormShow();
}

int DeviceTypeDialog::option() const
{
    return RadioButton3->isChecked() ? 3 : RadioButton2->isChecked() ? 2 : 1;
}

std::optional<int> DeviceTypeDialog::chooseDeviceTypeOption()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return option();
}

void DeviceTypeDialog::Button1Click()
{
    accept();
}

void DeviceTypeDialog::Button2Click()
{
    reject();
}

void DeviceTypeDialog::FormShow()
{
    texts_.apply();
}

} // namespace deviceimage
