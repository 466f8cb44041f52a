#include "editing/EditorModel.h"

#include "messages/MessageIds.h"
#include "messages/Prompter.h"

#include <algorithm>

namespace editing {

EditorModel::EditorModel(Canvas& canvas, messages::Prompter& prompter, QObject* parent)
    : QObject(parent), canvas_(canvas), prompter_(prompter), band_(canvas), pencil_(canvas), blocks_(canvas)
{
}

void EditorModel::start()
{
    band_.cancel();
    bandFrame_.reset();
    hideOverlay();
    tool_ = Tool::Selection;
    scroll_ = std::clamp(canvas_.scroll(), 0, canvas_.maxScroll());
    setWholeSelection();
    emit changed();
}

void EditorModel::setWholeSelection()
{
    selection_ = canvas_.wholePicture();
    frameStyle_ = FrameStyle::Hidden;
}

Frame EditorModel::frame() const
{
    if (bandFrame_)
        return {*bandFrame_, FrameStyle::Solid};
    return selectionFrame(canvas_, selection_, scroll_, frameStyle_);
}

PointerShape EditorModel::pointerShape() const
{
    switch (tool_) {
    case Tool::Pencil:
        return PointerShape::Hand;
    case Tool::PlaceCopy:
    case Tool::PlaceCut:
        return PointerShape::Drag;
    default:
        return PointerShape::Arrow;
    }
}

void EditorModel::press(QPoint point, bool leftButton)
{
    if (tool_ != Tool::Selection) {
        band_.cancel();
        bandFrame_.reset();
    }
    if (!leftButton)
        return;
    if (tool_ == Tool::Selection && !band_.active()) {
        if (band_.start(point))
            bandFrame_ = band_.frameTo(point);
    } else if (tool_ == Tool::Pencil && pencil_.press(point, scroll_)) {
        canvas_.Render(Canvas::Target::Canvas);
    }
    emit changed();
}

void EditorModel::moveTo(QPoint point)
{
    if (band_.active())
        bandFrame_ = band_.frameTo(point);
    else if (placing())
        overlay_ = {true, blocks_.overlayCorner(point), overlay_.size};
    else if (pencil_.active() && pencil_.drag(point, scroll_))
        canvas_.Render(Canvas::Target::Canvas);
    if (inRowBand(canvas_, point.y()))
        pointerCell_ = QPoint(point.x() / canvas_.cellSize() + scroll_ + 1,
                              (point.y() - canvas_.topMargin()) / canvas_.cellSize() + 1);
    emit changed();
}

void EditorModel::release(QPoint point, bool leftButton)
{
    if (!leftButton)
        return;
    if (tool_ == Tool::Selection && band_.active()) {
        selection_ = band_.finish(point, scroll_);
        bandFrame_.reset();
        frameStyle_ = FrameStyle::Solid;
    } else if (tool_ == Tool::Pencil) {
        pencil_.release();
    } else if (placing()) {
        place(point);
    }
    emit changed();
}

void EditorModel::place(QPoint point)
{
    const Tool placed = tool_;
    tool_ = Tool::Selection;
    hideOverlay();
    const auto source = placed == Tool::PlaceText ? Canvas::Target::Text : Canvas::Target::Copy;
    const Selection area = blocks_.place(source, block_, point, scroll_);
    if (placed != Tool::PlaceText) {
        selection_ = area;
        frameStyle_ = FrameStyle::Solid;
    }
}

void EditorModel::setScroll(int scroll)
{
    scroll_ = std::clamp(scroll, 0, canvas_.maxScroll());
    if (tool_ == Tool::Selection || tool_ == Tool::PlaceCopy || tool_ == Tool::PlaceCut)
        frameStyle_ = hasSelection() ? FrameStyle::Dotted : FrameStyle::Hidden;
    canvas_.Render(Canvas::Target::Canvas, scroll_);
    emit changed();
}

void EditorModel::chooseSelection()
{
    tool_ = Tool::Selection;
    hideOverlay();
    setWholeSelection();
    emit changed();
}

void EditorModel::undo()
{
    tool_ = Tool::Selection;
    hideOverlay();
    canvas_.Undo();
    setWholeSelection();
    emit changed();
}

void EditorModel::redo()
{
    tool_ = Tool::Selection;
    hideOverlay();
    canvas_.Redo();
    setWholeSelection();
    emit changed();
}

void EditorModel::choosePencil()
{
    tool_ = Tool::Pencil;
    hideOverlay();
    setWholeSelection();
    emit changed();
}

bool EditorModel::clear()
{
    tool_ = Tool::Busy;
    hideOverlay();
    if (!hasSelection() && !prompter_.confirm(msg::ClearSelectedAreaTitle, msg::ClearWholePicture)) {
        tool_ = Tool::Selection;
        emit changed();
        return false;
    }
    canvas_.ClearRect(selection_.x1 - 1, selection_.y1 - 1, selection_.x2 - 1, selection_.y2 - 1);
    tool_ = Tool::Selection;
    setWholeSelection();
    emit changed();
    return true;
}

void EditorModel::move(Canvas::Direction direction)
{
    tool_ = Tool::Busy;
    hideOverlay();
    selection_ = canvas_.MoveBlock(direction, selection_);
    frameStyle_ = FrameStyle::Solid;
    tool_ = Tool::Selection;
    emit changed();
}

void EditorModel::startPlacing(Tool tool, BlockSize block)
{
    tool_ = tool;
    block_ = block;
    // Shown where the pointer next moves.
    overlay_ = {false, overlay_.topLeft, canvas_.overlayBlockSize(block.columns, block.rows)};
}

bool EditorModel::copy(bool cut)
{
    const auto block = blocks_.take(selection_, cut);
    if (!block)
        return false;
    startPlacing(cut ? Tool::PlaceCut : Tool::PlaceCopy, *block);
    emit changed();
    return true;
}

imaging::LitGrid EditorModel::copiedBlock() const
{
    imaging::LitGrid block(block_.columns, block_.rows);
    for (int row = 0; row < block_.rows; ++row)
        for (int col = 0; col < block_.columns; ++col)
            block.setLit(col, row, canvas_.cell(col, row, Canvas::Target::Copy));
    return block;
}

bool EditorModel::paste(const imaging::LitGrid& cells, BlockSize block)
{
    if (block.columns <= 0 || block.rows <= 0)
        return false;
    band_.cancel();
    bandFrame_.reset();
    hideOverlay();
    setWholeSelection();
    startPlacing(Tool::PlaceCopy, blocks_.takeGrid(cells, block));
    emit changed();
    return true;
}

void EditorModel::text(TextBlockSource& editor)
{
    tool_ = Tool::PlaceText;
    hideOverlay();
    setWholeSelection();
    if (const auto block = editor.editText(); block && block->textRect.isValid())
        startPlacing(Tool::PlaceText, blocks_.takeText(block->image, block->textRect));
    else
        tool_ = Tool::Selection;
    emit changed();
}

bool EditorModel::cancel()
{
    const bool hadBand = band_.active();
    band_.cancel();
    bandFrame_.reset();
    if (!placing()) {
        if (hadBand)
            emit changed();
        return hadBand;
    }
    // The cut cleared its cells in an undo step of its own; stepping back puts them where they were.
    if (tool_ == Tool::PlaceCut)
        canvas_.Undo();
    tool_ = Tool::Selection;
    hideOverlay();
    emit changed();
    return true;
}

} // namespace editing
