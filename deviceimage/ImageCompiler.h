#pragma once

#include "deviceimage/DeviceImage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace store {
class Project;
}
namespace imaging {
class Picture;
class LitGrid;
}

// The device image compiler: turns a project, its picture files and their timing records into the stick's image.
namespace deviceimage {

class TimingRecords;

// Count: how many pictures an image would hold and how long it would be, without any byte output and without
// opening the library catalogue; run after every change of the current project. Build: the image itself, with
// each picture's speed and shift from the catalogue (a picture without a shift record gets one computed and
// stored).
enum class CompileMode { Count, Build };

// Why a project cannot become an image. The compiler refuses such a project whole rather than wrap a count, a
// width or a length.
enum class ImageLimit {
    None,
    TooManyPictures, // more than 255 pictures
    TooWide,         // a picture of more than 4095 columns
    TooLarge,        // more than 65535 bytes
    TooTall,         // a picture height of more than 127 rows
    Unreadable,      // Build: a picture file that exists but cannot be decoded (a stick must not get less)
};

// The message of a refusal.
unsigned messageId(ImageLimit limit);
// That message filled in; `fileName` names the picture for TooWide and Unreadable, `height` the project's height
// for TooTall.
QString imageLimitMessage(ImageLimit limit, const QString& fileName = QString(), int height = 0);

// The figures the Projects page and the express window show for the current project.
struct ImageFigures {
    int pictures = 0;       // pictures the image holds
    int total = 0;          // image length in bytes
    int freeBytes = 0;      // the edition's memory size less the total (negative when it does not fit)
    int freeCharacters = 0; // freeBytes / 24 (2048-byte editions) or / 48 (4096-byte editions), toward zero
    ImageLimit limit = ImageLimit::None; // not None: the project was refused, pictures and total are 0
    QString refusal;        // imageLimitMessage() of the limit; empty when not refused
};
ImageFigures imageFigures(int pictures, int total, int ledCount);

// Told the figures after every compile of a project that has a project file and a usable dimension. The Projects
// page shows the picture count and the total, the express window the picture count and the free space.
class CompileListener {
public:
    virtual ~CompileListener() = default;
    virtual void imageCompiled(const ImageFigures& figures) = 0;
};

struct CompileResult {
    int total = 0;      // TotalBytes; 0 when no picture is included or the project is refused
    int pictures = 0;   // pictures included; 0 when refused
    QByteArray image;   // Build only: exactly `total` bytes; empty in Count, when empty and when refused
    ImageLimit limit = ImageLimit::None;
    QString refusal;    // imageLimitMessage() of the limit; empty when not refused
    // Picture files that exist but could not be read as bitmaps ("name: reason"). Count leaves them out like
    // missing ones; Build refuses the project at the first (ImageLimit::Unreadable).
    QStringList unreadable;
    bool refused() const { return limit != ImageLimit::None; }
};

// Compiles `project` (nullptr: no current project) for `deviceType` (ignored in Count). A project without a
// project file on disk, with a width of 0 or less or a height of 0 gives total 0 and tells the listener nothing.
// Entries are left out silently when their file name is empty, their file is missing or unreadable, or its height
// differs from the project's; the pictures left close up. The total of a Build equals the total of a Count of the
// same unchanged project.
// Build stores the shift values of pictures that have none in the catalogue, in one write when it succeeds and
// not at all when it is refused, and throws store::IniWriteError when that write fails.
CompileResult compileImage(CompileMode mode, int deviceType, const store::Project* project,
                           const ImageContext& context, CompileListener* listener = nullptr);
// The same with the caller's timing records, for a build whose shift values are stored only with the rest of a
// command (records made on a store::CatalogueTransaction's catalogue): nothing is written here.
CompileResult compileImage(CompileMode mode, int deviceType, const store::Project* project,
                           const ImageContext& context, TimingRecords& timing, CompileListener* listener = nullptr);

// The columns of a picture file the image keeps: all of them, or for a picture wider than the project its lit
// columns (the LitAtMost rule; one column, -1, for a blank one); then at most the banner width past the start
// (so a start of 10 with the banner width 288 keeps up to 298 columns). Columns outside the bitmap are unlit.
struct ColumnRange {
    int start = 0;
    int width = 0;
};
ColumnRange keptColumns(const imaging::Picture& picture, int projectWidth, int maxBannerWidth);

// The kept columns as lit LEDs (the LitByLuminance rule), in display order left to right: what the stick shows of
// the picture. The importer compares pictures with it.
imaging::LitGrid deviceForm(const imaging::Picture& picture, int projectWidth, int maxBannerWidth);

} // namespace deviceimage
