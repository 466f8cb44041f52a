#include "deviceimage/ImageToProject.h"

#include "deviceimage/ImageCompiler.h"
#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Status.h"
#include "messages/WholeFile.h"
#include "store/LibraryCatalogue.h"
#include "store/Names.h"
#include "store/Project.h"
#include "store/Staging.h"
#include "store/WorkspaceLock.h"

#include <QFile>
#include <QFileInfo>
#include <map>
#include <optional>

namespace deviceimage {
namespace {

// The shift an image carries for "no value": the FP value 40 halved.
constexpr int kImageNoShift = 20;
const QString kComparisonFile = QStringLiteral("lumiwandtemp.tmp");
// A picture's base name leaves room for "_Clip000.bmp" (or a frame's "_000.bmp") in a file name.
constexpr qsizetype kMaxClipBaseBytes = 200;

// Fan sticks store intervals x 3 and the FP value as twice the shift.
bool scaledType(int deviceType)
{
    return deviceTraits(deviceType).fanLayout;
}

DecodedImage failed(ImportStatus status)
{
    DecodedImage decoded;
    decoded.status = status;
    return decoded;
}

// Whether the target project already holds a picture, compared by what the stick shows: the picture is written to
// a comparison file in the private temporary folder and read back, and each indelible entry of the project is
// compiled to its kept columns. A comparison file that cannot be written or read back counts as held, so that
// nothing is added twice when the check cannot be made.
class HeldPictures {
public:
    HeldPictures(const store::Project& project, const ImageContext& context)
        : project_(project), context_(context)
    {
    }

    bool holds(const imaging::LitGrid& picture)
    {
        const QString path = context_.workspace.tempFolder + kComparisonFile;
        const std::optional<imaging::LitGrid> readBack = writeAndReadBack(picture, path);
        QFile::remove(path);
        if (!readBack)
            return true;
        for (int entry = 0, n = project_.totalPictures(); entry < n; ++entry) {
            if (!project_.indelible(entry) || project_.isHole(entry))
                continue;
            const std::optional<imaging::LitGrid>& form = deviceFormOf(project_.pictureName(entry));
            if (form && *form == *readBack)
                return true;
        }
        return false;
    }

private:
    static std::optional<imaging::LitGrid> writeAndReadBack(const imaging::LitGrid& picture, const QString& path)
    {
        if (!imaging::savePictureFile(picture, path, imaging::ExistingFile::Replace).ok())
            return std::nullopt;
        const files::ReadOutcome file = files::readRegularFile(path, files::kMaxPictureFileBytes);
        if (!file.ok())
            return std::nullopt;
        const imaging::PictureLoad load = imaging::decodePicture(file.bytes.left(kMaxBinaryFileBytes), path);
        if (!load.ok())
            return std::nullopt;
        return load.picture.litGrid(imaging::LitRule::LitByLuminance);
    }

    const std::optional<imaging::LitGrid>& deviceFormOf(const QString& name)
    {
        const auto known = forms_.find(name);
        if (known != forms_.end())
            return known->second;
        std::optional<imaging::LitGrid> form;
        if (store::isClipFileName(name)) {
            const imaging::PictureLoad load = imaging::loadPicture(context_.workspace.clipsFolder + name);
            if (load.ok())
                form = deviceForm(load.picture, project_.width(), context_.edition.maxBannerWidth);
        }
        return forms_.emplace(name, std::move(form)).first->second;
    }

    const store::Project& project_;
    const ImageContext& context_;
    std::map<QString, std::optional<imaging::LitGrid>> forms_;
};

// Files the pictures of an image: each is staged under the first free clip name and appended to the target (both
// in memory until the import commits), its speed and shift records going into the import's catalogue changes.
struct Filing {
    Filing(const DecodedImage& decoded, const ImageContext& context, store::Project& target,
           const QString& projectName, bool merging, const store::PictureStaging& staging, TimingRecords& timing)
        : decoded(decoded), context(context), target(target), projectName(projectName), merging(merging),
          staging(staging), timing(timing)
    {
    }

    const DecodedImage& decoded;
    const ImageContext& context;
    store::Project& target;
    const QString& projectName;
    const bool merging;
    const store::PictureStaging& staging;
    TimingRecords& timing;
    QStringList savedFiles;
    int added = 0;
    int nextClip = 0;

    // Adds every picture it can; returns the text of the first write that failed (empty when none), which ends
    // the walk.
    QString run()
    {
        try {
            return addPictures();
        } catch (const store::IniWriteError& error) {
            return error.message();
        }
    }

    QString addPictures()
    {
        const int maxGroup = target.highestGroup();
        target.setMovieInterval(decoded.movieInterval);
        target.setTickerSpeed(decoded.tickerSpeed);
        std::optional<HeldPictures> held;
        if (merging)
            held.emplace(target, context);
        for (const ImagePicture& picture : decoded.pictures) {
            if (merging && (!picture.indelible || held->holds(picture.grid)))
                continue;
            const int group = picture.group != 0 ? maxGroup + picture.group : -1;
            const int ticker = picture.ticker != 0 ? picture.ticker : -1;
            if (picture.torch) {
                // The torch is the edition's square; an image of another height finds it or leaves it out.
                if (decoded.height == context.edition.ledCount)
                    ensureTorchPicture(context.workspace.clipsFolder, context.edition.ledCount);
                if (store::appendEntry(target, context.workspace.clipsFolder, kTorchFile, picture.interval, group,
                                       ticker, picture.indelible) == store::AppendStatus::Ok)
                    ++added;
                continue;
            }
            QString fileName;
            const QString error = savePicture(picture.grid, fileName);
            if (!error.isEmpty())
                return error;
            if (store::appendEntry(target, staging.folder(), fileName, picture.interval, group, ticker,
                                   picture.indelible) != store::AppendStatus::Ok) {
                QFile::remove(staging.folder() + fileName); // not in the project: leave no stray file
                continue;
            }
            ++added;
            savedFiles << fileName;
            timing.willExist(fileName);
            if (picture.speed != context.edition.defaultSpeed)
                timing.storeSpeed(fileName, picture.speed);
            if (picture.shift != kImageNoShift)
                timing.storeShift(fileName, picture.shift);
        }
        return {};
    }

    // Stages the picture under the first clip name free in the clips folder; returns the error text.
    QString savePicture(const imaging::LitGrid& grid, QString& fileName)
    {
        const QString base = clipBaseName(projectName);
        const QString& clips = context.workspace.clipsFolder;
        const QByteArray bytes = imaging::encodeBmp(grid);
        for (;; ++nextClip) {
            fileName = QStringLiteral("%1_Clip%2.bmp").arg(base).arg(nextClip, 3, 10, QChar(u'0'));
            if (QFileInfo::exists(clips + fileName))
                continue;
            if (!store::isStorablePictureName(fileName))
                return messages::formatMessage(msg::UnusablePictureName, qUtf8Printable(fileName));
            const files::WriteResult written = staging.add(fileName, bytes);
            if (written == files::WriteResult::Exists)
                continue;
            ++nextClip;
            return messages::succeeded(written) ? QString()
                                                : messages::formatMessage(messageId(written), qUtf8Printable(clips + fileName));
        }
    }
};

} // namespace

// "Show" stays "Show"; characters a picture file name cannot hold (see store::isStorablePictureName) become "_".
QString clipBaseName(const QString& projectName)
{
    QString base;
    for (const QChar c : projectName) {
        const bool refused = c == u'=' || c == u';' || c == u'/' || c == u'\\' ||
                             c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                             c.category() == QChar::Separator_Paragraph;
        base += refused ? QChar(u'_') : c;
    }
    while (base.contains(QLatin1String("..")))
        base.replace(QLatin1String(".."), QLatin1String("__"));
    if (!base.isEmpty() && (base[0] == u'.' || base[0] == u'#' || base[0] == u'[' || base[0].isSpace()))
        base[0] = u'_';
    return store::cutToFileNameBytes(base, kMaxClipBaseBytes);
}

// Files the added pictures in the library named like the project, creating the library when there is none.
void fileInLibrary(store::LibraryCatalogue& catalogue, const QString& libraryName, const QStringList& files)
{
    if (files.isEmpty())
        return;
    store::IniFile::WriteBatch batch(catalogue.ini());
    int number = catalogue.libraryNumber(libraryName);
    if (number < 0)
        number = catalogue.addLibrary(libraryName);
    for (const QString& file : files)
        catalogue.setFileLibraries(file, {number});
}

QString commitImport(store::CatalogueTransaction& catalogue, store::IniFile::WriteBatch& projectBatch,
                     store::Project& project, store::PictureStaging& staging, const QStringList& stagedFiles)
{
    try {
        if (!stagedFiles.isEmpty() && !staging.sync())
            throw store::IniWriteError(staging.folder());
        catalogue.commit();
    } catch (const store::IniWriteError& error) {
        projectBatch.discard();
        return error.message();
    }
    try {
        project.ini().flush();
    } catch (const store::IniWriteError& error) {
        projectBatch.discard();
        catalogue.undo();
        return error.message();
    }
    staging.moveIn(stagedFiles);
    return {};
}

imaging::LitGrid drawImagePicture(const QByteArray& image, qsizetype position, int width, int height, bool heightFlag)
{
    const int bands = bytesPerColumn(height);
    const bool rightToLeft = !heightFlag;
    const bool bottomFirst = !heightFlag && height >= 32;
    const auto* data = reinterpret_cast<const quint8*>(image.constData()) + position;
    imaging::LitGrid grid(width, height);
    for (int stored = 0; stored < width; ++stored) {
        const int x = rightToLeft ? width - 1 - stored : stored;
        for (int j = 0; j < bands; ++j) {
            const int band = bottomFirst ? bands - 1 - j : j;
            const quint8 byte = data[qsizetype(stored) * bands + j];
            for (int bit = 0; bit < 8 && byte; ++bit)
                if (byte & (0x80 >> bit))
                    grid.setLit(x, band * 8 + bit); // rows beyond the height are ignored
        }
    }
    return grid;
}

DecodedImage decodeImage(const QByteArray& image, int deviceType, int maxBannerWidth, bool simplifiedMode)
{
    switch (checkImageShape(image)) {
    case ImageShape::Damaged:
        return failed(ImportStatus::Damaged);
    case ImageShape::NoPictures:
        return failed(ImportStatus::NoPictures);
    case ImageShape::NoHeight:
        return failed(ImportStatus::WrongDimension);
    case ImageShape::Consistent:
        break;
    }
    const ImageHeader header = readImageHeader(image);
    const int count = header.pictures;
    const int height = header.height;
    const int patternStart = header.patternStart;
    const int bands = bytesPerColumn(height);
    for (int k = 0; k < count; ++k)
        if (pictureWidth(image, k) > maxBannerWidth)
            return failed(ImportStatus::TooWide);

    DecodedImage decoded;
    decoded.height = height;
    decoded.heightFlag = header.heightFlag;
    const int divisor = scaledType(deviceType) ? 3 : 1;
    decoded.movieInterval =
        simplifiedMode ? store::kDefaultMovieInterval : readWord(image, patternStart - 2) / divisor;
    decoded.tickerSpeed = readWord(image, patternStart - 4);

    int group = 0;
    bool groupOpen = false;
    qsizetype position = patternStart;
    decoded.pictures.reserve(size_t(count));
    for (int k = 0; k < count; ++k) {
        const qsizetype link = linkEntryOffset(k);
        const int word0 = readWord(image, link);
        const int word2 = readWord(image, link + 4);
        ImagePicture picture;
        const int width = word0 & kWidthMask;
        picture.torch = word0 & kTorchBit;
        picture.indelible = word0 & kIndelibleBit;
        picture.ticker = (word0 >> kTickerShift) & 3;
        picture.speed = readWord(image, link + 2);
        picture.interval = readWord(image, link + 6) / divisor;
        if (picture.interval == decoded.movieInterval)
            picture.interval = kMovieIntervalMarker;
        if (word2 & kGroupContinuesBit) {
            if (!groupOpen) {
                ++group;
                groupOpen = true;
            }
            picture.group = group;
        } else if (groupOpen) {
            picture.group = group; // the group's last picture
            groupOpen = false;
        }
        picture.shift = (word2 & 0x0FFF) / (scaledType(deviceType) ? 2 : 1);
        if (picture.ticker != 0)
            picture.shift -= 2;
        picture.grid = drawImagePicture(image, position, width, height, decoded.heightFlag);
        position += qsizetype(width) * bands;
        decoded.pictures.push_back(std::move(picture));
    }
    return decoded;
}

namespace {
// Why an import stopped and the message that says so.
constexpr std::pair<ImportStatus, unsigned> kStatusMessages[] = {
    {ImportStatus::Damaged, 690},    {ImportStatus::NoPictures, 691}, {ImportStatus::WrongDimension, 692},
    {ImportStatus::TooWide, 692},    {ImportStatus::BadName, 684},    {ImportStatus::Unopenable, 689},
    {ImportStatus::BadTotal, 693},
};
} // namespace

unsigned messageId(ImportStatus status)
{
    for (const auto& [known, message] : kStatusMessages)
        if (known == status)
            return message;
    return 0;
}

ImportStatus importStatusForMessage(unsigned messageId)
{
    for (const auto& [status, message] : kStatusMessages)
        if (message == messageId)
            return status;
    return ImportStatus::Done;
}

namespace {

// Files the pictures, with everything the import changes committed together: the catalogue (one write), then the
// project (one write; a new project is made only here), then the staged pictures moved in. Any failure before the
// project is written leaves every file as it was; an import killed at any point leaves nothing that no project
// names (the start-up clean-up finishes the move of pictures the project names).
void fileImage(const DecodedImage& decoded, store::Project* mergeTarget, const ImageContext& context,
               ImportResult& result)
{
    // Another import into the same project (or the window beside lumiwandctl) waits: clip names, group numbers
    // and entries are read and written as one.
    const store::WorkspaceLock lock;
    const QString& clips = context.workspace.clipsFolder;
    store::PictureStaging staging(clips);
    if (!staging.ok())
        throw store::IniWriteError(clips);
    std::optional<store::Project> own;
    store::Project* target = mergeTarget;
    if (!target)
        target = &own.emplace(context.workspace.projectsFolder + result.projectName + QStringLiteral(".ini"));
    const bool created = !mergeTarget && !QFileInfo(target->path()).isFile();

    store::IniFile::WriteBatch projectBatch(target->ini());
    const auto fail = [&](ImportStatus status, const QString& text) {
        projectBatch.discard();
        result.status = status;
        result.errorText = text;
    };
    if (created)
        store::initialiseProject(target->ini(), decoded.height, decoded.height);
    if (target->height() != decoded.height)
        return fail(ImportStatus::WrongDimension, {});

    store::LibraryCatalogue catalogue(clips);
    store::CatalogueTransaction transaction(catalogue);
    TimingRecords timing(catalogue, context.edition);
    Filing filing(decoded, context, *target, result.projectName, mergeTarget != nullptr, staging, timing);
    QString error = filing.run();
    if (error.isEmpty()) {
        try {
            fileInLibrary(catalogue, result.projectName, filing.savedFiles);
        } catch (const store::IniWriteError& failure) {
            error = failure.message();
        }
    }
    if (error.isEmpty())
        error = commitImport(transaction, projectBatch, *target, staging, filing.savedFiles);
    if (!error.isEmpty())
        return fail(ImportStatus::WriteFailed, error);
    result.added = filing.added;
}

} // namespace

ImportResult importImage(const QByteArray& image, const QString& projectName, store::Project* mergeTarget,
                         int deviceType, const ImageContext& context)
{
    ImportResult result;
    const DecodedImage decoded =
        decodeImage(image, deviceType, context.edition.maxBannerWidth, context.simplifiedMode);
    if (decoded.status != ImportStatus::Done) {
        result.status = decoded.status;
        return result;
    }
    result.projectName = mergeTarget ? mergeTarget->name() : projectName;
    if (!mergeTarget && (!store::isUsableProjectName(projectName) ||
                         !files::nameFitsFileSystem(context.workspace.projectsFolder, projectName + QStringLiteral(".ini")))) {
        result.status = ImportStatus::BadName;
        return result;
    }

    try {
        fileImage(decoded, mergeTarget, context, result);
    } catch (const store::IniWriteError& error) {
        result.status = ImportStatus::WriteFailed;
        result.errorText = error.message();
        result.added = 0;
    }
    return result;
}

} // namespace deviceimage
