#include "deviceimage/AnimationImport.h"

#include "deviceimage/ImageCompiler.h"
#include "deviceimage/ImageToProject.h"
#include "imaging/AnimatedImage.h"
#include "imaging/Picture.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/LibraryCatalogue.h"
#include "store/Names.h"
#include "store/Project.h"
#include "store/Staging.h"
#include "store/WorkspaceLock.h"

#include <QFileInfo>
#include <cmath>
#include <optional>
#include <vector>

namespace deviceimage {
namespace {

constexpr int kGroupUnitsPerStep = 8; // project interval units in a 0.1 s step
constexpr int kMaxGroupSteps = 256;
constexpr int kMaxNameTries = 1000;

// The frames as the canvas gets them, each cut to the columns the fitted frame covers, so that every member of
// the group has the same width.
class FrameFitter {
public:
    FrameFitter(QSize canvas, const imaging::ImportChoice& settings) : canvas_(canvas), settings_(settings)
    {
        if (settings_.fit != imaging::FitMode::Trim)
            settings_.origin = QPoint(); // the scaling modes take the whole resampled frame
    }

    bool add(const QImage& frame)
    {
        const QImage working = imaging::fitToCanvas(frame, settings_.fit, canvas_);
        const QPoint origin = settings_.origin;
        if (threshold_ < 0) {
            const int current = settings_.threshold > 0
                                    ? settings_.threshold
                                    : imaging::previewThreshold(working, origin, canvas_, settings_.method);
            threshold_ = imaging::okThreshold(working, origin, canvas_, settings_.method, current);
        }
        const int columns = std::clamp(working.width() - origin.x(), 1, canvas_.width());
        grids.push_back(imaging::importGrid(working, origin, canvas_, settings_.method, threshold_).leftColumns(columns));
        return true;
    }

    std::vector<imaging::LitGrid> grids;

private:
    QSize canvas_;
    imaging::ImportChoice settings_;
    int threshold_ = -1;
};

QString frameFileName(const QString& base, int frame)
{
    return QStringLiteral("%1_%2.bmp").arg(base).arg(frame, 3, 10, QChar(u'0'));
}

// NAME, then NAME1, NAME2 ...: the first base none of whose frame files exists.
QString freeBaseName(const QString& clipsFolder, const QString& name, int frames)
{
    for (int attempt = 0; attempt < kMaxNameTries; ++attempt) {
        const QString base = attempt == 0 ? name : name + QString::number(attempt);
        bool free = true;
        for (int k = 0; k < frames && free; ++k)
            free = !QFileInfo::exists(clipsFolder + frameFileName(base, k));
        if (free)
            return base;
    }
    return {};
}

// Why the project cannot take the frames, or empty when it can.
QString roomRefusal(const ImageContext& context, const store::Project& project,
                    const std::vector<imaging::LitGrid>& grids)
{
    const CompileResult count = compileImage(CompileMode::Count, 0, &project, context);
    if (count.refused())
        return count.refusal;
    const int pictures = count.pictures + int(grids.size());
    if (pictures > kMaxPictures)
        return messages::formatMessage(msg::FramesTooManyPictures, int(grids.size()), pictures, int(kMaxPictures));
    qint64 total = count.total == 0 ? kHeaderBytes : count.total;
    for (const imaging::LitGrid& grid : grids) {
        const ColumnRange kept = keptColumns(imaging::Picture(grid.toImage()), project.width(),
                                             context.edition.maxBannerWidth);
        total += kLinkEntryBytes + qint64(kept.width) * bytesPerColumn(project.height());
    }
    const int capacity = editionCapacity(context.edition.ledCount);
    if (total > capacity)
        return messages::formatMessage(msg::FramesDoNotFit, int(grids.size()), int(total), capacity);
    return {};
}

QString projectRefusal(const ImageContext& context, const store::Project& project)
{
    if (project.height() != context.edition.ledCount)
        return messages::formatMessage(msg::FramesWrongHeight, qUtf8Printable(project.name()), context.edition.ledCount);
    if (project.highestGroup() >= store::kMaxGroupNumber)
        return messages::formatMessage(msg::NoFreeGroupNumber, qUtf8Printable(project.name()));
    return {};
}

// Stages the frames, files them and appends them as the group, all held until the import commits; returns the
// first error (empty when all went in).
QString writeGroup(const ImageContext& context, store::Project& project, const QString& library,
                   const std::vector<imaging::LitGrid>& grids, AnimationImport& result, QStringList& saved,
                   const store::PictureStaging& staging, store::LibraryCatalogue& catalogue)
{
    for (size_t k = 0; k < grids.size(); ++k) {
        const QString fileName = frameFileName(result.baseName, int(k));
        if (staging.add(fileName, imaging::encodeBmp(grids[k])) != files::WriteResult::Written)
            return messages::formatMessage(msg::UnableToWriteTo, qUtf8Printable(context.workspace.clipsFolder + fileName));
        saved << fileName;
    }
    if (library != store::kRootNodeText)
        fileInLibrary(catalogue, library, saved);
    for (const QString& fileName : saved) {
        if (store::appendEntry(project, staging.folder(), fileName, result.groupInterval, result.group, -1, false)
            != store::AppendStatus::Ok)
            return messages::formatMessage(msg::NotAddedToProject, qUtf8Printable(fileName), qUtf8Printable(project.name()));
    }
    return {};
}

} // namespace

int groupIntervalForDelay(int delayMs)
{
    const int steps = int(std::lround(delayMs / 100.0));
    return std::clamp(steps, 1, kMaxGroupSteps) * kGroupUnitsPerStep;
}

AnimationImport importAnimation(const ImageContext& context, store::Project& project, const QString& library,
                                const QString& path, const imaging::ImportChoice& settings)
{
    AnimationImport result;
    FrameFitter fitter(QSize(context.edition.maxBannerWidth, context.edition.ledCount), settings);
    const imaging::AnimationRead read =
        imaging::readAnimationFile(path, [&fitter](const QImage& frame) { return fitter.add(frame); });
    if (!read.ok()) {
        result.errorText = read.errorText;
        return result;
    }

    // The room check and the writes see the same project: another import waits meanwhile.
    std::optional<store::WorkspaceLock> lock;
    try {
        lock.emplace();
    } catch (const store::IniWriteError& error) {
        result.errorText = error.message();
        return result;
    }
    result.errorText = projectRefusal(context, project);
    if (result.errorText.isEmpty())
        result.errorText = roomRefusal(context, project, fitter.grids);
    if (!result.ok())
        return result;
    const QString name = clipBaseName(QFileInfo(path).completeBaseName());
    result.baseName = freeBaseName(context.workspace.clipsFolder, name.isEmpty() ? QStringLiteral("Movie") : name,
                                   read.frames);
    if (result.baseName.isEmpty()) {
        result.errorText = messages::formatMessage(msg::NoFreeFrameNames, qUtf8Printable(name));
        return result;
    }
    result.group = project.highestGroup() + 1;
    result.groupInterval = groupIntervalForDelay(read.delayMs);

    const QString& clips = context.workspace.clipsFolder;
    store::PictureStaging staging(clips);
    if (!staging.ok()) {
        result.errorText = messages::formatMessage(msg::UnableToWriteTo, qUtf8Printable(clips));
        return result;
    }
    store::LibraryCatalogue catalogue(clips);
    store::CatalogueTransaction transaction(catalogue);
    store::IniFile::WriteBatch batch(project.ini());
    QStringList saved;
    QString error;
    try {
        error = writeGroup(context, project, library, fitter.grids, result, saved, staging, catalogue);
    } catch (const store::IniWriteError& failure) {
        error = failure.message();
    }
    if (error.isEmpty())
        error = commitImport(transaction, batch, project, staging, saved);
    if (!error.isEmpty()) {
        batch.discard();
        result.errorText = error;
        return result;
    }
    result.frames = int(saved.size());
    return result;
}

bool importAnimationAsked(const ImageContext& context, store::Project* project, const QString& path,
                          const imaging::ImportChoice& choice, messages::Prompter& prompter)
{
    if (!project) {
        prompter.tell(msg::ImportTitle, msg::NoProjectSelected, messages::Icon::Stop);
        return false;
    }
    const QString title = messages::lookupMessage(msg::ImportTitle);
    const std::optional<QString> library = prompter.inputText(
        title, messages::lookupMessage(msg::FramesLibraryPrompt),
        QFileInfo(path).completeBaseName());
    if (!library || store::isNoName(library->trimmed()))
        return false;
    const AnimationImport imported = importAnimation(context, *project, library->trimmed(), path, choice);
    if (!imported.ok()) {
        prompter.tellText(msg::ImportTitle, imported.errorText, messages::Icon::Stop);
        return false;
    }
    prompter.tellText(msg::ImportTitle,
                      messages::formatMessage(msg::FramesAdded, imported.frames, qUtf8Printable(imported.baseName),
                                              qUtf8Printable(project->name()), imported.group),
                      messages::Icon::Information);
    return true;
}

} // namespace deviceimage
