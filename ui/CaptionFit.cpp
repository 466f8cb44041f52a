#include "ui/CaptionFit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>

namespace ui {

void setFittedCaption(QAbstractButton* button, const QString& text)
{
    constexpr int kMargins = 10;
    constexpr qreal kSmallestPoints = 6;
    QFont font = QApplication::font(button);
    const int available = button->width() - kMargins;
    qreal points = font.pointSizeF();
    while (points > kSmallestPoints && QFontMetrics(font).horizontalAdvance(text) > available) {
        points -= 0.5;
        font.setPointSizeF(points);
    }
    button->setFont(font);
    button->setText(text);
}

} // namespace ui
