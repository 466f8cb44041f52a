#include "deviceimage/ImageCompiler.h"

#include "deviceimage/TimingRecords.h"
#include "imaging/Colour.h"
#include "imaging/LitGrid.h"
#include "imaging/Picture.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/WholeFile.h"
#include "store/LibraryCatalogue.h"
#include "store/Names.h"
#include "store/Project.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <map>
#include <optional>
#include <vector>

namespace deviceimage {
namespace {

// The columns of an indexed image (as 1, 4 and 8-bit files load) holding a pixel lit by the LitAtMost rule, found
// through the palette without converting a pixel: what contentBounds() gives for the converted picture, at a
// fraction of the cost. nullopt for other formats and for pixels whose index the palette does not hold.
std::optional<ContentBounds> indexedContentBounds(const QImage& image)
{
    const QList<QRgb> palette = image.colorTable();
    std::vector<quint8> litIndex(size_t(palette.size()));
    for (qsizetype i = 0; i < palette.size(); ++i)
        litIndex[size_t(i)] = imaging::litAtMost(imaging::colourValue(palette[i]));
    const int width = image.width();
    std::vector<quint8> litColumn(size_t(width), 0);
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: {
        if (palette.size() < 2)
            return std::nullopt;
        // OR the rows together, each byte turned so that a set bit is a lit pixel.
        const quint8 flip = litIndex[1] ? 0x00 : 0xFF;
        std::vector<quint8> mask(size_t((width + 7) / 8), litIndex[0] && litIndex[1] ? 0xFF : 0x00);
        if (litIndex[0] != litIndex[1])
            for (int y = 0; y < image.height(); ++y) {
                const uchar* row = image.constScanLine(y);
                for (size_t i = 0; i < mask.size(); ++i)
                    mask[i] |= quint8(row[i] ^ flip);
            }
        const bool msbFirst = image.format() == QImage::Format_Mono;
        for (int x = 0; x < width; ++x)
            litColumn[size_t(x)] = (mask[size_t(x >> 3)] >> (msbFirst ? 7 - (x & 7) : x & 7)) & 1;
        break;
    }
    case QImage::Format_Indexed8:
        for (int y = 0; y < image.height(); ++y) {
            const uchar* row = image.constScanLine(y);
            for (int x = 0; x < width; ++x) {
                if (row[x] >= litIndex.size())
                    return std::nullopt;
                litColumn[size_t(x)] |= litIndex[row[x]];
            }
        }
        break;
    default:
        return std::nullopt;
    }
    const auto first = std::find(litColumn.begin(), litColumn.end(), 1);
    if (first == litColumn.end())
        return ContentBounds{};
    const int start = int(first - litColumn.begin());
    const int end = int(litColumn.rend() - std::find(litColumn.rbegin(), litColumn.rend(), 1)) - 1;
    return ContentBounds{start, end, end - start + 1};
}

ColumnRange boundsRange(const ContentBounds& bounds)
{
    return {bounds.start, bounds.width};
}

ColumnRange capToBannerWidth(ColumnRange range, int maxBannerWidth)
{
    // The start counts against the banner width too, so a picture whose lit columns begin at 10 keeps up to
    // maxBannerWidth + 10 columns: the stick shows what it is given, and images made this way must stay the same.
    if (range.width - range.start > maxBannerWidth)
        range.width = maxBannerWidth + range.start;
    return range;
}

// The kept columns as bytes: column by column in display order left to right, each column's bands top band
// first, the top row of a band in bit 7.
std::vector<quint8> columnBytes(const imaging::Picture& picture, ColumnRange range, int height)
{
    const int bands = bytesPerColumn(height);
    std::vector<quint8> bytes(size_t(range.width) * size_t(bands), 0);
    const int first = std::max(range.start, 0);
    const int end = std::min(range.start + range.width, picture.width());
    const int rows = std::min(height, picture.height());
    // Pictures hold few colours, mostly black and white: remember the last answer rather than weigh every pixel.
    QRgb lastRgb = picture.isNull() ? 0 : ~picture.rgbRow(0)[0];
    bool lastLit = false;
    for (int y = 0; y < rows; ++y) {
        const QRgb* row = picture.rgbRow(y);
        const quint8 bit = quint8(0x80 >> (y & 7));
        quint8* band = bytes.data() + y / 8;
        for (int x = first; x < end; ++x) {
            if (row[x] != lastRgb) {
                lastRgb = row[x];
                lastLit = imaging::litByLuminance(imaging::colourValue(lastRgb));
            }
            if (lastLit)
                band[size_t(x - range.start) * size_t(bands)] |= bit;
        }
    }
    return bytes;
}

// columnBytes for an indexed image (as 1, 4 and 8-bit files load), read through the palette without converting
// a pixel; nullopt for other formats and for pixels whose index the palette does not hold.
std::optional<std::vector<quint8>> indexedColumnBytes(const QImage& image, ColumnRange range, int height)
{
    const QImage::Format format = image.format();
    if (format != QImage::Format_Mono && format != QImage::Format_MonoLSB && format != QImage::Format_Indexed8)
        return std::nullopt;
    const QList<QRgb> palette = image.colorTable();
    std::vector<quint8> litMask(size_t(palette.size()));
    for (qsizetype i = 0; i < palette.size(); ++i)
        litMask[size_t(i)] = imaging::litByLuminance(imaging::colourValue(palette[i])) ? 0xFF : 0x00;
    const int bands = bytesPerColumn(height);
    std::vector<quint8> bytes(size_t(range.width) * size_t(bands), 0);
    const int first = std::max(range.start, 0);
    const int end = std::min(range.start + range.width, image.width());
    const int rows = std::min(height, image.height());
    for (int y = 0; y < rows; ++y) {
        const uchar* row = image.constScanLine(y);
        const quint8 bit = quint8(0x80 >> (y & 7));
        quint8* band = bytes.data() + y / 8;
        for (int x = first; x < end; ++x) {
            const size_t index = format == QImage::Format_Indexed8 ? row[x]
                                 : format == QImage::Format_Mono  ? (row[x >> 3] >> (7 - (x & 7))) & 1
                                                                  : (row[x >> 3] >> (x & 7)) & 1;
            if (index >= litMask.size())
                return std::nullopt;
            band[size_t(x - range.start) * size_t(bands)] |= bit & litMask[index];
        }
    }
    return bytes;
}

// The kept columns of a picture as the file stored it: through its palette when it has one.
std::vector<quint8> fileColumnBytes(const QImage& image, ColumnRange range, int height)
{
    if (std::optional<std::vector<quint8>> bytes = indexedColumnBytes(image, range, height))
        return *std::move(bytes);
    return columnBytes(imaging::Picture(image), range, height);
}

// keptColumns for a picture as the file stored it.
ColumnRange fileKeptColumns(const QImage& image, int projectWidth, int maxBannerWidth)
{
    if (image.width() <= projectWidth)
        return capToBannerWidth({0, image.width()}, maxBannerWidth);
    if (const std::optional<ContentBounds> bounds = indexedContentBounds(image))
        return capToBannerWidth(boundsRange(*bounds), maxBannerWidth);
    return keptColumns(imaging::Picture(image), projectWidth, maxBannerWidth);
}

void appendColumns(QByteArray& pattern, const std::vector<quint8>& bytes, int width, int bands,
                   const DeviceTraits& traits)
{
    for (int i = 0; i < width; ++i) {
        const int column = traits.fanLayout ? width - 1 - i : i;
        const quint8* bandBytes = bytes.data() + size_t(column) * size_t(bands);
        for (int j = 0; j < bands; ++j)
            pattern.append(char(bandBytes[traits.bottomBandFirst ? bands - 1 - j : j]));
    }
}

int tickerBits(int ticker)
{
    return ticker == 1 || ticker == 2 ? ticker : 3;
}

struct Walk {
    Walk(CompileMode mode, int deviceType, const store::Project& project, const ImageContext& context)
        : mode(mode), traits(deviceTraits(deviceType)), project(project), context(context),
          projectWidth(project.width()), height(project.height()),
          movieInterval(context.simplifiedMode ? store::kDefaultMovieInterval : project.movieInterval())
    {
    }

    const CompileMode mode;
    const DeviceTraits traits;
    const store::Project& project;
    const ImageContext& context;
    const int projectWidth;
    const int height;
    const int movieInterval;

    int included = 0;
    qint64 patternBytes = 0;
    QByteArray links;
    QByteArray pattern;
    QStringList unreadable;
    ImageLimit limit = ImageLimit::None;
    QString refusedFile;

    // What one picture file contributes: its columns (nullopt when entries naming it are left out), its pixels
    // when they were read, and why it could not be read.
    struct Measured {
        std::optional<ColumnRange> range;
        QImage image;
        QString unreadable; // "name: reason"; empty when the file was read or is missing
    };
    // Pictures named by many entries are read once.
    std::map<QString, Measured> measured;

    // Count reads only the file's header unless the picture is wider than the project and its lit columns are
    // needed.
    Measured measure(const QString& path, const QString& name) const
    {
        Measured result;
        const auto failed = [&](imaging::PictureError error, const QString& text) {
            if (error != imaging::PictureError::Missing)
                result.unreadable = name + QStringLiteral(": ") + text;
            return result;
        };
        const int maxBanner = context.edition.maxBannerWidth;
        if (mode == CompileMode::Count) {
            const imaging::PictureInfo info = imaging::readPictureInfo(path);
            if (!info.ok())
                return failed(info.error, imaging::errorMessage(info));
            if (info.size.height() != height)
                return result;
            if (info.size.width() <= projectWidth) {
                result.range = capToBannerWidth({0, info.size.width()}, maxBanner);
                return result;
            }
            // Wider than the project: only its lit columns count, so the pixels are read as Build reads them.
        }
        imaging::ImageLoad load = imaging::loadImage(path);
        if (!load.ok())
            return failed(load.error, imaging::errorMessage(load));
        if (load.image.height() != height)
            return result;
        result.range = fileKeptColumns(load.image, projectWidth, maxBanner);
        result.image = std::move(load.image);
        return result;
    }

    const Measured& measureOnce(const QString& name)
    {
        auto known = measured.find(name);
        if (known == measured.end()) {
            known = measured.emplace(name, measure(context.workspace.clipsFolder + name, name)).first;
            if (!known->second.unreadable.isEmpty())
                unreadable << known->second.unreadable;
        }
        return known->second;
    }

    // Adds one entry; false when the project broke a limit of the format (the walk stops there).
    bool add(int entry, TimingRecords* timing)
    {
        const QString name = project.pictureName(entry);
        if (name.isEmpty())
            return true;
        if (!store::isClipFileName(name)) {
            // A path would read a picture outside the clips folder: such an entry is an unreadable picture.
            unreadable << messages::formatMessage(msg::EntryNotInClips, name.toUtf8().constData());
            return mode == CompileMode::Build ? refuse(ImageLimit::Unreadable, name) : true;
        }
        int speed = 0;
        int shift = kNoShift;
        if (timing) {
            speed = context.simplifiedMode ? context.edition.defaultSpeed : timing->lookupSpeed(name);
            shift = timing->lookupShift(name);
        }
        const Measured& picture = measureOnce(name);
        if (mode == CompileMode::Build && !picture.unreadable.isEmpty())
            return refuse(ImageLimit::Unreadable, name);
        if (!picture.range)
            return true;
        const ColumnRange range = *picture.range;
        if (range.width > kMaxColumns)
            return refuse(ImageLimit::TooWide, name);
        if (++included > kMaxPictures)
            return refuse(ImageLimit::TooManyPictures);
        const int bands = bytesPerColumn(height);
        patternBytes += qint64(range.width) * bands;
        if (kHeaderBytes + kLinkEntryBytes * qint64(included) + patternBytes > kMaxImageBytes)
            return refuse(ImageLimit::TooLarge);
        if (mode == CompileMode::Build)
            addLinkAndColumns(entry, name, speed, shift, range, picture.image);
        return true;
    }

    void addLinkAndColumns(int entry, const QString& name, int speed, int shift, ColumnRange range,
                           const QImage& image)
    {
        quint16 flags = 0;
        if (isTorchFile(name))
            flags |= kTorchBit;
        if (project.indelible(entry))
            flags |= kIndelibleBit;
        const int ticker = project.ticker(entry);
        if (ticker != 0) {
            flags |= quint16(tickerBits(ticker) << kTickerShift);
            shift += 2; // also from "no value" (-1), which gives 1
        }
        const int fpValue = traits.fixedFpValue ? kFixedFpValue : (shift == kNoShift ? kNoShiftFpValue : 2 * shift);

        // The group of the next entry counts even when that entry is left out; the last entry's next reads 0.
        const int group = project.group(entry);
        const bool groupContinues = group != 0 && project.group(entry + 1) == group;
        int interval = movieInterval;
        if (group != 0) {
            interval = project.groupInterval(group);
            if (interval < 0)
                interval = movieInterval; // "the same as the movie interval"
        }
        if (traits.fanLayout)
            interval *= 3;

        const qsizetype at = links.size();
        links.resize(at + kLinkEntryBytes);
        writeWord(links, at, (range.width & kWidthMask) | flags);
        writeWord(links, at + 2, speed);
        writeWord(links, at + 4, (fpValue & kFpValueMask) | (groupContinues ? kGroupContinuesBit : 0));
        writeWord(links, at + 6, interval);

        appendColumns(pattern, fileColumnBytes(image, range, height), range.width, bytesPerColumn(height), traits);
    }

    bool refuse(ImageLimit why, const QString& file = QString())
    {
        limit = why;
        refusedFile = file;
        return false;
    }
};

} // namespace

unsigned messageId(ImageLimit limit)
{
    switch (limit) {
    case ImageLimit::None:
        return 0;
    case ImageLimit::TooManyPictures:
        return msg::ImageTooManyPictures;
    case ImageLimit::TooWide:
        return msg::ImageTooWide;
    case ImageLimit::TooLarge:
        return msg::ImageTooLarge;
    case ImageLimit::Unreadable:
        return msg::ImagePictureUnreadable;
    case ImageLimit::TooTall:
        return msg::ImageTooTall;
    }
    return msg::ImagePictureUnreadable;
}

QString imageLimitMessage(ImageLimit limit, const QString& fileName, int height)
{
    const unsigned id = messageId(limit);
    switch (limit) {
    case ImageLimit::None:
        return {};
    case ImageLimit::TooManyPictures:
        return messages::formatMessage(id, int(kMaxPictures));
    case ImageLimit::TooWide:
        return messages::formatMessage(id, qUtf8Printable(fileName), int(kMaxColumns));
    case ImageLimit::TooLarge:
        return messages::formatMessage(id, int(kMaxImageBytes));
    case ImageLimit::Unreadable:
        return messages::formatMessage(id, qUtf8Printable(fileName));
    case ImageLimit::TooTall:
        return messages::formatMessage(id, height, int(kMaxHeight));
    }
    return {};
}

ImageFigures imageFigures(int pictures, int total, int ledCount)
{
    ImageFigures figures;
    figures.pictures = pictures;
    figures.total = total;
    const int capacity = editionCapacity(ledCount);
    figures.freeBytes = capacity - total;
    figures.freeCharacters = figures.freeBytes / (capacity == 2048 ? 24 : 48);
    return figures;
}

ColumnRange keptColumns(const imaging::Picture& picture, int projectWidth, int maxBannerWidth)
{
    ColumnRange range{0, picture.width()};
    if (picture.width() > projectWidth)
        range = boundsRange(contentBounds(picture));
    return capToBannerWidth(range, maxBannerWidth);
}

imaging::LitGrid deviceForm(const imaging::Picture& picture, int projectWidth, int maxBannerWidth)
{
    const ColumnRange range = keptColumns(picture, projectWidth, maxBannerWidth);
    const int height = picture.height();
    const int bands = bytesPerColumn(height);
    const std::vector<quint8> bytes = columnBytes(picture, range, height);
    imaging::LitGrid grid(range.width, height);
    for (int x = 0; x < range.width; ++x)
        for (int y = 0; y < height; ++y)
            if (bytes[size_t(x) * size_t(bands) + size_t(y / 8)] & (0x80 >> (y & 7)))
                grid.setLit(x, y);
    return grid;
}

namespace {

CompileResult compileWith(CompileMode mode, int deviceType, const store::Project* project,
                          const ImageContext& context, TimingRecords* timing, CompileListener* listener)
{
    CompileResult result;
    if (!project || !QFileInfo(project->path()).isFile())
        return result;
    // The project is read once: hundreds of values, and nothing else writes it meanwhile.
    const store::IniFile::ReadHold projectRead(project->ini());
    Walk walk(mode, deviceType, *project, context);
    const int height = walk.height;
    if (walk.projectWidth <= 0 || height <= 0)
        return result;

    if (height > kMaxHeight) {
        walk.limit = ImageLimit::TooTall;
    } else {
        for (int entry = 0, entries = project->totalPictures(); entry < entries; ++entry)
            if (!walk.add(entry, timing))
                break;
    }
    result.unreadable = walk.unreadable;

    if (walk.limit != ImageLimit::None) {
        result.limit = walk.limit;
        result.refusal = imageLimitMessage(walk.limit, walk.refusedFile, height);
    } else if (walk.included > 0) {
        result.pictures = walk.included;
        const int patternStart = kHeaderBytes + kLinkEntryBytes * walk.included;
        result.total = patternStart + int(walk.patternBytes);
        if (mode == CompileMode::Build) {
            const DeviceTraits& traits = walk.traits;
            QByteArray& image = result.image;
            image.reserve(result.total);
            image.resize(6);
            image[0] = char(walk.included & 0xFF);
            image[1] = char((height + (traits.heightFlag ? kHeightFlag : 0)) & 0xFF);
            writeWord(image, 2, result.total);
            writeWord(image, 4, patternStart);
            image += walk.links;
            image.resize(patternStart);
            writeWord(image, patternStart - 4, project->tickerSpeed());
            writeWord(image, patternStart - 2, walk.movieInterval * (traits.fanLayout ? 3 : 1));
            image += walk.pattern;
        }
    }

    if (listener) {
        ImageFigures figures = imageFigures(result.pictures, result.total, context.edition.ledCount);
        figures.limit = result.limit;
        figures.refusal = result.refusal;
        listener->imageCompiled(figures);
    }
    return result;
}

} // namespace

CompileResult compileImage(CompileMode mode, int deviceType, const store::Project* project,
                           const ImageContext& context, CompileListener* listener)
{
    if (mode != CompileMode::Build)
        return compileWith(mode, deviceType, project, context, nullptr, listener);
    store::LibraryCatalogue catalogue(context.workspace.clipsFolder);
    store::CatalogueTransaction transaction(catalogue);
    TimingRecords timing(catalogue, context.edition);
    CompileResult result = compileWith(mode, deviceType, project, context, &timing, listener);
    if (!result.refused())
        transaction.commit();
    return result;
}

CompileResult compileImage(CompileMode mode, int deviceType, const store::Project* project,
                           const ImageContext& context, TimingRecords& timing, CompileListener* listener)
{
    return compileWith(mode, deviceType, project, context, mode == CompileMode::Build ? &timing : nullptr, listener);
}

} // namespace deviceimage
