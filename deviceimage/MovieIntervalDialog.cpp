#include "deviceimage/MovieIntervalDialog.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "ui/CaptionFit.h"

#include <QLabel>
#include <QPushButton>

namespace deviceimage {

MovieIntervalDialog::MovieIntervalDialog(messages::Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)),
      Edit1(new NumberField(1, kMaxIntervalSteps, 4, this)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)),
      prompter_(prompter)
{
    setObjectName(QStringLiteral("Movieinterval"));
    setModal(true);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Label1->setGeometry(16, 16, 300, 20);
    Edit1->setGeometry(16, 42, 80, 24);
    Label2->setGeometry(108, 44, 200, 20);
    Button1->setGeometry(60, 84, 90, 28);
    Button2->setGeometry(170, 84, 90, 28);
    setFixedSize(320, 126);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &MovieIntervalDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<int> MovieIntervalDialog::chooseMovieIntervalSteps(int steps)
{
    Edit1->setValue(steps);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return steps_;
}

void MovieIntervalDialog::Button1Click()
{
    const std::optional<int> steps = parsePositiveSteps(Edit1->edit()->text());
    if (!steps) {
        prompter_.tell(msg::MovieIntervalTitle, msg::InputValueError, messages::Icon::Stop);
        return;
    }
    steps_ = *steps;
    accept();
}

void MovieIntervalDialog::showEvent(QShowEvent* event)
{
    using messages::lookupMessage;
    setWindowTitle(lookupMessage(msg::MovieIntervalTitle));
    Label1->setText(lookupMessage(710));
    Label2->setText(lookupMessage(711));
    Button1->setText(lookupMessage(708));
    Button2->setText(lookupMessage(709));
    Edit1->setFocus();
    Edit1->edit()->selectAll();
    ui::fitTexts(*this);
    QDialog::showEvent(event);
}

} // namespace deviceimage
