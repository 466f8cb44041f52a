#include "windowkit/WindowTexts.h"

#include "messages/MessageCatalogue.h"
#include "windowkit/CaptionFit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QVariant>
#include <QWidget>
#include <optional>

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

// A caption is a button's or a label's text, a group box's title, or a window's title.
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

// A hint is the tool tip and, for a control that shows no text of its own (an icon button), its accessible name.
void setHint(QWidget& control, const QString& text)
{
    // "&&" stands for one ampersand in the catalogue's texts; a tool tip takes no mnemonics, so it shows the one.
    QString shown = text;
    shown.replace(QLatin1String("&&"), QLatin1String("&"));
    control.setToolTip(shown);
    if (!showsText(control))
        control.setAccessibleName(shown);
}

std::optional<unsigned> messageIdOf(const QWidget& control, const char* property)
{
    const QVariant value = control.property(property);
    bool ok = false;
    const unsigned id = value.toUInt(&ok);
    return value.isValid() && ok ? std::optional(id) : std::nullopt;
}

// A tab page sits in the tab widget's page stack: its caption is its tab's text.
QTabWidget* tabsOf(const QWidget& page)
{
    const QWidget* stack = page.parentWidget();
    return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

void applyCaption(QWidget& control, unsigned id)
{
    const QString text = messages::lookupMessage(id);
    QTabWidget* tabs = control.isWindow() ? nullptr : tabsOf(control);
    if (tabs && tabs->indexOf(&control) >= 0)
        tabs->setTabText(tabs->indexOf(&control), text);
    else
        setCaption(control, text);
}

void applyItemTexts(QWidget& control)
{
    auto* list = qobject_cast<QComboBox*>(&control);
    const QStringList ids = control.property(kItemTextIds).toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (!list || ids.isEmpty())
        return;
    for (int i = 0; i < ids.size(); ++i) {
        const QString text = messages::lookupMessage(ids[i].trimmed().toUInt());
        if (i < list->count())
            list->setItemText(i, text);
        else
            list->addItem(text);
    }
}

void applyControlTexts(QWidget& control)
{
    // The caption first, so the hint sees whether its control shows a text.
    if (const auto id = messageIdOf(control, kTextId))
        applyCaption(control, *id);
    applyItemTexts(control);
    if (const auto id = messageIdOf(control, kToolTipId))
        setHint(control, messages::lookupMessage(*id));
    if (const auto id = messageIdOf(control, kAccessibleNameId))
        control.setAccessibleName(messages::lookupMessage(*id));
}

void applyBelow(QWidget& control)
{
    applyControlTexts(control);
    for (QObject* child : control.children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            applyBelow(*widget);
}

} // namespace

void applyWindowTexts(QWidget& root)
{
    applyBelow(root);
}

void announceLanguageChange()
{
    // A widget passes the event on to its children; windows owned by another window hear it twice, which only
    // sets the same texts again.
    QEvent event(QEvent::LanguageChange);
    for (QWidget* window : QApplication::topLevelWidgets())
        QCoreApplication::sendEvent(window, &event);
}

} // namespace windowkit
