#pragma once

#include "deviceimage/DeviceImage.h"
#include "imaging/LitGrid.h"
#include "store/IniFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace store {
class CatalogueTransaction;
class LibraryCatalogue;
class PictureStaging;
class Project;
}

// Turning a device image back into pictures and a project: the open command for binary project files, reading a
// stick back into a new project, and keeping a stick's indelible pictures before a download.
namespace deviceimage {

enum class ImportStatus {
    Done,
    Damaged,        // lengths, PatternStart or widths that do not add up, a picture of no columns (message 690)
    NoPictures,     // the count byte is 0 (691)
    WrongDimension, // height 0, or a target project of another height (692)
    TooWide,        // a picture wider than the edition's banners (692)
    BadName,        // the project name cannot name a project file (684)
    WriteFailed,    // a file could not be written; errorText says which
    // Only from the file checks of a binary project file:
    Unopenable,     // the file cannot be opened (689)
    BadTotal,       // TotalBytes is 0 or 0xFFFF (693)
};

// One picture of an image, as the importer files it.
struct ImagePicture {
    imaging::LitGrid grid; // width x height, display order (column 0 at the left, row 0 at the top)
    bool torch = false;
    bool indelible = false;
    int ticker = 0;   // 0 none, 1 Marquee, 2 Slider, 3 Top Down
    int speed = 0;    // speed word
    int interval = 0; // interval after the picture in project units; -160 when it is the movie interval
    int group = 0;    // 0 none, else the number of the image's group, from 1
    int shift = 0;    // shift value (20 is what an image says for "no value")
};

struct DecodedImage {
    ImportStatus status = ImportStatus::Done;
    int height = 0;
    bool heightFlag = false;
    int movieInterval = 0;
    int tickerSpeed = 0;
    std::vector<ImagePicture> pictures;
};

// The interval an imported picture gets when it follows the movie interval (any negative interval means that).
inline constexpr int kMovieIntervalMarker = -160;

// Reads and checks an image without touching any file. Every length is checked against the bytes before any is
// used: TotalBytes must be the image's length, PatternStart 10 + 8n, every width at least 1 and the widths must
// account for the pattern data exactly. Then a picture wider than maxBannerWidth gives TooWide. Pictures are drawn
// by the image's own height byte: columns right to left unless the height flag is set, bands bottom first from 32
// rows on without the flag. deviceType tells how intervals and shifts were stored (divided by 3 and halved for
// the fan sticks 3, 6 and 7). In simplifiedMode the movie interval is 160 whatever the image says.
DecodedImage decodeImage(const QByteArray& image, int deviceType, int maxBannerWidth, bool simplifiedMode);

// Draws the picture of `width` columns whose pattern data starts at `position`, by the image's own height byte as
// decodeImage does. The caller has checked that width x bytesPerColumn(height) bytes are there.
imaging::LitGrid drawImagePicture(const QByteArray& image, qsizetype position, int width, int height, bool heightFlag);

struct ImportResult {
    ImportStatus status = ImportStatus::Done;
    QString projectName; // the project the pictures went into
    int added = 0;       // entries added to it
    QString errorText;   // WriteFailed: "Unable to write to ..." or the picture writer's text
};

// The catalogue message that tells the user why an import stopped (684, 689 to 693); 0 for Done and WriteFailed,
// whose text is the result's errorText.
unsigned messageId(ImportStatus status);

// The status a file check's message stands for (the first one for 692, WrongDimension); Done for 0.
ImportStatus importStatusForMessage(unsigned messageId);

// Files the pictures of an image in the clips folder and adds them to a project.
// - mergeTarget nullptr: every picture goes into the project `projectName` (projectsFolder + name + ".ini",
//   created H x H when missing; an existing one is added to).
// - mergeTarget given: only its indelible pictures that the project does not hold yet are added; `projectName`
//   is not used. A picture counts as held when an indelible entry of the project shows the same LEDs on the stick.
// The target's movie interval and ticker speed become the image's. Pictures are saved as the first free
// "<project>_ClipNNN.bmp" (never over an existing file) and filed in the library named like the project (created
// when missing), with speed and shift records when they differ from the defaults; a torch picture adds
// "LumiwandTorch.bmp" (drawn all lit when the clips folder has none). Movie groups are numbered on from the
// target's highest group.
// The image is checked whole before anything is written: a damaged image, one whose pictures are wider than the
// edition's banners, or a target project of another height leaves every file as it was. A failed write stops the
// import with WriteFailed and leaves every file as it was too; the caller tells the user. The pictures are staged
// and appear in the clips folder together with the project's entries, so a killed import leaves none that no
// project names.
ImportResult importImage(const QByteArray& image, const QString& projectName, store::Project* mergeTarget,
                         int deviceType, const ImageContext& context);

// Shared by the importers that file new pictures.
// The project name as the start of picture file names: characters a picture file name cannot hold become "_".
QString clipBaseName(const QString& projectName);
// Files the pictures in the library, creating the library when there is none.
void fileInLibrary(store::LibraryCatalogue& catalogue, const QString& libraryName, const QStringList& files);
// Stores what an import changed: the catalogue (one write), then the project held in projectBatch (one write),
// then the staged pictures moved into the clips folder. Returns the text of the write that failed, every file
// then being as it was; empty when all was stored.
QString commitImport(store::CatalogueTransaction& catalogue, store::IniFile::WriteBatch& projectBatch,
                     store::Project& project, store::PictureStaging& staging, const QStringList& stagedFiles);

} // namespace deviceimage
