#pragma once

#include "editing/windows/CanvasGridView.h"
#include "editing/EditorCommands.h"
#include "editing/EditorModel.h"

#include <QWidget>

class QLabel;
class QScrollBar;
class QToolButton;

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
class EditorPage : public QWidget {
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

    // Tool buttons, top to bottom, left to right.
    QToolButton* BitBtn18; // Selection
    QToolButton* BitBtn19; // Undo
    QToolButton* BitBtnRedo; // Redo, beside Undo
    QToolButton* BitBtn20; // Pencil
    QToolButton* BitBtn21; // Clear
    QToolButton* BitBtn22; // Move left
    QToolButton* BitBtn23; // Move up
    QToolButton* BitBtn24; // Move right
    QToolButton* BitBtn25; // Move down
    QToolButton* BitBtn26; // Copy
    QToolButton* BitBtn27; // Cut
    QToolButton* BitBtn28; // Text
    QToolButton* BitBtn29; // Import
    QToolButton* BitBtn32; // Open
    QToolButton* BitBtn31; // New
    QToolButton* BitBtn34; // Flashing speed

    CanvasGridView* Image7;
    QScrollBar* ScrollBar1;
    QLabel* Label42; // "Banner file name:"
    QLabel* Label43; // the file name
    QLabel* Label34; // "Selected Area--> X1:"
    QLabel* Label35; // X1
    QLabel* Label37; // Y1
    QLabel* Label39; // X2
    QLabel* Label41; // Y2
    QLabel* Label46; // pointer X
    QLabel* Label48; // pointer Y

signals:
    // Ctrl+S: the main window's Save command.
    void saveRequested();
    // The preview image changed (the main window shows it in its preview box).
    void previewChanged(const QImage& preview);

private:
    QToolButton* toolButton(const char* name, int column, int row, int glyph);
    QLabel* label(const char* name, const QString& text, int left, int top, int width);
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
