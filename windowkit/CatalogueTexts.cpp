#include "windowkit/CatalogueTexts.h"

#include "messages/MessageCatalogue.h"
#include "windowkit/CaptionFit.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

namespace windowkit {
namespace {

bool showsText(const QWidget& control)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return !button->text().isEmpty();
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return !label->text().isEmpty();
    return false;
}

template <typename Apply>
void applyNamed(const QWidget& root, std::span<const NamedText> rows, Apply apply)
{
    for (const NamedText& row : rows)
        if (auto* control = root.findChild<QWidget*>(QLatin1String(row.control)))
            apply(*control, messages::lookupMessage(row.message));
}

} // namespace

void setCaption(QWidget& control, const QString& text)
{
    if (control.isWindow())
        control.setWindowTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(&control))
        setFittedCaption(button, text);
    else if (auto* label = qobject_cast<QLabel*>(&control))
        label->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(&control))
        box->setTitle(text);
}

void setHint(QWidget& control, const QString& text)
{
    // "&&" stands for one ampersand in the catalogue's texts; a tool tip takes no mnemonics, so it shows the one.
    QString shown = text;
    shown.replace(QLatin1String("&&"), QLatin1String("&"));
    control.setToolTip(shown);
    if (!showsText(control))
        control.setAccessibleName(shown);
}

void applyNamedCaptions(const QWidget& root, std::span<const NamedText> rows)
{
    applyNamed(root, rows, setCaption);
}

void applyNamedHints(const QWidget& root, std::span<const NamedText> rows)
{
    applyNamed(root, rows, setHint);
}

void applyNamedAccessibleNames(const QWidget& root, std::span<const NamedText> rows)
{
    applyNamed(root, rows, [](QWidget& control, const QString& text) { control.setAccessibleName(text); });
}

CatalogueTexts& CatalogueTexts::caption(QWidget* control, unsigned message)
{
    captions_.push_back({control, message});
    return *this;
}

CatalogueTexts& CatalogueTexts::hint(QWidget* control, unsigned message)
{
    hints_.push_back({control, message});
    return *this;
}

void CatalogueTexts::apply() const
{
    for (const Row& row : captions_)
        if (row.control)
            setCaption(*row.control, messages::lookupMessage(row.message));
    for (const Row& row : hints_)
        if (row.control)
            setHint(*row.control, messages::lookupMessage(row.message));
}

} // namespace windowkit
