#include "windowkit/Icons.h"

namespace windowkit {

QIcon actionIcon(const char* ownName, const char* themeName)
{
    const QIcon own(QStringLiteral(":/icons/actions/%1.svg").arg(QLatin1String(ownName)));
    return themeName ? QIcon::fromTheme(QLatin1String(themeName), own) : own;
}

} // namespace windowkit
