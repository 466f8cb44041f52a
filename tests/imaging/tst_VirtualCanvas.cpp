#include "imaging/VirtualCanvas.h"
#include "store/Edition.h"

#include <QSignalSpy>
#include <QTest>

using imaging::VirtualCanvas;
using Target = VirtualCanvas::Target;
using Direction = VirtualCanvas::Direction;
using Selection = VirtualCanvas::Selection;

Q_DECLARE_METATYPE(Selection)

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

// A canvas set up as the editor page does it for the edition the program name selects, drawing into its own
// views. A literal picture ("#" lit, "." unlit) replaces the full-size canvas with one of the literal's size.
struct Fixture {
    VirtualCanvas canvas;
    QImage grid, overlay, preview;

    explicit Fixture(const QString& program = QStringLiteral("Lumiwand16"))
    {
        const store::EditionParameters edition = store::deriveEdition(program);
        canvas.SetGeometry(edition.pictureWidth, edition.ledCount);
        canvas.BindViews(&grid, &overlay, &preview);
        canvas.Reset(edition.maxBannerWidth, edition.ledCount);
    }
    explicit Fixture(const QStringList& picture) : Fixture()
    {
        canvas.Reset(int(picture.first().size()), int(picture.size()));
        draw(picture, Target::Canvas);
    }

    void draw(const QStringList& picture, Target target)
    {
        for (int row = 0; row < picture.size(); ++row)
            for (int col = 0; col < picture[row].size(); ++col)
                canvas.SetCell(col, row, picture[row][col] == u'#' ? 1 : 0, target, false);
    }
    QStringList cells(Target target = Target::Canvas) const { return canvas.litGrid(target).toRows(); }
    int litCount() const { return int(cells().join(QString()).count(u'#')); }
};

} // namespace

class TestVirtualCanvas : public QObject {
    Q_OBJECT

private slots:
    void geometryPerEdition_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cellSize");
        QTest::addColumn<int>("topMargin");
        QTest::addColumn<int>("visibleColumns");
        QTest::addColumn<int>("maxScroll");
        QTest::newRow("11 LEDs, centred") << "Lumiwand11" << 96 << 11 << 24 << 60 << 24 << 72;
        QTest::newRow("16 LEDs") << "Lumiwand16" << 96 << 16 << 24 << 0 << 24 << 72;
        QTest::newRow("24 LEDs") << "Lumiwand24" << 128 << 24 << 16 << 0 << 36 << 92;
        QTest::newRow("32 LEDs") << "Lumiwand32" << 128 << 32 << 12 << 0 << 48 << 80;
        QTest::newRow("48 LEDs") << "Lumiwand48" << 288 << 48 << 8 << 0 << 72 << 216;
    }
    void geometryPerEdition()
    {
        QFETCH(QString, program);
        const Fixture f(program);
        QTEST(f.canvas.width(), "width");
        QTEST(f.canvas.rows(), "rows");
        QTEST(f.canvas.cellSize(), "cellSize");
        QTEST(f.canvas.topMargin(), "topMargin");
        QTEST(f.canvas.visibleColumns(), "visibleColumns");
        QTEST(f.canvas.maxScroll(), "maxScroll");
        QCOMPARE(f.canvas.leftOrigin(), 0);
        QCOMPARE(f.grid.size(), QSize(576, 384));
        QCOMPARE(f.preview.size(), QSize(f.canvas.width(), f.canvas.rows()));
        QCOMPARE(f.canvas.overlayBlockSize(3, 2),
                 QSize(3 * f.canvas.cellSize() + 1, 2 * f.canvas.cellSize() + f.canvas.topMargin() + 1));
    }

    // Grid lines at their positions, lit squares filled up to the lines, nothing drawn in the margins; the last
    // visible column and the last row are filled up to the right and bottom borders.
    void gridLinesAndFills_data() { geometryPerEdition_data(); }
    void gridLinesAndFills()
    {
        QFETCH(QString, program);
        Fixture f(program);
        const int cell = f.canvas.cellSize(), top = f.canvas.topMargin(), rows = f.canvas.rows();
        const int last = f.canvas.visibleColumns() - 1, bottom = 383 - top;
        f.canvas.SetCell(0, 0, 1, Target::Canvas, false);
        f.canvas.SetCell(last, rows - 1, 1, Target::Canvas, false);
        f.canvas.SetCell(last + 1, rows - 1, 1, Target::Canvas, false); // outside the view at scroll 0
        f.canvas.Render(Target::Canvas, 0);
        const QImage& g = f.grid;

        for (int i = 0; i < rows; ++i) {
            QCOMPARE(g.pixel(cell + cell / 2, i * cell + top), kBlack);
            QCOMPARE(g.pixel(574, i * cell + top), kBlack);
        }
        QCOMPARE(g.pixel(cell + cell / 2, bottom), kBlack);
        for (int i = 0; i <= last; ++i)
            QCOMPARE(g.pixel(i * cell, top + cell + cell / 2), kBlack);
        QCOMPARE(g.pixel(575, top + cell + cell / 2), kBlack);
        QCOMPARE(g.pixel(575, bottom), kBlack);

        // The square of cell (0, 0) is black inside its lines, its neighbours white.
        QCOMPARE(g.pixel(1, top + 1), kBlack);
        QCOMPARE(g.pixel(cell - 1, top + cell - 1), kBlack);
        QCOMPARE(g.pixel(cell + 1, top + 1), kWhite);
        QCOMPARE(g.pixel(1, top + cell + 1), kWhite);
        // The last visible square reaches the borders; the one left of it stays white.
        const int lastLeft = last * cell, lastTop = (rows - 1) * cell + top;
        QCOMPARE(g.pixel(lastLeft + 1, lastTop + 1), kBlack);
        QCOMPARE(g.pixel(574, bottom - 1), kBlack);
        QCOMPARE(g.pixel(lastLeft - 1, lastTop + 1), kWhite);
        QCOMPARE(g.pixel(lastLeft, lastTop + 1), kBlack); // its grid line

        if (top > 0) {
            QCOMPARE(g.pixel(0, top - 1), kWhite);
            QCOMPARE(g.pixel(575, top - 1), kWhite);
            QCOMPARE(g.pixel(0, bottom + 1), kWhite);
            QCOMPARE(g.pixel(cell / 2, 383), kWhite);
        }
    }

    void scrollMovesTheGridNotThePreview()
    {
        Fixture f(QStringLiteral("Lumiwand32"));
        f.canvas.SetCell(80, 0, 1, Target::Canvas, false);
        f.canvas.SetCell(127, 31, 1, Target::Canvas, false);
        f.canvas.SetCell(0, 5, 1, Target::Canvas, false);
        QSignalSpy rendered(&f.canvas, &VirtualCanvas::rendered);
        f.canvas.Render(Target::Canvas, 80);
        QCOMPARE(rendered.count(), 1);
        QCOMPARE(rendered.first().first().value<Target>(), Target::Canvas);

        QCOMPARE(f.grid.pixel(6, 6), kBlack);                     // picture column 80 at view column 0
        QCOMPARE(f.grid.pixel(47 * 12 + 6, 31 * 12 + 6), kBlack); // picture column 127 at view column 47
        QCOMPARE(f.grid.pixel(6, 5 * 12 + 6), kWhite);            // picture column 0 is scrolled away
        const QImage atEighty = f.preview;
        QCOMPARE(atEighty.size(), QSize(128, 32));
        QCOMPARE(atEighty.pixel(0, 5), kBlack);
        QCOMPARE(atEighty.pixel(80, 0), kBlack);
        QCOMPARE(atEighty.pixel(127, 31), kBlack);
        QCOMPARE(atEighty.pixel(1, 5), kWhite);

        f.canvas.Render(Target::Canvas, 0);
        QCOMPARE(f.grid.pixel(6, 5 * 12 + 6), kBlack);
        QCOMPARE(f.preview, atEighty);
        QCOMPARE(imaging::LitGrid::fromImage(f.preview, imaging::LitRule::LitAtMost), f.canvas.litGrid());
    }

    // The text block in blue and the copied block in red, drawn from their own column 0 whatever the scroll,
    // into the overlay only.
    void blocksDrawIntoTheOverlay_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QRgb>("ink");
        QTest::newRow("text") << Target::Text << qRgb(0, 0, 255);
        QTest::newRow("copy") << Target::Copy << qRgb(255, 0, 0);
    }
    void blocksDrawIntoTheOverlay()
    {
        QFETCH(Target, target);
        QFETCH(QRgb, ink);
        Fixture f(QStringLiteral("Lumiwand11"));
        f.canvas.Render(Target::Canvas, 40);
        const QImage gridBefore = f.grid;
        f.canvas.SetCell(1, 0, 1, target, false);
        f.canvas.Render(target, 40);

        const QImage& o = f.overlay;
        QCOMPARE(o.size(), QSize(576, 384));
        QCOMPARE(o.pixel(0, 59), kWhite);
        QCOMPARE(o.pixel(12, 60), ink);  // top line
        QCOMPARE(o.pixel(0, 100), ink);  // left line
        QCOMPARE(o.pixel(575, 323), ink);
        QCOMPARE(o.pixel(12, 72), kWhite);      // cell (0, 0)
        QCOMPARE(o.pixel(24 + 12, 72), ink);    // cell (1, 0)
        QCOMPARE(o.pixel(24 + 12, 96), kWhite); // cell (1, 1)
        QCOMPARE(f.grid, gridBefore);
    }

    // View points already reduced by the top margin, in the 11-LED edition (24-pixel cells from y = 60).
    void pencil_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("viewY");
        QTest::addColumn<int>("scroll");
        QTest::addColumn<int>("col"); // -1: ignored
        QTest::addColumn<int>("row");
        QTest::newRow("above the grid") << 10 << 59 << 0 << -1 << -1;
        QTest::newRow("on the top grid line") << 10 << 60 << 0 << 0 << 0;
        QTest::newRow("last row") << 30 << 323 << 0 << 1 << 10;
        QTest::newRow("below the rows") << 30 << 324 << 0 << -1 << -1;
        QTest::newRow("left of the grid") << -1 << 100 << 0 << -1 << -1;
        QTest::newRow("scrolled to the end") << 575 << 100 << 72 << 95 << 1;
        QTest::newRow("beyond the picture") << 575 << 100 << 73 << -1 << -1;
    }
    void pencil()
    {
        QFETCH(int, x);
        QFETCH(int, viewY);
        QFETCH(int, scroll);
        QFETCH(int, col);
        QFETCH(int, row);
        Fixture f(QStringLiteral("Lumiwand11"));
        QCOMPARE(f.canvas.ToggleAt(x, viewY - f.canvas.topMargin(), scroll), col >= 0);
        QCOMPARE(f.litCount(), col >= 0 ? 1 : 0);
        if (col < 0)
            return;
        QCOMPARE(f.canvas.cell(col, row), 1);
        f.canvas.Undo();
        QCOMPARE(f.litCount(), 0);
    }

    void pencilTogglesOrPaints()
    {
        Fixture f;
        QVERIFY(f.canvas.ToggleAt(30, 30, 0));
        QVERIFY(f.canvas.ToggleAt(31, 31, 0));
        QCOMPARE(f.canvas.cell(1, 1), 0);
        f.canvas.setPaintMode(true);
        QVERIFY(f.canvas.ToggleAt(30, 30, 0));
        QVERIFY(f.canvas.ToggleAt(31, 31, 0));
        QCOMPARE(f.canvas.cell(1, 1), 1);
        f.canvas.Undo(); // every stroke is its own step
        QCOMPARE(f.canvas.cell(1, 1), 1);
        f.canvas.Undo();
        QCOMPARE(f.canvas.cell(1, 1), 0);
    }

    void undoRingHoldsThirtyOneSteps()
    {
        Fixture f;
        QSignalSpy rendered(&f.canvas, &VirtualCanvas::rendered);
        f.canvas.Undo();
        QCOMPARE(rendered.count(), 0);

        for (int click = 0; click < 40; ++click)
            QVERIFY(f.canvas.ToggleAt(click * 24, 0, 0)); // lights column `click` of row 0
        QCOMPARE(f.litCount(), 40);
        int changes = 0;
        for (int undo = 0; undo < 40; ++undo) {
            const QStringList before = f.cells();
            f.canvas.Undo();
            if (f.cells() != before)
                ++changes;
        }
        QCOMPARE(changes, 31);
        QCOMPARE(rendered.count(), 31);
        QCOMPARE(f.litCount(), 9); // the state after the ninth click; older ones were overwritten
        QCOMPARE(f.canvas.cell(8, 0), 1);
        QCOMPARE(f.canvas.cell(9, 0), 0);

        // The ring keeps working after a run of undos.
        f.canvas.ToggleAt(0, 48, 0);
        QCOMPARE(f.litCount(), 10);
        f.canvas.Undo();
        QCOMPARE(f.litCount(), 9);
    }

    // Redo goes forward as far as the undos went back (31 at most), and a new change drops what is left.
    void redoGoesAsDeepAsUndo_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("undos");
        QTest::addColumn<int>("redos");
        QTest::addColumn<int>("lit");
        QTest::newRow("all undone, all redone") << 5 << 5 << 5 << 5;
        QTest::newRow("more redos than undos") << 5 << 2 << 9 << 5;
        QTest::newRow("part redone") << 5 << 4 << 1 << 2;
        QTest::newRow("a full ring: 31 back, 31 forward") << 40 << 40 << 40 << 40;
        QTest::newRow("a full ring, part way") << 40 << 31 << 10 << 19;
    }
    void redoGoesAsDeepAsUndo()
    {
        QFETCH(int, clicks);
        QFETCH(int, undos);
        QFETCH(int, redos);
        QFETCH(int, lit);
        Fixture f;
        for (int click = 0; click < clicks; ++click)
            QVERIFY(f.canvas.ToggleAt(click * 24, 0, 0));
        for (int undo = 0; undo < undos; ++undo)
            f.canvas.Undo();
        QCOMPARE(f.canvas.canRedo(), undos > 0);
        for (int redo = 0; redo < redos; ++redo)
            f.canvas.Redo();
        QCOMPARE(f.litCount(), lit);
    }

    void newChangeDropsRedo_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("an undo step") << "pencil";
        QTest::newRow("a cell written without one") << "cell";
        QTest::newRow("a picture loaded") << "load";
    }
    void newChangeDropsRedo()
    {
        QFETCH(QString, change);
        Fixture f;
        f.canvas.ToggleAt(0, 0, 0);
        f.canvas.ToggleAt(24, 0, 0);
        f.canvas.Undo();
        QVERIFY(f.canvas.canRedo());
        if (change == "pencil")
            f.canvas.ToggleAt(48, 0, 0);
        else if (change == "cell")
            f.canvas.SetCell(5, 5, 1, Target::Canvas, false);
        else
            f.canvas.LoadFromImage(QImage(), Target::Canvas, 0, 0);
        const QStringList before = f.cells();
        QVERIFY(!f.canvas.canRedo());
        f.canvas.Redo();
        QCOMPARE(f.cells(), before);
        // Undo still goes back through what came before the change.
        f.canvas.Undo();
        QVERIFY(f.canvas.canRedo());
    }

    void clearRectIsInclusive()
    {
        Fixture f(QStringList{"######", "######", "######", "######"});
        f.canvas.ClearRect(1, 1, 3, 2);
        QCOMPARE(f.cells(), (QStringList{"######", "#...##", "#...##", "######"}));
        f.canvas.Undo();
        QCOMPARE(f.litCount(), 24);
    }

    void copyAndCut()
    {
        Fixture f(QStringList{"......", ".##...", ".#.#..", "......"});
        f.draw({"......", "......", "......", ".....#"}, Target::Copy);
        f.canvas.CopyRect(2, 2, 4, 3, false);
        QCOMPARE(f.cells(Target::Copy), (QStringList{"##....", "#.#...", "......", ".....#"}));
        QCOMPARE(f.cells(), (QStringList{"......", ".##...", ".#.#..", "......"}));
        f.canvas.Undo(); // a copy is no undo step
        QCOMPARE(f.litCount(), 4);

        f.canvas.CopyRect(2, 3, 4, 3, true);
        QCOMPARE(f.cells(Target::Copy), (QStringList{"#.#...", "#.#...", "......", ".....#"}));
        QCOMPARE(f.cells(), (QStringList{"......", ".##...", "......", "......"}));
        f.canvas.Undo();
        QCOMPARE(f.cells(), (QStringList{"......", ".##...", ".#.#..", "......"}));
    }

    void cutThenPasteUndoesInTwoSteps()
    {
        Fixture f(QStringList{"##....", "##....", "......", "......"});
        f.canvas.CopyRect(1, 1, 2, 2, true);
        f.canvas.PasteBlock(Target::Copy, 3, 2, 5, 4);
        QCOMPARE(f.cells(), (QStringList{"......", "......", "...##.", "...##."}));
        f.canvas.Undo();
        QCOMPARE(f.cells(), (QStringList{"......", "......", "......", "......"}));
        f.canvas.Undo();
        QCOMPARE(f.cells(), (QStringList{"##....", "##....", "......", "......"}));
    }

    void pasteDropsWhatFallsOutside_data()
    {
        QTest::addColumn<QStringList>("picture");
        QTest::addColumn<QStringList>("block");
        QTest::addColumn<QList<int>>("at"); // col, row, colEnd, rowEnd
        QTest::addColumn<QStringList>("expected");
        const QStringList blank{"......", "......", "......", "......"};
        const QStringList block{"###...", "#.#...", "......", "......"};
        QTest::newRow("inside") << blank << block << QList<int>{1, 1, 4, 3}
                                << QStringList{"......", ".###..", ".#.#..", "......"};
        QTest::newRow("right edge, nothing wraps") << blank << block << QList<int>{4, 0, 7, 2}
                                                   << QStringList{"....##", "....#.", "......", "......"};
        QTest::newRow("bottom edge") << blank << block << QList<int>{0, 3, 3, 5}
                                     << QStringList{"......", "......", "......", "###..."};
        QTest::newRow("unlit block cells overwrite")
            << QStringList{"######", "######", "######", "######"} << QStringList{"#.....", "......"}
            << QList<int>{0, 0, 2, 1} << QStringList{"#.####", "######", "######", "######"};
    }
    void pasteDropsWhatFallsOutside()
    {
        QFETCH(QStringList, picture);
        QFETCH(QStringList, block);
        QFETCH(QList<int>, at);
        Fixture f(picture);
        f.draw(block, Target::Copy);
        f.canvas.PasteBlock(Target::Copy, at[0], at[1], at[2], at[3]);
        QTEST(f.cells(), "expected");
        f.canvas.Undo();
        QCOMPARE(f.cells(), picture);
    }

    void pasteTenColumnsAtColumnNinety()
    {
        Fixture f;
        for (int col = 0; col < 10; ++col)
            f.canvas.SetCell(col, 0, 1, Target::Text, false);
        f.canvas.PasteBlock(Target::Text, 90, 0, 100, 1);
        QCOMPARE(f.litCount(), 6);
        for (int col = 90; col < 96; ++col)
            QCOMPARE(f.canvas.cell(col, 0), 1);
        QCOMPARE(f.preview.pixel(95, 0), kBlack);
        QCOMPARE(f.preview.pixel(0, 1), kWhite);
    }

    void moveBlock_data()
    {
        QTest::addColumn<QStringList>("picture");
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<Selection>("selection");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<Selection>("moved");
        QTest::newRow("left at the left edge")
            << QStringList{"##....", "#.#...", "......", "......"} << Direction::Left << Selection{1, 1, 3, 2}
            << QStringList{"#.....", ".#....", "......", "......"} << Selection{1, 1, 2, 2};
        QTest::newRow("right inside")
            << QStringList{"......", ".#....", ".##...", "......"} << Direction::Right << Selection{2, 2, 3, 3}
            << QStringList{"......", "..#...", "..##..", "......"} << Selection{3, 2, 4, 3};
        QTest::newRow("down at the bottom")
            << QStringList{"......", "......", "#.....", ".#...."} << Direction::Down << Selection{1, 3, 2, 4}
            << QStringList{"......", "......", "......", "#....."} << Selection{1, 4, 2, 4};
        QTest::newRow("up at the top")
            << QStringList{"#.....", ".#....", "......", "......"} << Direction::Up << Selection{1, 1, 6, 2}
            << QStringList{".#....", "......", "......", "......"} << Selection{1, 1, 6, 1};
        QTest::newRow("whole picture right")
            << QStringList{"#....#", "......", "......", "#....#"} << Direction::Right << Selection{1, 1, 6, 4}
            << QStringList{".#....", "......", "......", ".#...."} << Selection{2, 1, 6, 4};
        QTest::newRow("the block covers what it moves onto")
            << QStringList{"#.#...", "......", "......", "......"} << Direction::Right << Selection{1, 1, 2, 1}
            << QStringList{".#....", "......", "......", "......"} << Selection{2, 1, 3, 1};
        QTest::newRow("cells outside the selection stay")
            << QStringList{"#....#", "#.....", "......", "......"} << Direction::Down << Selection{1, 1, 1, 1}
            << QStringList{".....#", "#.....", "......", "......"} << Selection{1, 2, 1, 2};
    }
    void moveBlock()
    {
        QFETCH(QStringList, picture);
        QFETCH(Direction, direction);
        QFETCH(Selection, selection);
        Fixture f(picture);
        const Selection moved = f.canvas.MoveBlock(direction, selection);
        QTEST(f.cells(), "expected");
        QTEST(moved, "moved");
        f.canvas.Undo();
        QCOMPARE(f.cells(), picture);
    }

    void loadedPixelRule_data()
    {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<int>("lit");
        QTest::newRow("black") << qRgb(0, 0, 0) << 1;
        QTest::newRow("white") << qRgb(255, 255, 255) << 0;
        QTest::newRow("grey 155 is not below") << qRgb(155, 155, 155) << 0;
        QTest::newRow("just below grey 155") << qRgb(154, 155, 155) << 1;
        QTest::newRow("pure red") << qRgb(255, 0, 0) << 1;
        QTest::newRow("pure blue") << qRgb(0, 0, 255) << 0;
        QTest::newRow("blue 154 with white beside") << qRgb(255, 255, 154) << 1;
    }
    void loadedPixelRule()
    {
        QFETCH(QRgb, pixel);
        Fixture f;
        QImage image(1, 1, QImage::Format_RGB32);
        image.setPixel(0, 0, pixel);
        f.canvas.LoadFromImage(image, Target::Canvas, 0, 0);
        QTEST(f.canvas.cell(0, 0), "lit");
    }

    void loadCoversOnlyTheImage()
    {
        Fixture f;
        f.canvas.SetCell(60, 12, 1, Target::Canvas, false);
        QImage image(50, 10, QImage::Format_Mono); // a one-bit file as the bitmap reader gives it
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        image.fill(0);
        f.canvas.LoadFromImage(image, Target::Canvas, 0, 0);
        QCOMPARE(f.litCount(), 500);
        QCOMPARE(f.canvas.cell(49, 9), 1);
        QCOMPARE(f.canvas.cell(50, 0), 0);
        QCOMPARE(f.canvas.cell(0, 10), 0);
        QCOMPARE(f.canvas.cell(60, 12), 0);
        f.canvas.Undo(); // loading is no undo step
        QCOMPARE(f.litCount(), 500);

        f.canvas.LoadFromImage(QImage(), Target::Canvas, 0, 0);
        QCOMPARE(f.litCount(), 0);
    }

    void loadTextFromItsInkedCorner()
    {
        Fixture f;
        QImage text(64, 64, QImage::Format_RGB32);
        text.fill(kWhite);
        text.setPixel(10, 20, kBlack);
        text.setPixel(12, 21, kBlack);
        f.canvas.LoadFromImage(text, Target::Text, 10, 20);
        QCOMPARE(f.cells(Target::Text).mid(0, 3),
                 (QStringList{"#" + QString(95, u'.'), "..#" + QString(93, u'.'), QString(96, u'.')}));
        QCOMPARE(f.litCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestVirtualCanvas)
#include "tst_VirtualCanvas.moc"
