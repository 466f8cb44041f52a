#include "editing/Paintdlg.h"

#include "messages/MessageCatalogue.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace editing {

PaintDlg::PaintDlg(QWidget* parent)
    : QDialog(parent), Label1(new QLabel(this)), Button1(new QPushButton(this)), Button2(new QPushButton(this))
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
    connect(Button1, &QPushButton::clicked, this, &PaintDlg::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &PaintDlg::Button2Click);
}

void PaintDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    modify = false;
    createNew = false;
    setWindowTitle(messages::lookupMessage(786));
    Label1->setText(messages::lookupMessage(787));
    Button1->setText(messages::lookupMessage(793));
    Button2->setText(messages::lookupMessage(794));
    Button2->setDefault(true);
}

void PaintDlg::Button1Click()
{
    modify = true;
    accept();
}

void PaintDlg::Button2Click()
{
    createNew = true;
    accept();
}

} // namespace editing
