#include "imaging/Fonts.h"
#include "imaging/TextBanner.h"
#include "store/LibraryCatalogue.h"
#include "tests/support/TestFiles.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace imaging;

namespace {

// Rows of the grid that hold a lit cell: first and last (-1, -1 when none).
QPair<int, int> litRows(const LitGrid& grid)
{
    int first = -1, last = -1;
    for (int y = 0; y < grid.height(); ++y)
        for (int x = 0; x < grid.width(); ++x)
            if (grid.isLit(x, y)) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

bool rowBlank(const LitGrid& grid, int y)
{
    for (int x = 0; x < grid.width(); ++x)
        if (grid.isLit(x, y))
            return false;
    return true;
}

} // namespace

class tst_TextBanner : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        installFontSubstitutions();
    }

    void windowsFacesHaveStandIns_data()
    {
        QTest::addColumn<QString>("face");
        QTest::newRow("text tools") << kDefaultTextFace;
        QTest::newRow("express banners") << kBannerFace;
    }
    void windowsFacesHaveStandIns()
    {
        QFETCH(QString, face);
        const QStringList substitutes = substitutesFor(face);
        QVERIFY(!substitutes.isEmpty());
        const QStringList installed = QFontDatabase::families();
        const auto first = std::find_if(substitutes.begin(), substitutes.end(),
                                        [&](const QString& family) { return installed.contains(family); });
        if (first == substitutes.end())
            QSKIP("none of the stand-ins is installed (scripts/install-deps.sh installs them)");
        QCOMPARE(QFontInfo(QFont(face)).family(), *first);
    }

    void textLimits_data()
    {
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("layoutList");
        QTest::newRow("11") << 11 << 18 << false;
        QTest::newRow("16") << 16 << 18 << false;
        QTest::newRow("24") << 24 << 40 << true;
        QTest::newRow("32") << 32 << 40 << true;
        QTest::newRow("48") << 48 << 40 << true;
    }
    void textLimits()
    {
        QFETCH(int, leds);
        QFETCH(int, limit);
        QFETCH(bool, layoutList);
        QCOMPARE(bannerTextLimit(leds), limit);
        QCOMPARE(offersLayoutChoice(leds), layoutList);
    }

    void fillsTheLedHeight_data()
    {
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<QString>("text");
        QTest::newRow("16 LEDs") << QSize(96, 16) << "Hello";
        QTest::newRow("32 LEDs") << QSize(128, 32) << "Lumi";
        QTest::newRow("Japanese") << QSize(96, 16) << QStringLiteral("日本語");
        QTest::newRow("Thai") << QSize(96, 16) << QStringLiteral("สวัสดี");
        QTest::newRow("Cyrillic") << QSize(96, 16) << QStringLiteral("Привет");
    }
    void fillsTheLedHeight()
    {
        QFETCH(QSize, canvas);
        QFETCH(QString, text);
        BannerComposer composer(canvas);
        QFont font = defaultTextFont();
        const Banner banner = composer.compose(text, font, {});
        QVERIFY(banner.drawn);
        QCOMPARE(banner.preview.size(), canvas);
        QVERIFY(banner.pointSize > kFirstTextSize);
        QVERIFY(banner.height <= canvas.height());
        QVERIFY(banner.width <= canvas.width());
        // The search went as far as it could: one size more would be too tall or too wide.
        QFont bigger = font;
        bigger.setPointSize(font.pointSize() + 1);
        const Ink next = composer.MeasureInk(text, bigger);
        QVERIFY(banner.height == canvas.height() || next.height() > canvas.height() || next.right > canvas.width());
        const auto [first, last] = litRows(banner.grid());
        QCOMPARE(first, 0); // the preview starts at the ink's top row
        QCOMPARE(last, banner.height - 1);
    }

    void blankTextDrawsNothing()
    {
        BannerComposer composer(QSize(96, 16));
        QFont font = defaultTextFont();
        QVERIFY(!composer.compose(QString(), font, {}).drawn);
        QVERIFY(!composer.compose(QStringLiteral("   "), font, {}).drawn);
        QVERIFY(!composer.MeasureInk(QStringLiteral(" "), font).found);
    }

    void keptSizeStepsDownWhileTooBig()
    {
        BannerComposer composer(QSize(96, 16));
        QFont font = defaultTextFont();
        font.setPointSize(40);
        BannerOptions kept;
        kept.autoFit = false;
        composer.compose(QStringLiteral("Hi"), font, kept);
        QCOMPARE(font.pointSize(), 39);
        composer.compose(QStringLiteral("Hi"), font, kept);
        QCOMPARE(font.pointSize(), 38);
        font.setPointSize(8); // fits: stays
        composer.compose(QStringLiteral("Hi"), font, kept);
        QCOMPARE(font.pointSize(), 8);
    }

    void longWordOnTallStickIsFittedToHalfHeight()
    {
        // Too wide to be more than 16 rows high on 128 columns: the two-line search finds no space and fits the
        // word as one line of 16 rows.
        BannerComposer composer(QSize(128, 32));
        QFont font = defaultTextFont();
        const Banner banner = composer.compose(QStringLiteral("ABCDEFGHIJKLMNOPQR"), font, {});
        QVERIFY(banner.drawn);
        QVERIFY(!banner.twoLines);
        QVERIFY(banner.height <= 16);
    }

    void wrapSplitsAtTheSpaceAndCentres()
    {
        BannerComposer composer(QSize(288, 48));
        QFont font = defaultTextFont();
        BannerOptions wrap;
        wrap.wrapText = true;
        const Banner banner = composer.compose(QStringLiteral("Hello World"), font, wrap);
        QVERIFY(banner.twoLines);
        const LitGrid grid = banner.grid();
        const auto [first, last] = litRows(grid);
        QVERIFY(last - first + 1 <= 48);
        QVERIFY(qAbs(first - (47 - last)) <= 2); // centred
        // One blank row between the lines somewhere in the middle.
        bool gap = false;
        for (int y = first + 1; y < last; ++y)
            gap = gap || rowBlank(grid, y);
        QVERIFY(gap);
    }

    void alignmentSpreadsOverTheWidth()
    {
        BannerComposer composer(QSize(96, 16));
        QFont font = defaultTextFont();
        BannerOptions align;
        align.autoAlign = true;
        const Banner banner = composer.compose(QStringLiteral("ab"), font, align);
        QCOMPARE(banner.width, 96);
        const LitGrid grid = banner.grid();
        int rightmost = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 96; ++x)
                if (grid.isLit(x, y))
                    rightmost = std::max(rightmost, x);
        QVERIFY2(rightmost > 70, qPrintable(QString::number(rightmost))); // "b" pushed towards the right edge
    }

    void textBlock_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("inked");
        QTest::newRow("47 points: 64 x 64") << "A" << 47 << 64 << true;
        QTest::newRow("48 points: 128 x 128") << "A" << 48 << 128 << true;
        QTest::newRow("a space has no ink") << " " << 10 << 64 << false;
    }
    void textBlock()
    {
        QFETCH(QString, text);
        QFETCH(int, size);
        QFETCH(int, side);
        QFETCH(bool, inked);
        QFont font = defaultTextFont();
        font.setPointSize(size);
        const TextBlock block = renderTextBlock(text, font);
        QCOMPARE(block.image.size(), QSize(side, side));
        if (!inked) {
            QCOMPARE(block.width(), 0);
            QCOMPARE(block.height(), 0);
            QCOMPARE(block.left, side);
            QCOMPARE(block.bottom, -1);
            return;
        }
        QVERIFY(block.width() > 0 && block.height() > 0);
        // The box is tight: ink on each of its edges.
        const LitGrid grid = LitGrid::fromImage(block.image, LitRule::LitBelow);
        bool leftInk = false, topInk = false;
        for (int i = 0; i < side; ++i) {
            leftInk = leftInk || grid.isLit(block.left, i);
            topInk = topInk || grid.isLit(i, block.top);
        }
        QVERIFY(leftInk && topInk);
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stem");
        QTest::newRow("plain, spaces around trimmed") << "  Hello " << "Hello";
        QTest::newRow("folder separators") << "a/b\\c" << "a_b_c";
        QTest::newRow("records' separators") << "x=y;z" << "x_y_z";
        QTest::newRow("hidden") << ".profile" << "_profile";
        QTest::newRow("comment and section marks") << "#1" << "_1";
        QTest::newRow("control character") << QStringLiteral("a\tb\x01") << "a_b_";
        QTest::newRow("dots") << "Wait..." << "Wait.__";
        QTest::newRow("Japanese") << QStringLiteral("日本語") << QStringLiteral("日本語");
        QTest::newRow("blank") << "   " << "";
    }
    void fileNames()
    {
        QFETCH(QString, text);
        QFETCH(QString, stem);
        QCOMPARE(bannerFileStem(text), stem);
        if (!stem.isEmpty())
            QVERIFY(store::isStorablePictureName(stem + ".bmp"));
    }

    void longTextFitsTheFileSystem()
    {
        const QString stem = bannerFileStem(QString(200, QChar(0x65E5))); // 600 bytes in UTF-8
        QVERIFY(stem.toUtf8().size() <= 240);
        QVERIFY(store::isStorablePictureName(stem + "99.bmp"));
    }

    void secondBannerOfTheSameTextIsNumbered()
    {
        QTemporaryDir dir;
        const QString clips = dir.path() + "/";
        QCOMPARE(bannerFileName(clips, "Hello"), QString("Hello.bmp"));
        writeFile(clips + "Hello.bmp", "x");
        QCOMPARE(bannerFileName(clips, "Hello"), QString("Hello0.bmp"));
        writeFile(clips + "Hello0.bmp", "x");
        QCOMPARE(bannerFileName(clips, " Hello "), QString("Hello1.bmp"));
        QCOMPARE(bannerFileName(clips, " "), QString());
    }
};

QTEST_MAIN(tst_TextBanner)
#include "tst_TextBanner.moc"
