#pragma once

#include <QString>

class QAbstractButton;

namespace ui {

// Sets a button's caption, shrinking its font (down to 6 points) when the text is wider than the button: the
// windows have fixed sizes made for the English captions, and a translation must still be read whole.
void setFittedCaption(QAbstractButton* button, const QString& text);

} // namespace ui
