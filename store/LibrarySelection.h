#pragma once

#include "store/LibraryTree.h"

#include <QRect>
#include <QSize>
#include <QString>

// What the Library page shows for the node clicked in its tree and which of its commands that allows.
namespace store {

// Nothing (or the root "[CLIP]") selected, a library selected, a picture file selected.
enum class LibraryMode { Nothing = 0, Library = 1, File = 2 };

// The command column, top to bottom.
enum class LibraryCommand {
    AddToProject,
    AddBmpJpeg,
    CopyMove,
    Delete,
    Edit,
    Rename,
    SaveAsNewFile,
    Email,
    AdjustSpeed,
};
inline constexpr LibraryCommand kLibraryCommands[] = {
    LibraryCommand::AddToProject, LibraryCommand::AddBmpJpeg,    LibraryCommand::CopyMove,
    LibraryCommand::Delete,       LibraryCommand::Edit,          LibraryCommand::Rename,
    LibraryCommand::SaveAsNewFile, LibraryCommand::Email,        LibraryCommand::AdjustSpeed,
};

// Commands on a picture need a file; rename, e-mail and delete a library or a file; adding pictures is always
// possible.
bool libraryCommandEnabled(LibraryCommand command, LibraryMode mode);

// The clipart is read-only: a picture of it can be added to projects, copied to libraries and edited (each through
// a copy in the clips folder), never renamed, deleted, mailed or given a speed of its own.
bool clipartCommandEnabled(LibraryCommand command, LibraryMode mode);

// The information group and what is shown beside it.
struct LibraryInformation {
    LibraryMode mode = LibraryMode::Nothing;
    QString library;             // "Library : " value
    QString file;                // "FileName: " value
    unsigned thirdLabel = 403;   // "Total Files :" or 404 "Dimension :"
    QString thirdValue;          // the count, or " %d x %d"
    bool showPreview = false;
    bool showAssociated = false; // the "Associated Projects" group (the information group widens without it)
    QSize pictureSize;           // of the selected file (mode File)
};

// After a click on `node` whose parent node has the text `parentText` ("[CLIP]" or a library name; empty for a
// top-level node). A file node whose file is gone from clipsFolder only shows the associated projects and
// leaves the rest as it was in `previous`.
LibraryInformation libraryInformation(const LibraryNode& node, const QString& parentText, const QString& clipsFolder,
                                      const LibraryInformation& previous);

// After a click on a clipart node: a picture (mode File, its group as library, its size, no associated projects)
// or the clipart or one of its groups (mode Library with the count of pictures under it).
LibraryInformation clipartInformation(const LibraryNode& node, const QString& parentText, QSize pictureSize);

// The Library page's preview: 192 pixels wide, the height in proportion, 16 from the left and centred vertically
// in a group `groupHeight` high.
inline constexpr int kLibraryPreviewWidth = 192;
inline constexpr int kLibraryPreviewGroupHeight = 305;
QRect libraryPreviewRect(QSize picture, int groupHeight = kLibraryPreviewGroupHeight);

} // namespace store
