#include "editing/PencilStroke.h"

#include <algorithm>
#include <cstdlib>

namespace editing {

std::pair<int, int> PencilStroke::cellAt(QPoint point, int scroll) const
{
    const int x = point.x() - canvas_.leftOrigin();
    const int y = point.y() - canvas_.topMargin();
    if (x < 0 || y < 0)
        return {-1, -1};
    const int col = x / canvas_.cellSize() + scroll;
    const int row = y / canvas_.cellSize();
    if (col >= canvas_.width() || row >= canvas_.rows())
        return {-1, -1};
    return {col, row};
}

bool PencilStroke::press(QPoint point, int scroll)
{
    active_ = false;
    if (!canvas_.ToggleAt(point.x() - canvas_.leftOrigin(), point.y() - canvas_.topMargin(), scroll))
        return false;
    last_ = cellAt(point, scroll);
    ink_ = canvas_.cell(last_.first, last_.second);
    visited_ = {last_};
    active_ = true;
    return true;
}

bool PencilStroke::paint(int col, int row)
{
    if (!visited_.insert({col, row}).second)
        return false;
    canvas_.SetCell(col, row, ink_, Canvas::Target::Canvas, false);
    return true;
}

bool PencilStroke::drag(QPoint point, int scroll)
{
    const auto target = cellAt(point, scroll);
    if (!active_ || target.first < 0 || target == last_)
        return false;
    // Walks the cells from the last one to the new one (Bresenham), so a fast pointer leaves no gaps.
    bool changed = false;
    int col = last_.first, row = last_.second;
    const int dc = std::abs(target.first - col), dr = -std::abs(target.second - row);
    const int stepCol = col < target.first ? 1 : -1, stepRow = row < target.second ? 1 : -1;
    int error = dc + dr;
    while (col != target.first || row != target.second) {
        const int twice = 2 * error;
        if (twice >= dr) {
            error += dr;
            col += stepCol;
        }
        if (twice <= dc) {
            error += dc;
            row += stepRow;
        }
        changed = paint(col, row) || changed;
    }
    last_ = target;
    return changed;
}

} // namespace editing
