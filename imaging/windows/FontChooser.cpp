#include "imaging/windows/FontChooser.h"

#include <QFontDialog>
#include <QGridLayout>
#include <QIntValidator>
#include <QLineEdit>

namespace imaging {
namespace {

// Hides the dialog's size column (its caption, the size box and the size list): the size box is the one edit
// that takes whole numbers only, and its column of the dialog's grid holds the rest.
void hideSizeChoice(QFontDialog& dialog)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid)
        return;
    int sizeColumn = -1;
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        const int index = grid->indexOf(edit);
        if (index < 0 || !qobject_cast<const QIntValidator*>(edit->validator()))
            continue;
        int row = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(index, &row, &sizeColumn, &rowSpan, &columnSpan);
    }
    if (sizeColumn < 0)
        return;
    for (int index = 0; index < grid->count(); ++index) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        if (QWidget* widget = grid->itemAt(index)->widget(); widget && column == sizeColumn)
            widget->hide();
    }
}

} // namespace

std::optional<QFont> QtFontChooser::chooseFont(const QFont& initial, bool withSize)
{
    constexpr int kLargestChoice = 72;
    QFontDialog dialog(initial, parent_);
    if (!withSize) {
        // Qt's own dialog, whose size box can be hidden: the fitting chooses the size, so none is offered.
        dialog.setOption(QFontDialog::DontUseNativeDialog);
        hideSizeChoice(dialog);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QFont chosen = dialog.selectedFont();
    if (!withSize)
        chosen.setPointSize(initial.pointSize());
    else if (chosen.pointSize() > kLargestChoice)
        chosen.setPointSize(kLargestChoice);
    return chosen;
}

} // namespace imaging
