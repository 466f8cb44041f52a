#include "windowkit/PixelPicture.h"

#include <QPainter>
#include <QStyle>

namespace windowkit {

void PixelPicture::paintEvent(QPaintEvent* event)
{
    const QPixmap picture = pixmap();
    if (picture.isNull())
        return QLabel::paintEvent(event);
    QPainter painter(this);
    drawFrame(&painter);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect area = contentsRect();
    const QRect target = hasScaledContents()
                             ? area
                             : QStyle::alignedRect(layoutDirection(), alignment(),
                                                   picture.deviceIndependentSize().toSize(), area);
    painter.drawPixmap(target, picture);
}

} // namespace windowkit
