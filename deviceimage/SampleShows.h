#pragma once

#include "deviceimage/DeviceImage.h"

#include <QString>
#include <vector>

namespace store {
class Project;
}

// The sample shows: small ready-made projects of clipart pictures and animations, one of each kind for every LED
// height, that a new user can start from. Making one copies its pictures into the clips folder and writes a new
// project.
namespace deviceimage {

// One entry of a sample: a clipart picture (with its ticker type), or a clipart animation as one movie group.
struct SampleItem {
    QString picture;
    QString animation;
    int ticker = 0;
};

struct SampleShow {
    QString key;         // "birthday"
    QString projectName; // the project it becomes: "Birthday" (or "Birthday2" ... when that is taken)
    unsigned titleId;    // its name in the catalogue's language
    int movieSteps;      // pause between pictures, 0.1 s steps
    std::vector<SampleItem> items;
};

const std::vector<SampleShow>& sampleShows();
// By key or project name, any case; nullptr when there is none.
const SampleShow* findSampleShow(const QString& name);

enum class SampleStatus {
    Ok,
    Unknown,     // no such sample
    WriteFailed, // a picture or the project could not be written; nothing of it is left
    TooLarge,    // it would not fit the edition's stick (a sample that outgrew its memory); nothing is left
};
unsigned messageId(SampleStatus status);

struct SampleMade {
    SampleStatus status = SampleStatus::Unknown;
    QString projectName; // the new project's name
    QString detail;      // what failed, for the user; empty when made
    bool ok() const { return status == SampleStatus::Ok; }
};

// Makes the sample into a new project of the edition: named like the sample or, when that project exists, with
// the first free number after it. Written under the workspace lock, whole or not at all.
SampleMade makeSampleShow(const ImageContext& context, const QString& sample);

// Adds one clipart picture to a project, as a copy in the clips folder. Refused (and nothing left behind) when the
// project is not of the edition's height or would no longer fit the stick.
enum class ClipartAddStatus { Ok, Unknown, WriteFailed, WrongHeight, StickTooSmall };
struct ClipartAdded {
    ClipartAddStatus status = ClipartAddStatus::Unknown;
    QString fileName; // the copy in the clips folder
    int freeBytes = 0;
};
ClipartAdded addClipartToProject(const ImageContext& context, store::Project& project, const QString& name);

} // namespace deviceimage
