#include "deviceimage/windows/DeviceTypeDialog.h"

namespace deviceimage {

DeviceTypeDialog::DeviceTypeDialog(QWidget* parent) : windowkit::Dialog(parent, Qt::Dialog | windowkit::kFixedWindowFlags)
{
    setupUi(this);
    connect(Button1, &QPushButton::clicked, this, &DeviceTypeDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &DeviceTypeDialog::Button2Click);
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

} // namespace deviceimage
