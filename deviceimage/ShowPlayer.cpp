#include "deviceimage/ShowPlayer.h"

#include "deviceimage/BinaryFiles.h"
#include "deviceimage/DeviceImage.h"
#include "deviceimage/ImageToProject.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <QStringList>
#include <algorithm>

namespace deviceimage {
namespace {

using messages::formatMessage;
using messages::lookupMessage;

qint64 intervalUs(int units)
{
    return qint64(std::max(units, 1)) * kIntervalUnitUs;
}

qint64 tickerStepUs(int tickerSpeed)
{
    return 1000000 / (kTickerStepsPerSpeed * std::clamp(tickerSpeed, 1, 10));
}

// Where a picture stands in its stroke when still: centred, or from the start when it is wider.
int centredStart(const ShowEntry& entry)
{
    return std::max(0, (entry.strokeColumns - entry.picture.width()) / 2);
}

int tickerPassSteps(const ShowEntry& entry)
{
    switch (entry.ticker) {
    case 1:
        return entry.strokeColumns + entry.picture.width();
    case 2:
        return entry.strokeColumns - centredStart(entry);
    case 3:
        return entry.picture.height();
    default:
        return 0;
    }
}

void setStroke(ShowEntry& entry, const store::EditionParameters& edition)
{
    const qint64 defaultColumnScale = qint64(std::max(edition.maxBannerWidth, 1)) * (edition.defaultSpeed + kSpeedOffset);
    entry.columnUs = std::max<qint64>(1, kStrokeUs * (entry.speed + kSpeedOffset) / defaultColumnScale);
    entry.strokeColumns = int(std::max<qint64>(1, kStrokeUs / entry.columnUs));
}

// Why picture k cannot be read; empty when it can.
QString entryFault(const QByteArray& image, qsizetype link, qsizetype position, int width, int bands)
{
    if (link + kLinkEntryBytes > image.size())
        return lookupMessage(msg::ShowLinkPastEnd);
    if (width == 0)
        return lookupMessage(msg::ShowNoColumns);
    if (position + qsizetype(width) * bands > image.size())
        return lookupMessage(msg::ShowColumnsPastEnd);
    return {};
}

// What is wrong with the header of an image whose pictures all read.
QString headerFault(const QByteArray& image, qsizetype patternStart, qsizetype patternEnd)
{
    QStringList faults;
    if (readWord(image, 2) != image.size())
        faults << formatMessage(msg::ShowLengthField, readWord(image, 2), int(image.size()));
    if (readWord(image, 4) != patternStart)
        faults << formatMessage(msg::ShowPatternStart, readWord(image, 4), int(patternStart));
    if (patternEnd != image.size())
        faults << formatMessage(msg::ShowBytesFollow, int(image.size() - patternEnd));
    return faults.isEmpty() ? QString()
                            : formatMessage(msg::ShowImageDamaged, faults.join(QStringLiteral("; ")).toUtf8().constData());
}

void readEntries(ShowTimeline& show, const QByteArray& image, int deviceType, const store::EditionParameters& edition)
{
    const int count = quint8(image[0]);
    const bool heightFlag = quint8(image[1]) & kHeightFlag;
    const int bands = bytesPerColumn(show.height);
    const int divisor = deviceTraits(deviceType).fanLayout ? 3 : 1;
    const qsizetype patternStart = kHeaderBytes + qsizetype(kLinkEntryBytes) * count;
    show.tickerSpeed = readWord(image, patternStart - 4);
    show.movieInterval = readWord(image, patternStart - 2) / divisor;

    int group = 0;
    bool groupOpen = false;
    qsizetype position = patternStart;
    for (int k = 0; k < count; ++k) {
        const qsizetype link = 6 + qsizetype(kLinkEntryBytes) * k;
        const int word0 = readWord(image, link);
        const int width = word0 & kWidthMask;
        const QString fault = entryFault(image, link, position, width, bands);
        if (!fault.isEmpty()) {
            show.firstBadEntry = k + 1;
            show.problem = formatMessage(msg::ShowPictureUnreadable, k + 1, count, fault.toUtf8().constData());
            return;
        }
        ShowEntry entry;
        entry.number = k + 1;
        entry.torch = word0 & kTorchBit;
        entry.indelible = word0 & kIndelibleBit;
        entry.ticker = (word0 >> kTickerShift) & 3;
        entry.speed = readWord(image, link + 2);
        entry.interval = readWord(image, link + 6) / divisor;
        const bool continues = readWord(image, link + 4) & kGroupContinuesBit;
        if (continues && !groupOpen)
            ++group;
        entry.group = continues || groupOpen ? group : 0;
        groupOpen = continues;
        entry.picture = drawImagePicture(image, position, width, show.height, heightFlag);
        setStroke(entry, edition);
        position += qsizetype(width) * bands;
        show.entries.push_back(std::move(entry));
    }
    show.problem = headerFault(image, patternStart, position);
}

qint64 entryDurationUs(const ShowTimeline& show, const ShowEntry& entry)
{
    return std::max(intervalUs(entry.interval), tickerPassSteps(entry) * tickerStepUs(show.tickerSpeed));
}

void layOutSlots(ShowTimeline& show)
{
    qint64 start = 0;
    const int n = int(show.entries.size());
    for (int k = 0; k < n;) {
        ShowSlot slot;
        slot.first = k;
        slot.startUs = start;
        const int group = show.entries[size_t(k)].group;
        if (group == 0) {
            slot.durationUs = entryDurationUs(show, show.entries[size_t(k)]);
        } else {
            qint64 round = 0;
            slot.count = 0;
            for (; k + slot.count < n && show.entries[size_t(k + slot.count)].group == group; ++slot.count)
                round += intervalUs(show.entries[size_t(k + slot.count)].interval);
            slot.durationUs = std::max(intervalUs(show.movieInterval), round);
        }
        k += slot.count;
        start += slot.durationUs;
        show.runs.push_back(slot);
    }
    show.durationUs = start;
}

const ShowSlot& slotAt(const ShowTimeline& show, qint64 timeInShow)
{
    auto after = std::upper_bound(show.runs.begin(), show.runs.end(), timeInShow,
                                  [](qint64 time, const ShowSlot& slot) { return time < slot.startUs; });
    return *(after - 1);
}

// The member of a slot showing `elapsed` into it, with the time it came on (from the slot's start).
std::pair<int, qint64> memberAt(const ShowTimeline& show, const ShowSlot& slot, qint64 elapsed)
{
    if (slot.count == 1)
        return {slot.first, 0};
    qint64 round = 0;
    for (int m = 0; m < slot.count; ++m)
        round += intervalUs(show.entries[size_t(slot.first + m)].interval);
    qint64 on = elapsed - elapsed % round;
    for (int m = 0;; ++m) {
        const qint64 off = on + intervalUs(show.entries[size_t(slot.first + m)].interval);
        if (elapsed < off || m == slot.count - 1)
            return {slot.first + m, on};
        on = off;
    }
}

// The picture placed in its stroke as far as the ticker has moved it after `elapsed`.
imaging::LitGrid strokeFrame(const ShowTimeline& show, const ShowEntry& entry, qint64 elapsed)
{
    const int columns = entry.strokeColumns;
    const int height = show.height;
    imaging::LitGrid frame(columns, height);
    if (entry.torch) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < columns; ++x)
                frame.setLit(x, y);
        return frame;
    }
    const int step = int(std::min<qint64>(elapsed / tickerStepUs(show.tickerSpeed), 1 << 30));
    const imaging::LitGrid& picture = entry.picture;
    int left = centredStart(entry);
    int top = 0;
    if (entry.ticker == 1)
        left = columns - step % (columns + picture.width());
    else if (entry.ticker == 2)
        left = std::max(left, columns - step);
    else if (entry.ticker == 3)
        top = std::min(0, step - height);
    for (int x = std::max(0, left); x < std::min(columns, left + picture.width()); ++x)
        for (int y = std::max(0, top); y < height; ++y)
            if (picture.isLit(x - left, y - top))
                frame.setLit(x, y);
    return frame;
}

} // namespace

ShowTimeline readShow(const QByteArray& image, int deviceType, const store::EditionParameters& edition)
{
    ShowTimeline show;
    if (image.size() < kHeaderBytes) {
        show.firstBadEntry = image.isEmpty() ? 0 : 1;
        show.problem = lookupMessage(image.isEmpty() ? msg::ShowImageEmpty : msg::ShowImageTooShort);
        return show;
    }
    show.height = quint8(image[1]) & ~kHeightFlag;
    if (image[0] == 0) {
        show.problem = lookupMessage(msg::ShowNoPictures);
        return show;
    }
    if (show.height == 0) {
        show.firstBadEntry = 1;
        show.problem = lookupMessage(msg::ShowHeightZero);
        return show;
    }
    readEntries(show, image, deviceType, edition);
    layOutSlots(show);
    return show;
}

ShowState showState(const ShowTimeline& show, qint64 timeUs)
{
    ShowState state;
    if (show.durationUs <= 0)
        return state;
    const qint64 inShow = (timeUs % show.durationUs + show.durationUs) % show.durationUs;
    const ShowSlot& slot = slotAt(show, inShow);
    const auto [entryIndex, on] = memberAt(show, slot, inShow - slot.startUs);
    const ShowEntry& entry = show.entries[size_t(entryIndex)];
    state.entry = entryIndex;
    state.entryElapsedUs = inShow - slot.startUs - on;
    state.torch = entry.torch;
    state.frame = strokeFrame(show, entry, state.entryElapsedUs);

    const qint64 stroke = std::max<qint64>(0, timeUs) / kStrokeUs;
    const int along = int(std::min<qint64>((std::max<qint64>(0, timeUs) % kStrokeUs) / entry.columnUs,
                                           entry.strokeColumns - 1));
    state.backStroke = stroke % 2 != 0;
    state.column = state.backStroke ? entry.strokeColumns - 1 - along : along;
    return state;
}

qint64 nextShowing(const ShowTimeline& show, qint64 timeUs)
{
    if (show.durationUs <= 0)
        return timeUs;
    const qint64 inShow = (timeUs % show.durationUs + show.durationUs) % show.durationUs;
    const qint64 showStart = timeUs - inShow;
    const ShowSlot& slot = slotAt(show, inShow);
    const qint64 elapsed = inShow - slot.startUs;
    const auto [entryIndex, on] = memberAt(show, slot, elapsed);
    const qint64 off = on + intervalUs(show.entries[size_t(entryIndex)].interval);
    const qint64 next = slot.count > 1 ? std::min(off, slot.durationUs) : slot.durationUs;
    return showStart + slot.startUs + next;
}

int imageDeviceType(const QByteArray& image)
{
    if (image.size() < 2)
        return kFanStick16;
    if (quint8(image[1]) & kHeightFlag)
        return kRoll;
    return deviceTypeForHeight(quint8(image[1]));
}

QString describeEntry(const ShowTimeline& show, int entry)
{
    if (entry < 0 || entry >= int(show.entries.size()))
        return lookupMessage(msg::ShowNoPicture);
    const ShowEntry& e = show.entries[size_t(entry)];
    static constexpr unsigned kTickers[] = {0, msg::ShowMarqueeTicker, msg::ShowSliderTicker, msg::ShowTopDownTicker};
    QStringList parts{formatMessage(msg::ShowPictureOf, e.number, int(show.entries.size()))};
    if (e.group != 0)
        parts << formatMessage(msg::ShowGroup, e.group);
    if (e.ticker != 0)
        parts << lookupMessage(kTickers[e.ticker]);
    if (e.indelible)
        parts << lookupMessage(msg::ShowIndelible);
    if (e.torch)
        parts << lookupMessage(msg::ShowTorch);
    parts << QStringLiteral("%1 x %2").arg(e.picture.width()).arg(e.picture.height());
    parts << formatMessage(msg::ShowSpeed, e.speed >> 8, (e.speed & 0xFF) / 2);
    const QString seconds = QString::number(double(intervalUs(e.interval)) / 1e6, 'f', 2);
    parts << formatMessage(msg::ShowInterval, seconds.toUtf8().constData());
    return parts.join(QStringLiteral(" - "));
}

} // namespace deviceimage
