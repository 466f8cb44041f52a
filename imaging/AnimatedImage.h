#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

// Reading animated GIFs for the import of a movie group: the file's structure is walked first (frame count, screen
// size, whether it ends properly), so a file that cannot become a movie group is refused before any frame is
// decoded; then the frames come one at a time, so a long animation never sits in memory as full-size images.
namespace imaging {

// The most frames one movie group may take from an animation: the stick's image holds at most 255 pictures.
inline constexpr int kMaxAnimationFrames = 255;

// The most pixels the frames of one animation may decode to (frames x the area each is drawn on), checked before
// the first frame is decoded: a small file may describe hundreds of frames on a huge screen.
inline constexpr qint64 kMaxAnimationPixels = 100'000'000;

// A frame delay of 0 is shown by browsers and viewers as 100 ms; the import follows them.
inline constexpr int kUnsetFrameDelayMs = 100;

// True for names the animation reader takes (".gif", any case).
bool isAnimationName(const QString& name);

// What the structure of a GIF says, without decoding pixels.
struct AnimationLayout {
    int frames = 0;    // image blocks
    QSize screen;      // the logical screen every frame is drawn on
    QSize canvas;      // what each frame decodes to: the screen, or the largest frame when it reaches beyond
    QString errorText; // English, names the file: not a GIF, cut short, damaged, too large; empty when sound
    bool ok() const { return errorText.isEmpty(); }
};
AnimationLayout animationLayout(const QByteArray& contents, const QString& name);

// Takes one frame; false stops the walk there (the read is still ok).
using FrameSink = std::function<bool(const QImage& frame)>;

struct AnimationRead {
    int frames = 0;      // frames handed to the caller
    int delayMs = 0;     // the first frame's delay (kUnsetFrameDelayMs when the file gives none)
    QString errorText;   // English, names the file; empty when every frame was read
    bool ok() const { return errorText.isEmpty(); }
};

// Hands every frame, as the screen shows it (Format_RGB32, transparent parts white), to `each` in order. Refused
// before the first frame: not a GIF, cut short, no frame, more than maxFrames frames, a screen or frame of more
// than 25 million pixels, frames that would decode to more than kMaxAnimationPixels in all. A frame that does not decode stops the walk with an error (frames already handed over
// stay handed over: the caller writes nothing before the read is ok).
AnimationRead readAnimation(const QByteArray& contents, const QString& name,
                            const FrameSink& each,
                            int maxFrames = kMaxAnimationFrames);

// The same for a file (read whole, as the other importers do); a missing or unreadable file is refused.
AnimationRead readAnimationFile(const QString& path, const FrameSink& each,
                                int maxFrames = kMaxAnimationFrames);

// The frame count of a GIF file by its structure, for the import dialog; 0 when it is no sound GIF.
int animationFrameCount(const QString& path);

} // namespace imaging
