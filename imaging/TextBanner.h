#pragma once

#include "imaging/LitGrid.h"

#include <QFont>
#include <algorithm>
#include <QImage>
#include <QSize>
#include <QString>

// Turning a line of typed text into a banner of the canvas size: the font size is searched so that the text fills
// the LED height, a longer text may be broken into two lines, and the characters may be spread over the width.
// Text is drawn black on white without anti-aliasing, so every pixel of the result is a lit or an unlit LED, and
// with the font's own fallbacks, so any script an installed font covers comes out.
namespace imaging {

// The size a search starts from, and the text font's size when the program starts.
inline constexpr int kFirstTextSize = 7;

// The text box's limit: 18 characters for sticks of fewer than 17 LEDs, 40 for the others, from which on the
// layout list (one line or two) is offered too.
int bannerTextLimit(int ledCount);
bool offersLayoutChoice(int ledCount);

// The program-wide text font as it starts: "Microsoft Sans Serif", 7 points.
QFont defaultTextFont();

// Text drawn the way every text tool draws it: black on white, no anti-aliasing, points at 96 dots per inch.
QFont drawingFont(QFont font);
QImage whiteTextImage(QSize size);

// Where the ink of a text lies on a work bitmap: the rows of its top and bottom, the rightmost inked column.
struct Ink {
    bool found = false;
    int top = 0;
    int bottom = 0;
    int right = 0;
    int height() const { return bottom - top + 1; }
};

struct BannerOptions {
    bool wrapText = false;  // the layout "Wrap Text": two lines of half the height each
    bool autoFit = true;    // "Auto Fit to Screen": search the size; otherwise keep it (or step it down)
    bool autoAlign = false; // "Auto Alignment": spread the characters evenly over the width
};

struct Banner {
    bool drawn = false; // false for an empty or blank text: nothing to show, the old preview stays
    QImage preview;     // canvas size, black text on white
    int width = 0;      // for the dimension label: the inked width, or the canvas width when aligned
    int height = 0;     // the inked height, at most the canvas height
    int pointSize = 0;  // the size the text was drawn at
    bool twoLines = false;
    LitGrid grid() const;
};

// Builds banners for a canvas of width W and height R (the LED count) on two work bitmaps of 2W x 3R.
class BannerComposer {
public:
    explicit BannerComposer(QSize canvas);

    // Builds the preview of `text`. The font's point size is the one to keep (Auto Fit off) and comes back as the
    // size used: the fitting changes it, and a text that does not fit at a kept size is drawn one size smaller,
    // one more step at every rebuild.
    Banner compose(const QString& text, QFont& font, const BannerOptions& options);

    // Draws the text at (0, 0) on the first work bitmap and finds its ink: the bottom searched upward from the
    // last row to row 1, the top downward from row 0, the right edge over the rows top to bottom + 1.
    Ink MeasureInk(const QString& text, const QFont& font);

    enum class FitMode { Search, Check };
    // Search: from size 7 up while the text stays within maxHeight rows and W columns; stops when it is exactly
    // maxHeight high, or steps back one size when it grows too big (keeping the bounds of the size it steps back
    // to). Check: keeps the size; when the text does not fit, one size smaller and bounds 0. False when the text
    // has no ink, or for Check when it does not fit. `ink` holds the bounds the fitting left.
    bool FitText(const QString& text, int maxHeight, FitMode mode, QFont& font, Ink& ink);

    QSize canvas() const { return canvas_; }

private:
    struct Line {
        QString text;
        Ink ink;
    };
    struct Layout {
        Line first;
        Line second; // empty text for one line
        int best = 0;
    };
    Layout fitOneLine(const QString& text, int maxHeight, QFont& font, const BannerOptions& options);
    Layout fitTwoLines(const QString& text, QFont& font);
    // The rightmost inked column of the first work bitmap in rows top to bottom + 1; 0 when none.
    int inkRight(int top, int bottom) const;
    // Draws one line on `bitmap` at (0, 0), or spread over the width when aligning.
    void drawLine(QImage& bitmap, const QString& text, const QFont& font, const Ink& ink, bool align);
    Ink inkOf(const QImage& bitmap) const;

    QSize canvas_;
    QImage work_;
    QImage second_;
};

// The text editor's block: one or two characters drawn black at (0, 0) of a square image in the font at its own
// size (128 x 128 from 48 points on, else 64 x 64), and the box of their ink (pixels lit by LitBelow), inclusive;
// without ink the box is left = top = side, right = bottom = -1.
struct TextBlock {
    QImage image;
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    int width() const { return std::max(0, right + 1 - left); }
    int height() const { return std::max(0, bottom + 1 - top); }
};
TextBlock renderTextBlock(const QString& text, const QFont& font);
// The text editor's sample: the text at 22 points centred on a white 64 x 64 image.
QImage renderTextSample(const QString& text, const QFont& font);
// The text editor's edit box and clipboard limit.
inline constexpr int kTextBlockCharacters = 2;

// Where OK puts the banner: the opener decides (the current project, or QuickStart in express mode) and the
// project and catalogue records follow. Returns false when the banner was taken out again (the project no longer
// fits the stick), after telling the user.
class BannerKeeper {
public:
    virtual ~BannerKeeper() = default;
    virtual bool keepBanner(const LitGrid& banner, const QString& text, const QFont& font) = 0;
};

// The file name a banner of this text gets in the clips folder: the text without surrounding spaces and ".bmp",
// or when that exists the text followed by 0, 1, ... Characters a picture name may not hold ("/", "\", control
// characters, the records' "=" and ";", a leading "." "#" or "[") become "_", and a long text is cut so the name
// fits the file system. Empty for a blank text.
QString bannerFileStem(const QString& text);
QString bannerFileName(const QString& clipsFolder, const QString& text);

} // namespace imaging
