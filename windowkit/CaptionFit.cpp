#include "windowkit/CaptionFit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVariant>
#include <algorithm>
#include <optional>

namespace windowkit {
namespace {

constexpr int kMargins = 10;
constexpr qreal kSmallestPoints = 6;

// The application's font for the button at the largest size (down to 6 points) at which the text fits it.
QFont fittingFont(const QAbstractButton* button, const QString& text)
{
    QFont font = QApplication::font(button);
    const int available = button->width() - kMargins;
    qreal points = font.pointSizeF();
    while (points > kSmallestPoints && QFontMetrics(font).horizontalAdvance(text) > available) {
        points -= 0.5;
        font.setPointSizeF(points);
    }
    return font;
}

} // namespace

void setFittedCaption(QAbstractButton* button, const QString& text)
{
    button->setFont(fittingFont(button, text));
    button->setText(text);
}

void fitCaptionsTogether(const QList<QAbstractButton*>& buttons)
{
    if (buttons.isEmpty())
        return;
    qreal points = QApplication::font(buttons.first()).pointSizeF();
    for (const QAbstractButton* button : buttons)
        points = std::min(points, fittingFont(button, button->text()).pointSizeF());
    for (QAbstractButton* button : buttons) {
        QFont font = QApplication::font(button);
        font.setPointSizeF(points);
        button->setFont(font);
    }
}

namespace {

// Dynamic properties of a control whose font was made smaller: its own font, and the smaller one it was given.
constexpr const char* kOwnFont = "lumiwandOwnFont";
constexpr const char* kFittedFont = "lumiwandFittedFont";

QString withoutMnemonics(QString text)
{
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

// The room the style gives a button's caption: beside a check box's or radio button's mark, inside a push
// button's frame.
int buttonRoom(const QAbstractButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(&button))
        element = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(&button))
        element = QStyle::SE_RadioButtonContents;
    else if (const auto* push = qobject_cast<const QPushButton*>(&button); push && (push->autoDefault() || push->isDefault()))
        option.features |= QStyleOptionButton::AutoDefaultButton;
    int room = button.style()->subElementRect(element, &option, &button).width();
    if (!button.icon().isNull())
        room -= button.iconSize().width() + 4;
    return room;
}

int widestLine(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

// Whether the control shows its whole text at `font`; nullopt for a control without a plain text to fit.
std::optional<bool> fitsAt(QWidget& control, const QFont& font)
{
    const QFontMetrics metrics(font);
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        const QString text = label->text();
        if (text.isEmpty() || Qt::mightBeRichText(text) || !label->pixmap().isNull())
            return std::nullopt;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
        if (label->wordWrap())
            return metrics.boundingRect(room, int(label->alignment()) | Qt::TextWordWrap, text).height() <= room.height();
        return widestLine(metrics, label->buddy() ? withoutMnemonics(text) : text) <= room.width();
    }
    auto* button = qobject_cast<QAbstractButton*>(&control);
    const bool captioned = qobject_cast<QPushButton*>(&control) || qobject_cast<QCheckBox*>(&control)
                           || qobject_cast<QRadioButton*>(&control);
    if (!button || !captioned || button->text().isEmpty())
        return std::nullopt;
    // The style measures with the control's own font; the caption is measured with the candidate.
    return metrics.horizontalAdvance(withoutMnemonics(button->text())) <= buttonRoom(*button);
}

} // namespace

void fitText(QWidget& control)
{
    // The control's own font comes back unless someone set another since it was made smaller.
    if (const QVariant fitted = control.property(kFittedFont); fitted.isValid() && fitted.value<QFont>() == control.font())
        control.setFont(control.property(kOwnFont).value<QFont>());
    control.setProperty(kOwnFont, QVariant());
    control.setProperty(kFittedFont, QVariant());
    QFont font = control.font();
    std::optional<bool> fits = fitsAt(control, font);
    if (!fits || *fits)
        return;
    const QFont ownFont = font;
    qreal points = font.pointSizeF();
    while (points > kSmallestPoints && !*fits) {
        points -= 0.5;
        font.setPointSizeF(points);
        fits = fitsAt(control, font);
    }
    control.setFont(font);
    control.setProperty(kOwnFont, ownFont);
    control.setProperty(kFittedFont, control.font());
}

void fitTexts(QWidget& root)
{
    for (QWidget* control : root.findChildren<QWidget*>())
        if (!control->isWindow())
            fitText(*control);
}

} // namespace windowkit
