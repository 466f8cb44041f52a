#include "deviceimage/windows/MovieIntervalDialog.h"

#include "messages/MessageIds.h"
#include "messages/Prompter.h"

namespace deviceimage {

MovieIntervalDialog::MovieIntervalDialog(messages::Prompter& prompter, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      prompter_(prompter)
{
    setupUi(this);
    Edit1->setRange(1, kMaxIntervalSteps, 4);
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

void MovieIntervalDialog::FormShow()
{
    Edit1->setFocus();
    Edit1->edit()->selectAll();
}

} // namespace deviceimage
