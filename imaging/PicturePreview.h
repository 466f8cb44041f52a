#pragma once

#include <QImage>
#include <QString>

namespace imaging {

// The main window's preview group: its right border stays at this x position, its height is fixed.
inline constexpr int kPreviewGroupRight = 785;
inline constexpr int kPreviewGroupHeight = 89;

// What the window does with its preview group and picture after previewPictureFile.
struct PicturePreview {
    enum Outcome {
        HideGroup, // the file does not exist: hide the preview group, leave the picture alone
        Unchanged, // the file is empty or could not be decoded: put `image` (null) in, change nothing else
        Show,      // put `image` in, move and size the group as below, show it
    };
    Outcome outcome = HideGroup;
    QImage image;       // at its own size (Format_RGB32)
    QString errorText;  // why a file that exists could not be shown
    int groupLeft = 0;  // the group spans groupLeft .. groupLeft + groupWidth, its right border at the given right
    int groupWidth = 0; // image width + 16
    int imageLeft = 0;  // the picture's position inside the group: 8 pixels from its left border,
    int imageTop = 0;   // centred vertically, 2 pixels lower for the group's caption
};

// The picture preview of the library and project pages and the express window: loads clipsFolder + relativeName.
// In express mode every pixel is recoloured to look like the stick's LEDs: pure red where the pixel is lit by the
// LitAtMost rule, black elsewhere.
PicturePreview previewPictureFile(const QString& clipsFolder, const QString& relativeName, bool expressMode,
                                  int groupRight = kPreviewGroupRight, int groupHeight = kPreviewGroupHeight);

// The express-mode recolouring on its own: pure red for pixels lit by LitAtMost, black for the others.
QImage ledColouredImage(const QImage& image);

} // namespace imaging
