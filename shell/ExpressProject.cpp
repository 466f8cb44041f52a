#include "shell/ExpressProject.h"

#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "store/Names.h"

namespace shell {

void prepareReadBack(store::Project& project, const store::EditionParameters& edition)
{
    store::IniFile& ini = project.ini();
    store::IniFile::WriteBatch batch(ini);
    ini.writeInteger(QStringLiteral("DIMENSION"), QStringLiteral("PICTURE_WIDTH"), edition.pictureWidth);
    ini.writeInteger(QStringLiteral("DIMENSION"), QStringLiteral("PICTURE_HEIGHT"), edition.ledCount);
    ini.writeInteger(QStringLiteral("SUMMARY"), QStringLiteral("TOTAL_PICTURES"), 0);
    ini.writeInteger(QStringLiteral("SUMMARY"), QStringLiteral("MOVIE_INTERVAL"), store::kDefaultMovieInterval);
}

void refreshAutomaticShifts(const store::Project& project, const QString& clipsFolder,
                            const store::EditionParameters& edition)
{
    deviceimage::TimingRecords records(clipsFolder, edition);
    for (int entry = 0, n = project.totalPictures(); entry < n; ++entry) {
        const QString name = project.pictureName(entry);
        if (!store::isClipFileName(name))
            continue;
        const imaging::PictureLoad load = imaging::loadPicture(clipsFolder + name);
        if (!load.ok())
            continue;
        const int automatic =
            deviceimage::autoShift(edition, edition.defaultSpeed, deviceimage::contentBounds(load.picture).width);
        if (records.lookupShift(name) != automatic)
            records.storeShift(name, automatic);
    }
}

deviceimage::ImageFigures expressFigures(const store::Project& project, const deviceimage::ImageContext& context)
{
    const deviceimage::CompileResult count =
        deviceimage::compileImage(deviceimage::CompileMode::Count, 0, &project, context);
    return deviceimage::imageFigures(count.pictures, count.total, context.edition.ledCount);
}

} // namespace shell
