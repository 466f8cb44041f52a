#include "imaging/Fonts.h"

#include <QFont>

namespace imaging {

QStringList substitutesFor(const QString& face)
{
    if (face.compare(kDefaultTextFace, Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")};
    if (face.compare(kBannerFace, Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Lato Black"), QStringLiteral("Lato Heavy"), QStringLiteral("DejaVu Sans")};
    return {};
}

void installFontSubstitutions()
{
    for (const QString& face : {kDefaultTextFace, kBannerFace})
        QFont::insertSubstitutions(face, substitutesFor(face));
}

} // namespace imaging
