#pragma once

#include "imaging/LitGrid.h"
#include "store/Edition.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace messages {
class Prompter;
}
namespace store {
class Project;
}

// Saving the painter's banner into the express project, free of windows.
namespace editing {

// What saving needs from the express window.
class ExpressProjectLink {
public:
    virtual ~ExpressProjectLink() = default;
    // Selects the express project and returns it; nullptr when there is none.
    virtual store::Project* expressProject() = 0;
    // Reloads the express window's list, strip and counters from the project.
    virtual void refreshList() = 0;
    // The free bytes the express window's counters show for the project now (negative: it no longer fits).
    virtual int freeBytes() = 0;
};

// The first of base + "0000.bmp", base + "0001.bmp", ... (as "%s%04d.bmp") that `taken` refuses.
QString newBannerName(const QString& base, const std::function<bool(const QString&)>& taken);

// The base of a new name: the modified banner's name up to its first ".", or "EasyPaint" for a new banner.
QString newBannerBase(bool modifyMode, const QString& bannerName);

struct PaintSaveRequest {
    imaging::LitGrid picture; // W x R, as the preview shows it
    bool modifyMode = false;
    QString bannerName;       // the modified banner's file name in the clips folder
    QString clipsFolder;      // ends with "/"
    store::EditionParameters edition;
};

struct PaintSaveResult {
    bool saved = false;
    bool savedAsNew = false;
    QString bannerName;       // the file written (the new name when saved as new)
    bool closeWindow = true;  // false when the file could not be written: the painting stays open to try again
};

// Save: in modify mode question 789 (Yes replaces the banner, No saves a new file); a new file takes the first
// free "%s%04d.bmp" name (free in the express project's list and in the clips folder, so no other project's
// picture is overwritten) and is appended to the project. When the project then no longer fits the stick,
// message 499 and a new banner leaves the project again (its file stays). Otherwise its shift record is set and
// message 474 tells the user. Throws store::IniWriteError when the project or catalogue cannot be written.
PaintSaveResult savePaintedBanner(const PaintSaveRequest& request, ExpressProjectLink& link,
                                  messages::Prompter& prompter);

} // namespace editing
