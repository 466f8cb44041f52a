#pragma once

#include <QString>
#include <QStringList>

// Desktop entries (freedesktop.org .desktop files): the program's desktop and menu shortcuts and the one-shot
// autostart entries that finish an uninstallation at the next login. Every entry this program writes carries
// the line "X-Lumiwand-Installed=true", and only such entries are ever removed.
namespace shell {

// One argument of an Exec line, always quoted: backslash, double quote, backtick and dollar escaped inside the
// quotes, "%" doubled, and the whole escaped again for the entry's string syntax (backslash, newline).
QString quoteExecArgument(const QString& argument);

// The Exec value that runs `program` with `arguments`, each quoted.
QString execLine(const QString& program, const QStringList& arguments = {});

// Writes a launcher entry named `description` that runs `target` with the given icon, replacing the file at
// `entryPath`. A launcher on the desktop is made executable, as desktops require before they start it.
// Returns false when the file cannot be written (the caller goes on without it).
bool createShortcut(const QString& target, const QString& entryPath, const QString& description,
                    const QString& iconPath, bool executable = false);

// Whether the file is an entry this program wrote.
bool isOwnDesktopEntry(const QString& entryPath);

// Deletes the entry when it is one of ours; anything else at that path, or nothing, is left alone.
void removeOwnDesktopEntry(const QString& entryPath);

// What a one-shot removal deletes.
enum class Removal { File, Folder };

// Writes the autostart entry `autostartFolder` + `name` + ".desktop" that, at the next login, deletes `path`
// (a file, or a folder with everything in it) and the entry itself, so that it runs once. The folder is created
// when missing. Throws store::IniWriteError when the entry cannot be written.
void writeRunOnceEntry(const QString& autostartFolder, const QString& name, Removal removal, const QString& path);

// The path of that entry.
QString runOnceEntryPath(const QString& autostartFolder, const QString& name);

} // namespace shell
