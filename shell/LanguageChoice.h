#pragma once

#include "messages/MessageCatalogue.h"

#include <QString>
#include <array>

// The rules of the language dialog: its five entries, which one it preselects, its question and what it stores.
// Its texts are fixed English and do not come from the catalogue.
namespace shell {

struct LanguageEntry {
    const char* text;
    messages::LangId language;
};

// "English" (1033), "Japanese" (1041), "Portuguese" (2070), "Simplified Chinese" (2052), "Traditional Chinese"
// (1028), in the order the list shows them.
const std::array<LanguageEntry, 5>& languageDialogEntries();

// The line describing the system's language, e.g. "English. --> 0409." on a US English system.
QString autoDetectedLanguageText(messages::LangId systemLanguage);

// The entry to preselect for the stored "USER_LANGUAGE" value (-1 absent, 65535 unreadable: the system's
// language counts instead); anything the list does not name selects English.
int preselectedLanguageEntry(int storedUserLanguage, messages::LangId systemLanguage);

// "Do you want to change language settings to " + the entry's text, asked under "Confirm Language changes".
QString languageChangeQuestion(const QString& entryText);
QString languageChangeTitle();

// Stores the choice as "USER_LANGUAGE" unless it is 0 or 0xFFFF. Returns whether the value was stored; a settings
// file that cannot be written throws store::IniWriteError ("Unable to write to ...") and keeps its old value.
bool storeLanguageChoice(const QString& settingsFile, messages::LangId language);

} // namespace shell
