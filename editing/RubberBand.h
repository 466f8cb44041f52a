#pragma once

#include "editing/EditorTypes.h"

#include <QPoint>

namespace editing {

// The selection tool's rubber band: started by the left button inside the grid's rows, drawn from the anchor's
// cell corner to the pointer while the button is held, and turned into a selection of whole cells on release.
class RubberBand {
public:
    explicit RubberBand(const Canvas& canvas) : canvas_(canvas) {}

    // Starts a band at a grid-view point; refused (false) above or below the grid's rows.
    bool start(QPoint anchor);
    bool active() const { return active_; }
    void cancel() { active_ = false; }

    // The frame while the button is held: from the corner of the anchor's cell that lies away from the pointer to
    // the pointer itself.
    QRect frameTo(QPoint pointer) const;

    // Ends the band at the release point (clamped to the grid) and returns the cells it covers: the rectangle's
    // left and top are rounded down to cell boundaries, its right and bottom up, so a click without movement
    // selects the cell under the pointer. `scroll` is the first picture column the view shows.
    Selection finish(QPoint release, int scroll);

private:
    const Canvas& canvas_;
    QPoint anchor_;
    bool active_ = false;
};

// The frame of a selection at a scroll position: Solid is cut at the view's right edge, Dotted is clipped to the
// visible columns. Hidden for the whole picture (no selection) and for a selection with nothing in view.
Frame selectionFrame(const Canvas& canvas, const Selection& selection, int scroll, FrameStyle style);

} // namespace editing
