#pragma once

#include <QString>

// The settings file "Lumiwand.ini", section "SETTING", shared by every edition. Opened for each use.
namespace store {

// The stored language identifier; -1 when none is stored, 65535 when the file exists but cannot be read.
int readUserLanguage(const QString& settingsFile);
// Throws IniWriteError when the file cannot be written.
void writeUserLanguage(const QString& settingsFile, int language);

// 1 (the default) when the quick start wizard opens at start, 0 when not.
int readStartWithWizard(const QString& settingsFile);
void writeStartWithWizard(const QString& settingsFile, bool startWithWizard);

} // namespace store
