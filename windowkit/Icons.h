#pragma once

#include <QIcon>

namespace windowkit {

// A command's icon: the desktop icon theme's icon of the freedesktop name `themeName` where one is given and the
// theme has it, otherwise the program's own drawing resources/icons/actions/`ownName`.svg. Both are vectors, so
// the icon stays sharp at any screen scale.
QIcon actionIcon(const char* ownName, const char* themeName = nullptr);

} // namespace windowkit
