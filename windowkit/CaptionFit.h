#pragma once

#include <QList>
#include <QString>

class QAbstractButton;
class QWidget;

namespace windowkit {

// Sets a button's caption, shrinking its font (down to 6 points) when the text is wider than the button: the
// windows have fixed sizes made for the English captions, and a translation must still be read whole.
void setFittedCaption(QAbstractButton* button, const QString& text);

// Gives a row of buttons one font size: the largest at which every caption of the row fits its button, so that
// no caption of a translated row looks smaller than its neighbours for no reason.
void fitCaptionsTogether(const QList<QAbstractButton*>& buttons);

// Shrinks the font of a label, push button, check box or radio button (down to 6 points) until its text fits the
// room the control gives it: beside the mark, inside the frame, or, for a word-wrapped label, in its height. A
// control made smaller before gets its own font back first, so a shorter text shows at full size again.
void fitText(QWidget& control);
// The same for every such control of a window or page, shown or not: call it after the texts changed.
void fitTexts(QWidget& root);

} // namespace windowkit
