#pragma once

#include <QString>
#include <QStringList>

// The fonts the program asks for by their Windows names, and the free faces that stand in for them here.
namespace imaging {

// The text tools' default face and the express window's banner face.
inline const QString kDefaultTextFace = QStringLiteral("Microsoft Sans Serif");
inline const QString kBannerFace = QStringLiteral("Arial Black");

// The installed faces tried in turn for each of them: a plain sans for the default text font, a heavy one for the
// express banners. scripts/install-deps.sh installs the first of each.
QStringList substitutesFor(const QString& face);

// Tells Qt's font matching about the substitutes; call once after the application object exists. Text in other
// scripts falls back per character to whatever installed font covers it.
void installFontSubstitutions();

} // namespace imaging
