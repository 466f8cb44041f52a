#include "editing/windows/PaintChoiceDialog.h"

namespace editing {

PaintChoiceDialog::PaintChoiceDialog(QWidget* parent) : windowkit::Dialog(parent, windowkit::kFixedWindowFlags)
{
    setupUi(this);
    connect(Button1, &QPushButton::clicked, this, &PaintChoiceDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &PaintChoiceDialog::Button2Click);
}

void PaintChoiceDialog::FormShow()
{
    modify = false;
    createNew = false;
}

void PaintChoiceDialog::Button1Click()
{
    modify = true;
    accept();
}

void PaintChoiceDialog::Button2Click()
{
    createNew = true;
    accept();
}

} // namespace editing
