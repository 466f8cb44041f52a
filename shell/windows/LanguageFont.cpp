#include "shell/windows/LanguageFont.h"

#include <QFont>
#include <QGuiApplication>

namespace shell {

QStringList preferredFontFamilies(messages::LangId language)
{
    if (messages::qtTranslationName(language) == QStringLiteral("ja"))
        return {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")}; // fonts-ipafont-gothic
    return {};
}

void applyLanguageFont(messages::LangId language)
{
    static const QStringList defaultFamilies = QGuiApplication::font().families();
    QFont font = QGuiApplication::font();
    font.setFamilies(preferredFontFamilies(language) + defaultFamilies);
    QGuiApplication::setFont(font);
}

} // namespace shell
