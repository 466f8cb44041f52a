#include "editing/RubberBand.h"

#include <algorithm>

namespace editing {

namespace {

int ceilDiv(int value, int divisor)
{
    return (value + divisor - 1) / divisor;
}

// The cell span [first, end) a pixel span low..high covers, rounded outwards; never empty, so a click exactly on
// a grid line still selects the cell after it, and never beyond `count` cells.
std::pair<int, int> cellSpan(int low, int high, int cell, int count)
{
    const int first = std::min(low / cell, count - 1);
    const int end = std::clamp(ceilDiv(high, cell), first + 1, count);
    return {first, end};
}

} // namespace

bool RubberBand::start(QPoint anchor)
{
    if (!inRowBand(canvas_, anchor.y()))
        return false;
    anchor_ = anchor;
    active_ = true;
    return true;
}

QRect RubberBand::frameTo(QPoint pointer) const
{
    const int cell = canvas_.cellSize();
    const int top = gridTop(canvas_);
    const int anchorCol = anchor_.x() / cell;
    const int anchorRow = (anchor_.y() - top) / cell;
    const int left = (pointer.x() < anchor_.x() ? anchorCol + 1 : anchorCol) * cell;
    const int upper = (pointer.y() < anchor_.y() ? anchorRow + 1 : anchorRow) * cell + top;
    return QRect(QPoint(std::min(left, pointer.x()), std::min(upper, pointer.y())),
                 QPoint(std::max(left, pointer.x()), std::max(upper, pointer.y())));
}

Selection RubberBand::finish(QPoint release, int scroll)
{
    active_ = false;
    const int cell = canvas_.cellSize();
    const int top = gridTop(canvas_);
    const int x = std::clamp(release.x(), 0, Canvas::kViewWidth - 1);
    const int y = std::clamp(release.y(), top, gridBottom(canvas_));

    const auto [col1, col2] = cellSpan(std::min(x, anchor_.x()), std::max(x, anchor_.x()), cell,
                                       canvas_.visibleColumns());
    const auto [row1, row2] = cellSpan(std::min(y, anchor_.y()) - top, std::max(y, anchor_.y()) - top, cell,
                                       canvas_.rows());
    // Columns past the picture's end (a picture narrower than the view) are not part of it.
    const int lastColumn = std::max(canvas_.width(), 1);
    return {std::min(col1 + 1 + scroll, lastColumn), row1 + 1, std::min(col2 + scroll, lastColumn), row2};
}

Frame selectionFrame(const Canvas& canvas, const Selection& selection, int scroll, FrameStyle style)
{
    if (style == FrameStyle::Hidden || selection == canvas.wholePicture())
        return {};
    const int cell = canvas.cellSize();
    const int top = gridTop(canvas);
    // Solid frames are cut at the view's right edge; dotted ones at the visible columns (the same pixels, as the
    // visible columns fill the view, but a solid frame may also start left of the view after a move).
    const int viewRight = std::min(canvas.visibleColumns() * cell, Canvas::kViewWidth - 1);
    const int left = std::max((selection.x1 - 1 - scroll) * cell, 0);
    const int right = std::min((selection.x2 - scroll) * cell, viewRight);
    if (right <= left)
        return {};
    const int bottom = std::min(selection.y2 * cell + top, gridBottom(canvas));
    const QRect rect(QPoint(left, (selection.y1 - 1) * cell + top), QPoint(right, bottom));
    return {rect, style};
}

} // namespace editing
