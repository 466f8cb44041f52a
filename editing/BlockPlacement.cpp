#include "editing/BlockPlacement.h"

#include <algorithm>

namespace editing {

std::optional<BlockSize> BlockPlacement::take(const Selection& selection, bool cut)
{
    if (selection == canvas_.wholePicture())
        return std::nullopt;
    canvas_.CopyRect(selection.x1, selection.y1, selection.x2, selection.y2, cut);
    canvas_.Render(Canvas::Target::Copy);
    return BlockSize{selection.x2 - selection.x1 + 1, selection.y2 - selection.y1 + 1};
}

BlockSize BlockPlacement::takeText(const QImage& textImage, const QRect& textRect)
{
    canvas_.LoadFromImage(textImage, Canvas::Target::Text, textRect.left(), textRect.top());
    canvas_.Render(Canvas::Target::Text);
    return {textRect.width(), textRect.height()};
}

BlockSize BlockPlacement::takeGrid(const imaging::LitGrid& grid, BlockSize block)
{
    canvas_.LoadFromImage(grid.toImage(), Canvas::Target::Copy, 0, 0);
    canvas_.Render(Canvas::Target::Copy);
    return block;
}

QPoint BlockPlacement::cellUnder(QPoint point) const
{
    const int cell = canvas_.cellSize();
    const int x = std::max(point.x() - canvas_.leftOrigin(), 0);
    const int y = std::max(point.y() - canvas_.topMargin(), 0);
    return {std::min(x / cell, canvas_.visibleColumns() - 1), std::min(y / cell, canvas_.rows() - 1)};
}

QPoint BlockPlacement::overlayCorner(QPoint point) const
{
    // The overlay view carries the top margin above its grid, as the grid view does.
    return cellUnder(point) * canvas_.cellSize() + QPoint(canvas_.leftOrigin(), 0);
}

Selection BlockPlacement::place(Canvas::Target source, BlockSize block, QPoint point, int scroll)
{
    const QPoint cell = cellUnder(point);
    const int col = cell.x();
    const int row = cell.y();
    const int colEnd = col + block.columns;
    const int rowEnd = std::min(row + block.rows, canvas_.rows());
    canvas_.PasteBlock(source, col + scroll, row, colEnd + scroll, rowEnd);
    return {col + 1 + scroll, row + 1, std::min(colEnd + scroll, canvas_.width()), rowEnd};
}

} // namespace editing
