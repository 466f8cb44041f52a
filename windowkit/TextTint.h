#pragma once

#include <QColor>

class QWidget;

namespace windowkit {

// The coloured texts of the windows: values (navy on a light window), a connected stick (blue) and a missing
// stick or a problem (red). Each has a shade for light and one for dark window colours.
enum class TextTint { Value, Connected, Problem };

// The contrast ratio of two colours as the web's accessibility guidelines define it: 1 (same) to 21.
double contrastRatio(const QColor& first, const QColor& second);
// The tint's shade that reads best on `background`.
QColor tintColour(TextTint tint, const QColor& background);
// Gives the widget's text the tint, in the shade its window colour needs, and keeps it so when the palette
// changes (another desktop theme, or light to dark). A later call replaces the tint.
void setTextTint(QWidget& widget, TextTint tint);

} // namespace windowkit
