#pragma once

#include "imaging/LitGrid.h"
#include "store/Edition.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The show preview's player: a device image read back into the show the stick plays, and what the stick shows at
// any moment of it. It works on the image bytes alone, so it plays exactly what a stick holds (or would hold), also
// an image read back from a stick or a damaged one.
//
// The stick's own timing is only partly told by the image; the rest is a model chosen to look like the stick:
// - Time is in microseconds. Intervals are in the project's units, 1/8 of a 0.1 s step (12.5 ms); the shortest
//   showing is one unit.
// - The stick is waved in strokes of kStrokeUs, drawing a picture on each stroke, forth and back (the back stroke
//   lights the columns in the other order, so the eye sees the same picture).
// - A column lasts longer the larger the speed word: at the edition's default speed a stroke holds the edition's
//   widest banner, and a column lasts in proportion to speed word + kSpeedOffset (one coarse step adds as much as
//   the fastest setting takes). A picture stands centred in its stroke; one wider than a stroke loses the columns
//   that do not fit.
// - Pictures play in order, each for its interval. A movie group plays for the movie interval, or one round of
//   its members when that is longer; its members take turns, each for its own interval (the group interval).
// - A ticker moves one column (Top Down: one row) per step, 8 x ticker speed steps a second (speeds below 1 and
//   above 10 play as 1 and 10). Marquee scrolls through the stroke from right to left and again; Slider slides in
//   from the right and stops centred; Top Down drops in from the top and stops. A ticker plays at least one pass.
// - A torch picture lights every LED all the time.
// The show repeats when its last picture has played.
namespace deviceimage {

inline constexpr qint64 kIntervalUnitUs = 12500;
inline constexpr qint64 kStrokeUs = 200000;
inline constexpr int kSpeedOffset = 256;
inline constexpr int kTickerStepsPerSpeed = 8;

// One picture of the image with what its link entry says.
struct ShowEntry {
    int number = 0;           // position in the image, from 1
    imaging::LitGrid picture; // display order: column 0 at the left, row 0 at the top
    int speed = 0;            // speed word
    int interval = 0;         // interval after the picture, in project units
    int group = 0;            // 0: none, else the image's movie group, numbered from 1
    int ticker = 0;           // 0 none, 1 Marquee, 2 Slider, 3 Top Down
    bool indelible = false;
    bool torch = false;
    qint64 columnUs = 1;      // how long one column is lit
    int strokeColumns = 1;    // columns one stroke holds at this speed: the width of what the eye sees
};

// A run of the show: one picture, or one movie group with its members.
struct ShowSlot {
    int first = 0; // index of the first entry
    int count = 1; // entries in it (more than 1 for a group)
    qint64 startUs = 0;
    qint64 durationUs = 0;
};

struct ShowTimeline {
    int height = 0;
    int tickerSpeed = 0;   // as stored
    int movieInterval = 0; // project units
    std::vector<ShowEntry> entries;
    std::vector<ShowSlot> runs;
    qint64 durationUs = 0; // one pass of the show
    int firstBadEntry = 0; // number of the first picture that could not be read; 0 when there is none
    QString problem;       // what is wrong with the image, for the user; empty when it reads whole
};

// Reads an image. deviceType tells how intervals were stored (x 3 on the fan sticks); the pictures are drawn by
// the image's own height byte, as the importer draws them. The edition gives the stroke's width and the default
// speed. A damaged image gives the pictures before the first one that cannot be read, and names it.
ShowTimeline readShow(const QByteArray& image, int deviceType, const store::EditionParameters& edition);

// What the stick shows at a moment.
struct ShowState {
    int entry = -1;            // index into entries; -1 when the show has no picture
    qint64 entryElapsedUs = 0; // time since this picture came on
    imaging::LitGrid frame;    // what the eye sees of the stroke: strokeColumns x height
    int column = -1;           // the frame column the LEDs light now
    bool backStroke = false;   // the stroke runs from the last column to the first
    bool torch = false;        // every LED lit
    bool ledLit(int row) const { return torch || frame.isLit(column, row); }
};

// The state at `timeUs` from the start of the show; times past its end wrap round.
ShowState showState(const ShowTimeline& show, qint64 timeUs);

// The moment the next picture (or group member) comes on after `timeUs`; may lie past the show's end.
qint64 nextShowing(const ShowTimeline& show, qint64 timeUs);

// The device type an image file was most likely made for: one with the height flag is not a fan stick (intervals
// stored as they are), one without it the fan stick of its height.
int imageDeviceType(const QByteArray& image);

// A line about an entry for the window: "Picture 2 of 7 - group 1 - Marquee - indelible - 2.0 s".
QString describeEntry(const ShowTimeline& show, int entry);

} // namespace deviceimage
