#pragma once

#include "messages/MessageCatalogue.h"

#include <QString>
#include <array>

// The rules of the language dialog: its five entries, which one it preselects, its question and what it stores.
// Languages are shown by their own names, so that a user finds theirs whatever language the program speaks.
namespace shell {

struct LanguageEntry {
    const char* text;
    messages::LangId language;
};

// "English" (1033), "Japanese" (1041), "Portuguese" (2070), "Simplified Chinese" (2052), "Traditional Chinese"
// (1028), in the order the list shows them. The list shows each by its own name (languageOwnName).
const std::array<LanguageEntry, 5>& languageDialogEntries();

// The name a language gives itself ("English", "日本語") for the catalogue language the identifier maps to: any
// language the catalogue does not translate is English. The dialog shows the system's language this way.
QString languageOwnName(messages::LangId language);

// The entry to preselect for the stored "USER_LANGUAGE" value (-1 absent, 65535 unreadable: the system's
// language counts instead); anything the list does not name selects English.
int preselectedLanguageEntry(int storedUserLanguage, messages::LangId systemLanguage);

// "Do you want to change language settings to " + the entry's text, asked under "Confirm Language changes", in
// the language the program shows now.
QString languageChangeQuestion(const QString& entryText);
QString languageChangeTitle();

// Stores the choice as "USER_LANGUAGE" unless it is 0 or 0xFFFF. Returns whether the value was stored; a settings
// file that cannot be written throws store::IniWriteError ("Unable to write to ...") and keeps its old value.
bool storeLanguageChoice(const QString& settingsFile, messages::LangId language);

} // namespace shell
