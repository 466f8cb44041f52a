#pragma once

#include "deviceimage/DeviceImage.h"
#include "deviceimage/ImageCompiler.h"
#include "store/Edition.h"
#include "store/Project.h"

#include <QString>

// What the express window does to its one project, the workspace's starter project, apart from the window.
namespace shell {

// The project the express window always works on (selected by this name).
inline const QString kExpressProjectName = QStringLiteral("QuickStart.ini");

// Empties the project before the stick's banners are read back into it: the edition's picture size
// (pictureWidth x ledCount, so the 11-LED edition keeps its 16-wide pictures), no pictures, movie interval 160,
// in one write. Throws store::IniWriteError when the file cannot be written.
void prepareReadBack(store::Project& project, const store::EditionParameters& edition);

// Before a download: every banner whose stored shift differs from the one its content calls for at the edition's
// default speed gets the computed one. Banners whose file cannot be read are left alone. Throws
// store::IniWriteError when the catalogue cannot be written.
void refreshAutomaticShifts(const store::Project& project, const QString& clipsFolder,
                            const store::EditionParameters& edition);

// The counters of the strip: pictures, free bytes (negative: the project does not fit) and free characters.
deviceimage::ImageFigures expressFigures(const store::Project& project, const deviceimage::ImageContext& context);

} // namespace shell
