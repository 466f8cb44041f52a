#pragma once

#include <QString>

namespace store {

// What the program's own file name selects: the device model it serves and factory mode. Fixed for the run.
struct EditionParameters {
    int ledCount = 32;       // LEDs of the device = height in pixels of every picture and banner
    int pictureWidth = 32;   // width of a picture of a new project
    int maxBannerWidth = 128;
    int defaultSpeed = 2;    // speed word: coarse step in the high byte, fine step in the low byte
    bool factoryMode = false;
    QString versionLabel;    // caption suffix, "  Ver 1.000", or empty
};

// The path the program was started by, made absolute but with symbolic links kept, because the link's name is
// what selects the edition and the run mode. A bare name is looked up in PATH as the shell did.
QString invokedPath(const QString& argv0);

// Edition from the invoked path (folders are ignored): the two characters before the first dot of the
// lower-cased file name, or its last two characters when it has no dot ("Lumiwand16" gives "16"), select
// 11, 16, 24, 32 or 48 LEDs, anything else 32; "factory" anywhere in the file name switches factory mode on.
// The version label is left empty.
EditionParameters deriveEdition(const QString& executablePath);

// "0.9.9.6" gives "  Ver 0.996": up to and including the first dot, then the rest without dots. Empty when the
// text is empty or "0".
QString versionLabel(const QString& version);

// The program's own version label, from the build's version.
QString programVersionLabel();

// "Lumiwand" + ledCount + versionLabel + " (Factory Mode)" in factory mode.
QString mainWindowCaption(const EditionParameters& edition);

} // namespace store
