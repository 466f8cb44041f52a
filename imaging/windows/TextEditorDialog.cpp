#include "imaging/windows/TextEditorDialog.h"

#include "imaging/windows/FontChooser.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "windowkit/TextTint.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QPixmap>
#include <QTextCursor>
#include <QTextDocument>

namespace imaging {
namespace {

constexpr int kTableSide = 16; // rows and columns of the character table

// The font of the first character of a rich text, or nullopt when the clipboard holds plain text only.
std::optional<QFont> richTextFont(const QMimeData* data)
{
    if (!data || !data->hasHtml())
        return std::nullopt;
    QTextDocument document;
    document.setHtml(data->html());
    QTextCursor cursor(&document);
    cursor.setPosition(std::min(1, document.characterCount() - 1));
    const QFont font = cursor.charFormat().font();
    if (cursor.charFormat().fontFamilies().toStringList().isEmpty())
        return std::nullopt;
    return font;
}

} // namespace

TextEditorDialog::TextEditorDialog(int ledCount, messages::Prompter& prompter, FontChooser& fontChooser, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | windowkit::kFixedWindowFlags),
      ledCount_(ledCount),
      prompter_(prompter),
      fontChooser_(fontChooser)
{
    setupUi(this);
    Edit1->setMaxLength(kTextBlockCharacters);
    windowkit::setTextTint(*Label4, windowkit::TextTint::Problem);
    fitTableToStyle();
    fillTable();

    connect(Button1, &QPushButton::clicked, this, &TextEditorDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TextEditorDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TextEditorDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TextEditorDialog::Button4Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TextEditorDialog::Edit1Change);
    connect(StringGrid1, &QTableWidget::cellClicked, this, &TextEditorDialog::StringGrid1Click);
}

// The whole table shows, every cell of the size the .ui file gives, with no scroll bars. The file is drawn for a
// frame of one pixel; a style's wider frame makes the table, its group and the dialog larger and moves the
// buttons below down.
void TextEditorDialog::fitTableToStyle()
{
    for (QHeaderView* header : {StringGrid1->horizontalHeader(), StringGrid1->verticalHeader()})
        header->setSectionResizeMode(QHeaderView::Fixed);
    const int side = kTableSide * StringGrid1->horizontalHeader()->defaultSectionSize() + 2 * StringGrid1->frameWidth();
    const int growth = side - StringGrid1->height();
    StringGrid1->resize(side, side);
    GroupBox2->resize(GroupBox2->width(), GroupBox2->height() + growth);
    for (QWidget* button : {Button4, Button1, Button2})
        button->move(button->x(), button->y() + growth);
    setFixedSize(width(), height() + growth);
}

void TextEditorDialog::fillTable()
{
    for (int code = 1; code < kTableSide * kTableSide; ++code) {
        // Codes 128..255 as Latin-1, the single-byte characters every font of these scripts has. Control
        // characters have no picture: their cells stay empty, like the cell of code 0.
        const QChar character{char16_t(code)};
        if (!character.isPrint())
            continue;
        auto* item = new QTableWidgetItem(QString(character));
        item->setTextAlignment(Qt::AlignCenter);
        StringGrid1->setItem(code / kTableSide, code % kTableSide, item);
    }
}

bool TextEditorDialog::editText(QFont& textFont, QString& lastText)
{
    dialogFont_ = textFont;
    Label4->hide();
    Edit1->setText(lastText);
    refresh();
    Edit1->setFocus();
    const bool accepted = exec() == QDialog::Accepted;
    textFont = dialogFont_; // the font chosen stays, also after Cancel
    lastText = lastText_;
    return accepted;
}

void TextEditorDialog::refresh()
{
    Label1->setText(messages::lookupMessage(msg::FontNameCaption) + dialogFont_.family());
    Label2->setText(messages::lookupMessage(msg::FontSizeCaption) + QString::number(dialogFont_.pointSize()));
    QFont tableFont = dialogFont_;
    tableFont.setPointSize(10);
    StringGrid1->setFont(tableFont);
    Edit1->setFont(tableFont);
    render(Edit1->text());
}

void TextEditorDialog::render(const QString& text)
{
    Image1->setPixmap(QPixmap::fromImage(renderTextSample(text, dialogFont_)));
    lastText_ = text;
    block_ = renderTextBlock(text, dialogFont_);
    Label3->setText(QStringLiteral("( %1 x %2 )").arg(block_.width()).arg(block_.height()));
    Label4->setVisible(block_.height() > ledCount_); // a warning only: the editor cuts the block to the picture
}

void TextEditorDialog::Button1Click()
{
    accept();
}

void TextEditorDialog::Button2Click()
{
    reject();
}

void TextEditorDialog::Button3Click()
{
    if (const std::optional<QFont> chosen = fontChooser_.chooseFont(dialogFont_, true)) {
        dialogFont_ = *chosen;
        refresh();
    }
}

void TextEditorDialog::Button4Click()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString text = data ? data->text() : QString();
    if (text.isEmpty()) {
        prompter_.tell(msg::PasteTitle, msg::ClipboardHasNoText, messages::Icon::Stop);
        return;
    }
    if (text.size() > kTextBlockCharacters) {
        prompter_.tell(msg::PasteTitle, msg::TextTooLongForCanvas, messages::Icon::Stop);
        return;
    }
    if (const std::optional<QFont> font = richTextFont(data)) {
        dialogFont_.setFamily(font->family());
        if (font->pointSize() > 0)
            dialogFont_.setPointSize(font->pointSize());
        dialogFont_.setBold(font->bold());
        dialogFont_.setItalic(font->italic());
    }
    Edit1->setText(text);
    refresh();
}

void TextEditorDialog::Edit1Change()
{
    render(Edit1->text());
}

void TextEditorDialog::StringGrid1Click(int row, int column)
{
    // An empty cell (code 0, a control character) has nothing to draw.
    if (const QTableWidgetItem* item = StringGrid1->item(row, column))
        Edit1->setText(item->text());
}

} // namespace imaging
