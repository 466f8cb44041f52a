#include "shell/LanguageChoice.h"

#include "store/Settings.h"

namespace shell {
namespace {

// The description of each row of the language table, in its order; English for everything else.
struct Description {
    unsigned offset;
    const char* format;
};
constexpr std::array<Description, 12> kDescriptions{{
    {800, "Traditional Chinese. --> %04X."}, {1200, "Simplified Chinese. --> %04X."},
    {1600, "Jananese. --> %04X."},           {2000, "Korean. --> %04X."},
    {2400, "French. --> %04X."},             {2800, "German. --> %04X."},
    {3600, "Portuguese. --> %04X."},         {3200, "Spanish. --> %04X."},
    {4000, "Italian. --> %04X."},            {4400, "Dutch. --> %04X."},
    {4800, "Russuian. --> %04X."},           {5200, "Thailand. --> %04X."},
}};

} // namespace

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

QString autoDetectedLanguageText(messages::LangId systemLanguage)
{
    // Each language's offset is unique, so the offset names the row of the language table that applies.
    const unsigned offset = messages::languageOffset(systemLanguage);
    const char* format = "English. --> %04X.";
    for (const Description& description : kDescriptions)
        if (description.offset == offset)
            format = description.format;
    return QString::asprintf(format, unsigned(systemLanguage));
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
    return QStringLiteral("Do you want to change language settings to ") + entryText;
}

QString languageChangeTitle()
{
    return QStringLiteral("Confirm Language changes");
}

bool storeLanguageChoice(const QString& settingsFile, messages::LangId language)
{
    if (language == 0 || language == messages::kNoLanguageChosen)
        return false;
    store::writeUserLanguage(settingsFile, language);
    return true;
}

} // namespace shell
