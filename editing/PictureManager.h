#pragma once

#include "store/LibraryTree.h"

#include <QImage>
#include <QString>

namespace messages {
class Prompter;
}

// The picture and banner manager: picks a picture of a library for the editor.
namespace editing {

// The widest preview the manager shows; wider pictures are scaled down to it, keeping their proportions.
inline constexpr int kManagerPreviewWidth = 240;

// The file a click on a tree node chooses: clipsFolder + the file name for a file under a library, the clipart's
// path for a clipart picture of that height; empty for files under "[CLIP]", for libraries and for the root.
QString chosenPicturePath(const QString& clipsFolder, const store::LibraryNode& node,
                          const store::LibraryNode* parent, int clipartHeight = 0);

// The preview of a chosen file and its "Dimension: w x h " text; a null image and an empty text when the file
// cannot be read.
struct ManagerPreview {
    QImage image;
    QString dimension;
};
ManagerPreview managerPreview(const QString& path);

// "Stamp" and "Edit": true with a chosen file; otherwise message 495 and the manager stays open.
bool acceptChosenPicture(const QString& path, messages::Prompter& prompter);

} // namespace editing
