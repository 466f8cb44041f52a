#pragma once

#include "imaging/TextBanner.h"
#include "windowkit/Window.h"
#include "ui_TextEditorDialog.h"

namespace messages {
class Prompter;
}

namespace imaging {

class FontChooser;

// "Text Editor": the picture editor's text tool. The user picks a font and one or two characters (typed, from the
// character table, or pasted with the clipboard text's font); the dialog draws them into a square text image and
// finds their inked box, which the editor then places on the canvas. Its controls are those of
// TextEditorDialog.ui: in GroupBox1 "Font Setup" Label1 "Font Name: " and the face, Label2 "Font Size: " and the
// size, Button3 "Change Font"; in GroupBox2 "Key in your text directly" Edit1 (at most two characters),
// StringGrid1 the 16 x 16 character table, Image1 the 64 x 64 sample, Label3 "( w x h )", Label4 "Font too
// Large!!"; Button4 "Paste from Bannerboard", Button1 OK, Button2 Cancel.
class TextEditorDialog : public windowkit::Dialog, public Ui::TextEditorDialog {
    Q_OBJECT

public:
    TextEditorDialog(int ledCount, messages::Prompter& prompter, FontChooser& fontChooser, QWidget* parent = nullptr);

    // Opens the dialog modally on a copy of textFont with lastText in the edit box. On closing, by either button,
    // the dialog's font is written back to textFont and the text last drawn to lastText. True after OK.
    bool editText(QFont& textFont, QString& lastText);

    // The text image and its inked box as last drawn.
    const TextBlock& textBlock() const { return block_; }
    const QFont& dialogFont() const { return dialogFont_; }

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Edit1Change();
    void StringGrid1Click(int row, int column);

private:
    void fitTableToStyle();
    void fillTable();
    void refresh();
    void render(const QString& text);

    int ledCount_;
    messages::Prompter& prompter_;
    FontChooser& fontChooser_;
    QFont dialogFont_;
    QString lastText_;
    TextBlock block_;
};

} // namespace imaging
