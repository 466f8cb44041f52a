#pragma once

#include "imaging/LitGrid.h"
#include "store/Edition.h"

#include <QImage>
#include <QSize>
#include <QString>

class QMimeData;

namespace messages {
class Prompter;
}

// Pictures on the system clipboard: a copied block goes out as a one-bit picture, black on white, in PNG and BMP
// (and as Qt's own image, which every Qt program takes); a picture of any format Qt reads comes in through the
// importer's fit and threshold.
namespace editing {

// The block as clipboard data: "image/png" and "image/bmp" (one bit a pixel, lit black, unlit white) and the
// image itself. The caller owns the result (QClipboard::setMimeData takes it).
QMimeData* pictureMimeData(const imaging::LitGrid& block);

// The picture the clipboard data holds: Qt's image, else the first "image/..." type Qt decodes. Null when there
// is none.
QImage clipboardPicture(const QMimeData* data);

// A clipboard picture as the canvas takes it (see imaging::clipboardChoice): the cells and the size of the block
// they fill. Empty grid for a null picture.
struct PastedBlock {
    imaging::LitGrid grid; // canvas-sized, the block at its top-left
    int columns = 0;
    int rows = 0;
};
PastedBlock pastedBlock(const QImage& picture, QSize canvas);

enum class PasteStatus { Ok, NoPicture, TooLarge };
// Message id of a refused paste (0 for Ok).
unsigned messageId(PasteStatus status);
// Whether a clipboard picture can be pasted: there is one, within the importer's 25 million pixels.
PasteStatus checkPastedPicture(const QImage& picture);

// "Paste as new picture": the clipboard picture imported onto a blank canvas of the edition and saved as a new
// file of the clips folder ("Clipboard.bmp", then "Clipboard0.bmp", ...), filed in `library` (none for the root
// "[CLIP]"). Tells the user why nothing was saved, or the name it was saved under; returns that name, empty when
// nothing was saved. Catalogue writes the file system refuses throw store::IniWriteError (the file stays saved).
QString pasteAsNewPicture(const QImage& picture, const QString& library, const QString& clipsFolder,
                          const store::EditionParameters& edition, messages::Prompter& prompter);

} // namespace editing
