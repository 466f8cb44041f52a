#include "deviceimage/SampleShows.h"

#include "deviceimage/ImageCompiler.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/Clipart.h"
#include "store/IniFile.h"
#include "store/Project.h"
#include "store/WorkspaceLock.h"

#include <QFile>
#include <QHash>

namespace deviceimage {
namespace {

constexpr int kSampleUnitsPerStep = 8; // project interval units in a 0.1 s step
constexpr int kMaxProjectSuffix = 999;

SampleItem picture(const char* name, int ticker = 0)
{
    return {QString::fromLatin1(name), QString(), ticker};
}

SampleItem animation(const char* name)
{
    return {QString(), QString::fromLatin1(name), 0};
}

// Each sample holds at most ten pictures (animation frames count one each), so that it fits the 48-LED stick.
std::vector<SampleShow> buildSamples()
{
    return {
        {QStringLiteral("birthday"), QStringLiteral("Birthday"), msg::SampleBirthday, 15,
         {picture("cake"), picture("gift"), animation("beating_heart"), picture("balloons"), picture("party_hat"),
          animation("fireworks_burst")}},
        {QStringLiteral("party"), QStringLiteral("Party"), msg::SampleParty, 10,
         {picture("party_hat"), picture("confetti"), animation("spinning_star"), picture("notes"),
          picture("cheers"), picture("star_burst")}},
        {QStringLiteral("team_cheer"), QStringLiteral("TeamCheer"), msg::SampleTeamCheer, 10,
         {picture("trophy"), picture("soccer_ball"), picture("arrow_up", 1), animation("walking_figure"),
          picture("medal"), picture("check")}},
        {QStringLiteral("love"), QStringLiteral("Love"), msg::SampleLove, 15,
         {picture("heart"), picture("two_hearts"), animation("beating_heart"), picture("heart_arrow"),
          picture("love_letter"), picture("kiss_face"), picture("rose")}},
        {QStringLiteral("countdown"), QStringLiteral("Countdown"), msg::SampleCountdown, 10,
         {picture("digit_5"), picture("digit_4"), animation("countdown_3_2_1"), animation("fireworks_burst"),
          picture("smile")}},
        {QStringLiteral("night_ride"), QStringLiteral("NightRide"), msg::SampleNightRide, 15,
         {picture("moon_stars"), picture("star_night"), picture("bicycle", 1), animation("rain"),
          animation("wave")}},
    };
}

QString freeProjectName(const QString& projectsFolder, const QString& base)
{
    for (int suffix = 1; suffix <= kMaxProjectSuffix; ++suffix) {
        const QString name = suffix == 1 ? base : base + QString::number(suffix);
        if (!QFile::exists(projectsFolder + name + QStringLiteral(".ini")))
            return name;
    }
    return {};
}

// Writes the sample's pictures and entries into the new project; returns what failed (empty when all went in).
// `copies` collects the pictures written, one copy per clipart picture.
QString writeSample(const ImageContext& context, const SampleShow& sample, store::Project& project,
                    QHash<QString, QString>& copies)
{
    const QString& clips = context.workspace.clipsFolder;
    auto copyOf = [&](const QString& name) -> QString {
        if (!copies.contains(name)) {
            const store::ClipartCopy copy = store::copyClipartToClips(clips, context.edition.ledCount, name);
            if (!copy.ok())
                return {};
            copies.insert(name, copy.fileName);
        }
        return copies.value(name);
    };
    auto append = [&](const QString& name, int interval, int group, int ticker) -> QString {
        const QString file = copyOf(name);
        if (file.isEmpty())
            return name + QStringLiteral(": ") + messages::lookupMessage(msg::ClipartCopyFailed);
        if (store::appendEntry(project, clips, file, interval, group, ticker, false) != store::AppendStatus::Ok)
            return messages::formatMessage(msg::NotAddedToProject, qUtf8Printable(file), qUtf8Printable(project.name()));
        return {};
    };

    store::IniFile::WriteBatch batch(project.ini());
    project.setMovieInterval(sample.movieSteps * kSampleUnitsPerStep);
    for (const SampleItem& item : sample.items) {
        QString error;
        if (!item.picture.isEmpty()) {
            error = append(item.picture, 0, -1, item.ticker ? item.ticker : -1);
        } else if (const store::ClipartAnimation* frames = store::findClipartAnimation(item.animation)) {
            const int group = project.highestGroup() + 1;
            for (const QString& frame : frames->frames)
                if (error.isEmpty())
                    error = append(frame, frames->intervalSteps * kSampleUnitsPerStep, group, -1);
        } else {
            error = item.animation + QStringLiteral(": no such animation.");
        }
        if (!error.isEmpty()) {
            batch.discard();
            return error;
        }
    }
    return {};
}

void removeSample(const QString& projectPath, const QString& clipsFolder, const QHash<QString, QString>& copies)
{
    QFile::remove(projectPath);
    for (const QString& file : copies)
        QFile::remove(clipsFolder + file);
}

} // namespace

const std::vector<SampleShow>& sampleShows()
{
    static const std::vector<SampleShow> samples = buildSamples();
    return samples;
}

const SampleShow* findSampleShow(const QString& name)
{
    for (const SampleShow& sample : sampleShows())
        if (sample.key.compare(name, Qt::CaseInsensitive) == 0
            || sample.projectName.compare(name, Qt::CaseInsensitive) == 0)
            return &sample;
    return nullptr;
}

unsigned messageId(SampleStatus status)
{
    switch (status) {
    case SampleStatus::Ok:
        return msg::SampleMade;
    case SampleStatus::Unknown:
        return msg::SampleUnknown;
    case SampleStatus::WriteFailed:
    case SampleStatus::TooLarge:
        break;
    }
    return msg::SampleFailed;
}

SampleMade makeSampleShow(const ImageContext& context, const QString& name)
{
    SampleMade made;
    const SampleShow* sample = findSampleShow(name);
    if (!sample)
        return made;

    const store::WorkspaceLock lock;
    made.status = SampleStatus::WriteFailed;
    made.projectName = freeProjectName(context.workspace.projectsFolder, sample->projectName);
    if (made.projectName.isEmpty()) {
        made.detail = messages::formatMessage(msg::NoFreeProjectName, qUtf8Printable(sample->projectName));
        return made;
    }
    const QString path = context.workspace.projectsFolder + made.projectName + QStringLiteral(".ini");
    QHash<QString, QString> copies;
    try {
        store::createProject(path, context.edition.pictureWidth, context.edition.ledCount);
        store::Project project(path);
        made.detail = writeSample(context, *sample, project, copies);
        if (made.detail.isEmpty()) {
            const CompileResult count = compileImage(CompileMode::Count, 0, &project, context);
            const ImageFigures figures = imageFigures(count.pictures, count.total, context.edition.ledCount);
            if (count.refused() || figures.freeBytes < 0) {
                made.status = SampleStatus::TooLarge;
                made.detail = count.refused() ? count.refusal
                                              : messages::formatMessage(msg::SampleTakesTooMuch, int(count.total),
                                                                        editionCapacity(context.edition.ledCount));
            }
        }
    } catch (const store::IniWriteError& failure) {
        made.detail = failure.message();
    }
    if (!made.detail.isEmpty()) {
        removeSample(path, context.workspace.clipsFolder, copies);
        return made;
    }
    made.status = SampleStatus::Ok;
    return made;
}

ClipartAdded addClipartToProject(const ImageContext& context, store::Project& project, const QString& name)
{
    ClipartAdded added;
    if (!store::findClipart(name))
        return added;
    const store::WorkspaceLock lock;
    if (project.height() != context.edition.ledCount) {
        added.status = ClipartAddStatus::WrongHeight;
        return added;
    }
    const QString& clips = context.workspace.clipsFolder;
    const store::ClipartCopy copy = store::copyClipartToClips(clips, context.edition.ledCount, name);
    if (!copy.ok()) {
        added.status = ClipartAddStatus::WriteFailed;
        return added;
    }
    added.fileName = copy.fileName;
    try {
        if (store::appendEntry(project, clips, copy.fileName, 0, -1, -1, false) != store::AppendStatus::Ok) {
            QFile::remove(clips + copy.fileName);
            added.status = ClipartAddStatus::WrongHeight;
            return added;
        }
    } catch (const store::IniWriteError&) {
        QFile::remove(clips + copy.fileName);
        throw;
    }
    const CompileResult count = compileImage(CompileMode::Count, 0, &project, context);
    added.freeBytes = imageFigures(count.pictures, count.total, context.edition.ledCount).freeBytes;
    if (count.refused() || added.freeBytes < 0) {
        const int last = project.totalPictures() - 1;
        store::compactEntries(project, [last](int entry, const QString&) { return entry != last; });
        QFile::remove(clips + copy.fileName);
        added.status = ClipartAddStatus::StickTooSmall;
        return added;
    }
    added.status = ClipartAddStatus::Ok;
    return added;
}

} // namespace deviceimage
