#pragma once

#include "editing/EditorTypes.h"

#include <QPoint>
#include <optional>

namespace editing {

// Copy, Cut and Text blocks: taking a block into a buffer and placing it where the user clicks.
class BlockPlacement {
public:
    explicit BlockPlacement(Canvas& canvas) : canvas_(canvas) {}

    // Copies (or cuts, one undo step) the selection into the copy buffer and draws it into the overlay view.
    // Nothing happens for the whole picture (no selection): nullopt.
    std::optional<BlockSize> take(const Selection& selection, bool cut);

    // Loads a rendered text block into the text buffer from the text image, whose block starts at
    // (textRect.left, textRect.top), and draws it into the overlay view.
    BlockSize takeText(const QImage& textImage, const QRect& textRect);

    // Loads a block of cells (at the grid's top-left) into the copy buffer and draws it into the overlay view.
    BlockSize takeGrid(const imaging::LitGrid& grid, BlockSize block);

    // Places the block from `source` (Text or Copy) with its top-left cell under a grid-view point: one undo step;
    // cells that would leave the picture are dropped. Returns the placed area, cut to the picture.
    Selection place(Canvas::Target source, BlockSize block, QPoint point, int scroll);
    // Where the overlay view goes while the pointer is at `point`: its grid on the canvas's grid, over the cells
    // `place` would fill there.
    QPoint overlayCorner(QPoint point) const;

private:
    // The view cell (column, row) under a grid-view point, kept inside the visible grid.
    QPoint cellUnder(QPoint point) const;

    Canvas& canvas_;
};

} // namespace editing
