#pragma once

#include "deviceimage/DeviceImage.h"
#include "imaging/ImageImport.h"

#include <QString>

namespace messages {
class Prompter;
}
namespace store {
class Project;
}

// Importing an animated GIF as one movie group: every frame goes through the picture importer with the same fit
// and threshold, becomes NAME_000.bmp, NAME_001.bmp ... in the clips folder and a member of one new group at the
// end of the project, which shows each member for the GIF's frame delay.
namespace deviceimage {

struct AnimationImport {
    QString errorText;     // English, for the user; empty when imported
    QString baseName;      // NAME of NAME_000.bmp ...
    int frames = 0;        // pictures added
    int group = 0;         // the new group's number
    int groupInterval = 0; // in the project's units (8 a 0.1 s step)
    bool ok() const { return errorText.isEmpty(); }
};

// The group interval for a frame delay: the delay in 0.1 s steps, rounded, at least 1 step and at most 256 (what
// the movie group dialog offers), in the project's units.
int groupIntervalForDelay(int delayMs);

// Imports the GIF at `path` into `project` and files its frames in `library` (created when missing; the root
// "[CLIP]" files them in none). Everything is checked before anything is written: the file (see
// imaging::readAnimation), a project that is not as high as the edition's LEDs, a group number beyond the last,
// and a project that with the frames would hold more than 255 pictures or more bytes than the stick's memory.
// Written under the workspace lock, whole or not at all: a failed write removes the frames written before it.
AnimationImport importAnimation(const ImageContext& context, store::Project& project, const QString& library,
                                const QString& path, const imaging::ImportChoice& choice);

// The import dialog's OK on an animated image: asks for the library (the file's name offered), imports into the
// project and tells the user how it went. False when there is no project, the user cancelled or it was refused.
bool importAnimationAsked(const ImageContext& context, store::Project* project, const QString& path,
                          const imaging::ImportChoice& choice, messages::Prompter& prompter);

} // namespace deviceimage
