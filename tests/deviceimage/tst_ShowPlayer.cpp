#include "deviceimage/ImageCompiler.h"
#include "deviceimage/ShowPlayer.h"
#include "tests/deviceimage/ImageFixture.h"

#include <QTest>

using deviceimage::ShowState;
using deviceimage::ShowTimeline;
using deviceimage::kIntervalUnitUs;

namespace {

constexpr qint64 kSecond = 1000000;

// Three 16-row pictures told apart by the row they light, and the torch.
void drawPictures(const ImageFixture& f)
{
    for (int k = 0; k < 4; ++k)
        f.picture(QStringLiteral("p%1.bmp").arg(k), 4, 16, {{0, k}, {3, k}});
    f.filledPicture("LumiwandTorch.bmp", 16, 16);
}

QByteArray build(const ImageFixture& f, const QString& project, int type = deviceimage::kFanStick16)
{
    store::Project p(f.projectPath(project));
    return deviceimage::compileImage(deviceimage::CompileMode::Build, type, &p, f.context).image;
}

ShowTimeline showOf(const ImageFixture& f, const QByteArray& image, int type = deviceimage::kFanStick16)
{
    return deviceimage::readShow(image, type, f.context.edition);
}

// The picture number showing at a time (from 1), 0 for none.
int numberAt(const ShowTimeline& show, qint64 timeUs)
{
    const ShowState state = deviceimage::showState(show, timeUs);
    return state.entry < 0 ? 0 : show.entries[size_t(state.entry)].number;
}

// `picture` placed at (left, top) in a frame of the given width.
imaging::LitGrid placed(const imaging::LitGrid& picture, int columns, int left, int top)
{
    imaging::LitGrid frame(columns, picture.height());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.isLit(x, y))
                frame.setLit(left + x, top + y);
    return frame;
}

} // namespace

class tst_ShowPlayer : public QObject {
    Q_OBJECT

private slots:
    void playsPicturesAndCyclesGroups_data();
    void playsPicturesAndCyclesGroups();
    void tickersMoveByTheirType_data();
    void tickersMoveByTheirType();
    void torchAndIndelible();
    void speedSetsTheStrokeAndTheColumnSweepsForthAndBack();
    void fanSticksStoreTheSameShow();
    void damagedImagesNameTheFirstBadEntry_data();
    void damagedImagesNameTheFirstBadEntry();
    void stepGoesToTheNextShowing();
};

void tst_ShowPlayer::playsPicturesAndCyclesGroups_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QList<int>>("numbersEachTenthSecond"); // picture showing at 0.0 s, 0.1 s, ...

    // Movie interval 0.2 s; group interval 0.1 s.
    const QStringList settings{"MOVIE_INTERVAL=16", "MVG_SPEED1=8", "MVG_SPEED2=24"};
    QTest::newRow("plain pictures") << QStringList{"p0.bmp", "p1.bmp"} << settings
                                    << QList<int>{1, 1, 2, 2, 1, 1};
    // The group plays for the movie interval, its members taking turns at the group interval.
    QTest::newRow("group within the movie interval")
        << QStringList{"p0.bmp", "p1.bmp g1", "p2.bmp g1", "p3.bmp"} << settings
        << QList<int>{1, 1, 2, 3, 4, 4, 1};
    // A group of three members at 0.1 s plays one whole round (0.3 s) although the movie interval is shorter.
    QTest::newRow("group longer than the movie interval")
        << QStringList{"p1.bmp g1", "p2.bmp g1", "p3.bmp g1", "p0.bmp"} << settings
        << QList<int>{1, 2, 3, 4, 4, 1};
    // Two groups side by side stay apart; group 2 shows each member 0.3 s.
    QTest::newRow("two groups") << QStringList{"p0.bmp g1", "p1.bmp g1", "p2.bmp g2", "p3.bmp g2"} << settings
                                << QList<int>{1, 2, 3, 3, 3, 4, 4, 4, 1};
}

void tst_ShowPlayer::playsPicturesAndCyclesGroups()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, settings);
    QFETCH(QList<int>, numbersEachTenthSecond);
    ImageFixture f;
    drawPictures(f);
    f.project("Show", 16, 16, entries, settings);
    const ShowTimeline show = showOf(f, build(f, "Show"));
    QVERIFY(show.problem.isEmpty());
    QCOMPARE(show.entries.size(), size_t(entries.size()));
    QList<int> numbers;
    for (int k = 0; k < numbersEachTenthSecond.size(); ++k)
        numbers << numberAt(show, k * kSecond / 10 + 1000);
    QCOMPARE(numbers, numbersEachTenthSecond);
    // Every picture comes out as it went in.
    for (const deviceimage::ShowEntry& entry : show.entries)
        QVERIFY(entry.picture.isLit(0, entry.picture.toRows().indexOf(QStringLiteral("#..#"))));
}

void tst_ShowPlayer::tickersMoveByTheirType_data()
{
    QTest::addColumn<int>("ticker");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("left"); // where the picture stands; columns of the stroke when off to the right
    QTest::addColumn<int>("top");

    // The 16-LED stroke holds 96 columns at the default speed; the 4-column picture stands centred at 46.
    QTest::newRow("marquee enters at the right") << 1 << 0 << 96 << 0;
    QTest::newRow("marquee moves a column a step") << 1 << 10 << 86 << 0;
    QTest::newRow("marquee leaves at the left") << 1 << 99 << -3 << 0;
    QTest::newRow("marquee comes round again") << 1 << 100 << 96 << 0;
    QTest::newRow("slider moving") << 2 << 40 << 56 << 0;
    QTest::newRow("slider stops centred") << 2 << 80 << 46 << 0;
    QTest::newRow("top down starts above") << 3 << 0 << 46 << -16;
    QTest::newRow("top down drops a row a step") << 3 << 5 << 46 << -11;
    QTest::newRow("top down stops in place") << 3 << 30 << 46 << 0;
    QTest::newRow("no ticker stands still") << 0 << 30 << 46 << 0;
}

void tst_ShowPlayer::tickersMoveByTheirType()
{
    QFETCH(int, ticker);
    QFETCH(int, steps);
    QFETCH(int, left);
    QFETCH(int, top);
    ImageFixture f;
    drawPictures(f);
    // Ticker speed 5: 40 steps a second, 25 ms a step. A long movie interval keeps the picture on.
    f.project("Show", 16, 16, {QStringLiteral("p2.bmp t%1").arg(ticker)}, {"TICKER_SPEED=5", "MOVIE_INTERVAL=800"});
    const ShowTimeline show = showOf(f, build(f, "Show"));
    QCOMPARE(show.entries.at(0).ticker, ticker);
    QCOMPARE(show.entries.at(0).strokeColumns, f.context.edition.maxBannerWidth);
    const ShowState state = deviceimage::showState(show, steps * 25000 + 100);
    QCOMPARE(state.frame, placed(show.entries.at(0).picture, 96, left, top));
}

void tst_ShowPlayer::torchAndIndelible()
{
    ImageFixture f;
    drawPictures(f);
    f.project("Show", 16, 16, {"p0.bmp i", "LumiwandTorch.bmp"}, {"MOVIE_INTERVAL=16"});
    const ShowTimeline show = showOf(f, build(f, "Show"));
    QCOMPARE(show.entries.size(), size_t(2));
    QVERIFY(show.entries[0].indelible && !show.entries[0].torch);
    QVERIFY(show.entries[1].torch && !show.entries[1].indelible);
    QVERIFY(deviceimage::describeEntry(show, 0).contains(QStringLiteral("indelible")));
    QVERIFY(deviceimage::describeEntry(show, 1).contains(QStringLiteral("torch")));
    // The torch lights every LED whatever the stroke is doing, and the eye sees the whole stroke lit.
    for (const qint64 time : {qint64(200000), qint64(250000), qint64(399000)}) {
        const ShowState state = deviceimage::showState(show, time);
        QCOMPARE(state.entry, 1);
        for (int row = 0; row < 16; ++row)
            QVERIFY(state.ledLit(row));
        QVERIFY(state.frame.isLit(0, 0) && state.frame.isLit(95, 15));
    }
    // The indelible picture is drawn only where its columns pass.
    const ShowState first = deviceimage::showState(show, 0);
    QCOMPARE(first.column, 0);
    QVERIFY(!first.ledLit(0));
}

void tst_ShowPlayer::speedSetsTheStrokeAndTheColumnSweepsForthAndBack()
{
    ImageFixture f;
    drawPictures(f);
    // Coarse 17, fine 1: (4354 + 256) / (2050 + 256) = twice the default column time, half the columns.
    f.records({"p0.bmp;4354"}, {});
    f.project("Show", 16, 16, {"p0.bmp"});
    const ShowTimeline show = showOf(f, build(f, "Show"));
    const deviceimage::ShowEntry& entry = show.entries.at(0);
    QCOMPARE(entry.strokeColumns, 48);
    QCOMPARE(entry.speed, 4354);
    // Forth: column k lit k column times into the stroke; back: the other way.
    QCOMPARE(deviceimage::showState(show, 0).column, 0);
    QCOMPARE(deviceimage::showState(show, 22 * entry.columnUs + 1).column, 22);
    QCOMPARE(deviceimage::showState(show, deviceimage::kStrokeUs + 1).column, 47);
    QCOMPARE(deviceimage::showState(show, deviceimage::kStrokeUs + 22 * entry.columnUs + 1).column, 25);
    // The picture's first column (centred at 22) lights rows 0 when its column passes.
    QVERIFY(deviceimage::showState(show, 22 * entry.columnUs + 1).ledLit(0));
    QVERIFY(!deviceimage::showState(show, 21 * entry.columnUs + 1).ledLit(0));
}

void tst_ShowPlayer::fanSticksStoreTheSameShow()
{
    ImageFixture f;
    drawPictures(f);
    f.project("Show", 16, 16, {"p0.bmp", "p1.bmp g1", "p2.bmp g1"}, {"MOVIE_INTERVAL=40", "MVG_SPEED1=12"});
    const ShowTimeline fan = showOf(f, build(f, "Show", deviceimage::kFanStick16), deviceimage::kFanStick16);
    const ShowTimeline plain =
        showOf(f, build(f, "Show", deviceimage::kVisuallyInviting), deviceimage::kVisuallyInviting);
    QCOMPARE(fan.movieInterval, 40);
    QCOMPARE(plain.movieInterval, 40);
    QCOMPARE(fan.durationUs, plain.durationUs);
    QCOMPARE(fan.durationUs, 2 * 40 * kIntervalUnitUs);
    for (size_t k = 0; k < fan.entries.size(); ++k) {
        QCOMPARE(fan.entries[k].picture, plain.entries[k].picture);
        QCOMPARE(fan.entries[k].interval, plain.entries[k].interval);
    }
}

void tst_ShowPlayer::damagedImagesNameTheFirstBadEntry_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("firstBad");
    QTest::addColumn<int>("playable");
    QTest::addColumn<QString>("problem"); // how the problem starts

    // The image: 10 header bytes, 3 link entries of 8, then 3 pictures of 8 bytes from byte 34.
    QTest::newRow("whole") << "" << 0 << 3 << "";
    QTest::newRow("cut in the second picture's columns") << "cut 46" << 2 << 1 << "Picture 2 of 3 cannot be read";
    QTest::newRow("cut before the pattern data") << "cut 30" << 1 << 0 << "Picture 1 of 3 cannot be read";
    QTest::newRow("third picture of no columns") << "width0 3" << 3 << 2 << "Picture 3 of 3 cannot be read";
    QTest::newRow("length field wrong, pictures whole") << "total" << 0 << 3 << "The image is damaged";
    QTest::newRow("bytes after the last picture") << "extra" << 0 << 3 << "The image is damaged";
    QTest::newRow("header cut") << "cut 6" << 1 << 0 << "The image is too short";
    QTest::newRow("empty") << "cut 0" << 0 << 0 << "The image is empty";
    QTest::newRow("height 0") << "height0" << 1 << 0 << "The image's picture height is 0";
}

void tst_ShowPlayer::damagedImagesNameTheFirstBadEntry()
{
    QFETCH(QString, damage);
    QFETCH(int, firstBad);
    QFETCH(int, playable);
    QFETCH(QString, problem);
    ImageFixture f;
    drawPictures(f);
    f.project("Show", 16, 16, {"p0.bmp", "p1.bmp", "p2.bmp"});
    QByteArray image = build(f, "Show");
    QCOMPARE(image.size(), 10 + 3 * 8 + 3 * 4 * 2);
    const QString what = damage.section(u' ', 0, 0);
    const int value = damage.section(u' ', 1).toInt();
    if (what == "cut")
        image.truncate(value);
    else if (what == "width0")
        deviceimage::writeWord(image, 6 + 8 * (value - 1), 0);
    else if (what == "total")
        deviceimage::writeWord(image, 2, 999);
    else if (what == "extra")
        image.append("\xFF\xFF", 2);
    else if (what == "height0")
        image[1] = 0;

    const ShowTimeline show = showOf(f, image);
    QCOMPARE(show.firstBadEntry, firstBad);
    QCOMPARE(int(show.entries.size()), playable);
    QCOMPARE(show.problem.left(problem.size()), problem);
    QCOMPARE(show.problem.isEmpty(), problem.isEmpty());
    // What could be read plays; an image with nothing readable shows nothing and does not fail.
    QCOMPARE(deviceimage::showState(show, 123456).entry >= 0, playable > 0);
}

void tst_ShowPlayer::stepGoesToTheNextShowing()
{
    ImageFixture f;
    drawPictures(f);
    f.project("Show", 16, 16, {"p0.bmp", "p1.bmp g1", "p2.bmp g1"}, {"MOVIE_INTERVAL=16", "MVG_SPEED1=8"});
    const ShowTimeline show = showOf(f, build(f, "Show"));
    QList<int> numbers;
    qint64 time = 0;
    for (int k = 0; k < 5; ++k) {
        numbers << numberAt(show, time);
        time = deviceimage::nextShowing(show, time);
    }
    QCOMPARE(numbers, (QList<int>{1, 2, 3, 1, 2}));
}

QTEST_GUILESS_MAIN(tst_ShowPlayer)
#include "tst_ShowPlayer.moc"
