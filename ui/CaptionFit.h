#pragma once

#include <QList>
#include <QString>

class QAbstractButton;

namespace ui {

// Sets a button's caption, shrinking its font (down to 6 points) when the text is wider than the button: the
// windows have fixed sizes made for the English captions, and a translation must still be read whole.
void setFittedCaption(QAbstractButton* button, const QString& text);

// Gives a row of buttons one font size: the largest at which every caption of the row fits its button, so that
// no caption of a translated row looks smaller than its neighbours for no reason.
void fitCaptionsTogether(const QList<QAbstractButton*>& buttons);

} // namespace ui
