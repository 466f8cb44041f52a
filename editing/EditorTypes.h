#pragma once

#include "imaging/VirtualCanvas.h"

#include <QRect>

// Names shared by the editor's tools, its page and the views that draw it.
namespace editing {

using Canvas = imaging::VirtualCanvas;
// One-based, inclusive, x in picture columns and y in rows; the whole picture stands for "no selection".
using Selection = imaging::VirtualCanvas::Selection;

enum class Tool { Selection, Pencil, PlaceText, PlaceCopy, PlaceCut, Busy };

// The maroon frame over the grid: solid after a selection is made, dotted after scrolling.
enum class FrameStyle { Hidden, Solid, Dotted };
struct Frame {
    QRect rect; // grid-view pixels; the frame's lines run along its edges
    FrameStyle style = FrameStyle::Hidden;
    bool operator==(const Frame&) const = default;
};

enum class PointerShape { Arrow, Hand, Drag };

// Size of a block being placed, in cells.
struct BlockSize {
    int columns = 0;
    int rows = 0;
};

// The grid-view row band where the picture's rows lie: topMargin .. 383 - topMargin.
inline int gridTop(const Canvas& canvas) { return canvas.topMargin(); }
inline int gridBottom(const Canvas& canvas) { return Canvas::kViewHeight - 1 - canvas.topMargin(); }
inline bool inRowBand(const Canvas& canvas, int y) { return y >= gridTop(canvas) && y <= gridBottom(canvas); }

} // namespace editing
