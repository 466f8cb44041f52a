#include "shell/DevicePoll.h"
#include "shell/ExpressStrip.h"

#include <QFont>
#include <QTest>

using namespace shell;

namespace {

std::vector<store::EntryRow> rows(int count)
{
    std::vector<store::EntryRow> list;
    for (int i = 0; i < count; ++i)
        list.push_back({store::entryCaption(i, QStringLiteral("b%1.bmp").arg(i), false, 0, 0), 0, i});
    return list;
}

QList<int> markedSlots(const StripModel& strip)
{
    QList<int> marks;
    for (int k = 0; k < kStripSlots; ++k)
        if (strip.marked(k))
            marks << k;
    return marks;
}

StripModel stripWith(int count, int scroll = 0)
{
    StripModel strip;
    strip.setRows(rows(count));
    strip.scrollTo(scroll);
    return strip;
}

} // namespace

class tst_ExpressStrip : public QObject {
    Q_OBJECT

private slots:
    void parsesCaptions_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("ticker");
        QTest::newRow("plain") << "(1) star.bmp" << "star.bmp" << 0 << 0;
        QTest::newRow("group") << "(2) <Group:1>star.bmp" << "star.bmp" << 1 << 0;
        QTest::newRow("ticker") << "(3) <Ticker:2>a.bmp" << "a.bmp" << 0 << 2;
        QTest::newRow("both, indelible") << "(5 **) <Group:12,Ticker:3>logo.bmp" << "logo.bmp" << 12 << 3;
        QTest::newRow("as the list writes it")
            << store::entryCaption(6, QStringLiteral("x.bmp"), true, 4, 1) << "x.bmp" << 4 << 1;
        QTest::newRow("comma in the name") << "(4) <Group:2>a,b.bmp" << "a,b.bmp" << 2 << 0;
        QTest::newRow("angle in the name") << "(4) a>b.bmp" << "a>b.bmp" << 0 << 0;
        QTest::newRow("no number, marks") << "<Ticker:1> t.bmp" << "t.bmp" << 0 << 1;
        QTest::newRow("neither") << "nothing" << "0" << 0 << 0;
    }
    void parsesCaptions()
    {
        QFETCH(QString, caption);
        const EntryCaption parsed = parseEntryCaption(caption);
        QTEST(parsed.pictureName, "name");
        QTEST(parsed.group, "group");
        QTEST(parsed.ticker, "ticker");
    }

    void editionScales_data()
    {
        QTest::addColumn<int>("ledCount");
        QTest::addColumn<int>("thumbnail");
        QTest::addColumn<int>("zoom");
        QTest::newRow("11: whole banner at full size") << 11 << 1 << 4;
        QTest::newRow("16") << 16 << 1 << 3;
        QTest::newRow("24: full size, cut at 16") << 24 << 1 << 3;
        QTest::newRow("32") << 32 << 2 << 2;
        QTest::newRow("48") << 48 << 3 << 1;
    }
    void editionScales()
    {
        QFETCH(int, ledCount);
        QTEST(thumbnailScale(ledCount), "thumbnail");
        QTEST(previewZoom(ledCount), "zoom");
    }

    // A solid banner ledCount high and 48 wide: the thumbnail fills the slot's 16 rows where it is reduced to
    // 16 rows (or cut there) and ends 7 columns after its reduced width.
    void thumbnailsReduceBanners_data()
    {
        QTest::addColumn<int>("ledCount");
        QTest::newRow("11") << 11;
        QTest::newRow("16") << 16;
        QTest::newRow("24") << 24;
        QTest::newRow("32") << 32;
        QTest::newRow("48") << 48;
    }
    void thumbnailsReduceBanners()
    {
        QFETCH(int, ledCount);
        QImage banner(48, ledCount, QImage::Format_RGB32);
        banner.fill(Qt::black);
        QImage icon(16, 16, QImage::Format_RGB32);
        icon.fill(Qt::white);
        const int scale = thumbnailScale(ledCount);
        const QImage slot = drawThumbnail(253, QString(), QFont(), icon, banner, scale);
        QCOMPARE(slot.size(), QSize(253, 16));
        const int left = 11 + 16 + 4;
        const int right = left + 48 / scale + 7;
        const int bottom = std::min(16, ledCount / scale);
        QCOMPARE(slot.pixel(left, bottom - 1), qRgb(0, 0, 0));
        QCOMPARE(slot.pixel(right - 1, 0), qRgb(0, 0, 0));
        QCOMPARE(slot.pixel(right, 0), qRgb(255, 255, 255));
        if (bottom < 16)
            QCOMPARE(slot.pixel(left, bottom), qRgb(255, 255, 255));
    }

    void markInvertsBlue()
    {
        QImage slot(2, 1, QImage::Format_RGB32);
        slot.setPixel(0, 0, qRgb(255, 255, 255));
        slot.setPixel(1, 0, qRgb(0, 0, 0));
        invertBlue(slot);
        QCOMPARE(slot.pixel(0, 0), qRgb(255, 255, 0));
        QCOMPARE(slot.pixel(1, 0), qRgb(0, 0, 255));
        invertBlue(slot);
        QCOMPARE(slot.pixel(0, 0), qRgb(255, 255, 255));
    }

    void scrollBarFromFifteenRows_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("maximum");
        QTest::newRow("empty") << 0 << false << 1;
        QTest::newRow("14") << 14 << false << 1;
        QTest::newRow("15") << 15 << true << 1;
        QTest::newRow("255") << 255 << true << 241;
    }
    void scrollBarFromFifteenRows()
    {
        QFETCH(int, count);
        const ScrollRange range = scrollRange(count);
        QTEST(range.visible, "visible");
        QTEST(range.maximum, "maximum");
    }

    void scrollingShiftsTheStripByOneRow()
    {
        StripModel strip = stripWith(15);
        QCOMPARE(strip.rowOfSlot(0), 0);
        QCOMPARE(strip.rowOfSlot(13), 13);
        strip.scrollTo(1);
        QCOMPARE(strip.rowOfSlot(0), 1);
        QCOMPARE(strip.rowOfSlot(13), 14);
        strip.scrollTo(7); // beyond the maximum
        QCOMPARE(strip.scrollPosition(), 1);
        strip.setRows(rows(3)); // the list shrank: no scrolling left
        QCOMPARE(strip.scrollPosition(), 0);
        QCOMPARE(strip.rowOfSlot(3), -1);
        QVERIFY(!strip.clickSlot(3));
    }

    void clicksMarkOneSlot()
    {
        StripModel strip = stripWith(20);
        QVERIFY(strip.clickSlot(2));
        QVERIFY(strip.clickSlot(2)); // again: nothing changes
        QCOMPARE(markedSlots(strip), QList<int>{2});
        QVERIFY(strip.clickSlot(5));
        QCOMPARE(markedSlots(strip), QList<int>{5});
        QCOMPARE(strip.selectedRow(), 5);

        strip.scrollTo(2); // the selected row follows into slot 3
        QCOMPARE(markedSlots(strip), QList<int>{3});
        strip.scrollTo(6); // scrolled out of view: nothing marked
        QCOMPARE(markedSlots(strip), QList<int>{});
        QVERIFY(strip.clickSlot(3)); // marked afresh
        QCOMPARE(markedSlots(strip), QList<int>{3});
        QCOMPARE(strip.selectedRow(), 9);
        QCOMPARE(strip.selectedEntry(), 9);
    }

    // Each case: rows, scroll position, the slot clicked, the move (+1 down, -1 up) and where the moved entry
    // landed; then the scroll position and the one marked slot expected.
    void movesKeepTheHighlightOnTheEntry_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("scroll");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("move");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("expectedScroll");
        QTest::addColumn<int>("expectedSlot");
        QTest::newRow("down inside") << 5 << 0 << 1 << 1 << 2 << 0 << 2;
        QTest::newRow("up inside") << 5 << 0 << 3 << -1 << 2 << 0 << 2;
        QTest::newRow("down from the last visible slot") << 20 << 0 << 13 << 1 << 14 << 1 << 13;
        QTest::newRow("up from the last visible slot") << 20 << 0 << 13 << -1 << 12 << 0 << 12;
        QTest::newRow("up from slot 0, scrolled") << 20 << 3 << 0 << -1 << 2 << 2 << 0;
        QTest::newRow("up to row 0, scrolled") << 20 << 1 << 0 << -1 << 0 << 0 << 0;
        QTest::newRow("group block lands further up") << 20 << 0 << 5 << -1 << 2 << 0 << 2;
    }
    void movesKeepTheHighlightOnTheEntry()
    {
        QFETCH(int, count);
        QFETCH(int, scroll);
        QFETCH(int, slot);
        QFETCH(int, move);
        QFETCH(int, row);
        StripModel strip = stripWith(count, scroll);
        QVERIFY(strip.clickSlot(slot));
        strip.setRows(rows(count)); // the list is reloaded after the move
        if (move > 0)
            strip.showMovedDown(row);
        else
            strip.showMovedUp(row);
        QTEST(strip.scrollPosition(), "expectedScroll");
        QFETCH(int, expectedSlot);
        QCOMPARE(markedSlots(strip), QList<int>{expectedSlot});
        QCOMPARE(strip.selectedSlot(), expectedSlot);
        QCOMPARE(strip.selectedRow(), row);
    }

    void appendedRowComesIntoView()
    {
        StripModel strip = stripWith(14);
        strip.setRows(rows(15));
        strip.showAppendedRow();
        QCOMPARE(strip.scrollPosition(), 1);
        QCOMPARE(markedSlots(strip), QList<int>{13});
        QCOMPARE(strip.selectedRow(), 14);

        StripModel few = stripWith(3);
        few.showAppendedRow();
        QCOMPARE(markedSlots(few), QList<int>{2});
    }

    void cancelledTickerLeavesNothingMarked()
    {
        StripModel strip = stripWith(5);
        strip.clickSlot(1);
        strip.showTickerSet(true);
        QCOMPARE(strip.selectedSlot(), -1);
        QCOMPARE(markedSlots(strip), QList<int>{});
        strip.clickSlot(2);
        QCOMPARE(markedSlots(strip), QList<int>{2});
    }

    void captionNamesEditionAndVersion()
    {
        store::EditionParameters edition;
        edition.ledCount = 16;
        edition.versionLabel = QStringLiteral("  Ver 0.996");
        QCOMPARE(expressCaption(edition), QStringLiteral("Lumiwand 16  Ver 0.996"));
        edition.versionLabel = QStringLiteral("0");
        QCOMPARE(expressCaption(edition), QStringLiteral("Lumiwand 16"));
    }

    // Polls as a sequence of what discovery finds ('-' nothing, '+' a stick, 'c' a stick while a command runs,
    // 'd' a tick while the dialog is open) and the ticks at which the window asks.
    void pollAsksOncePerPlugIn_data()
    {
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<QString>("asks");
        QTest::newRow("plugged in") << "-++" << ".!.";
        QTest::newRow("in at start") << "++-+" << "!..!";
        QTest::newRow("in while a command runs") << "-cc+-+" << ".....!";
        QTest::newRow("dialog open") << "+dd+" << "!...";
    }
    void pollAsksOncePerPlugIn()
    {
        QFETCH(QString, ticks);
        DevicePoll poll;
        QString asks;
        for (const QChar tick : ticks) {
            poll.commandRunning = tick == u'c';
            poll.dialogOpen = tick == u'd';
            bool discovered = false;
            const DevicePoll::Step step = poll.poll([&] {
                discovered = true;
                return tick != u'-';
            });
            QCOMPARE(discovered, tick != u'd');
            if (tick == u'd')
                QCOMPARE(step.status, DevicePoll::Status::Unchanged);
            else
                QCOMPARE(step.status, tick == u'-' ? DevicePoll::Status::NoDevice : DevicePoll::Status::Connected);
            asks += step.ask ? u'!' : u'.';
        }
        QTEST(asks, "asks");
    }
};

QTEST_MAIN(tst_ExpressStrip)
#include "tst_ExpressStrip.moc"
