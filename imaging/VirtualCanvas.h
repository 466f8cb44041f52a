#pragma once

#include "imaging/Colour.h"
#include "imaging/LitGrid.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace imaging {

// The one editing surface of the program, shared by the picture editor, the painter, the import dialog and the
// text tool: a grid of `width` x `rows` cells (0 unlit, 1 lit) kept in a ring of 32 undo slots, a text buffer and
// a copy buffer of the same size, and their drawing as a magnified LED grid.
//
// Geometry: a cell is 384 / displayBasis pixels square; the grid view is 576 x 384 pixels and shows
// 576 / cellSize columns from the scroll position on; an edition whose rows do not fill the 384 pixels is centred
// vertically (`topMargin`). The left origin of the grid is always 0.
//
// Calling order: SetGeometry, BindViews, Reset. Cell coordinates are zero-based (col, row) unless a function says
// otherwise; out-of-picture coordinates are ignored everywhere (nothing wraps, nothing crashes).
//
// Views are images owned by the window that shows them; the canvas only draws into them. Every render of the
// canvas draws the grid view and the preview; rendering the text or copy buffer draws the overlay view. After
// each render the canvas emits `rendered` so the window can repaint (and, for the canvas, set its scroll bar to
// the range 0 .. maxScroll() with a page of visibleColumns()).
class VirtualCanvas : public QObject {
    Q_OBJECT

public:
    // What a cell operation reads or writes: the current picture (the current undo slot), the rendered text block
    // or the copied block. Both blocks have their top-left cell at (0, 0) and the picture's row stride.
    enum class Target { Canvas, Text, Copy };
    Q_ENUM(Target)

    enum class Direction { Left, Up, Right, Down };
    Q_ENUM(Direction)

    // A rectangle of cells as the editor shows it: one-based and inclusive, x in picture columns, y in rows.
    struct Selection {
        int x1 = 1;
        int y1 = 1;
        int x2 = 1;
        int y2 = 1;
        bool operator==(const Selection&) const = default;
    };

    static constexpr int kViewWidth = 576;  // grid view and overlay view, in pixels
    static constexpr int kViewHeight = 384;
    static constexpr int kUndoSlots = 32;
    static constexpr QRgb kTextInk = rgbOf(kPureBlue);
    static constexpr QRgb kCopyInk = rgbOf(kPureRed);

    explicit VirtualCanvas(QObject* parent = nullptr);

    // Cell size, top margin and visible columns for a picture `displayBasis` columns wide (the edition's picture
    // width) and `rows` high (its LED count).
    void SetGeometry(int displayBasis, int rows);

    // The images drawn into; any of them may be null (not drawn). The canvas gives a view the size it needs
    // (576 x 384 for the grid and overlay, width x rows for the preview) and a 32-bit format when it has another
    // one, so a window may bind default-constructed images.
    void BindViews(QImage* gridView, QImage* overlayView, QImage* preview);

    // Empties the undo ring and starts a blank picture of width x rows in slot 0, with blank text and copy
    // buffers; clears `touched`, then renders the canvas (which sets it again).
    void Reset(int width, int rows);

    // Writes value (any non-zero value is stored as 1) into one cell of the target. For the canvas it first pushes
    // an undo step when pushUndo is set. Sets `touched`. Does not render. A cell outside the picture is ignored,
    // without an undo step.
    void SetCell(int col, int row, int value, Target target, bool pushUndo);

    // The pencil, at a grid-view point already reduced by leftOrigin and topMargin, with the editor's scroll
    // position. Points left of or above the grid, or beyond the picture's columns or rows, are ignored. Otherwise
    // one undo step, then the cell is lit in paint mode and toggled outside it. Returns whether a cell was written.
    // Does not render.
    bool ToggleAt(int x, int y, int scroll);

    // Starts a new undo step: the next slot becomes the current picture, holding a copy of the previous one.
    // After 32 pushes without an undo the oldest state is overwritten. Whatever could be redone is dropped.
    void PushUndo();

    // Returns to the previous slot and renders; the slot left stays for Redo. At most 31 undos follow each other.
    // Does nothing when there is no earlier state.
    void Undo();

    // Goes forward again to the slot the last Undo left and renders: as many redos as undos before them, until a
    // new change (an undo step, or a cell written without one) drops them. Does nothing when there is none.
    void Redo();
    bool canUndo() const { return undoDepth_ > 0; }
    bool canRedo() const { return redoDepth_ > 0; }

    // One undo step that makes the cells col1..col2 x row1..row2 (inclusive) unlit, then renders.
    void ClearRect(int col1, int row1, int col2, int row2);

    // Copies the one-based inclusive rectangle (x1, y1)-(x2, y2) of the picture into the copy buffer at (0, 0);
    // the rest of the copy buffer keeps its content. With cut, one undo step also makes those cells unlit in the
    // picture. Does not render.
    void CopyRect(int x1, int y1, int x2, int y2, bool cut);

    // One undo step that writes the block (0, 0)..(colEnd - col - 1, rowEnd - row - 1) of the text or copy
    // buffer at (col, row) of the picture (colEnd and rowEnd exclusive), then renders. Cells that would land
    // outside the picture are dropped.
    void PasteBlock(Target source, int col, int row, int colEnd, int rowEnd);

    // One undo step that moves the selected cells one cell in the direction, then renders. Cells pushed over an
    // edge are lost. Returns the moved selection, each edge clamped to the picture, so a selection at an edge
    // shrinks by the lost row or column.
    Selection MoveBlock(Direction direction, const Selection& selection);

    // Fills the whole target from the image, without an undo step: cell (col, row) is lit when pixel
    // (col + originCol, row + originRow) lies inside the image and is lit by the LitBelow rule.
    // A null image leaves every cell unlit.
    void LoadFromImage(const QImage& image, Target target, int originCol, int originRow);

    // Draws the canvas into the grid view (from picture column `scroll` on) and the whole picture into the
    // preview, and sets `touched`; or draws the text block (blue) or the copied block (red) into the overlay view,
    // where white stands for transparent. `scroll` is remembered for the renders the operations do themselves.
    void Render(Target target, int scroll);
    // The same at the remembered scroll position.
    void Render(Target target);

    int width() const { return width_; }
    int rows() const { return rows_; }
    int displayBasis() const { return displayBasis_; }
    int cellSize() const { return cellSize_; }
    int topMargin() const { return topMargin_; }
    int leftOrigin() const { return leftOrigin_; }
    int visibleColumns() const { return visibleColumns_; }
    // The largest useful scroll position, width - visibleColumns (at least 0).
    int maxScroll() const;
    int scroll() const { return scroll_; }
    // (1, 1, width, rows): what the editor's "no selection" stands for.
    Selection wholePicture() const { return {1, 1, width_, rows_}; }

    // 1 for a lit cell, 0 for an unlit one or a cell outside the picture.
    int cell(int col, int row, Target target = Target::Canvas) const;
    // The current picture (or a block buffer) as the picture writer takes it: what the preview shows.
    LitGrid litGrid(Target target = Target::Canvas) const;
    // Size of the part of the overlay view that shows a block of columns x rows cells.
    QSize overlayBlockSize(int columns, int rows) const;

    // Set by every cell write and every render of the canvas; cleared by Reset (whose own render sets it again).
    bool touched() const { return touched_; }
    // While set, the pencil only lights cells (the painter's held button).
    bool paintMode() const { return paintMode_; }
    void setPaintMode(bool on) { paintMode_ = on; }

signals:
    void rendered(imaging::VirtualCanvas::Target target);

private:
    using Cells = std::vector<std::uint8_t>;

    bool contains(int col, int row) const { return col >= 0 && row >= 0 && col < width_ && row < rows_; }
    Cells* buffer(Target target);
    const Cells* buffer(Target target) const;
    int previousSlot() const { return (top_ + kUndoSlots - 1) % kUndoSlots; }
    // Makes the cells col1..col2 x row1..row2 (inclusive, cut to the picture) of the current slot unlit.
    void clearCells(int col1, int row1, int col2, int row2);
    void drawGrid(QImage& view, QRgb ink) const;
    void fillCell(QImage& view, int pos, int row, QRgb ink) const;
    void drawPicture(QImage& image) const; // image of at least width x rows, 32 bits a pixel
    void renderPreview();

    int width_ = 0;
    int rows_ = 0;
    int displayBasis_ = 0;
    int cellSize_ = 1;
    int topMargin_ = 0;
    int leftOrigin_ = 0;
    int visibleColumns_ = kViewWidth;
    int scroll_ = 0;

    std::array<std::optional<Cells>, kUndoSlots> undoRing_;
    int top_ = 0;
    int undoDepth_ = 0; // states before top_ that Undo can return to (at most kUndoSlots - 1)
    int redoDepth_ = 0; // states after top_ that Redo can go forward to; undoDepth_ + redoDepth_ < kUndoSlots
    Cells textBuffer_;
    Cells copyBuffer_;

    bool touched_ = false;
    bool paintMode_ = false;

    QImage* gridView_ = nullptr;
    QImage* overlayView_ = nullptr;
    QImage* preview_ = nullptr;
};

} // namespace imaging
