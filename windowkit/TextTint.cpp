#include "windowkit/TextTint.h"

#include <QEvent>
#include <QWidget>
#include <cmath>

namespace windowkit {
namespace {

struct Shades {
    QColor onLight;
    QColor onDark;
};

Shades shadesOf(TextTint tint)
{
    switch (tint) {
    case TextTint::Value:
        return {QColor(0x00, 0x00, 0x80), QColor(0x9e, 0xcb, 0xff)};
    case TextTint::Connected:
        return {QColor(0x00, 0x00, 0xff), QColor(0x7f, 0xb2, 0xff)};
    case TextTint::Problem:
        break;
    }
    return {QColor(0xcc, 0x00, 0x00), QColor(0xff, 0x7b, 0x7b)};
}

double relativeLuminance(const QColor& colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

// Lives as a child of the tinted widget and applies the tint again whenever the widget's palette changes.
class TintKeeper : public QObject {
public:
    TintKeeper(QWidget& widget, TextTint tint) : QObject(&widget), tint_(tint) { widget.installEventFilter(this); }

    void setTint(TextTint tint) { tint_ = tint; }

    void apply(QWidget& widget) const
    {
        const QPalette current = widget.palette();
        const QColor colour = tintColour(tint_, current.color(QPalette::Window));
        if (current.color(QPalette::Active, QPalette::WindowText) == colour
            && current.color(QPalette::Inactive, QPalette::WindowText) == colour)
            return; // also ends the palette change this call's own setPalette sends
        // Only the text is set: every other colour, disabled text too, still follows the parent's palette.
        QPalette text;
        text.setColor(QPalette::Active, QPalette::WindowText, colour);
        text.setColor(QPalette::Inactive, QPalette::WindowText, colour);
        widget.setPalette(text);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
            apply(*static_cast<QWidget*>(watched));
        return false;
    }

private:
    TextTint tint_;
};

} // namespace

double contrastRatio(const QColor& first, const QColor& second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor tintColour(TextTint tint, const QColor& background)
{
    const Shades shades = shadesOf(tint);
    return contrastRatio(shades.onLight, background) >= contrastRatio(shades.onDark, background) ? shades.onLight
                                                                                                 : shades.onDark;
}

void setTextTint(QWidget& widget, TextTint tint)
{
    auto* keeper = widget.findChild<TintKeeper*>(QString(), Qt::FindDirectChildrenOnly);
    if (keeper)
        keeper->setTint(tint);
    else
        keeper = new TintKeeper(widget, tint);
    keeper->apply(widget);
}

} // namespace windowkit
