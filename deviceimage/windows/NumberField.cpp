#include "deviceimage/windows/NumberField.h"

#include "deviceimage/TimingCommands.h"
#include "messages/MessageIds.h"
#include "windowkit/WindowTexts.h"

#include <QEvent>
#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

namespace deviceimage {

NumberField::NumberField(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    edit_->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit_->installEventFilter(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    // Named in the language of the moment by the window's texts.
    up_->setProperty(windowkit::kAccessibleNameId, msg::UpName);
    down_->setProperty(windowkit::kAccessibleNameId, msg::DownName);
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);
    up_->setFocusPolicy(Qt::NoFocus);
    down_->setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    connect(edit_, &QLineEdit::textEdited, this, &NumberField::touched);
    setFocusProxy(edit_);
}

void NumberField::setRange(int minimum, int maximum, int maxLength)
{
    minimum_ = minimum;
    maximum_ = maximum;
    edit_->setMaxLength(maxLength);
}

std::optional<int> NumberField::value() const
{
    return parseInteger(edit_->text());
}

void NumberField::setValue(int value)
{
    edit_->setText(QString::number(value));
}

void NumberField::step(int delta)
{
    setValue(std::clamp(value().value_or(minimum_) + delta, minimum_, maximum_));
    emit touched();
}

bool NumberField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_) {
        if (event->type() == QEvent::MouseButtonPress)
            emit touched();
        if (event->type() == QEvent::KeyPress) { // the arrow keys step as the arrows do
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                step(key == Qt::Key_Up ? 1 : -1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void NumberField::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int arrows = 16;
    edit_->setGeometry(0, 0, width() - arrows, height());
    up_->setGeometry(width() - arrows, 0, arrows, height() / 2);
    down_->setGeometry(width() - arrows, height() / 2, arrows, height() - height() / 2);
}

} // namespace deviceimage
