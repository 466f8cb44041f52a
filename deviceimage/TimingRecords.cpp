#include "deviceimage/TimingRecords.h"

#include "imaging/PictureFile.h"
#include "store/LibraryCatalogue.h"
#include "store/Names.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <vector>

namespace deviceimage {
namespace {
const QString kSummary = QStringLiteral("SUMMARY");
}

using store::kShiftRecords;
using store::kSpeedRecords;

namespace {

// Shift values for 32 LEDs by content width 1..128.
constexpr int kShift32[128] = {
    96, 95, 94, 93, 92, 90, 89, 88, 87, 87, 87, 86, 86, 86, 86, 85, // 1-16
    85, 85, 85, 85, 85, 85, 84, 84, 83, 83, 82, 81, 81, 80, 80, 79, // 17-32
    78, 78, 77, 77, 76, 76, 75, 75, 75, 74, 74, 74, 74, 74, 74, 74, // 33-48
    74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 73, 73, 73, 73, // 49-64
    72, 72, 72, 71, 71, 70, 70, 69, 68, 68, 67, 66, 65, 65, 64, 64, // 65-80
    63, 62, 62, 62, 61, 61, 61, 60, 60, 60, 60, 60, 60, 60, 60, 60, // 81-96
    60, 60, 60, 58, 57, 56, 55, 54, 54, 54, 54, 53, 53, 53, 52, 52, // 97-112
    51, 51, 49, 48, 48, 47, 47, 46, 46, 46, 44, 44, 44, 44, 44, 44, // 113-128
};

// Coefficients of w^0 .. w^10 of the 48-LED curve.
constexpr long double kShift48[11] = {
    87.6100610630751L,     0.0151639128692731L,    -0.283711606163353L,   0.0367261545870865L,
    -0.0021340193848894L,  0.0000676558590534204L, -0.00000126743507002405L, 1.44121959784369e-8L,
    -9.77181020537859e-11L, 3.633321804907e-13L,   -5.70164906073785e-16L,
};
constexpr int kMinShift48 = 32;

// The shift of the fan/spring sticks that take speed words on the 2050 scale: the 16-LED stick, and the 11- and
// 24-LED sticks, which the program drives as the same device type (3) with the same default speed word. The
// 11-LED edition also has the 16-LED banner width (96), so it gets exactly the 16-LED values; the 24-LED edition
// swings a 128-column banner, which the formula takes in through the banner width. Both ends then behave as on
// the 16-LED stick: a banner filling the swing gets 20, the device's own value when a picture has none, and a
// wider one gets 0.
int shiftFromSwing(const store::EditionParameters& edition, int speedWord, int contentWidth)
{
    // The swing spans the banner width at the default speed, proportionally more columns at a slower speed.
    const int speed = speedWord > 0 ? speedWord : edition.defaultSpeed;
    const double swing = edition.maxBannerWidth * (double(edition.defaultSpeed) / speed);
    if (contentWidth > swing)
        return 0;
    const double margin = swing - contentWidth;
    const double correction = std::trunc(margin * 1.1 / 16);
    const int base = contentWidth >= 36 ? 20 : 15;
    const double shift = std::trunc(std::ceil(margin / 2) + base - correction);
    return shift >= INT_MAX ? INT_MAX : int(shift);
}

int shiftFor48(int contentWidth)
{
    long double curve = 0;
    for (int power = 10; power >= 0; --power)
        curve = curve * contentWidth + kShift48[power];
    if (!(curve >= kMinShift48)) // also when the curve ran off to minus infinity
        return kMinShift48;
    const long double shift = std::ceil(curve);
    return shift >= INT_MAX ? INT_MAX : int(shift);
}

} // namespace

ContentBounds contentBounds(const imaging::Picture& picture)
{
    const int width = std::max(picture.width(), 0);
    const int height = picture.height();
    std::vector<quint8> litColumn(size_t(width), 0);
    // Pictures hold few colours, mostly black and white: remember the last answer rather than weigh every pixel.
    QRgb lastRgb = 0;
    bool lastLit = imaging::litAtMost(imaging::colourValue(lastRgb));
    for (int y = 0; y < height; ++y) {
        const QRgb* row = picture.rgbRow(y);
        for (int x = 0; x < width; ++x) {
            if (row[x] != lastRgb) {
                lastRgb = row[x];
                lastLit = imaging::litAtMost(imaging::colourValue(lastRgb));
            }
            if (lastLit)
                litColumn[size_t(x)] = 1;
        }
    }
    const auto first = std::find(litColumn.begin(), litColumn.end(), 1);
    if (first == litColumn.end())
        return {};
    const auto last = std::find(litColumn.rbegin(), litColumn.rend(), 1);
    const int start = int(first - litColumn.begin());
    const int end = int(litColumn.rend() - last) - 1;
    return {start, end, end - start + 1};
}

int autoShift(const store::EditionParameters& edition, int speedWord, int contentWidth)
{
    switch (edition.ledCount) {
    case 32:
        if (contentWidth < 1 || contentWidth > edition.maxBannerWidth || contentWidth > int(std::size(kShift32)))
            return 0;
        return kShift32[contentWidth - 1];
    case 48:
        return shiftFor48(contentWidth);
    default: // 11, 16, 24
        return shiftFromSwing(edition, speedWord, contentWidth);
    }
}

TimingRecords::TimingRecords(QString clipsFolder, store::EditionParameters edition)
    : clipsFolder_(std::move(clipsFolder)), edition_(std::move(edition)),
      ownCatalogue_(std::in_place, catalogueFile(clipsFolder_)), catalogue_(&*ownCatalogue_)
{
}

TimingRecords::TimingRecords(store::LibraryCatalogue& catalogue, store::EditionParameters edition)
    : clipsFolder_(catalogue.clipsFolder()), edition_(std::move(edition)), catalogue_(&catalogue.ini())
{
}

QString TimingRecords::catalogueFile(const QString& clipsFolder)
{
    return clipsFolder + store::kCatalogueFileName;
}

QString TimingRecords::fileNamePart(const QString& fileName) const
{
    const QString name = !clipsFolder_.isEmpty() && fileName.contains(clipsFolder_)
                             ? QFileInfo(fileName).fileName()
                             : fileName;
    return store::isNoName(name) ? QString() : name;
}

const TimingRecords::Index& TimingRecords::index(const store::NumberedList& list) const
{
    const auto known = indexes_.find(list.section);
    if (known != indexes_.end())
        return known->second;
    Index index;
    const store::IniFile::ReadHold read(*catalogue_); // one look at the disk for the whole list
    const int extent = list.extent(*catalogue_);
    index.endsEarly = extent < list.storedCount(*catalogue_);
    const std::vector<QString> entries = catalogue_->readNumbered(list.section, list.entryPrefix, extent);
    for (const QString& entry : entries) {
        if (entry.isEmpty()) {
            index.endsEarly = true;
            break;
        }
        for (qsizetype cut = entry.indexOf(u';'); cut >= 0; cut = entry.indexOf(u';', cut + 1)) {
            const QString name = entry.left(cut);
            if (!index.values.contains(name)) // the first entry of a name is the one a walk meets
                index.values.insert(name, entry.mid(cut + 1));
        }
    }
    return indexes_.emplace(list.section, std::move(index)).first->second;
}

TimingRecords::Found TimingRecords::find(const store::NumberedList& list, const QString& fileName) const
{
    const Index& records = index(list);
    const auto found = records.values.constFind(fileName);
    if (found != records.values.cend())
        return {Found::Value, *found};
    return {records.endsEarly ? Found::EndOfList : Found::NoMatch, {}};
}

int TimingRecords::lookupSpeed(const QString& fileName) const
{
    const QString name = fileNamePart(fileName);
    if (name.isEmpty())
        return edition_.defaultSpeed;
    const Found found = find(kSpeedRecords, name);
    bool ok = false;
    const int speed = found.kind == Found::Value ? found.value.trimmed().toInt(&ok, 10) : 0;
    return ok ? speed : edition_.defaultSpeed;
}

int TimingRecords::lookupShift(const QString& fileName)
{
    const QString name = fileNamePart(fileName);
    if (name.isEmpty())
        return kNoShift;
    const Found found = find(kShiftRecords, name);
    if (found.kind == Found::Value) {
        bool ok = false;
        const int shift = found.value.trimmed().toInt(&ok, 10);
        return ok ? shift : kNoShift;
    }
    if (found.kind == Found::EndOfList || !store::isClipFileName(name))
        return kNoShift;
    const imaging::PictureLoad load = imaging::loadPicture(clipsFolder_ + name);
    if (!load.ok())
        return kNoShift;
    const int shift = autoShift(edition_, edition_.defaultSpeed, contentBounds(load.picture).width);
    store(kShiftRecords, name, shift);
    return shift;
}

void TimingRecords::storeSpeed(const QString& fileName, int speedWord)
{
    store(kSpeedRecords, fileName, speedWord);
}

void TimingRecords::storeShift(const QString& fileName, int shift)
{
    store(kShiftRecords, fileName, shift);
}

void TimingRecords::willExist(const QString& fileName)
{
    fileExists(fileName); // brings the cache up to date first
    exists_.insert(fileName, true);
}

bool TimingRecords::fileExists(const QString& name)
{
    if (existsGeneration_ != catalogue_->generation()) {
        exists_.clear();
        clipsFiles_.reset();
        existsGeneration_ = catalogue_->generation();
    }
    const auto known = exists_.constFind(name);
    if (known != exists_.cend())
        return *known;
    if (!clipsFiles_) // a list walks thousands of names: the folder is read once rather than each name looked up
        clipsFiles_.emplace(clipsFolder_);
    const bool exists = clipsFiles_->contains(name);
    exists_.insert(name, exists);
    return exists;
}

void TimingRecords::store(const store::NumberedList& list, const QString& fileName, int value)
{
    const QString name = fileNamePart(fileName);
    if (name.isEmpty())
        return;
    const QString text = name + u';' + QString::number(value);
    store::IniFile::WriteBatch batch(*catalogue_);
    if (storeInCleanList(list, name, text)) {
        const auto known = indexes_.find(list.section);
        if (known != indexes_.end()) {
            known->second.values.insert(name, QString::number(value));
            known->second.endsEarly = false;
        }
        return;
    }
    indexes_.erase(list.section);
    rewriteList(list, name, text);
}

// In a list that the last store left clean, the walk of rewriteList would drop nothing: the entry is rewritten in
// place or added after the others, as it would, without reading the list again. False when the list is not known
// clean in the catalogue's current content, or when an entry of a missing file would be dropped.
bool TimingRecords::storeInCleanList(const store::NumberedList& list, const QString& name, const QString& text)
{
    const auto found = clean_.find(list.section);
    if (found == clean_.end() || found->second.generation != catalogue_->generation() || name.contains(u';'))
        return false;
    Clean& clean = found->second;
    if (!clean.missing.isEmpty() && !(clean.missing.size() == 1 && clean.missing.contains(name)))
        return false;
    const auto at = clean.position.constFind(name);
    const int number = at != clean.position.cend() ? *at : clean.count;
    catalogue_->writeString(list.section, list.key(number), text);
    if (number == clean.count)
        clean.position.insert(name, clean.count++);
    catalogue_->writeInteger(kSummary, list.countKey, clean.count);
    if (fileExists(name))
        clean.missing.remove(name);
    else
        clean.missing.insert(name);
    return true;
}

void TimingRecords::rewriteList(const store::NumberedList& list, const QString& name, const QString& text)
{
    const QString& section = list.section;
    const int extent = list.extent(*catalogue_);

    // The entries that stay, in their order. A file name may itself hold ";": the number follows the last one.
    std::vector<QString> kept;
    qsizetype target = -1;
    bool dropped = extent < list.storedCount(*catalogue_); // the empty entries past the last one present
    QSet<QString> seen;
    for (const QString& entry : catalogue_->readNumbered(section, list.entryPrefix, extent)) {
        const qsizetype separator = entry.lastIndexOf(u';');
        const QString entryName = entry.left(separator);
        if (separator >= 0 && entryName == name && target < 0) {
            target = qsizetype(kept.size()); // stays even when its file is missing: it is rewritten below
        } else if (separator < 0 || entryName == name || seen.contains(entryName) || !fileExists(entryName)) {
            dropped = true; // empty, without ";", a repeated name or a file that is gone
            continue;
        }
        seen.insert(entryName);
        kept.push_back(entry);
    }
    if (target >= 0)
        kept[size_t(target)] = text;
    else
        kept.push_back(text);

    if (!dropped) {
        // Every entry keeps its number: rewrite the file's own entry in place, or add one after the others.
        const qsizetype changed = target >= 0 ? target : qsizetype(kept.size()) - 1;
        catalogue_->writeString(section, list.key(int(changed)), text);
    } else {
        // Renumber the entries that stay from 0, in their order, without gaps.
        QStringList numbered;
        for (int i = 0; i < extent; ++i)
            numbered << list.key(i);
        catalogue_->deleteKeys(section, numbered);
        for (size_t i = 0; i < kept.size(); ++i)
            catalogue_->writeString(section, list.key(int(i)), kept[i]);
    }
    catalogue_->writeInteger(kSummary, list.countKey, int(kept.size()));
    rememberClean(list, kept);
}

// The list now is as `kept` says, for as long as the catalogue's content is not read again (a batch lasts): later
// stores can skip the walk while it is clean.
void TimingRecords::rememberClean(const store::NumberedList& list, const std::vector<QString>& kept)
{
    clean_.erase(list.section);
    Clean clean;
    clean.generation = catalogue_->generation();
    clean.count = int(kept.size());
    for (const QString& entry : kept) {
        const qsizetype separator = entry.indexOf(u';');
        if (separator != entry.lastIndexOf(u';'))
            return; // a name holding ";" is looked up by its prefixes too: such a list is always walked
        const QString entryName = entry.left(separator);
        clean.position.insert(entryName, int(clean.position.size()));
        if (!fileExists(entryName))
            clean.missing.insert(entryName);
    }
    clean_.emplace(list.section, std::move(clean));
}

} // namespace deviceimage
