#pragma once

#include "imaging/TextBanner.h"
#include "windowkit/CatalogueTexts.h"
#include "windowkit/Window.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace messages {
class Prompter;
}

namespace imaging {

class FontChooser;

// "Text Editor": the picture editor's text tool. The user picks a font and one or two characters (typed, from the
// character table, or pasted with the clipboard text's font); the dialog draws them into a square text image and
// finds their inked box, which the editor then places on the canvas.
class TextEditorDialog : public windowkit::Dialog {
    Q_OBJECT

public:
    TextEditorDialog(int ledCount, messages::Prompter& prompter, FontChooser& fontChooser, QWidget* parent = nullptr);

    // Opens the dialog modally on a copy of textFont with lastText in the edit box. On closing, by either button,
    // the dialog's font is written back to textFont and the text last drawn to lastText. True after OK.
    bool editText(QFont& textFont, QString& lastText);

    // The text image and its inked box as last drawn.
    const TextBlock& textBlock() const { return block_; }
    const QFont& dialogFont() const { return dialogFont_; }

    QGroupBox* GroupBox1;        // "Font Setup"
    QLabel* Label1;              // "Font Name: " + face
    QLabel* Label2;              // "Font Size: " + size
    QPushButton* Button3;        // "Change Font"
    QGroupBox* GroupBox2;        // "Key in your text directly"
    QLineEdit* Edit1;            // at most two characters
    QTableWidget* StringGrid1;   // the 16 x 16 character table
    QLabel* Image1;              // the 64 x 64 sample
    QLabel* Label3;              // "( w x h )"
    QLabel* Label4;              // "Font too Large!!"
    QPushButton* Button4;        // "Paste from Bannerboard"
    QPushButton* Button1;        // OK
    QPushButton* Button2;        // Cancel

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Edit1Change();
    void StringGrid1Click(int row, int column);

protected:
    // The captions, in the language of the moment the dialog opens.
    void FormShow() override;

private:
    void refresh();
    void render(const QString& text);

    int ledCount_;
    messages::Prompter& prompter_;
    FontChooser& fontChooser_;
    QFont dialogFont_;
    QString lastText_;
    TextBlock block_;
    windowkit::CatalogueTexts texts_;
};

} // namespace imaging
