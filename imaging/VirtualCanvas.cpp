#include "imaging/VirtualCanvas.h"

#include "imaging/Picture.h"

#include <algorithm>

namespace imaging {

namespace {

constexpr QRgb kLitPixel = rgbOf(kBlack);
constexpr QRgb kUnlitPixel = rgbOf(kWhite);

int clampTo(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

// Gives a bound view the size the canvas draws and a 32-bit format that takes opaque colours as they are.
void prepareView(QImage& view, QSize size)
{
    const QImage::Format format = view.format();
    if (view.size() != size
        || (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
            && format != QImage::Format_ARGB32_Premultiplied))
        view = QImage(size, QImage::Format_RGB32);
}

// Fills the inclusive pixel rectangle (x1, y1)-(x2, y2), clipped to the image.
void fillPixels(QImage& image, int x1, int y1, int x2, int y2, QRgb colour)
{
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, image.width() - 1);
    y2 = std::min(y2, image.height() - 1);
    for (int y = y1; y <= y2 && x1 <= x2; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + x1, line + x2 + 1, colour);
    }
}

} // namespace

VirtualCanvas::VirtualCanvas(QObject* parent) : QObject(parent) {}

void VirtualCanvas::SetGeometry(int displayBasis, int rows)
{
    displayBasis_ = displayBasis;
    // A basis wider than the view would give cells of 0 pixels; keep them at least 1 pixel.
    cellSize_ = displayBasis > 0 ? std::max(1, kViewHeight / displayBasis) : 1;
    topMargin_ = (kViewHeight - cellSize_ * rows) / 2;
    leftOrigin_ = 0;
    visibleColumns_ = kViewWidth / cellSize_;
}

void VirtualCanvas::BindViews(QImage* gridView, QImage* overlayView, QImage* preview)
{
    gridView_ = gridView;
    overlayView_ = overlayView;
    preview_ = preview;
}

void VirtualCanvas::Reset(int width, int rows)
{
    width_ = std::max(width, 0);
    rows_ = std::max(rows, 0);
    const Cells blank(std::size_t(width_) * std::size_t(rows_), 0);
    for (auto& slot : undoRing_)
        slot.reset();
    top_ = 0;
    undoDepth_ = redoDepth_ = 0;
    undoRing_[0] = blank;
    textBuffer_ = blank;
    copyBuffer_ = blank;
    scroll_ = clampTo(scroll_, 0, maxScroll());
    touched_ = false;
    Render(Target::Canvas);
}

VirtualCanvas::Cells* VirtualCanvas::buffer(Target target)
{
    switch (target) {
    case Target::Canvas:
        return undoRing_[top_] ? &*undoRing_[top_] : nullptr;
    case Target::Text:
        return &textBuffer_;
    case Target::Copy:
        return &copyBuffer_;
    }
    return nullptr;
}

const VirtualCanvas::Cells* VirtualCanvas::buffer(Target target) const
{
    return const_cast<VirtualCanvas*>(this)->buffer(target);
}

int VirtualCanvas::cell(int col, int row, Target target) const
{
    const Cells* cells = buffer(target);
    if (!cells || !contains(col, row) || cells->size() < std::size_t(width_) * std::size_t(rows_))
        return 0;
    return (*cells)[std::size_t(row) * width_ + col];
}

void VirtualCanvas::SetCell(int col, int row, int value, Target target, bool pushUndo)
{
    if (!contains(col, row) || !buffer(target))
        return;
    if (target == Target::Canvas && pushUndo)
        PushUndo();
    else if (target == Target::Canvas)
        redoDepth_ = 0; // the states ahead no longer follow from this one
    (*buffer(target))[std::size_t(row) * width_ + col] = value != 0 ? 1 : 0;
    touched_ = true;
}

bool VirtualCanvas::ToggleAt(int x, int y, int scroll)
{
    if (x < 0 || y < 0)
        return false;
    const int col = x / cellSize_ + scroll;
    const int row = y / cellSize_;
    if (!contains(col, row))
        return false;
    const int value = paintMode_ ? 1 : (cell(col, row) ? 0 : 1);
    SetCell(col, row, value, Target::Canvas, true);
    return true;
}

void VirtualCanvas::PushUndo()
{
    const int previous = top_;
    top_ = (top_ + 1) % kUndoSlots;
    if (undoRing_[previous])
        undoRing_[top_] = *undoRing_[previous]; // reuses the slot's storage when it already has some
    else
        undoRing_[top_] = Cells(std::size_t(width_) * std::size_t(rows_), 0);
    undoDepth_ = std::min(undoDepth_ + 1, kUndoSlots - 1);
    redoDepth_ = 0;
}

void VirtualCanvas::Undo()
{
    if (undoDepth_ == 0 || !undoRing_[previousSlot()])
        return;
    top_ = previousSlot();
    --undoDepth_;
    ++redoDepth_;
    Render(Target::Canvas);
}

void VirtualCanvas::Redo()
{
    const int next = (top_ + 1) % kUndoSlots;
    if (redoDepth_ == 0 || !undoRing_[next])
        return;
    top_ = next;
    --redoDepth_;
    ++undoDepth_;
    Render(Target::Canvas);
}

void VirtualCanvas::clearCells(int col1, int row1, int col2, int row2)
{
    Cells& cells = *undoRing_[top_];
    for (int row = std::max(row1, 0); row <= std::min(row2, rows_ - 1); ++row)
        for (int col = std::max(col1, 0); col <= std::min(col2, width_ - 1); ++col)
            cells[std::size_t(row) * width_ + col] = 0;
    touched_ = true;
}

void VirtualCanvas::ClearRect(int col1, int row1, int col2, int row2)
{
    PushUndo();
    clearCells(col1, row1, col2, row2);
    Render(Target::Canvas);
}

void VirtualCanvas::CopyRect(int x1, int y1, int x2, int y2, bool cut)
{
    // The block is taken before a cut clears it.
    const int col0 = x1 - 1, row0 = y1 - 1;
    for (int i = 0; i <= y2 - y1; ++i)
        for (int k = 0; k <= x2 - x1; ++k)
            if (contains(col0 + k, row0 + i) && contains(k, i))
                copyBuffer_[std::size_t(i) * width_ + k] = std::uint8_t(cell(col0 + k, row0 + i));
    if (!cut)
        return;
    PushUndo();
    clearCells(x1 - 1, y1 - 1, x2 - 1, y2 - 1);
}

void VirtualCanvas::PasteBlock(Target source, int col, int row, int colEnd, int rowEnd)
{
    if (!buffer(source))
        return;
    // A copy, so that even the canvas itself can be the source of its own next undo step.
    const Cells block = *buffer(source);
    PushUndo();
    Cells& cells = *undoRing_[top_];
    for (int i = 0; i < rowEnd - row; ++i)
        for (int k = 0; k < colEnd - col; ++k)
            if (contains(col + k, row + i) && contains(k, i))
                cells[std::size_t(row + i) * width_ + (col + k)] = block[std::size_t(i) * width_ + k];
    touched_ = true;
    Render(Target::Canvas);
}

VirtualCanvas::Selection VirtualCanvas::MoveBlock(Direction direction, const Selection& selection)
{
    const int c1 = selection.x1 - 1, r1 = selection.y1 - 1;
    const int c2 = selection.x2 - 1, r2 = selection.y2 - 1;
    int dc = 0, dr = 0;
    switch (direction) {
    case Direction::Left: dc = -1; break;
    case Direction::Up: dr = -1; break;
    case Direction::Right: dc = 1; break;
    case Direction::Down: dr = 1; break;
    }

    Selection moved = selection;
    if (dc != 0) {
        moved.x1 = clampTo(c1 + dc, 0, width_ - 1) + 1;
        moved.x2 = clampTo(c2 + dc, 0, width_ - 1) + 1;
    } else {
        moved.y1 = clampTo(r1 + dr, 0, rows_ - 1) + 1;
        moved.y2 = clampTo(r2 + dr, 0, rows_ - 1) + 1;
    }

    PushUndo();
    clearCells(c1, r1, c2, r2);
    const Cells& before = *undoRing_[previousSlot()];
    Cells& cells = *undoRing_[top_];
    const int firstRow = std::max(r1, 0), lastRow = std::min(r2, rows_ - 1);
    const int firstCol = std::max(c1, 0), lastCol = std::min(c2, width_ - 1);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int col = firstCol; col <= lastCol; ++col)
            if (contains(col + dc, row + dr))
                cells[std::size_t(row + dr) * width_ + (col + dc)] = before[std::size_t(row) * width_ + col];
    Render(Target::Canvas);
    return moved;
}

void VirtualCanvas::LoadFromImage(const QImage& image, Target target, int originCol, int originRow)
{
    Cells* cells = buffer(target);
    if (!cells)
        return;
    if (target == Target::Canvas)
        redoDepth_ = 0;
    const Picture picture(image);
    for (int row = 0; row < rows_; ++row)
        for (int col = 0; col < width_; ++col)
            (*cells)[std::size_t(row) * width_ + col] =
                picture.isLit(col + originCol, row + originRow, LitRule::LitBelow) ? 1 : 0;
    touched_ = true;
}

int VirtualCanvas::maxScroll() const
{
    return std::max(0, width_ - visibleColumns_);
}

LitGrid VirtualCanvas::litGrid(Target target) const
{
    LitGrid grid(width_, rows_);
    for (int row = 0; row < rows_; ++row)
        for (int col = 0; col < width_; ++col)
            grid.setLit(col, row, cell(col, row, target));
    return grid;
}

void VirtualCanvas::drawPicture(QImage& image) const
{
    for (int row = 0; row < rows_; ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int col = 0; col < width_; ++col)
            line[col] = cell(col, row) ? kLitPixel : kUnlitPixel;
    }
}

QSize VirtualCanvas::overlayBlockSize(int columns, int rows) const
{
    return {columns * cellSize_ + 1, rows * cellSize_ + topMargin_ + 1};
}

void VirtualCanvas::drawGrid(QImage& view, QRgb ink) const
{
    const int bottom = kViewHeight - 1 - topMargin_;
    const int right = kViewWidth - 1;
    view.fill(kUnlitPixel);
    fillPixels(view, 0, bottom, right, bottom, ink);
    for (int i = 0; i < rows_; ++i) {
        const int y = i * cellSize_ + topMargin_;
        fillPixels(view, 0, y, right, y, ink);
    }
    fillPixels(view, right, topMargin_, right, bottom, ink);
    for (int i = 0; i < visibleColumns_; ++i) {
        const int x = i * cellSize_;
        fillPixels(view, x, topMargin_, x, bottom, ink);
    }
}

// Fills the inside of one grid square, up to the lines around it: the next grid line, or the right or bottom
// border for the last visible column and the last row (which have no line of their own on that side).
void VirtualCanvas::fillCell(QImage& view, int pos, int row, QRgb ink) const
{
    const int borderRight = kViewWidth - 1;
    const int borderBottom = kViewHeight - 1 - topMargin_;
    const int right = pos == visibleColumns_ - 1 ? borderRight : std::min((pos + 1) * cellSize_, borderRight);
    const int bottom = row == rows_ - 1 ? borderBottom
                                        : std::min((row + 1) * cellSize_ + topMargin_, borderBottom);
    fillPixels(view, pos * cellSize_ + 1, row * cellSize_ + topMargin_ + 1, right - 1, bottom - 1, ink);
}

void VirtualCanvas::renderPreview()
{
    if (!preview_)
        return;
    if (preview_->size() != QSize(width_, rows_) || preview_->format() != QImage::Format_RGB32)
        *preview_ = QImage(width_, rows_, QImage::Format_RGB32);
    drawPicture(*preview_);
}

void VirtualCanvas::Render(Target target, int scroll)
{
    if (target == Target::Canvas)
        scroll_ = scroll;
    Render(target);
}

void VirtualCanvas::Render(Target target)
{
    if (target == Target::Canvas) {
        if (gridView_) {
            prepareView(*gridView_, {kViewWidth, kViewHeight});
            drawGrid(*gridView_, kLitPixel);
            for (int row = 0; row < rows_; ++row)
                for (int pos = 0; pos < visibleColumns_; ++pos)
                    if (cell(pos + scroll_, row))
                        fillCell(*gridView_, pos, row, kLitPixel);
        }
        renderPreview();
        touched_ = true;
    } else if (overlayView_) {
        // The block is drawn from its own column 0: it follows the pointer, not the scroll position.
        const QRgb ink = target == Target::Text ? kTextInk : kCopyInk;
        prepareView(*overlayView_, {kViewWidth, kViewHeight});
        drawGrid(*overlayView_, ink);
        for (int row = 0; row < rows_; ++row)
            for (int pos = 0; pos < visibleColumns_; ++pos)
                if (cell(pos, row, target))
                    fillCell(*overlayView_, pos, row, ink);
    }
    emit rendered(target);
}

} // namespace imaging
