#include "editing/PaintChoiceDialog.h"

#include <QLabel>
#include <QPushButton>

namespace editing {

PaintChoiceDialog::PaintChoiceDialog(QWidget* parent)
    : ui::Dialog(parent, ui::kFixedWindowFlags),
      Label1(new QLabel(this)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this))
{
    setObjectName(QStringLiteral("PaintDlg"));
    setFixedSize(330, 120);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(12, 12, 306, 48);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(60, 72, 95, 33);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(175, 72, 95, 33);
    Button2->setDefault(true);
    texts_.caption(this, 786).caption(Label1, 787).caption(Button1, 793).caption(Button2, 794);
    connect(Button1, &QPushButton::clicked, this, &PaintChoiceDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &PaintChoiceDialog::Button2Click);
}

void PaintChoiceDialog::FormShow()
{
    modify = false;
    createNew = false;
    texts_.apply();
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
