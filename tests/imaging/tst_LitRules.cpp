#include "imaging/Colour.h"
#include "imaging/LitGrid.h"
#include "imaging/Picture.h"

#include <QTest>

using namespace imaging;

class tst_LitRules : public QObject {
    Q_OBJECT

private slots:
    void colourValueIsBlueGreenRed();
    void rules_data();
    void rules();
    void thresholdRule_data();
    void thresholdRule();
    void luminanceRounding_data();
    void luminanceRounding();
    void pictureAppliesRuleToEveryPixel();
    void gridRowsAndImage();
};

void tst_LitRules::colourValueIsBlueGreenRed()
{
    QCOMPARE(colourValue(qRgb(0x12, 0x34, 0x56)), ColourValue(0x563412));
    QCOMPARE(rgbOf(0x563412), qRgb(0x12, 0x34, 0x56));
    QCOMPARE(colourValue(qRgba(255, 0, 0, 0)), kPureRed); // alpha plays no part
    QCOMPARE(LitThreshold, ColourValue(10197915));
}

void tst_LitRules::rules_data()
{
    QTest::addColumn<uint>("colour");
    QTest::addColumn<bool>("below");
    QTest::addColumn<bool>("atMost");
    QTest::addColumn<bool>("byLuminance");

    // Black and white: every rule agrees.
    QTest::newRow("black") << 0x000000u << true << true << true;
    QTest::newRow("white") << 0xFFFFFFu << false << false << false;
    // The threshold grey itself separates the first two rules.
    QTest::newRow("threshold grey") << 0x9B9B9Bu << false << true << true;
    QTest::newRow("one above") << 0x9B9B9Cu << false << false << true;
    QTest::newRow("grey 156") << 0x9C9C9Cu << false << false << false;
    QTest::newRow("one below") << 0x9B9B9Au << true << true << true;
    // Blue dominates the colour value; luminance weighs green most.
    QTest::newRow("pure red") << 0x0000FFu << true << true << true;
    QTest::newRow("pure green") << 0x00FF00u << true << true << true;
    QTest::newRow("pure blue") << 0xFF0000u << false << false << true;
    QTest::newRow("yellow") << 0x00FFFFu << true << true << false;
    QTest::newRow("light blue") << 0xFF9B9Bu << false << false << false;
}

void tst_LitRules::rules()
{
    QFETCH(uint, colour);
    QFETCH(bool, below);
    QFETCH(bool, atMost);
    QFETCH(bool, byLuminance);
    QCOMPARE(litBelow(colour), below);
    QCOMPARE(litAtMost(colour), atMost);
    QCOMPARE(litByLuminance(colour), byLuminance);
    QCOMPARE(isLit(colour, LitRule::LitBelow), below);
    QCOMPARE(isLit(colour, LitRule::LitAtMost), atMost);
    QCOMPARE(isLit(colour, LitRule::LitByLuminance), byLuminance);
}

void tst_LitRules::thresholdRule_data()
{
    QTest::addColumn<uint>("colour");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("lit");

    QTest::newRow("grey at its own level") << 0x808080u << 128 << true;
    QTest::newRow("grey one above") << 0x818181u << 128 << false;
    QTest::newRow("black at 0") << 0x000000u << 0 << true;
    QTest::newRow("dark red at 0") << 0x000001u << 0 << false;
    QTest::newRow("white at 254") << 0xFFFFFFu << 254 << false;
    QTest::newRow("blue beats a light grey") << 0xFF0000u << 254 << false;
    QTest::newRow("red under a dark grey") << 0x0000FFu << 1 << true;
}

void tst_LitRules::thresholdRule()
{
    QFETCH(uint, colour);
    QFETCH(int, threshold);
    QFETCH(bool, lit);
    QCOMPARE(litAtThreshold(colour, threshold), lit);
}

void tst_LitRules::luminanceRounding_data()
{
    QTest::addColumn<uint>("colour");
    QTest::addColumn<int>("level");

    QTest::newRow("pure red 76.5 up") << 0x0000FFu << 77;
    QTest::newRow("pure green 150.45") << 0x00FF00u << 150;
    QTest::newRow("pure blue 28.05") << 0xFF0000u << 28;
    QTest::newRow("white") << 0xFFFFFFu << 255;
    QTest::newRow("black") << 0x000000u << 0;
    QTest::newRow("grey keeps its level") << 0x9B9B9Bu << 155;
    QTest::newRow("red 5: 1.5 up") << 0x000005u << 2;
    QTest::newRow("red 1: 0.3 down") << 0x000001u << 0;
    QTest::newRow("blue 5: 0.55 up") << 0x050000u << 1;
    QTest::newRow("red 255 green 1: 77.09") << 0x0001FFu << 77;
    QTest::newRow("cyan 178.5 up") << 0xFFFF00u << 179;
}

void tst_LitRules::luminanceRounding()
{
    QFETCH(uint, colour);
    QFETCH(int, level);
    QCOMPARE(luminance(colour), level);
    QCOMPARE(luminanceColour(colour), ColourValue(level) * 0x010101u);
}

void tst_LitRules::pictureAppliesRuleToEveryPixel()
{
    // One row of five colours in an indexed image: the picture converts any format to colour values.
    QImage image(5, 2, QImage::Format_Indexed8);
    image.setColorTable({rgbOf(kBlack), rgbOf(kWhite), rgbOf(LitThreshold), rgbOf(kPureBlue), rgbOf(kPureRed)});
    for (int x = 0; x < 5; ++x) {
        image.setPixel(x, 0, uint(x));
        image.setPixel(x, 1, uint(4 - x));
    }
    const Picture picture(image);
    QCOMPARE(picture.size(), QSize(5, 2));
    QCOMPARE(picture.colourAt(2, 0), LitThreshold);
    QCOMPARE(picture.colourAt(3, 0), kPureBlue);
    QCOMPARE(picture.litGrid(LitRule::LitBelow).toRows(), QStringList({"#...#", "#...#"}));
    QCOMPARE(picture.litGrid(LitRule::LitAtMost).toRows(), QStringList({"#.#.#", "#.#.#"}));
    QCOMPARE(picture.litGrid(LitRule::LitByLuminance).toRows(), QStringList({"#.###", "###.#"}));
    QVERIFY(!picture.isLit(-1, 0, LitRule::LitAtMost));
    QVERIFY(!picture.isLit(5, 0, LitRule::LitAtMost));
    QVERIFY(picture.isLit(4, 1, LitRule::LitAtMost));
}

void tst_LitRules::gridRowsAndImage()
{
    const LitGrid grid = LitGrid::fromRows({"#..#", ".##", "#"});
    QCOMPARE(grid.width(), 4);
    QCOMPARE(grid.toRows(), QStringList({"#..#", ".##.", "#..."}));
    QCOMPARE(LitGrid::fromImage(grid.toImage(), LitRule::LitBelow), grid);
    QCOMPARE(grid.toImage().pixel(0, 0), rgbOf(kBlack));
    QCOMPARE(grid.toImage().pixel(1, 0), rgbOf(kWhite));
    QCOMPARE(grid.leftColumns(2).toRows(), QStringList({"#.", ".#", "#."}));
    QCOMPARE(grid.leftColumns(9), grid);
}

QTEST_GUILESS_MAIN(tst_LitRules)
#include "tst_LitRules.moc"
