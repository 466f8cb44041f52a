#pragma once

#include "editing/EditorTypes.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace editing {

// The magnified LED grid of a virtual canvas, with the overlay of a block being placed and the selection frame
// drawn over it: a 576 x 384 widget whose pixels are the canvas's grid-view pixels, so its mouse positions go to
// the editor's tools as they are.
//
// The view owns the three images the canvas draws into (grid, overlay, preview); `bind` hands them to the
// canvas, so whichever window shows the canvas binds its own view when it opens (the editor page, the painter).
// It repaints whenever the canvas renders. The frame and the overlay's place are set by the owner from its model.
class CanvasGridView : public QWidget {
    Q_OBJECT

public:
    explicit CanvasGridView(Canvas& canvas, QWidget* parent = nullptr);

    // Makes the canvas draw into this view's images from now on.
    void bind();

    void setFrame(const Frame& frame);
    // Where the overlay's top-left lies (grid-view pixels, may be negative) and how much of it shows; hidden
    // when not visible.
    void setOverlay(bool visible, QPoint topLeft, QSize size);

    const QImage& gridImage() const { return grid_; }
    const QImage& overlayImage() const { return overlay_; }
    // The whole picture at 1:1, black lit and white unlit.
    const QImage& previewImage() const { return preview_; }

    QSize sizeHint() const override { return {Canvas::kViewWidth, Canvas::kViewHeight}; }

signals:
    // Mouse on the grid, in grid-view pixels. Moves are reported with and without a button held.
    void pressed(QPoint point, Qt::MouseButton button);
    void moved(QPoint point);
    void released(QPoint point, Qt::MouseButton button);
    // The canvas drew into the preview image.
    void previewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void canvasRendered(Canvas::Target target);
    // The overlay's block with white made transparent, for drawing over the grid.
    void updateOverlayPixmap();

    Canvas& canvas_;
    QImage grid_;
    QImage overlay_;
    QImage preview_;
    QPixmap overlayPixmap_;
    Frame frame_;
    bool overlayVisible_ = false;
    QPoint overlayTopLeft_;
    QSize overlaySize_;
};

} // namespace editing
