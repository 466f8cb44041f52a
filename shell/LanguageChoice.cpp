#include "shell/LanguageChoice.h"

#include "messages/MessageIds.h"
#include "store/Settings.h"

namespace shell {

const std::array<LanguageEntry, 5>& languageDialogEntries()
{
    static constexpr std::array<LanguageEntry, 5> entries{{
        {"English", 1033},
        {"Japanese", 1041},
        {"Portuguese", 2070},
        {"Simplified Chinese", 2052},
        {"Traditional Chinese", 1028},
    }};
    return entries;
}

QString languageOwnName(messages::LangId language)
{
    // Every language file names its own language under the same id; the language's offset picks the file.
    const unsigned offset = messages::languageOffset(language);
    return messages::catalogueEntry(messages::ownEntry(msg::LanguageOwnName, offset));
}

int preselectedLanguageEntry(int storedUserLanguage, messages::LangId systemLanguage)
{
    const int language = (storedUserLanguage == -1 || storedUserLanguage == 0xFFFF) ? systemLanguage
                                                                                     : storedUserLanguage;
    switch (language) {
    case 1028:
    case 3076:
        return 4;
    case 2052:
    case 4100:
        return 3;
    case 1041:
        return 1;
    case 2070:
    case 1046:
        return 2;
    default:
        return 0;
    }
}

QString languageChangeQuestion(const QString& entryText)
{
    return messages::formatMessage(msg::LanguageChangeQuestion, entryText.toUtf8().constData());
}

QString languageChangeTitle()
{
    return messages::lookupMessage(msg::LanguageChangeTitle);
}

bool storeLanguageChoice(const QString& settingsFile, messages::LangId language)
{
    if (language == 0 || language == messages::kNoLanguageChosen)
        return false;
    store::writeUserLanguage(settingsFile, language);
    return true;
}

} // namespace shell
