#pragma once

#include "deviceimage/DeviceImage.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace messages {
class Prompter;
}

// What the factory line downloads: one image for every device type a stick of the edition's LED count can have,
// from a binary project file or built from a project of the workspace.
namespace devicelink {

// True when `source` names a binary project file (.lwd, .bin) rather than a project.
bool isBinaryProjectFile(const QString& source);

// The images for `source`: a binary project file made for the edition's LED count, or the project of that name.
// Empty when they cannot be had; `prompter` has then told why.
QHash<int, QByteArray> productionImages(const deviceimage::ImageContext& context, const QString& source,
                                        messages::Prompter& prompter);

} // namespace devicelink
