#include "deviceimage/TimingCommands.h"

#include "imaging/LitGrid.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/ProjectList.h"

#include <QFile>
#include <QPainter>
#include <algorithm>
#include <limits>

namespace deviceimage {

SpeedSteps speedSteps(int word)
{
    return {std::clamp((word >> 8) & 0xFF, kCoarseMin, kCoarseMax), std::clamp((word & 0xFF) / 2, kFineMin, kFineMax)};
}

int speedWord(SpeedSteps steps)
{
    return steps.coarse * 256 + steps.fine * 2;
}

void adjustFlashingSpeed(TimingRecords& records, const QString& fileName, int& currentSpeed, SpeedChooser& chooser)
{
    if (fileName.isEmpty())
        return;
    currentSpeed = records.lookupSpeed(fileName);
    if (const std::optional<int> chosen = chooser.chooseSpeed(currentSpeed))
        currentSpeed = *chosen;
    records.storeSpeed(fileName, currentSpeed);
}

std::optional<int> parseInteger(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> parsePositiveSteps(const QString& text)
{
    const std::optional<int> value = parseInteger(text);
    // Larger values would overflow the stored units.
    if (!value || *value <= 0 || *value > std::numeric_limits<int>::max() / kUnitsPerStep)
        return std::nullopt;
    return value;
}

void setProjectMovieInterval(store::Project& project, MovieIntervalChooser& chooser)
{
    if (const std::optional<int> steps = chooser.chooseMovieIntervalSteps(project.movieInterval() / kUnitsPerStep))
        project.setMovieInterval(*steps * kUnitsPerStep);
}

ShiftAdjustment::ShiftAdjustment(const store::EditionParameters& edition, int currentShift, int speedWord,
                                 int contentWidth)
    : edition_(edition),
      currentShift_(currentShift < 0 || currentShift >= kMaxShift ? kShiftShownForNone : currentShift),
      speedWord_(speedWord),
      contentWidth_(contentWidth),
      field_(currentShift_)
{
}

void ShiftAdjustment::addEight()
{
    setField(std::min(field_ + kShiftStep, kMaxShift));
}

void ShiftAdjustment::subtractEight()
{
    setField(std::max(field_ - kShiftStep, 0));
}

void ShiftAdjustment::setField(int value)
{
    automatic_ = false;
    field_ = value;
}

void ShiftAdjustment::setAutomatic(bool on)
{
    if (on == automatic_)
        return;
    automatic_ = on;
    if (on) {
        manual_ = field_;
        field_ = autoShift(edition_, speedWord_, contentWidth_);
    } else {
        field_ = manual_ != 0 ? manual_ : currentShift_;
    }
}

void adjustShift(TimingRecords& records, const QString& fileName, ShiftChooser& chooser)
{
    if (fileName.isEmpty())
        return;
    ShiftRequest request;
    request.currentShift = records.lookupShift(fileName);
    request.speedWord = records.lookupSpeed(fileName);
    const imaging::PictureLoad load = imaging::loadPicture(records.clipsFolder() + fileName);
    if (load.ok())
        request.contentWidth = contentBounds(load.picture).width;
    if (const std::optional<int> shift = chooser.chooseShift(request))
        records.storeShift(fileName, *shift);
}

QStringList movieGroupItems(int maxGroup, const QString& newGroupText)
{
    QStringList items;
    for (int group = 1; group <= maxGroup; ++group)
        items << QStringLiteral("Group %1").arg(group);
    items << newGroupText;
    return items;
}

GroupIntervalView groupIntervalView(const store::Project& project, int index, int itemCount, int movieSteps)
{
    if (index >= itemCount - 1) // "Put in new group"
        return {true, movieSteps};
    const int steps = project.groupInterval(index + 1) / kUnitsPerStep;
    if (steps >= 0)
        return {false, steps};
    return {true, movieSteps};
}

namespace {

// A little "Hi!" in LEDs, the text every preview moves.
const QStringList kPreviewText = {
    QStringLiteral("#..#.#.#"),
    QStringLiteral("#..#...#"),
    QStringLiteral("####.#.#"),
    QStringLiteral("#..#.#.."),
    QStringLiteral("#..#.#.#"),
};

// Where the text's top left cell stands in frame 1..6, in cells of a grid `columns` x `rows`.
QPoint previewTextPosition(int type, int frame, int columns, int rows, int textWidth, int textHeight)
{
    const int centreX = (columns - textWidth) / 2;
    const int centreY = (rows - textHeight) / 2;
    const int arriving = std::min(frame, kTickerFrames - 1); // the last frame repeats the fifth
    switch (type) {
    case 1: // marquee: enters at the right edge and leaves at the left one
        return {columns - frame * (columns + textWidth) / (kTickerFrames + 1), centreY};
    case 2: // slider: comes in from the right, reaching the middle in frame 5, where it rests
        return {columns - arriving * (columns - centreX) / (kTickerFrames - 1), centreY};
    default: // top down: drops in from above, reaching the middle in frame 5, where it rests
        return {centreX, -textHeight + arriving * (centreY + textHeight) / (kTickerFrames - 1)};
    }
}

} // namespace

QImage tickerPreviewFrame(int type, int frame, int width)
{
    constexpr int kCell = 3;
    const int columns = std::max(1, width / kCell);
    const int rows = std::max(1, columns / 2);
    const imaging::LitGrid text = imaging::LitGrid::fromRows(kPreviewText);
    const QPoint at = previewTextPosition(type, std::clamp(frame, 1, kTickerFrames), columns, rows, text.width(),
                                          text.height());

    QImage image(columns * kCell, rows * kCell, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const bool lit = text.isLit(x - at.x(), y - at.y());
            painter.fillRect(x * kCell, y * kCell, kCell - 1, kCell - 1, lit ? Qt::black : QColor(0xDD, 0xDD, 0xDD));
        }
    return image;
}

bool addTorchPicture(store::ProjectList& projects, const QString& clipsFolder, const store::EditionParameters& edition,
                     messages::Prompter& prompter)
{
    store::Project* project = projects.current();
    if (!project || !QFile::exists(project->path())) {
        prompter.tell(msg::AddTorchTitle, msg::NoProjectSelected, messages::Icon::Warning);
        return false;
    }
    if (!QFile::exists(clipsFolder + kTorchFileName)) {
        imaging::LitGrid torch(edition.ledCount, edition.ledCount);
        for (int y = 0; y < torch.height(); ++y)
            for (int x = 0; x < torch.width(); ++x)
                torch.setLit(x, y);
        const imaging::PictureSave saved =
            imaging::savePicture(torch, clipsFolder, kTorchFileName, imaging::ExistingFile::Refuse);
        if (!saved.ok()) {
            prompter.tellText(msg::AddTorchTitle, imaging::errorMessage(saved), messages::Icon::Stop);
            return false;
        }
    }
    const store::AppendStatus result = store::appendEntry(*project, clipsFolder, kTorchFileName, 0, -1, -1, false);
    if (result != store::AppendStatus::Ok) {
        prompter.tellText(msg::AddTorchTitle, store::appendFailureText(result, kTorchFileName, projects.currentDisplayName()),
                          messages::Icon::Warning);
        return false;
    }
    prompter.tell(msg::AddTorchTitle, msg::AddTorchDone, messages::Icon::Information);
    return true;
}

} // namespace deviceimage
