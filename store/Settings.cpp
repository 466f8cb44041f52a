#include "store/Settings.h"

#include "store/IniFile.h"

#include <QFileInfo>

namespace store {
namespace {
const QString kSection = QStringLiteral("SETTING");
const QString kUserLanguage = QStringLiteral("USER_LANGUAGE");
const QString kStartWithWizard = QStringLiteral("START_WITH_WIZARD");
} // namespace

int readUserLanguage(const QString& settingsFile)
{
    const QFileInfo info(settingsFile);
    if (info.exists() && !info.isReadable())
        return 65535;
    return IniFile(settingsFile).readInteger(kSection, kUserLanguage, -1);
}

void writeUserLanguage(const QString& settingsFile, int language)
{
    IniFile(settingsFile).writeInteger(kSection, kUserLanguage, language);
}

int readStartWithWizard(const QString& settingsFile)
{
    return IniFile(settingsFile).readInteger(kSection, kStartWithWizard, 1);
}

void writeStartWithWizard(const QString& settingsFile, bool startWithWizard)
{
    IniFile(settingsFile).writeInteger(kSection, kStartWithWizard, startWithWizard ? 1 : 0);
}

} // namespace store
