#pragma once

#include "editing/EditorTypes.h"

#include <QPoint>
#include <set>
#include <utility>

namespace editing {

// The pencil. A press toggles the cell under the pointer (one undo step, as a click does); dragging on with the
// button held gives every cell passed over the value that first cell took, each cell once per stroke and all
// within the press's undo step, so a stroke is undone as a whole. Cells between two pointer positions are
// filled in, so a quick drag leaves no gaps.
class PencilStroke {
public:
    explicit PencilStroke(Canvas& canvas) : canvas_(canvas) {}

    // `point` is in grid-view pixels; `scroll` the first picture column the view shows. Returns whether a cell
    // changed (the caller renders then).
    bool press(QPoint point, int scroll);
    bool drag(QPoint point, int scroll);
    void release() { active_ = false; }
    bool active() const { return active_; }

private:
    // The picture cell under a grid-view point; nullopt-like (-1, -1) outside the grid.
    std::pair<int, int> cellAt(QPoint point, int scroll) const;
    bool paint(int col, int row);

    Canvas& canvas_;
    bool active_ = false;
    int ink_ = 1;
    std::pair<int, int> last_;
    std::set<std::pair<int, int>> visited_;
};

} // namespace editing
