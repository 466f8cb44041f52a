#pragma once

#include "imaging/LitGrid.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

// Turning a decoded image into the one-bit picture the editing canvas receives: fitting it to the canvas (crop,
// stretch or scale with the aspect ratio kept), choosing a threshold, and error diffusion for photographs. The
// import dialog's preview and its OK both go through importGrid, so the preview shows what the canvas gets.
namespace imaging {

// Neither too few nor too many lit LEDs: the threshold for an image whose histogram gives no clear answer.
inline constexpr int kFallbackThreshold = 155;

enum class FitMode {
    Trim,             // the image as it is; the canvas takes a crop of it
    FullScreenResize, // resampled to exactly the canvas
    KeepAspect,       // resampled to the canvas height (or width) with its aspect ratio kept
};

enum class ProcessMethod {
    TextMode,    // lit where the colour value is at most the threshold's grey colour
    PictureMode, // grey, then Floyd-Steinberg error diffusion
};

// What the user chose in the import dialog with the first frame of an animation, so that every frame is imported
// the same way.
struct ImportChoice {
    FitMode fit = FitMode::Trim;
    ProcessMethod method = ProcessMethod::TextMode;
    int threshold = -1; // grey level 1..254; -1: chosen from the first frame as the dialog chooses it
    QPoint origin;      // Trim: the top-left corner of the crop in frame pixels
};

// The file types the import dialog offers.
QStringList importFileFilters();

// The grey level (0..254) that separates ink from background in `area` of the image, or 155 when the histogram
// has too little dark content to tell. With convertToGrey every pixel of the area is replaced by its grey
// (luminance) colour on the way, as PictureMode needs before DitherStep. Pixels of the area outside the image
// are not counted.
int AutoThreshold(QImage& image, const QRect& area, bool convertToGrey);

// One Floyd-Steinberg step on the grey level in the red byte of pixel (x, y): the pixel becomes black or white
// and its error goes 7/16 right, 3/16 lower left, 5/16 below and 1/16 lower right, to neighbours inside both the
// area and the image. The image must be Format_RGB32 (or ARGB32).
void DitherStep(QImage& image, const QRect& area, int x, int y);

// DitherStep over every pixel of the area (clipped to the image), row by row, left to right.
void ditherArea(QImage& image, const QRect& area);

// Maintain Aspect Ratio: the canvas height and the width that keeps the ratio (truncated), or when that is wider
// than the canvas, the canvas width and the height that keeps it. 200 x 100 on 96 x 16 gives 32 x 16.
QSize keepAspectSize(QSize source, QSize canvas);

// The image the crop reads in each fit mode: the decoded image itself in Trim, resampled otherwise. The result
// is Format_RGB32.
QImage fitToCanvas(const QImage& decoded, FitMode mode, QSize canvas);

// The canvas-sized crop of the working image at `origin`, white where the crop reaches past the image: what the
// automatic threshold of the preview is measured over.
QImage canvasCrop(const QImage& working, QPoint origin, QSize canvas);

// The threshold the preview chooses by itself: AutoThreshold over the canvas-sized crop (made grey in
// PictureMode).
int previewThreshold(const QImage& working, QPoint origin, QSize canvas, ProcessMethod method);

// The threshold OK uses: 155 in PictureMode (dithered pixels are black or white anyway); in TextMode the current
// one when it is above 0, otherwise AutoThreshold over the part of the crop that lies inside the image.
int okThreshold(const QImage& working, QPoint origin, QSize canvas, ProcessMethod method, int currentThreshold);

// The canvas cells: cell (col, row) reads working pixel origin + (col, row); lit when that pixel lies inside the
// image and its colour value is at most threshold x 0x010101. In PictureMode the part of the crop inside the
// image is made grey and dithered first (cells beyond the image stay unlit and take no error).
LitGrid importGrid(const QImage& working, QPoint origin, QSize canvas, ProcessMethod method, int threshold);

// The import dialog's OK without the dialog: the decoded image fitted as `choice` says (the scaling modes take
// the whole resampled image, Trim the crop at choice.origin), the threshold the preview would choose unless
// choice.threshold gives one, and the canvas cells. `fitted` is the size of the fitted image.
struct ImportResult {
    LitGrid grid;
    int threshold = 0;
    QSize fitted;
};
ImportResult importImage(const QImage& decoded, const ImportChoice& choice, QSize canvas);

// What importImage takes of the fitted image: `working` with the crop at `origin` reading the same pixels as the
// whole fitted image at choice.origin would (it may hold only the part the crop reads), and the whole image's size.
struct FittedImage {
    QImage working;
    QPoint origin;
    QSize size;
};
// importImage from the fitted image onwards.
ImportResult importFitted(const FittedImage& fitted, const ImportChoice& choice, QSize canvas);

// How a picture from the clipboard is taken: as it is when it fits the canvas, otherwise scaled into it with its
// aspect ratio kept; the threshold chosen automatically.
ImportChoice clipboardChoice(QSize image, QSize canvas);

// Where the source image sits on screen and whether the canvas needs a crop of it.
struct SourceLayout {
    bool cropNeeded = false; // the image is wider or taller than the canvas
    int zoom = 1;            // display magnification, at least 1
    QSize cropFrame;         // the crop rectangle in display pixels (canvas x zoom, cut to the shown image)
};
SourceLayout layoutSource(QSize image, QSize canvas);

// Moving the crop rectangle: `wanted` is where the pointer would put its top-left corner, relative to the shown
// image's top-left corner, in display pixels. The result is snapped down to a multiple of zoom and kept inside
// the shown image (pinned to the nearest edge).
QPoint placeCropFrame(QPoint wanted, QSize shownImage, QSize frame, int zoom);

// The crop origin in image pixels for the crop frame at `framePosition` (relative to the shown image): divided by
// the zoom, at least 0.
QPoint cropOriginAt(QPoint framePosition, int zoom);

} // namespace imaging
