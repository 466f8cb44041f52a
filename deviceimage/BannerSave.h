#pragma once

#include "deviceimage/DeviceImage.h"
#include "imaging/LitGrid.h"
#include "imaging/TextBanner.h"

#include <QString>
#include <functional>

namespace messages {
class Prompter;
}
namespace store {
class Project;
}

// Keeping a banner made from text: the picture file named after the text, its place at the end of a project, its
// shift value and the record of its text and font, so that it can be opened again for text editing.
namespace deviceimage {

enum class BannerStatus {
    Kept,
    BlankText,     // nothing to save: the text is empty or only spaces
    WriteFailed,   // the picture file could not be written; nothing was changed
    NotAppended,   // the project refused the picture (no dimension, or a height that is not the project's)
    StickTooSmall, // the project with the banner would not fit the stick: the entry was removed again
};

struct KeptBanner {
    BannerStatus status = BannerStatus::Kept;
    QString fileName;      // relative to the clips folder; set once the file was written
    int freeBytes = 0;     // the project's free bytes on the stick after the change
    QString errorText;     // English, for WriteFailed and NotAppended
    bool kept() const { return status == BannerStatus::Kept; }
};

// Saves the banner as a new picture file named from the text (Hello.bmp, then Hello0.bmp, ...), appends it to the
// project and, unless it is taken out again, stores its shift value (from its display speed and lit width) and
// its banner text record. With checkMemory, a project that no longer fits the edition's memory gets the entry
// removed again (the file stays in the clips folder, without records) and StickTooSmall; the append, the count
// and the take-back happen under one hold of the workspace lock. Throws store::IniWriteError when the project or
// the catalogue cannot be written; the picture file is then removed and both files are as they were.
KeptBanner keepBanner(const ImageContext& context, store::Project& project, const imaging::LitGrid& banner,
                      const QString& text, const QString& fontFamily, bool checkMemory);

// Message 499 with the memory size the check used.
QString stickTooSmallText(int ledCount);

// The text-to-banner dialog's OK: keepBanner into the project the opener names at that moment (the current
// project, or QuickStart in express mode), telling the user through the prompter what went wrong. The memory
// check runs in express mode only, where the stick's room is what the window shows.
class ProjectBannerKeeper : public imaging::BannerKeeper {
public:
    ProjectBannerKeeper(ImageContext context, std::function<store::Project*()> project, messages::Prompter& prompter,
                        bool checkMemory);
    bool keepBanner(const imaging::LitGrid& banner, const QString& text, const QFont& font) override;
    const KeptBanner& last() const { return last_; }

private:
    ImageContext context_;
    std::function<store::Project*()> project_;
    messages::Prompter& prompter_;
    bool checkMemory_;
    KeptBanner last_;
};

} // namespace deviceimage
