#pragma once

#include "devicelink/DeviceTransfers.h"
#include "deviceimage/DeviceImage.h"

#include <functional>

namespace deviceimage {
class CompileListener;
}
namespace messages {
class Prompter;
}
namespace store {
class Project;
}

namespace devicelink {

// The transfers' hooks over the image compiler and the image importer, for the project `currentProject` returns
// (nullptr: none):
// - the current project's file and entry text ("name (w x h)"), its single-member groups;
// - countedTotal: a fresh count of the project (the figure the Projects page shows for it);
// - buildImage: the image for the stick's type; a project without a picture to show, a project the compiler
//   refuses, or a catalogue write that fails while shift values are stored, is told to the user (title 496) and
//   gives an empty image;
// - importImage: read-back into a project of the given name, or the indelible pictures merged into the current
//   project. An image that cannot be imported or a file that cannot be written is told to the user (title 504);
// - refreshProjectsPage: recounts the project and tells `listener` (the Projects page) the figures.
// selectProjectByName and loadEntryList are left to the caller, which owns the project list.
ProjectHooks imageProjectHooks(const deviceimage::ImageContext& context,
                               std::function<store::Project*()> currentProject, messages::Prompter& prompter,
                               deviceimage::CompileListener* listener = nullptr);

} // namespace devicelink
