#include "ui/CaptionFit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <algorithm>

namespace ui {
namespace {

constexpr int kMargins = 10;
constexpr qreal kSmallestPoints = 6;

// The application's font for the button at the largest size (down to 6 points) at which the text fits it.
QFont fittingFont(const QAbstractButton* button, const QString& text)
{
    QFont font = QApplication::font(button);
    const int available = button->width() - kMargins;
    qreal points = font.pointSizeF();
    while (points > kSmallestPoints && QFontMetrics(font).horizontalAdvance(text) > available) {
        points -= 0.5;
        font.setPointSizeF(points);
    }
    return font;
}

} // namespace

void setFittedCaption(QAbstractButton* button, const QString& text)
{
    button->setFont(fittingFont(button, text));
    button->setText(text);
}

void fitCaptionsTogether(const QList<QAbstractButton*>& buttons)
{
    if (buttons.isEmpty())
        return;
    qreal points = QApplication::font(buttons.first()).pointSizeF();
    for (const QAbstractButton* button : buttons)
        points = std::min(points, fittingFont(button, button->text()).pointSizeF());
    for (QAbstractButton* button : buttons) {
        QFont font = QApplication::font(button);
        font.setPointSizeF(points);
        button->setFont(font);
    }
}

} // namespace ui
