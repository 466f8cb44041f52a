#include "imaging/windows/TextEditorDialog.h"

#include "imaging/windows/FontChooser.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "windowkit/TextTint.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextDocument>

namespace imaging {
namespace {

constexpr int kTableSide = 16;
constexpr int kCellSize = 22;

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
      GroupBox1(new QGroupBox(this)),
      Label1(new QLabel(GroupBox1)),
      Label2(new QLabel(GroupBox1)),
      Button3(new QPushButton(GroupBox1)),
      GroupBox2(new QGroupBox(this)),
      Edit1(new QLineEdit(GroupBox2)),
      StringGrid1(new QTableWidget(kTableSide, kTableSide, GroupBox2)),
      Image1(new QLabel(GroupBox2)),
      Label3(new QLabel(GroupBox2)),
      Label4(new QLabel(GroupBox2)),
      Button4(new QPushButton(this)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)),
      ledCount_(ledCount),
      prompter_(prompter),
      fontChooser_(fontChooser)
{
    setObjectName(QStringLiteral("Texteditor"));
    setModal(true);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Button3->setObjectName(QStringLiteral("Button3"));
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    Image1->setObjectName(QStringLiteral("Image1"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4->setObjectName(QStringLiteral("Label4"));
    Button4->setObjectName(QStringLiteral("Button4"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));

    GroupBox1->setGeometry(8, 8, 424, 60);
    Label1->setGeometry(12, 20, 260, 18);
    Label2->setGeometry(12, 38, 260, 18);
    Button3->setGeometry(300, 22, 112, 28);
    Edit1->setGeometry(12, 24, 80, 26);
    Edit1->setMaxLength(kTextBlockCharacters);
    Image1->setGeometry(108, 20, 64, 64);
    Image1->setFrameShape(QFrame::Box);
    Label3->setGeometry(184, 24, 120, 18);
    Label4->setGeometry(184, 46, 220, 18);
    windowkit::setTextTint(*Label4, windowkit::TextTint::Problem);
    // The whole table shows, every cell kCellSize square, with no scroll bars.
    for (QHeaderView* header : {StringGrid1->horizontalHeader(), StringGrid1->verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(kCellSize);
        header->setDefaultSectionSize(kCellSize);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int tableSide = kTableSide * kCellSize + 2 * StringGrid1->frameWidth();
    StringGrid1->setGeometry(12, 92, tableSide, tableSide);
    const int groupHeight = 92 + tableSide + 12;
    GroupBox2->setGeometry(8, 76, 424, groupHeight);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
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
    const int buttonsTop = 76 + groupHeight + 10;
    Button4->setGeometry(8, buttonsTop, 180, 30);
    Button1->setGeometry(236, buttonsTop, 92, 30);
    Button2->setGeometry(340, buttonsTop, 92, 30);
    Button1->setDefault(true);
    setFixedSize(440, buttonsTop + 40);
    texts_.caption(this, 584)
        .caption(GroupBox1, 585)
        .caption(GroupBox2, 586)
        .caption(Button4, 589)
        .caption(Button3, 590)
        .caption(Button1, 591)
        .caption(Button2, 592)
        .caption(Label4, msg::FontTooLarge);

    connect(Button1, &QPushButton::clicked, this, &TextEditorDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TextEditorDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TextEditorDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TextEditorDialog::Button4Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TextEditorDialog::Edit1Change);
    connect(StringGrid1, &QTableWidget::cellClicked, this, &TextEditorDialog::StringGrid1Click);
}

void TextEditorDialog::FormShow()
{
    texts_.apply();
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
    Label1->setText(messages::lookupMessage(587) + dialogFont_.family());
    Label2->setText(messages::lookupMessage(588) + QString::number(dialogFont_.pointSize()));
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
