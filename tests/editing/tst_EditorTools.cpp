#include "editing/EditorModel.h"
#include "store/Edition.h"
#include "tests/support/ScriptedPrompter.h"

#include <QPainter>
#include <QTest>

using editing::Canvas;
using editing::EditorModel;
using editing::FrameStyle;
using editing::Selection;
using editing::Tool;
using Direction = Canvas::Direction;

Q_DECLARE_METATYPE(Selection)

namespace {

// An editor on a canvas of the edition the program name selects. The first rows of the picture can be drawn from
// a literal ("#" lit, "." unlit); `rows(n)` reads the first n rows back in the same notation.
struct Editor {
    Canvas canvas;
    QImage grid, overlay, preview;
    ScriptedPrompter prompter;
    EditorModel model{canvas, prompter};

    explicit Editor(const QString& program = QStringLiteral("Lumiwand16"))
    {
        const store::EditionParameters edition = store::deriveEdition(program);
        canvas.SetGeometry(edition.pictureWidth, edition.ledCount);
        canvas.BindViews(&grid, &overlay, &preview);
        canvas.Reset(edition.maxBannerWidth, edition.ledCount);
        model.start();
    }
    void draw(const QStringList& picture, int firstCol = 0)
    {
        for (int row = 0; row < picture.size(); ++row)
            for (int col = 0; col < picture[row].size(); ++col)
                canvas.SetCell(firstCol + col, row, picture[row][col] == u'#', Canvas::Target::Canvas, false);
        canvas.Render(Canvas::Target::Canvas);
    }
    QStringList rows(int count, int firstCol = 0, int columns = 8) const
    {
        QStringList result;
        for (int row = 0; row < count; ++row) {
            QString line;
            for (int col = firstCol; col < firstCol + columns; ++col)
                line += canvas.cell(col, row) ? u'#' : u'.';
            result << line;
        }
        return result;
    }
    // Centre of a view cell in grid-view pixels.
    QPoint centre(int viewCol, int row) const
    {
        const int cell = canvas.cellSize();
        return {viewCol * cell + cell / 2, canvas.topMargin() + row * cell + cell / 2};
    }
    void click(QPoint point)
    {
        model.press(point, true);
        model.release(point, true);
    }
    void drag(QPoint from, QPoint to)
    {
        model.press(from, true);
        model.moveTo(to);
        model.release(to, true);
    }
    // Selects view cells (col1, row1)..(col2, row2) with the band.
    void select(int col1, int row1, int col2, int row2) { drag(centre(col1, row1), centre(col2, row2)); }
};

} // namespace

class TestEditorTools : public QObject {
    Q_OBJECT

private slots:
    void bandStartsOnlyWithinTheRows_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("starts");
        QTest::newRow("11 LEDs, above the grid") << "Lumiwand11" << 59 << false;
        QTest::newRow("11 LEDs, top line") << "Lumiwand11" << 60 << true;
        QTest::newRow("11 LEDs, bottom line") << "Lumiwand11" << 323 << true;
        QTest::newRow("11 LEDs, below the grid") << "Lumiwand11" << 324 << false;
        QTest::newRow("16 LEDs, top") << "Lumiwand16" << 0 << true;
        QTest::newRow("16 LEDs, bottom") << "Lumiwand16" << 383 << true;
    }
    void bandStartsOnlyWithinTheRows()
    {
        QFETCH(QString, program);
        QFETCH(int, y);
        Editor e(program);
        e.model.press({30, y}, true);
        QTEST(e.model.frame().style == FrameStyle::Solid, "starts");
        e.model.release({80, 380}, true);
        QTEST(e.model.hasSelection(), "starts");
    }

    // The selection rounds the band outwards to whole cells, in picture columns at the scroll position.
    void bandRoundsToCells_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("scroll");
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<Selection>("selected");
        QTest::newRow("scroll 10, view columns 2..4")
            << "Lumiwand16" << 10 << QPoint(50, 10) << QPoint(119, 30) << Selection{13, 1, 15, 2};
        QTest::newRow("dragged up and left") << "Lumiwand16" << 0 << QPoint(119, 30) << QPoint(50, 10)
                                             << Selection{3, 1, 5, 2};
        QTest::newRow("click selects the cell under it") << "Lumiwand16" << 0 << QPoint(30, 30) << QPoint(30, 30)
                                                         << Selection{2, 2, 2, 2};
        QTest::newRow("click on a grid line selects the cell after it")
            << "Lumiwand16" << 0 << QPoint(48, 24) << QPoint(48, 24) << Selection{3, 2, 3, 2};
        QTest::newRow("11 LEDs, release below the grid clamps to the last row")
            << "Lumiwand11" << 0 << QPoint(10, 70) << QPoint(10, 383) << Selection{1, 1, 1, 11};
        QTest::newRow("release right of the view clamps to the last column")
            << "Lumiwand16" << 72 << QPoint(560, 10) << QPoint(700, 10) << Selection{96, 1, 96, 1};
    }
    void bandRoundsToCells()
    {
        QFETCH(QString, program);
        QFETCH(int, scroll);
        QFETCH(QPoint, anchor);
        QFETCH(QPoint, release);
        Editor e(program);
        e.model.setScroll(scroll);
        e.model.press(anchor, true);
        e.model.moveTo(release);
        e.model.release(release, true);
        QTEST(e.model.selection(), "selected");
        QCOMPARE(e.model.frame().style, FrameStyle::Solid);
    }

    void bandFrameRunsFromTheAnchorCellCorner()
    {
        Editor e;
        e.model.press({30, 30}, true); // cell (1, 1), corners at 24 and 48
        e.model.moveTo({70, 60});
        QCOMPARE(e.model.frame().rect, QRect(QPoint(24, 24), QPoint(70, 60)));
        e.model.moveTo({5, 2});
        QCOMPARE(e.model.frame().rect, QRect(QPoint(5, 2), QPoint(48, 48)));
        e.model.release({5, 2}, false); // the right button does not end a band
        QVERIFY(!e.model.hasSelection());
    }

    void frameFollowsTheScroll()
    {
        Editor e;
        e.select(2, 1, 4, 2); // X 3..5
        QCOMPARE(e.model.frame(), (editing::Frame{QRect(QPoint(48, 24), QPoint(120, 72)), FrameStyle::Solid}));
        e.model.setScroll(3);
        QCOMPARE(e.model.frame(), (editing::Frame{QRect(QPoint(0, 24), QPoint(48, 72)), FrameStyle::Dotted}));
        e.model.setScroll(5);
        QCOMPARE(e.model.frame().style, FrameStyle::Hidden);
        e.model.chooseSelection();
        e.model.setScroll(0);
        QCOMPARE(e.model.frame().style, FrameStyle::Hidden);
    }

    void pointerLabelsShowTheCell()
    {
        Editor e(QStringLiteral("Lumiwand11"));
        e.model.setScroll(4);
        e.model.moveTo({50, 59});
        QVERIFY(!e.model.pointerCell());
        e.model.moveTo({50, 60});
        QCOMPARE(*e.model.pointerCell(), QPoint(7, 1));
        e.model.moveTo({575, 323});
        QCOMPARE(*e.model.pointerCell(), QPoint(28, 11));
    }

    void pencilTogglesTheCellUnderTheClick_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("cell");
        QTest::newRow("16 LEDs") << "Lumiwand16" << QPoint(30, 50) << QPoint(1, 2);
        QTest::newRow("11 LEDs, top line of the grid") << "Lumiwand11" << QPoint(0, 60) << QPoint(0, 0);
        QTest::newRow("11 LEDs, above the grid") << "Lumiwand11" << QPoint(0, 59) << QPoint(-1, -1);
        QTest::newRow("11 LEDs, below the grid") << "Lumiwand11" << QPoint(0, 324) << QPoint(-1, -1);
    }
    void pencilTogglesTheCellUnderTheClick()
    {
        QFETCH(QString, program);
        QFETCH(QPoint, point);
        QFETCH(QPoint, cell);
        Editor e(program);
        e.model.choosePencil();
        QVERIFY(!e.model.pencilEnabled());
        QCOMPARE(e.model.pointerShape(), editing::PointerShape::Hand);
        e.click(point);
        const int lit = int(e.canvas.litGrid().toRows().join(QString()).count(u'#'));
        QCOMPARE(lit, cell.x() < 0 ? 0 : 1);
        if (cell.x() >= 0) {
            QCOMPARE(e.canvas.cell(cell.x(), cell.y()), 1);
            QCOMPARE(e.preview.pixel(cell.x(), cell.y()), qRgb(0, 0, 0));
            e.click(point);
            QCOMPARE(e.canvas.cell(cell.x(), cell.y()), 0);
        }
        e.model.chooseSelection();
        QVERIFY(e.model.pencilEnabled());
    }

    // A stroke gives every cell it passes the first cell's new value, fills the gaps of a quick pointer and is
    // undone in one step.
    void pencilStrokeIsOneUndoStep()
    {
        Editor e;
        e.draw({"..#....."});
        e.model.choosePencil();
        e.model.press(e.centre(0, 0), true);
        e.model.moveTo(e.centre(0, 0) + QPoint(3, 0)); // the same cell again: not toggled back
        e.model.moveTo(e.centre(5, 0));
        e.model.moveTo(e.centre(5, 2));
        e.model.release(e.centre(5, 2), true);
        QCOMPARE(e.rows(3), (QStringList{"######..", ".....#..", ".....#.."}));
        e.model.undo();
        QCOMPARE(e.rows(3), (QStringList{"..#.....", "........", "........"}));

        // A stroke that starts on a lit cell erases.
        e.model.choosePencil();
        e.draw({"####"});
        e.drag(e.centre(0, 0), e.centre(2, 0));
        QCOMPARE(e.rows(1), QStringList{"...#...."});
    }

    void clearAsksForTheWholePicture()
    {
        Editor e;
        e.draw({"##", "##"});
        QVERIFY(!e.model.clear()); // no scripted answer: No
        QCOMPARE(e.prompter.shown.size(), 1);
        QCOMPARE(e.prompter.shown[0].text, QStringLiteral(
            "Your selected area is whole picture. \n\n Do you want to clear all picture?"));
        QCOMPARE(e.prompter.shown[0].title, QStringLiteral("Clear Selected area"));
        QCOMPARE(e.rows(2, 0, 2), (QStringList{"##", "##"}));
        QCOMPARE(e.model.tool(), Tool::Selection);

        e.select(1, 0, 1, 1);
        QVERIFY(e.model.clear());
        QCOMPARE(e.rows(2, 0, 2), (QStringList{"#.", "#."}));
        QVERIFY(!e.model.hasSelection());

        e.prompter.answers.enqueue(messages::Answer::Yes);
        QVERIFY(e.model.clear());
        QCOMPARE(e.rows(2, 0, 2), (QStringList{"..", ".."}));
    }

    void moveShiftsTheSelection_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<Selection>("moved");
        // Selection: columns 1..2, rows 2..3 of a 4 x 3 picture; unlit cells move too.
        QTest::newRow("right") << int(Direction::Right) << QStringList{"#...", ".##.", ".#.."} << Selection{2, 2, 3, 3};
        QTest::newRow("left, over the edge") << int(Direction::Left) << QStringList{"#...", "#...", "..#."}
                                             << Selection{1, 2, 1, 3};
        QTest::newRow("up") << int(Direction::Up) << QStringList{"##..", "#...", "..#."} << Selection{1, 1, 2, 2};
    }
    void moveShiftsTheSelection()
    {
        QFETCH(int, direction);
        Editor e;
        e.canvas.Reset(4, 3);
        e.model.start();
        e.draw({"#...", "##..", "#.#."});
        e.select(0, 1, 1, 2);
        e.model.move(Direction(direction));
        QTEST(e.rows(3, 0, 4), "after");
        QTEST(e.model.selection(), "moved");
        QCOMPARE(e.model.frame().style, FrameStyle::Solid);
    }

    void moveDownAtTheBottomRowShrinks()
    {
        Editor e;
        e.canvas.SetCell(0, 15, 1, Canvas::Target::Canvas, false);
        e.canvas.SetCell(0, 14, 1, Canvas::Target::Canvas, false);
        e.select(0, 14, 0, 15);
        e.model.move(Direction::Down);
        QCOMPARE(e.model.selection(), (Selection{1, 16, 1, 16}));
        QCOMPARE(e.canvas.cell(0, 15), 1);
        QCOMPARE(e.canvas.cell(0, 14), 0);
    }

    void copyWithoutSelectionDoesNothing()
    {
        Editor e;
        e.model.copy(false);
        QCOMPARE(e.model.tool(), Tool::Selection);
        e.model.copy(true);
        QCOMPARE(e.model.tool(), Tool::Selection);
    }

    void copyIsPlacedWhereClicked()
    {
        Editor e;
        e.draw({"#.#", ".#."});
        e.select(0, 0, 2, 1);
        e.model.copy(false);
        QCOMPARE(e.model.tool(), Tool::PlaceCopy);
        QCOMPARE(e.model.pointerShape(), editing::PointerShape::Drag);
        QVERIFY(!e.model.overlay().visible);
        QCOMPARE(e.model.overlay().size, QSize(3 * 24 + 1, 2 * 24 + 1));
        QCOMPARE(e.overlay.pixel(1, 1), editing::Canvas::kCopyInk);

        e.model.moveTo(e.centre(4, 1));
        QVERIFY(e.model.overlay().visible);
        QCOMPARE(e.model.overlay().topLeft, QPoint(4 * 24, 1 * 24)); // on the cells the click fills
        e.click(e.centre(4, 1));
        QCOMPARE(e.rows(3), (QStringList{"#.#.....", ".#..#.#.", ".....#.."}));
        QCOMPARE(e.model.selection(), (Selection{5, 2, 7, 3}));
        QCOMPARE(e.model.tool(), Tool::Selection);
        QVERIFY(!e.model.overlay().visible);
    }

    // The block being placed follows the pointer cell by cell: its grid lies on the canvas's grid (lines one
    // canvas cell apart, none between them) over exactly the cells a click there fills.
    void placingOverlayLiesOnTheGrid_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QPoint>("offset"); // from the cell's top-left corner, in pixels
        for (const char* program : {"Lumiwand11", "Lumiwand16", "Lumiwand24", "Lumiwand32", "Lumiwand48"}) {
            QTest::addRow("%s corner", program) << QString::fromLatin1(program) << QPoint(0, 0);
            QTest::addRow("%s inside", program) << QString::fromLatin1(program) << QPoint(5, 3);
        }
    }
    void placingOverlayLiesOnTheGrid()
    {
        QFETCH(QString, program);
        QFETCH(QPoint, offset);
        Editor e(program);
        e.draw({"##", "#."});
        e.select(0, 0, 1, 1);
        e.model.copy(false);
        const int cell = e.canvas.cellSize();
        const QPoint pointer(3 * cell + offset.x(), e.canvas.topMargin() + 2 * cell + offset.y());
        e.model.moveTo(pointer);
        const editing::Overlay overlay = e.model.overlay();
        QVERIFY(overlay.visible);
        QCOMPARE(overlay.topLeft, QPoint(3 * cell, 2 * cell));
        // The overlay's first grid line meets the canvas's line at the cell's corner.
        const QPoint corner = overlay.topLeft + QPoint(0, e.canvas.topMargin());
        QCOMPARE(e.overlay.pixel(0, e.canvas.topMargin()), editing::Canvas::kCopyInk);
        QCOMPARE(e.grid.pixel(corner), qRgb(0, 0, 0));
        e.click(pointer);
        QCOMPARE(e.model.selection(), (Selection{4, 3, 5, 4}));
    }

    // A 5-column block over the last visible column at scroll 72 of a 96-column picture: only column 95 is
    // written, and the selection stays inside the picture.
    void pasteDropsWhatLeavesThePicture()
    {
        Editor e;
        e.draw({"#####"});
        e.select(0, 0, 4, 0);
        e.model.copy(false);
        e.model.setScroll(72);
        e.click(e.centre(23, 3));
        for (int col = 0; col < 96; ++col)
            QCOMPARE(e.canvas.cell(col, 3), col == 95 ? 1 : 0);
        QCOMPARE(e.model.selection(), (Selection{96, 4, 96, 4}));
    }

    void cutThenPlaceThenTwoUndos()
    {
        Editor e;
        e.draw({"##..", "##.."});
        e.select(0, 0, 1, 1);
        e.model.copy(true);
        QCOMPARE(e.model.tool(), Tool::PlaceCut);
        QCOMPARE(e.rows(2, 0, 4), (QStringList{"....", "...."}));
        QCOMPARE(e.grid.pixel(e.centre(0, 0)), qRgb(0, 0, 0)); // the grid shows the cut cells until placed
        e.click(e.centre(2, 0));
        QCOMPARE(e.rows(2, 0, 4), (QStringList{"..##", "..##"}));
        e.model.undo();
        QCOMPARE(e.rows(2, 0, 4), (QStringList{"....", "...."}));
        e.model.undo();
        QCOMPARE(e.rows(2, 0, 4), (QStringList{"##..", "##.."}));
    }

    void escapeDropsTheBlock()
    {
        Editor e;
        e.draw({"#."});
        e.select(0, 0, 0, 0);
        e.model.copy(true);
        QVERIFY(e.model.cancel());
        QCOMPARE(e.model.tool(), Tool::Selection);
        QCOMPARE(e.rows(1, 0, 2), QStringList{"#."}); // the cut cells are back
        e.click(e.centre(1, 0));
        QCOMPARE(e.rows(1, 0, 2), QStringList{"#."}); // and nothing is placed
        QVERIFY(!e.model.cancel());
    }

    void textBlockIsPlacedFromTheTextRectangle()
    {
        struct Answer : editing::TextBlockSource {
            std::optional<editing::TextBlock> block;
            std::optional<editing::TextBlock> editText() override { return block; }
        } editor;
        Editor e;
        e.select(0, 0, 1, 1);
        e.model.text(editor); // cancelled
        QCOMPARE(e.model.tool(), Tool::Selection);
        QVERIFY(!e.model.hasSelection());

        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(10, 5, qRgb(0, 0, 0));
        image.setPixel(11, 6, qRgb(0, 0, 0));
        editor.block = editing::TextBlock{image, QRect(QPoint(10, 5), QPoint(11, 6))};
        e.model.text(editor);
        QCOMPARE(e.model.tool(), Tool::PlaceText);
        QCOMPARE(e.model.overlay().size, QSize(2 * 24 + 1, 2 * 24 + 1));
        e.click(e.centre(3, 1));
        QCOMPARE(e.rows(3, 0, 6), (QStringList{"......", "...#..", "....#."}));
        QVERIFY(!e.model.hasSelection());
    }
};

QTEST_GUILESS_MAIN(TestEditorTools)
#include "tst_EditorTools.moc"
