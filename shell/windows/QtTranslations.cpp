#include "shell/windows/QtTranslations.h"

#include "messages/MessageCatalogue.h"
#include "shell/windows/LanguageFont.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace shell {

void applyQtTranslations()
{
    static QTranslator translator;
    static QString loaded;
    applyLanguageFont(messages::effectiveLanguage());
    const QString name = messages::qtTranslationName(messages::effectiveLanguage());
    if (name == loaded)
        return;
    QCoreApplication::removeTranslator(&translator);
    loaded = name;
    if (!name.isEmpty() &&
        translator.load(QStringLiteral("qtbase_") + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

} // namespace shell
