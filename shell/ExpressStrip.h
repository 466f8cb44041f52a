#pragma once

#include "store/Edition.h"
#include "store/ProjectList.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <array>
#include <vector>

// The express window's strip of numbered banner thumbnails, free of widgets: what a row caption holds, how much
// a thumbnail and the preview are reduced or magnified, which rows the 14 slots show, and which slot is marked.
namespace shell {

inline constexpr int kStripSlots = 14;

// What an entry list caption such as "(2) <Group:1,Ticker:2>star.bmp" holds. A caption with neither ">" nor ")"
// gives the name "0"; absent numbers are 0.
struct EntryCaption {
    QString pictureName;
    int group = 0;
    int ticker = 0;
};
EntryCaption parseEntryCaption(const QString& caption);

// How many times a thumbnail is smaller than its banner: ledCount / 16, so 48 LEDs are reduced by 3 and 32 by 2.
// The 11-LED edition would get 0 there; its 11-high banners fit the 16-high slot whole at full size, so it gets 1.
int thumbnailScale(int ledCount);
// How many times the preview is larger than the banner: 4 - ledCount / 16 (3 for 16 LEDs, 1 for 48).
int previewZoom(int ledCount);

// "Lumiwand " + ledCount, followed by the version label when it is neither empty nor "0":
// "Lumiwand 16  Ver 0.996".
QString expressCaption(const store::EditionParameters& edition);

// The 16 x 16 icon of an entry: 0 plain, 1 in a movie group, 2 ticker, 3 both.
QImage entryIconImage(int icon);
// 3 when both numbers are set, 2 for a ticker only, 1 for a group only, else 0.
int entryIconFor(const EntryCaption& caption);

// A thumbnail slot: width x 16 pixels, white, the label "(n)" at (7, 0), the entry icon after it and the banner
// reduced by `scale` after the icon (cut at the slot's edges).
QImage drawThumbnail(int width, const QString& label, const QFont& font, const QImage& icon, const QImage& banner,
                     int scale);
// The mark of the selected slot: the blue component of every pixel inverted (white becomes yellow, black blue).
// Applying it twice gives the slot back.
void invertBlue(QImage& slot);

// Where the strip's scroll bar stands for a number of rows.
struct ScrollRange {
    bool visible = false; // from 15 rows on
    int maximum = 1;      // rows - 14 when visible, else 1
};
ScrollRange scrollRange(int rows);

// The strip: the rows of the hidden entry list, the scroll position P (the row in slot 0), the selected row of the
// list, the highlighted slot and which slots carry the mark. Slot k shows row P + k.
class StripModel {
public:
    // A reload of the list: the rows change, the scroll position is kept within range and every slot is drawn
    // afresh (no mark). The selected row and slot are left to the caller.
    void setRows(std::vector<store::EntryRow> rows);
    const std::vector<store::EntryRow>& rows() const { return rows_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    ScrollRange range() const { return scrollRange(rowCount()); }

    int scrollPosition() const { return scroll_; }
    // The rows slots 0 .. shownSlots() - 1 show: P .. P + 13, or all rows while there are at most 14.
    int shownSlots() const;
    // The row a slot shows, -1 for an empty slot.
    int rowOfSlot(int slot) const;
    // The slot that shows a row, -1 when the row is scrolled out of view.
    int slotOfRow(int row) const;

    int selectedRow() const { return selectedRow_; }
    void selectRow(int row) { selectedRow_ = row >= 0 && row < rowCount() ? row : -1; }
    void selectLastRow() { selectRow(rowCount() - 1); }
    int selectedSlot() const { return selectedSlot_; }
    void clearSelectedSlot() { selectedSlot_ = -1; }
    // The project entry of the selected row, -1 without one.
    int selectedEntry() const;

    bool marked(int slot) const { return slot >= 0 && slot < kStripSlots && marked_[slot]; }

    // Marks slot k (k < 0: none). Unless forced, nothing happens when k is already the highlighted slot, and the
    // old slot loses its mark first; forced, the old slot is left alone (after a redraw it carries no mark).
    void highlightSlot(int k, bool force);

    // The scroll bar moved: every slot drawn afresh, and the selected row marked when it is in view.
    void scrollTo(int position);

    // A click on slot k: its row becomes the selected row and the slot is marked (afresh when the selected row
    // was scrolled out of view). False for an empty slot.
    bool clickSlot(int k);

    // After a new banner was appended and the list reloaded: the last row is selected and brought into view.
    void showAppendedRow();
    // After the selected slot's banner was changed and the list reloaded: its row is selected and marked again.
    void showModifiedRow();
    // After Move Up / Move Down moved the selected entry to row `row` and the list was reloaded.
    void showMovedUp(int row);
    void showMovedDown(int row);
    // After the ticker dialog (cancelled or not) and the reload.
    void showTickerSet(bool cancelled);
    // No selected row, no highlighted slot, no mark (after Delete, and after reloads by the poll or the language).
    void clearSelection();

private:
    void clearMarks() { marked_.fill(false); }
    void setScroll(int position);
    // Makes sure the selected row is in view and is the one marked (a moved movie group can land further away
    // than one row).
    void revealSelectedRow();

    std::vector<store::EntryRow> rows_;
    int scroll_ = 0;
    int selectedRow_ = -1;
    int selectedSlot_ = -1;
    std::array<bool, kStripSlots> marked_{};
};

} // namespace shell
