// The editor page and the system clipboard, and redo, under the offscreen platform: Ctrl+C and Ctrl+X put the
// selection out as a one-bit picture (PNG and BMP), Ctrl+V brings a picture of any format in as a block to place,
// "Paste as new picture" saves one into a library, and Ctrl+Shift+Z, Ctrl+Y and the redo button redo.

#include "editing/windows/EditorPage.h"
#include "editing/PictureClipboard.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/LibraryCatalogue.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

struct NoDialogs : editing::EditorDialogs, editing::TextBlockSource {
    void saveCanvas() override {}
    bool importFile(const QString&) override { return false; }
    QString choosePicture() override { return {}; }
    std::optional<int> chooseSpeed() override { return std::nullopt; }
    std::optional<editing::TextBlock> editText() override { return std::nullopt; }
};

QImage picture(const QStringList& rows)
{
    return imaging::LitGrid::fromRows(rows).toImage().convertToFormat(QImage::Format_RGB32);
}

QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The first `count` rows of the canvas from column `first`, `columns` wide, as '#' and '.'.
QStringList rowsOf(const editing::Canvas& canvas, int count, int first = 0, int columns = 8)
{
    QStringList rows;
    for (int row = 0; row < count; ++row) {
        QString line;
        for (int col = first; col < first + columns; ++col)
            line += canvas.cell(col, row) ? u'#' : u'.';
        rows << line;
    }
    return rows;
}

} // namespace

class TestEditorClipboard : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    store::EditionParameters edition = store::deriveEdition(QStringLiteral("Lumiwand16"));
    ScriptedPrompter prompter;
    editing::Canvas canvas;
    NoDialogs dialogs;
    std::unique_ptr<editing::EditorPage> page;

    // Centre of a view cell in grid-view pixels.
    QPoint centre(int col, int row) const
    {
        const int cell = canvas.cellSize();
        return {col * cell + cell / 2, canvas.topMargin() + row * cell + cell / 2};
    }
    void draw(const QStringList& rows)
    {
        for (int row = 0; row < rows.size(); ++row)
            for (int col = 0; col < rows[row].size(); ++col)
                canvas.SetCell(col, row, rows[row][col] == u'#', editing::Canvas::Target::Canvas, false);
        canvas.Render(editing::Canvas::Target::Canvas);
    }
    void selectCells(int col1, int row1, int col2, int row2)
    {
        QTest::mousePress(page->Image7, Qt::LeftButton, {}, centre(col1, row1));
        QTest::mouseMove(page->Image7, centre(col2, row2));
        QTest::mouseRelease(page->Image7, Qt::LeftButton, {}, centre(col2, row2));
    }
    // Moves the pointer over a cell and clicks there: the block being placed lands with its top-left on it.
    void placeAt(int col, int row)
    {
        QTest::mouseMove(page->Image7, centre(col, row));
        QTest::mouseClick(page->Image7, Qt::LeftButton, {}, centre(col, row));
    }

private slots:
    void init()
    {
        prompter = ScriptedPrompter();
        canvas.SetGeometry(edition.pictureWidth, edition.ledCount);
        canvas.Reset(edition.maxBannerWidth, edition.ledCount);
        page = std::make_unique<editing::EditorPage>(canvas, prompter, dialogs, dialogs, edition, dir.path(),
                                                     dir.path() + "/");
        page->show();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        page->startEditor();
        QGuiApplication::clipboard()->clear();
    }
    void cleanup()
    {
        page.reset();
        canvas.BindViews(nullptr, nullptr, nullptr); // the page's views went with it
    }

    void copyAndCutPutTheSelectionOnTheClipboard_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::addColumn<bool>("keyboard");
        QTest::newRow("Ctrl+C") << false << true;
        QTest::newRow("Ctrl+X") << true << true;
        QTest::newRow("copy button") << false << false;
        QTest::newRow("cut button") << true << false;
    }
    void copyAndCutPutTheSelectionOnTheClipboard()
    {
        QFETCH(bool, cut);
        QFETCH(bool, keyboard);
        draw({"........", ".##.#...", ".#..#...", "........"});
        selectCells(1, 1, 4, 2);
        if (keyboard)
            QTest::keyClick(page.get(), cut ? Qt::Key_X : Qt::Key_C, Qt::ControlModifier);
        else
            QTest::mouseClick(cut ? page->BitBtn27 : page->BitBtn26, Qt::LeftButton);

        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        const QStringList block{"##.#", "#..#"};
        QCOMPARE(data->data(QStringLiteral("image/bmp")), imaging::encodeBmp(imaging::LitGrid::fromRows(block)));
        const QImage png = QImage::fromData(data->data(QStringLiteral("image/png")), "PNG");
        QCOMPARE(png.depth(), 1); // one bit a pixel, black on white
        QCOMPARE(png.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(png.pixel(2, 0), qRgb(255, 255, 255));
        QCOMPARE(imaging::LitGrid::fromImage(png, imaging::LitRule::LitBelow).toRows(), block);
        const QImage image = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(imaging::LitGrid::fromImage(image, imaging::LitRule::LitBelow).toRows(), block);
        QCOMPARE(rowsOf(canvas, 3).at(1), cut ? QStringLiteral("........") : QStringLiteral(".##.#..."));
    }

    void pasteBringsAPictureInAsABlock_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("Qt's image") << "image" << QPoint(2, 1) << QStringList{"........", "..#.#...", "..###..."};
        QTest::newRow("PNG from another program") << "png" << QPoint(2, 1)
                                                  << QStringList{"........", "..#.#...", "..###..."};
        QTest::newRow("BMP from another program") << "bmp" << QPoint(0, 0)
                                                  << QStringList{"#.#.....", "###.....", "........"};
        QTest::newRow("transparent background") << "rgba" << QPoint(1, 0)
                                                << QStringList{".#.#....", ".###....", "........"};
        // 192 x 32, its left half black: scaled into the canvas with its aspect kept (96 x 16).
        QTest::newRow("larger than the canvas") << "large" << QPoint(0, 0)
                                                << QStringList{"########", "########", "########"};
    }
    void pasteBringsAPictureInAsABlock()
    {
        QFETCH(QString, kind);
        QFETCH(QPoint, at);
        QFETCH(QStringList, rows);
        const QImage small = picture({"#.#", "###"});
        auto* data = new QMimeData;
        if (kind == "image")
            data->setImageData(small);
        else if (kind == "png")
            data->setData(QStringLiteral("image/png"), pngOf(small));
        else if (kind == "bmp")
            data->setData(QStringLiteral("image/bmp"), imaging::encodeBmp(imaging::LitGrid::fromRows({"#.#", "###"})));
        else if (kind == "rgba") {
            QImage rgba = small.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < rgba.height(); ++y)
                for (int x = 0; x < rgba.width(); ++x)
                    if (rgba.pixel(x, y) == qRgb(255, 255, 255))
                        rgba.setPixel(x, y, qRgba(0, 0, 0, 0)); // black, but transparent: background
            data->setData(QStringLiteral("image/png"), pngOf(rgba));
        } else {
            QImage large(192, 32, QImage::Format_RGB32);
            large.fill(Qt::white);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 96; ++x)
                    large.setPixel(x, y, qRgb(0, 0, 0));
            data->setImageData(large);
        }
        QGuiApplication::clipboard()->setMimeData(data);

        QTest::keyClick(page.get(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(page->model().tool(), editing::Tool::PlaceCopy);
        placeAt(at.x(), at.y());
        QCOMPARE(rowsOf(canvas, 3), rows);
        if (kind == "large") {
            QCOMPARE(canvas.cell(47, 15), 1);
            QCOMPARE(canvas.cell(48, 0), 0);
        }
        QTest::keyClick(page.get(), Qt::Key_Z, Qt::ControlModifier); // the placing is one undo step
        QCOMPARE(rowsOf(canvas, 3), (QStringList{"........", "........", "........"}));
    }

    void pasteWithoutAPictureSaysSo()
    {
        auto* data = new QMimeData;
        data->setText(QStringLiteral("hello"));
        QGuiApplication::clipboard()->setMimeData(data);
        QTest::keyClick(page.get(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(page->model().tool(), editing::Tool::Selection);
        QCOMPARE(prompter.texts(), QStringList{messages::lookupMessage(msg::ClipboardHasNoPicture)});
    }

    // "Paste as new picture": a new file each time, filed in the library; nothing without a picture.
    void pasteAsNewPicture_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QStringList>("memberships");
        QTest::newRow("into a library") << "Animals" << QStringList{"0,,,", "0,,,"};
        QTest::newRow("into the root") << store::kRootNodeText << QStringList{"", ""};
    }
    void pasteAsNewPicture()
    {
        QFETCH(QString, library);
        QFETCH(QStringList, memberships);
        const QString clips = dir.path() + "/" + QTest::currentDataTag() + "/";
        QDir().mkpath(clips);
        store::LibraryCatalogue(clips).addLibrary(QStringLiteral("Animals"));
        const QImage small = picture({"#.#", "###"});
        QCOMPARE(editing::pasteAsNewPicture(small, library, clips, edition, prompter), QStringLiteral("Clipboard.bmp"));
        QCOMPARE(editing::pasteAsNewPicture(small, library, clips, edition, prompter), QStringLiteral("Clipboard0.bmp"));
        const imaging::PictureLoad saved = imaging::loadPicture(clips + "Clipboard0.bmp");
        QVERIFY(saved.ok());
        QCOMPARE(saved.picture.size(), QSize(edition.maxBannerWidth, edition.ledCount));
        const imaging::LitGrid cells = saved.picture.litGrid(imaging::LitRule::LitBelow);
        QCOMPARE(cells.toRows().mid(0, 2), (QStringList{QString("#.#") + QString(93, u'.'), QString("###") + QString(93, u'.')}));
        const store::LibraryCatalogue catalogue(clips);
        QCOMPARE((QStringList{catalogue.membershipText("Clipboard.bmp"), catalogue.membershipText("Clipboard0.bmp")}),
                 memberships);

        QCOMPARE(editing::pasteAsNewPicture(QImage(), library, clips, edition, prompter), QString());
        QCOMPARE(prompter.texts().last(), messages::lookupMessage(msg::ClipboardHasNoPicture));
        QVERIFY(!QFile::exists(clips + "Clipboard1.bmp"));
    }

    void redoKeysAndButton_data()
    {
        QTest::addColumn<QString>("steps"); // p: pencil on the next column, u: Ctrl+Z, Z: Ctrl+Shift+Z, Y: Ctrl+Y, R: redo button
        QTest::addColumn<QString>("row0");
        QTest::newRow("undo") << "ppu" << "#.......";
        QTest::newRow("undo, Ctrl+Shift+Z") << "ppuZ" << "##......";
        QTest::newRow("two undos, Ctrl+Y twice") << "pppuuYY" << "###.....";
        QTest::newRow("two undos, the button once") << "pppuuR" << "##......";
        QTest::newRow("redo past the last undo does nothing") << "ppuZZY" << "##......";
        QTest::newRow("a new change drops the redo") << "ppupZ" << "#.#.....";
        QTest::newRow("redo with nothing undone") << "pZR" << "#.......";
    }
    void redoKeysAndButton()
    {
        QFETCH(QString, steps);
        QFETCH(QString, row0);
        int column = 0;
        for (const QChar step : steps) {
            switch (step.toLatin1()) {
            case 'p':
                page->model().choosePencil(); // undo and redo go back to the Selection tool
                QTest::mouseClick(page->Image7, Qt::LeftButton, {}, centre(column++, 0));
                break;
            case 'u':
                QTest::keyClick(page.get(), Qt::Key_Z, Qt::ControlModifier);
                break;
            case 'Z':
                QTest::keyClick(page.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                break;
            case 'Y':
                QTest::keyClick(page.get(), Qt::Key_Y, Qt::ControlModifier);
                break;
            case 'R':
                QTest::mouseClick(page->BitBtnRedo, Qt::LeftButton);
                break;
            }
        }
        QCOMPARE(rowsOf(canvas, 1), QStringList{row0});
    }
};

QTEST_MAIN(TestEditorClipboard)
#include "tst_EditorClipboard.moc"
