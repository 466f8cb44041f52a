#pragma once

#include "editing/windows/CanvasGridView.h"
#include "editing/EditorCommands.h"
#include "editing/EditorModel.h"
#include "ui_EditorPage.h"

#include <QWidget>

namespace messages {
class Prompter;
}

namespace editing {

// The Rorazu Duzodo page of the main window: the magnified grid with its scroll bar, the pointer position and
// selected area labels, the banner file name and the column of tool buttons. The page wires its controls to the
// editor model (the tools) and the editor commands (import, open, new, flashing speed); the dialogs those open
// are the opener's, through `EditorDialogs` and `TextBlockSource`.
//
// Keyboard: Ctrl+Z undo, Ctrl+Shift+Z and Ctrl+Y redo, Ctrl+C / Ctrl+X copy and cut (also onto the system
// clipboard), Ctrl+V pastes the clipboard's picture as a block to place, Delete clears the selection, the arrow
// keys move it, Escape drops a block being placed; Ctrl+S asks the opener to save (`saveRequested`). A picture
// file of any format the import reads, dropped onto the page, is imported.
//
// Its controls are those of EditorPage.ui, but for the grid, made here since it draws the canvas: ScrollBar1 under
// the grid; Label42 "Banner file name:" and Label43 the name; Label34 "Selected Area--> X1:", then Label35 X1,
// Label37 Y1, Label39 X2, Label41 Y2 after their captions, and Label46 and Label48 the pointer's X and Y; the tool
// buttons, top to bottom and left to right, BitBtn18 Selection, BitBtn19 Undo, BitBtnRedo Redo, BitBtn20 Pencil,
// BitBtn21 Clear, BitBtn22-25 move left, up, right and down, BitBtn26 Copy, BitBtn27 Cut, BitBtn28 Text,
// BitBtn29 Import, BitBtn32 Open, BitBtn31 New, BitBtn34 Flashing speed.
class EditorPage : public QWidget, public Ui::EditorPage {
    Q_OBJECT

public:
    EditorPage(Canvas& canvas, messages::Prompter& prompter, EditorDialogs& dialogs, TextBlockSource& textEditor,
               const store::EditionParameters& edition, const QString& rootFolder, const QString& clipsFolder,
               QWidget* parent = nullptr);

    EditorModel& model() { return model_; }
    EditorCommands& commands() { return commands_; }

    // Copy or Cut, the block also onto the system clipboard.
    void copyToClipboard(bool cut);
    // The clipboard's picture as a block to place; a missing or too large picture is told.
    void pasteFromClipboard();
    // A picture file dropped onto the page (or handed over by another window), through the import dialog.
    void importDropped(const QString& path);
    CanvasGridView& gridView() { return *Image7; }

    // When the main window is first shown: gives the canvas the edition's geometry, binds the views, resets the
    // canvas to a blank banner and chooses the Selection tool.
    void startEditor();
    // Each time the page becomes active: the canvas is rendered again (another window may have drawn into
    // views of its own meanwhile).
    void activate();
    // The editor's file ("Banner file name:"): the picture last imported, opened or saved.
    void setFileName(const QString& path);
    QString fileName() const { return commands_.currentFile(); }

    // The magnified grid, top left.
    CanvasGridView* Image7;

signals:
    // Ctrl+S: the main window's Save command.
    void saveRequested();
    // The preview image changed (the main window shows it in its preview box).
    void previewChanged(const QImage& preview);

private:
    void addShortcuts();
    void connectTools();
    // Shows what the model holds: frame, overlay, labels, cursor, the Pencil button.
    void showModel();

    EditorModel model_;
    EditorCommands commands_;
    messages::Prompter& prompter_;
    TextBlockSource& textEditor_;
    store::EditionParameters edition_;
};

} // namespace editing
