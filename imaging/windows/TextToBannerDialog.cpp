#include "imaging/windows/TextToBannerDialog.h"

#include "imaging/windows/FontChooser.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace imaging {

TextToBannerDialog::TextToBannerDialog(QSize canvas, messages::Prompter& prompter, FontChooser& fontChooser, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | windowkit::kFixedWindowFlags),
      GroupBox1(new QGroupBox(this)),
      Label1(new QLabel(GroupBox1)),
      Label2(new QLabel(GroupBox1)),
      Button1(new QPushButton(GroupBox1)),
      GroupBox2(new QGroupBox(this)),
      Label3(new QLabel(GroupBox2)),
      Edit1(new QLineEdit(GroupBox2)),
      ComboBox1(new QComboBox(GroupBox2)),
      CheckBox1(new QCheckBox(GroupBox2)),
      CheckBox2(new QCheckBox(GroupBox2)),
      Button2(new QPushButton(GroupBox2)),
      Label4(new QLabel(GroupBox2)),
      Image1(new QLabel(this)),
      Button3(new QPushButton(this)),
      Button4(new QPushButton(this)),
      Button5(new QPushButton(this)),
      canvas_(canvas),
      prompter_(prompter),
      fontChooser_(fontChooser),
      composer_(canvas)
{
    setObjectName(QStringLiteral("Texttoclip"));
    const std::pair<QObject*, const char*> names[] = {
        {GroupBox1, "GroupBox1"}, {Label1, "Label1"},       {Label2, "Label2"},       {Button1, "Button1"},
        {GroupBox2, "GroupBox2"}, {Label3, "Label3"},       {Edit1, "Edit1"},         {ComboBox1, "ComboBox1"},
        {CheckBox1, "CheckBox1"}, {CheckBox2, "CheckBox2"}, {Button2, "Button2"},     {Label4, "Label4"},
        {Image1, "Image1"},       {Button3, "Button3"},     {Button4, "Button4"},     {Button5, "Button5"}};
    for (const auto& [control, name] : names)
        control->setObjectName(QString::fromLatin1(name));

    // Wide enough for the two check boxes' translated captions side by side.
    const int width = std::max(600, canvas.width() + 32);
    GroupBox1->setGeometry(8, 8, width - 16, 64);
    Label1->setGeometry(12, 22, 300, 18);
    Label2->setGeometry(12, 40, 300, 18);
    Button1->setGeometry(width - 16 - 132, 22, 120, 30);
    GroupBox2->setGeometry(8, 80, width - 16, 128);
    Label3->setGeometry(12, 26, 130, 22);
    Edit1->setGeometry(144, 24, width - 16 - 156, 26);
    Edit1->setMaxLength(bannerTextLimit(canvas.height()));
    ComboBox1->setGeometry(12, 60, 140, 26);
    ComboBox1->setVisible(offersLayoutChoice(canvas.height()));
    CheckBox1->setGeometry(164, 60, 200, 26);
    CheckBox1->setChecked(true);
    CheckBox2->setGeometry(370, 60, 200, 26);
    Button2->setGeometry(width - 16 - 112, 92, 100, 28);
    Label4->setGeometry(12, 96, 360, 22);
    Image1->setGeometry((width - canvas.width()) / 2, 220, canvas.width(), canvas.height());
    const int buttonsTop = 220 + canvas.height() + 16;
    Button5->setGeometry(8, buttonsTop, 200, 30);
    Button3->setGeometry(width - 216, buttonsTop, 100, 30);
    Button4->setGeometry(width - 108, buttonsTop, 100, 30);
    Button3->setDefault(true);
    setFixedSize(width, buttonsTop + 42);
    texts_.caption(this, msg::TextToBannerTitle)
        .caption(GroupBox1, 647)
        .caption(GroupBox2, 648)
        .caption(Label3, 651)
        .caption(Button1, 653)
        .caption(Button2, 654)
        .caption(Button3, 655)
        .caption(Button4, 656)
        .caption(Button5, 705)
        .caption(CheckBox1, 753)
        .caption(CheckBox2, 752);

    connect(Button1, &QPushButton::clicked, this, &TextToBannerDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TextToBannerDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TextToBannerDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TextToBannerDialog::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TextToBannerDialog::Button5Click);
    // Enter in the text box previews and goes no further: it must not also press OK, the default button.
    Edit1->installEventFilter(this);
    connect(CheckBox2, &QCheckBox::clicked, this, &TextToBannerDialog::Button2Click);
}

void TextToBannerDialog::FormShow()
{
    Button5->setVisible(!expressMode_);
    ComboBox1->clear();
    ComboBox1->addItems({messages::lookupMessage(746), messages::lookupMessage(747)});
    ComboBox1->setCurrentIndex(0);
    texts_.apply();
    if (!rememberedText_.isEmpty())
        Edit1->setText(rememberedText_);
    buildPreview();
    Edit1->setFocus();
}

BannerOptions TextToBannerDialog::options() const
{
    BannerOptions options;
    options.wrapText = ComboBox1->isVisible() && ComboBox1->currentIndex() == 1;
    options.autoFit = CheckBox1->isChecked();
    options.autoAlign = CheckBox2->isChecked();
    return options;
}

bool TextToBannerDialog::buildPreview()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const Banner built = composer_.compose(Edit1->text(), dialogFont_, options());
    QGuiApplication::restoreOverrideCursor();
    Label1->setText(messages::lookupMessage(649) + dialogFont_.family());
    Label2->setText(messages::lookupMessage(650) + QString::number(dialogFont_.pointSize()));
    if (!built.drawn)
        return false;
    banner_ = built;
    Image1->setPixmap(QPixmap::fromImage(banner_.preview));
    Label4->setText(messages::lookupMessage(652)
                    + messages::formatMessage(msg::BannerSize, banner_.width, banner_.height));
    return true;
}

bool TextToBannerDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Button2Click();
            return true;
        }
    }
    return windowkit::Dialog::eventFilter(watched, event);
}

void TextToBannerDialog::Button1Click()
{
    if (const std::optional<QFont> chosen = fontChooser_.chooseFont(dialogFont_, false)) {
        dialogFont_ = *chosen;
        buildPreview();
    }
}

void TextToBannerDialog::Button2Click()
{
    buildPreview();
}

bool TextToBannerDialog::keepPreview()
{
    // A blank text has nothing to save, and no name to save it under.
    if (!buildPreview() || bannerFileStem(Edit1->text()).isEmpty()) {
        prompter_.tell(msg::TextToBannerTitle, msg::InvalidFileName, messages::Icon::Stop);
        Edit1->setFocus();
        return false;
    }
    accepted_ = true;
    rejected_ = keeper_ && !keeper_->keepBanner(banner_.grid(), Edit1->text(), dialogFont_);
    accept();
    return !rejected_;
}

void TextToBannerDialog::Button3Click()
{
    keepPreview();
}

void TextToBannerDialog::Button4Click()
{
    accepted_ = false;
    rejected_ = true;
    reject();
}

void TextToBannerDialog::Button5Click()
{
    if (keepPreview())
        emit burnRequested();
}

} // namespace imaging
