#pragma once

#include "deviceimage/TimingRecords.h"
#include "store/Project.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

namespace messages {
class Prompter;
}
namespace store {
class ProjectList;
}

// What the timing and effect dialogs compute and what their commands do before and after them. Each dialog is a
// chooser interface here: the command asks it, the window implements it, tests answer with a script.
namespace deviceimage {

// --- Speed -------------------------------------------------------------------------------------------------
// A speed word is coarse x 256 + fine x 2: coarse 0..50 in the high byte, fine 1..127 doubled in the low byte.
// Larger is slower.
inline constexpr int kCoarseMin = 0;
inline constexpr int kCoarseMax = 50;
inline constexpr int kFineMin = 1;
inline constexpr int kFineMax = 127;

struct SpeedSteps {
    int coarse = 0;
    int fine = 1;
};
// The sliders of a word: coarse = high byte, fine = low byte / 2 (each kept in its slider's range).
SpeedSteps speedSteps(int speedWord);
int speedWord(SpeedSteps steps);

class SpeedChooser {
public:
    virtual ~SpeedChooser() = default;
    // The speed word chosen, starting from `speedWord`; nullopt when cancelled.
    virtual std::optional<int> chooseSpeed(int speedWord) = 0;
};

// "Adjust Flashing Speed" for one picture file: currentSpeed becomes the file's stored speed, the dialog edits it,
// and the file's record is written with currentSpeed afterwards (also after Cancel, which leaves it unchanged).
// Nothing happens for an empty file name. Throws store::IniWriteError when the record cannot be written.
void adjustFlashingSpeed(TimingRecords& records, const QString& fileName, int& currentSpeed, SpeedChooser& chooser);

// --- Movie interval ----------------------------------------------------------------------------------------
inline constexpr int kUnitsPerStep = 8; // interval units per 0.1 s step
inline constexpr int kMaxIntervalSteps = 2700;

// A typed step count: a decimal integer above 0 (surrounding spaces allowed); nullopt otherwise.
std::optional<int> parsePositiveSteps(const QString& text);
// A typed number for the shift and group fields: any decimal integer (the arrows keep the range, a typed value is
// taken as typed); nullopt when it is not a number.
std::optional<int> parseInteger(const QString& text);

class MovieIntervalChooser {
public:
    virtual ~MovieIntervalChooser() = default;
    // The interval in steps, starting from `steps`; nullopt when cancelled.
    virtual std::optional<int> chooseMovieIntervalSteps(int steps) = 0;
};

// "Set Project Movie Interval": shows the project's interval in steps and writes the answer x 8.
void setProjectMovieInterval(store::Project& project, MovieIntervalChooser& chooser);

// --- Left & right shift ------------------------------------------------------------------------------------
inline constexpr int kMaxShift = 32767;
inline constexpr int kShiftStep = 8;
inline constexpr int kShiftShownForNone = 20; // what the dialog starts with when the picture has no shift value

// The shift dialog's state: the number field, the "Automatic adjustment" box and the typed value it remembers
// while the automatic value is shown.
class ShiftAdjustment {
public:
    // speedWord and contentWidth are the picture's; they give the automatic value.
    ShiftAdjustment(const store::EditionParameters& edition, int currentShift, int speedWord, int contentWidth);

    int field() const { return field_; }
    bool automatic() const { return automatic_; }
    int currentShift() const { return currentShift_; }

    void addEight();      // unticks; field + 8, at most 32767
    void subtractEight(); // unticks; field - 8, at least 0
    void setField(int value); // typed or stepped by the arrows: unticks
    // Ticking remembers the field and shows the automatic value; unticking brings back the remembered value, or
    // the value the dialog opened with when none was remembered.
    void setAutomatic(bool on);

private:
    store::EditionParameters edition_;
    int currentShift_;
    int speedWord_;
    int contentWidth_;
    int field_;
    int manual_ = 0;
    bool automatic_ = false;
};

struct ShiftRequest {
    int currentShift = kNoShift;
    int speedWord = 0;
    int contentWidth = 1;
};
class ShiftChooser {
public:
    virtual ~ShiftChooser() = default;
    // The shift value chosen; nullopt when cancelled.
    virtual std::optional<int> chooseShift(const ShiftRequest& request) = 0;
};

// The Projects page's shift command for one picture file: its shift, speed and content width go to the dialog,
// the answer is stored. Nothing happens for an empty name. Throws store::IniWriteError when the store fails.
void adjustShift(TimingRecords& records, const QString& fileName, ShiftChooser& chooser);

// --- Movie group -------------------------------------------------------------------------------------------
// The group list: "Group 1" .. "Group maxGroup", then "Put in new group" (newGroupText).
QStringList movieGroupItems(int maxGroup, const QString& newGroupText);

// The interval part of the group dialog for the selected item: the box "The same as movie speed" and the field.
struct GroupIntervalView {
    bool sameAsMovie = true;
    int steps = 0;
};
// `index` is the selected item, itemCount the list's length (the last item is the new group).
GroupIntervalView groupIntervalView(const store::Project& project, int index, int itemCount, int movieSteps);

// --- Ticker ------------------------------------------------------------------------------------------------
inline constexpr int kTickerTypes = 3;
inline constexpr int kTickerFrames = 6;
inline constexpr int kMinTickerSpeed = 1;
inline constexpr int kMaxTickerSpeed = 10;

// Frame 1..6 of the looping preview of ticker type 1 (marquee: the text runs through from right to left),
// 2 (slider: it slides in and stops) or 3 (top down: it drops in from above), size x size / 2 pixels, black
// LEDs on white as the pictures are drawn.
QImage tickerPreviewFrame(int type, int frame, int width = 48);

// --- Torch -------------------------------------------------------------------------------------------------
inline const QString kTorchFileName = QStringLiteral("LumiwandTorch.bmp");

// "Add Torch function to Project": makes clipsFolder + "LumiwandTorch.bmp" (ledCount x ledCount, every LED lit)
// when it is missing and adds it to the current project, telling the user the outcome. Returns true when added.
// Throws store::IniWriteError when the project cannot be written.
bool addTorchPicture(store::ProjectList& projects, const QString& clipsFolder, const store::EditionParameters& edition,
                     messages::Prompter& prompter);


} // namespace deviceimage
