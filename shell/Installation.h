#pragma once

#include <QString>
#include <functional>

// Installing and uninstalling one edition for the current user, without root rights.
//
// Where things go:
//   program and uninstaller   $HOME/.local/opt/Lumiwand/<name> and .../uninstall<name>  (e.g. Lumiwand16)
//   program icon              $HOME/.local/opt/Lumiwand/lumiwand.svg
//   uninstall record          $HOME/.local/opt/Lumiwand/Uninstall.ini, section [Lumiwand]
//   desktop launcher          <XDG desktop folder>/<name>.desktop
//   menu entries              $XDG_DATA_HOME/applications/Lumiwand/<name>.desktop and "Uninstall Lumiwand16.desktop"
//   pending removals          $XDG_CONFIG_HOME/autostart/<removal name>.desktop, each deleting its target and
//                             itself at the next login
namespace messages {
class Prompter;
}

namespace shell {


// The folders an installation writes to. Every folder ends with "/"; `desktop` is empty when the desktop folder
// is unknown (nothing is put on the desktop then).
struct InstallFolders {
    QString installFolder; // $HOME/.local/opt/Lumiwand/, the same for every edition
    QString desktop;       // the XDG desktop folder ($HOME/Desktop unless user-dirs.dirs says otherwise)
    QString programs;      // $XDG_DATA_HOME/applications/, the menu
    QString autostart;     // $XDG_CONFIG_HOME/autostart/

    static InstallFolders forCurrentUser();

    QString menuFolder() const { return programs + QStringLiteral("Lumiwand/"); }
    QString uninstallRecord() const { return installFolder + QStringLiteral("Uninstall.ini"); }
    QString iconFile() const { return installFolder + QStringLiteral("lumiwand.svg"); }
};

// The names an installer derives from its own file name F ("setup_Lumiwand16"):
struct InstallNames {
    QString editionDigits;   // the two characters before the first "." of the lower-cased F ("16")
    QString programName;     // what lies between "setup" plus one character and the edition digits ("Lumiwand")
    QString programFileName; // programName + editionDigits ("Lumiwand16")
    QString installedExe;    // installFolder + programFileName
    QString uninstallerExe;  // installFolder + "uninstall" + programFileName
};
InstallNames installNamesFor(const QString& fileName, const QString& installFolder);

// "Uninstall Lumiwand" (message 782), then " Express" when the lower-cased path holds "_exp", else " Easy" when it
// holds "_easy", then the LED count: "Uninstall Lumiwand16", "Uninstall Lumiwand Express16".
QString uninstallTitleFor(const QString& invokedPath, int ledCount);

// The program an uninstaller removes: its file name after the first nine characters (the length of
// "uninstall"), up to the first "." ("uninstallLumiwand16" gives "Lumiwand16").
QString uninstalledBaseName(const QString& fileName);

// Everything one installer or uninstaller run needs.
struct InstallRun {
    QString invokedPath;       // selects the names
    QString runningExecutable; // the bytes that are copied
    int ledCount = 32;
    QString rootFolder;        // the workspace root, "…/MyLumiwand/"
    InstallFolders folders;
    messages::Prompter* prompter = nullptr;
    std::function<void(int milliseconds)> wait; // keeps the window alive while it waits
};

// Copies the program and its uninstaller into the install folder, writes the launchers, the menu entries and
// the uninstall record, and tells the user. A copy or a launcher that cannot be written is skipped; a record
// that cannot be written stops the run with "Unable to write to <path>". Never throws.
void runInstall(const InstallRun& run);

// After the user confirms: removes this edition's launchers and menu entries and the uninstall record, and
// leaves at the next login's autostart the removal of this edition's program files and workspace folders, or,
// when no other edition has a workspace, of the whole install folder and workspace root. The workspace folders
// (the user's pictures and projects) are removed only when a second question, naming them and what they hold,
// is answered Yes; No is its default. Never throws.
void runUninstall(const InstallRun& run);

// The five editions whose workspaces count as another edition's data.
constexpr int kEditionLedCounts[] = {11, 16, 24, 32, 48};

} // namespace shell
