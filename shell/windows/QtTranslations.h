#pragma once

namespace shell {

// Loads Qt's own translation for the effective language, so that the buttons Qt draws in message boxes and file
// dialogs ("Yes", "Cancel"...) speak the language of the program's texts. Call it whenever the language changes.
void applyQtTranslations();

} // namespace shell
