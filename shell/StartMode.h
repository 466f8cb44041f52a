#pragma once

#include <QString>

// What the program does when started is decided by the path it was started by (lower-cased, folders included,
// so a folder name can select a mode too).
namespace shell {

enum class StartMode {
    Uninstall,      // "uninstall": the uninstaller runs in the start-up window
    Setup,          // "setup": the installer runs in the start-up window
    Express,        // "_exp": the express window
    Easy,           // "_easy": the express window with the painter extras
    MassProduction, // "_mptool": the mass production window
    Normal,         // none of these: the quick start wizard or the main window
};

// The decision the start-up window makes when it is built: Uninstall or Setup, otherwise Normal (the run mode
// proper is decided at its first tick, by startModeFor).
StartMode installerModeFor(const QString& invokedPath);

// The whole decision, tested in the order uninstall, setup, _exp, _easy, _mptool.
StartMode startModeFor(const QString& invokedPath);

// The run-mode flags many windows read; both false for Setup, Uninstall and Normal.
struct RunModeFlags {
    bool simplifiedMode = false; // Express, Easy and MassProduction
    bool easyMode = false;       // Easy only
};
RunModeFlags runModeFlagsFor(StartMode mode);

} // namespace shell
