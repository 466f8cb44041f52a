#pragma once

#include "editing/BlockPlacement.h"
#include "editing/EditorTypes.h"
#include "editing/PencilStroke.h"
#include "editing/RubberBand.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace messages {
class Prompter;
}

namespace editing {

// A block of rendered text from the text editor: the image and the rectangle of it that holds the text
// (inclusive pixel bounds, so its width is right - left + 1).
struct TextBlock {
    QImage image;
    QRect textRect;
};

// The text editor as the Text tool sees it; nullopt when the user cancels.
class TextBlockSource {
public:
    virtual ~TextBlockSource() = default;
    virtual std::optional<TextBlock> editText() = 0;
};

// The overlay view showing the block being placed: where its top-left lies in the grid view and how much of it
// shows (the block's cells and the top margin drawn above them).
struct Overlay {
    bool visible = false;
    QPoint topLeft;
    QSize size;
};

// The picture and banner editor without its widgets: the current tool, the selection and its frame, the block
// being placed and the pointer position, driven by grid-view pixels and tool commands, working on the canvas
// through the tool classes. A view draws what it reads here after `changed`; the canvas's own `rendered` says when
// the grid, overlay or preview image changed.
class EditorModel : public QObject {
    Q_OBJECT

public:
    EditorModel(Canvas& canvas, messages::Prompter& prompter, QObject* parent = nullptr);

    Canvas& canvas() { return canvas_; }
    const Canvas& canvas() const { return canvas_; }

    // Once the canvas has been reset: the Selection tool and the whole picture, no frame, no overlay.
    void start();

    // The mouse on the grid view (grid-view pixels). Only the left button selects, paints and places.
    void press(QPoint point, bool leftButton);
    void moveTo(QPoint point);
    void release(QPoint point, bool leftButton);
    // The scroll bar: the first picture column in view. The frame turns dotted, the canvas is rendered there.
    void setScroll(int scroll);
    int scroll() const { return scroll_; }

    // The tool buttons.
    void chooseSelection();
    void undo();
    // Ctrl+Shift+Z, Ctrl+Y and the redo button: what the last undos undid, again.
    void redo();
    void choosePencil();
    // Clears the selection; asks first when it is the whole picture. Returns whether cells were cleared.
    bool clear();
    void move(Canvas::Direction direction);
    // Copy (cut = false) or Cut: nothing happens without a selection. Returns whether a block was taken.
    bool copy(bool cut);
    // The block the last Copy or Cut took, as the clipboard gets it.
    imaging::LitGrid copiedBlock() const;
    // Paste: a block from outside (the clipboard) follows the pointer like a copied one. False for an empty block.
    bool paste(const imaging::LitGrid& cells, BlockSize block);
    // The Text tool: opens the text editor and, when it gives a block, makes the block follow the pointer.
    void text(TextBlockSource& editor);
    // Escape: drops a block being placed (a cut block goes back where it was) and an active band. Returns
    // whether there was something to cancel.
    bool cancel();

    Tool tool() const { return tool_; }
    bool placing() const { return tool_ == Tool::PlaceText || tool_ == Tool::PlaceCopy || tool_ == Tool::PlaceCut; }
    Selection selection() const { return selection_; }
    bool hasSelection() const { return selection_ != canvas_.wholePicture(); }
    Frame frame() const;
    Overlay overlay() const { return overlay_; }
    // The cell under the pointer as the "X:" and "Y:" labels show it (one-based), once the pointer was over the
    // grid's rows.
    std::optional<QPoint> pointerCell() const { return pointerCell_; }
    PointerShape pointerShape() const;
    bool pencilEnabled() const { return tool_ != Tool::Pencil; }

signals:
    // The tool, the selection, the frame, the overlay or the pointer labels changed.
    void changed();

private:
    void setWholeSelection();
    void hideOverlay() { overlay_.visible = false; }
    void startPlacing(Tool tool, BlockSize block);
    void place(QPoint point);

    Canvas& canvas_;
    messages::Prompter& prompter_;
    RubberBand band_;
    PencilStroke pencil_;
    BlockPlacement blocks_;

    Tool tool_ = Tool::Selection;
    Selection selection_;
    FrameStyle frameStyle_ = FrameStyle::Hidden;
    std::optional<QRect> bandFrame_; // while the band is dragged
    BlockSize block_;
    Overlay overlay_;
    std::optional<QPoint> pointerCell_;
    int scroll_ = 0;
};

} // namespace editing
