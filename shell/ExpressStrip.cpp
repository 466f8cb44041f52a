#include "shell/ExpressStrip.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace shell {
namespace {

// The number right after `tag` inside `bracket`, up to the first of `ends`; 0 when the tag is absent or no number
// follows.
int taggedNumber(const QString& bracket, QLatin1String tag, QLatin1String ends)
{
    const qsizetype at = bracket.indexOf(tag);
    if (at < 0)
        return 0;
    const qsizetype from = at + tag.size();
    qsizetype end = bracket.size();
    for (const QChar stop : ends) {
        const qsizetype found = bracket.indexOf(stop, from);
        if (found >= 0)
            end = std::min(end, found);
    }
    return bracket.mid(from, end - from).toInt();
}

} // namespace

EntryCaption parseEntryCaption(const QString& caption)
{
    // "(n) <Group:g,Ticker:t>name": the marks live between "<" and the first ">" after the number, so a name that
    // holds ",", ">" or ")" of its own is still read whole.
    const qsizetype close = caption.indexOf(u')');
    QString rest = close >= 0 ? caption.mid(close + 1) : caption;
    QString bracket;
    const qsizetype angle = rest.indexOf(u'>');
    if (rest.trimmed().startsWith(u'<') && angle >= 0) {
        bracket = rest.left(angle + 1);
        rest = rest.mid(angle + 1);
    } else if (close < 0) {
        if (angle < 0)
            return {QStringLiteral("0"), 0, 0};
        bracket = rest.left(angle + 1);
        rest = rest.mid(angle + 1);
    }
    EntryCaption parsed;
    parsed.pictureName = rest.trimmed();
    parsed.group = taggedNumber(bracket, QLatin1String("Group:"), QLatin1String(",>"));
    parsed.ticker = taggedNumber(bracket, QLatin1String("Ticker:"), QLatin1String(">"));
    return parsed;
}

int thumbnailScale(int ledCount)
{
    return std::max(1, ledCount / 16);
}

int previewZoom(int ledCount)
{
    return 4 - ledCount / 16;
}

QString expressCaption(const store::EditionParameters& edition)
{
    QString caption = QStringLiteral("Lumiwand %1").arg(edition.ledCount);
    if (!edition.versionLabel.isEmpty() && edition.versionLabel != QLatin1String("0"))
        caption += edition.versionLabel;
    return caption;
}

int entryIconFor(const EntryCaption& caption)
{
    return store::entryIcon(caption.group, caption.ticker);
}

QImage entryIconImage(int icon)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    if (icon & 1) { // a film strip: a movie group
        painter.fillRect(2, 3, 12, 10, Qt::black);
        for (int x = 3; x < 14; x += 3) {
            painter.fillRect(x, 4, 1, 1, Qt::white);
            painter.fillRect(x, 11, 1, 1, Qt::white);
        }
        painter.fillRect(4, 6, 8, 4, QColor(0, 160, 255));
    } else {
        painter.drawRect(2, 3, 11, 9);
        painter.fillRect(4, 5, 8, 6, QColor(255, 0, 0));
    }
    if (icon & 2) { // an arrow to the left: text running by
        painter.setPen(QColor(0, 128, 0));
        painter.drawLine(1, 14, 14, 14);
        painter.drawLine(1, 14, 4, 11);
        painter.drawLine(1, 14, 4, 15);
    }
    return image;
}

QImage drawThumbnail(int width, const QString& label, const QFont& font, const QImage& icon, const QImage& banner,
                     int scale)
{
    QImage slot(std::max(width, 1), 16, QImage::Format_RGB32);
    slot.fill(Qt::white);
    QPainter painter(&slot);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int x0 = QFontMetrics(font).horizontalAdvance(label) + 11;
    painter.drawText(QRect(7, 0, x0, 16), Qt::AlignLeft | Qt::AlignTop, label);
    painter.drawImage(x0, 0, icon);
    if (!banner.isNull()) {
        scale = std::max(scale, 1);
        const int left = x0 + icon.width() + 4;
        const int right = x0 + icon.width() + banner.width() / scale + 11;
        painter.drawImage(QRect(left, 0, right - left, banner.height() / scale), banner);
    }
    return slot;
}

void invertBlue(QImage& slot)
{
    if (slot.format() != QImage::Format_RGB32 && slot.format() != QImage::Format_ARGB32)
        slot = slot.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < slot.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(slot.scanLine(y));
        for (int x = 0; x < slot.width(); ++x)
            line[x] ^= 0x0000ffu;
    }
}

ScrollRange scrollRange(int rows)
{
    if (rows <= kStripSlots)
        return {false, 1};
    return {true, rows - kStripSlots};
}

void StripModel::setRows(std::vector<store::EntryRow> rows)
{
    rows_ = std::move(rows);
    setScroll(scroll_);
    if (selectedRow_ >= rowCount())
        selectedRow_ = -1;
    clearMarks();
}

int StripModel::shownSlots() const
{
    return std::min(rowCount(), kStripSlots);
}

int StripModel::rowOfSlot(int slot) const
{
    return slot >= 0 && slot < shownSlots() ? scroll_ + slot : -1;
}

int StripModel::slotOfRow(int row) const
{
    const int slot = row - scroll_;
    return row >= 0 && slot >= 0 && slot < shownSlots() ? slot : -1;
}

int StripModel::selectedEntry() const
{
    return selectedRow_ >= 0 ? rows_[size_t(selectedRow_)].entry : -1;
}

void StripModel::highlightSlot(int k, bool force)
{
    if (!force && k == selectedSlot_)
        return;
    if (!force && selectedSlot_ >= 0 && selectedSlot_ < kStripSlots)
        marked_[size_t(selectedSlot_)] = false;
    if (k >= 0 && k < kStripSlots)
        marked_[size_t(k)] = true;
    selectedSlot_ = k;
}

void StripModel::setScroll(int position)
{
    const ScrollRange limits = range();
    scroll_ = limits.visible ? std::clamp(position, 0, limits.maximum) : 0;
}

void StripModel::scrollTo(int position)
{
    setScroll(position);
    clearMarks();
    const int slot = slotOfRow(selectedRow_);
    if (slot >= 0)
        highlightSlot(slot, true);
}

bool StripModel::clickSlot(int k)
{
    const int row = rowOfSlot(k);
    if (row < 0)
        return false;
    const bool outside = slotOfRow(selectedRow_) < 0;
    selectRow(row);
    highlightSlot(k, outside);
    return true;
}

void StripModel::showAppendedRow()
{
    selectLastRow();
    if (selectedRow_ < 0)
        return;
    if (rowCount() <= kStripSlots)
        highlightSlot(selectedRow_, true);
    else
        scrollTo(range().maximum);
}

void StripModel::showModifiedRow()
{
    if (selectedSlot_ < 0)
        return;
    selectRow(rowOfSlot(selectedSlot_));
    highlightSlot(selectedSlot_, true);
    revealSelectedRow();
}

void StripModel::showMovedUp(int row)
{
    selectRow(row);
    const int slot = selectedSlot_;
    if (row > 0) {
        if (slot != 0) {
            if (row >= kStripSlots - 1)
                scrollTo(row - (kStripSlots - 1));
            else
                highlightSlot(slot - 1, true);
        } else if (scroll_ > 0) {
            scrollTo(scroll_ - 1);
        } else {
            highlightSlot(0, true);
        }
    } else {
        if (slot != 0)
            highlightSlot(0, true);
        if (scroll_ > 0)
            scrollTo(scroll_ - 1);
    }
    revealSelectedRow();
}

void StripModel::showMovedDown(int row)
{
    selectRow(row);
    if (row >= kStripSlots && selectedSlot_ == kStripSlots - 1)
        scrollTo(row - (kStripSlots - 1));
    else
        highlightSlot(selectedSlot_ + 1, true);
    revealSelectedRow();
}

void StripModel::showTickerSet(bool cancelled)
{
    if (cancelled) {
        // The slot no longer counts as selected, so it does not look selected either.
        clearMarks();
        selectedSlot_ = -1;
        return;
    }
    highlightSlot(selectedSlot_, true);
}

void StripModel::clearSelection()
{
    selectedRow_ = -1;
    selectedSlot_ = -1;
    clearMarks();
}

void StripModel::revealSelectedRow()
{
    if (selectedRow_ < 0)
        return;
    if (slotOfRow(selectedRow_) < 0)
        scrollTo(selectedRow_ < scroll_ ? selectedRow_ : selectedRow_ - (kStripSlots - 1));
    const int slot = slotOfRow(selectedRow_);
    if (slot != selectedSlot_ || !marked(slot)) {
        clearMarks();
        highlightSlot(slot, true);
    }
}

} // namespace shell
