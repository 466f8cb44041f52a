#include "imaging/windows/TextToBannerDialog.h"

#include "imaging/windows/FontChooser.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPixmap>

namespace imaging {
namespace {

constexpr int kCanvasMargin = 16; // the least room either side of the preview

} // namespace

TextToBannerDialog::TextToBannerDialog(QSize canvas, messages::Prompter& prompter, FontChooser& fontChooser, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | windowkit::kFixedWindowFlags),
      canvas_(canvas),
      prompter_(prompter),
      fontChooser_(fontChooser),
      composer_(canvas)
{
    setupUi(this);
    fitToCanvas();
    Edit1->setMaxLength(bannerTextLimit(canvas.height()));
    ComboBox1->setVisible(offersLayoutChoice(canvas.height()));

    connect(Button1, &QPushButton::clicked, this, &TextToBannerDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TextToBannerDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TextToBannerDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TextToBannerDialog::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TextToBannerDialog::Button5Click);
    // Enter in the text box previews and goes no further: it must not also press OK, the default button.
    Edit1->installEventFilter(this);
    connect(CheckBox2, &QCheckBox::clicked, this, &TextToBannerDialog::Button2Click);
}

// The preview shows the canvas at 1:1, centred below the text group, with the buttons below it at the distances
// the .ui file gives. A canvas too wide for the file's width widens the dialog: the groups and the text box grow,
// the buttons at the right move with the edge.
void TextToBannerDialog::fitToCanvas()
{
    const int widening = std::max(0, canvas_.width() + 2 * kCanvasMargin - width());
    for (QWidget* control : std::initializer_list<QWidget*>{GroupBox1, GroupBox2, Edit1})
        control->resize(control->width() + widening, control->height());
    for (QWidget* button : {Button1, Button2, Button3, Button4})
        button->move(button->x() + widening, button->y());
    const int gapAbove = Button3->y() - Image1->geometry().bottom() - 1;
    const int marginBelow = height() - Button3->y();
    const int newWidth = width() + widening;
    Image1->setGeometry((newWidth - canvas_.width()) / 2, Image1->y(), canvas_.width(), canvas_.height());
    const int buttonsTop = Image1->geometry().bottom() + 1 + gapAbove;
    for (QWidget* button : {Button3, Button4, Button5})
        button->move(button->x(), buttonsTop);
    setFixedSize(newWidth, buttonsTop + marginBelow);
}

void TextToBannerDialog::FormShow()
{
    Button5->setVisible(!expressMode_);
    ComboBox1->setCurrentIndex(0);
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
    Label1->setText(messages::lookupMessage(msg::BannerFontCaption) + dialogFont_.family());
    Label2->setText(messages::lookupMessage(msg::BannerFontSizeCaption) + QString::number(dialogFont_.pointSize()));
    if (!built.drawn)
        return false;
    banner_ = built;
    Image1->setPixmap(QPixmap::fromImage(banner_.preview));
    Label4->setText(messages::lookupMessage(msg::TextDimensionCaption)
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
