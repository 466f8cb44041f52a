#include "imaging/FontChooser.h"

#include <QFontDialog>

namespace imaging {

std::optional<QFont> QtFontChooser::chooseFont(const QFont& initial, bool withSize)
{
    constexpr int kLargestChoice = 72;
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, initial, parent_);
    if (!ok)
        return std::nullopt;
    if (!withSize)
        chosen.setPointSize(initial.pointSize());
    else if (chosen.pointSize() > kLargestChoice)
        chosen.setPointSize(kLargestChoice);
    return chosen;
}

} // namespace imaging
