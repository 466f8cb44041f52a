#pragma once

#include "app/ctl/Command.h"
#include "devicelink/DeviceTransfers.h"
#include "store/Project.h"

#include <memory>

namespace ctl {

// A project of the workspace, named on the command line, as the device transfers' current project.
struct DeviceProject {
    std::unique_ptr<store::Project> project; // nullptr: no current project
    QString name;
};

// Opens the project NAME of the workspace; an empty project when the file does not exist.
DeviceProject openDeviceProject(const Context& context, const QString& name);

// The transfers' view of the project: its file and entry text, its image from the image compiler for a device
// type, and the image importer for read-back and the indelible pictures.
devicelink::ProjectHooks deviceProjectHooks(Context& context, DeviceProject& current);

} // namespace ctl
