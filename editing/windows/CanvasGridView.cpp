#include "editing/windows/CanvasGridView.h"

#include <QMouseEvent>
#include <QPainter>

namespace editing {

namespace {
const QColor kFrameColour(0x80, 0x00, 0x00); // maroon
constexpr int kFramePen = 2;
} // namespace

CanvasGridView::CanvasGridView(Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas)
{
    setFixedSize(sizeHint());
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    grid_ = QImage(sizeHint(), QImage::Format_RGB32);
    grid_.fill(Qt::white);
    overlay_ = grid_;
    connect(&canvas_, &Canvas::rendered, this, &CanvasGridView::canvasRendered);
}

void CanvasGridView::bind()
{
    canvas_.BindViews(&grid_, &overlay_, &preview_);
}

void CanvasGridView::canvasRendered(Canvas::Target target)
{
    if (target == Canvas::Target::Canvas)
        emit previewChanged();
    else
        updateOverlayPixmap();
    update();
}

void CanvasGridView::updateOverlayPixmap()
{
    const QSize size = overlaySize_.boundedTo(overlay_.size());
    if (size.isEmpty()) {
        overlayPixmap_ = QPixmap();
        return;
    }
    QImage block = overlay_.copy(QRect(QPoint(0, 0), size)).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < block.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(block.scanLine(y));
        for (int x = 0; x < block.width(); ++x)
            if ((line[x] & 0xFFFFFF) == 0xFFFFFF)
                line[x] = 0;
    }
    overlayPixmap_ = QPixmap::fromImage(block);
}

void CanvasGridView::setFrame(const Frame& frame)
{
    if (frame == frame_)
        return;
    frame_ = frame;
    update();
}

void CanvasGridView::setOverlay(bool visible, QPoint topLeft, QSize size)
{
    if (visible == overlayVisible_ && topLeft == overlayTopLeft_ && size == overlaySize_)
        return;
    const bool resized = size != overlaySize_;
    overlayVisible_ = visible;
    overlayTopLeft_ = topLeft;
    overlaySize_ = size;
    if (resized)
        updateOverlayPixmap();
    update();
}

void CanvasGridView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, grid_);
    if (overlayVisible_ && !overlayPixmap_.isNull())
        painter.drawPixmap(overlayTopLeft_, overlayPixmap_);
    if (frame_.style != FrameStyle::Hidden) {
        QPen pen(kFrameColour, kFramePen, frame_.style == FrameStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame_.rect);
    }
}

void CanvasGridView::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->position().toPoint(), event->button());
}

void CanvasGridView::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(event->position().toPoint());
}

void CanvasGridView::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->position().toPoint(), event->button());
}

} // namespace editing
