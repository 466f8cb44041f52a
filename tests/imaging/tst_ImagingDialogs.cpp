#include "deviceimage/AnimationImport.h"
#include "deviceimage/BannerSave.h"
#include "imaging/windows/FontChooser.h"
#include "imaging/windows/PictureImportDialog.h"
#include "imaging/PictureFile.h"
#include "imaging/windows/TextEditorDialog.h"
#include "imaging/windows/TextToBannerDialog.h"
#include "imaging/VirtualCanvas.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/LibraryCatalogue.h"
#include "store/Project.h"
#include "tests/support/GifWriter.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QIntValidator>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace imaging;

namespace {

class ScriptedFontChooser : public FontChooser {
public:
    std::optional<QFont> answer;
    std::optional<QFont> chooseFont(const QFont&, bool) override { return answer; }
};

// Works the dialog once it is shown, from inside its event loop; a check that fails there still closes it.
void whenShown(QDialog& dialog, const std::function<void()>& act)
{
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        act();
        if (dialog.isVisible())
            dialog.reject();
    });
}

QStringList patternRows(int width, int height)
{
    QStringList rows;
    for (int y = 0; y < height; ++y) {
        QString row;
        for (int x = 0; x < width; ++x)
            row += (x * 7 + y * 3 + x * y) % 5 < 2 ? '#' : '.';
        rows << row;
    }
    return rows;
}

QString message(unsigned id)
{
    return messages::lookupMessage(id);
}

// A workspace of one edition in a temporary Documents folder.
struct Workspace {
    QTemporaryDir root;
    store::EditionParameters edition;
    deviceimage::ImageContext context;

    explicit Workspace(int leds)
        : edition(store::deriveEdition(QStringLiteral("Lumiwand%1").arg(leds)))
    {
        context.edition = edition;
        context.workspace = store::prepareWorkspace(root.path() + "/", leds, edition.pictureWidth);
    }
    QString clips() const { return context.workspace.clipsFolder; }
    QString quickStart() const { return context.workspace.projectsFolder + "QuickStart.ini"; }
};

// The import dialog of the 16-LED edition over a blank canvas.
struct ImportDialog {
    ScriptedPrompter prompter;
    PictureImportDialog dialog{store::deriveEdition("Lumiwand16"), prompter};
    VirtualCanvas canvas;

    ImportDialog()
    {
        canvas.SetGeometry(16, 16);
        canvas.Reset(96, 16);
    }
};

// The text-to-banner dialog of the 16-LED edition keeping its banners in QuickStart.
struct BannerDialog {
    Workspace workspace{16};
    store::Project project{workspace.quickStart()};
    ScriptedPrompter prompter;
    ScriptedFontChooser fonts;
    deviceimage::ProjectBannerKeeper keeper;
    TextToBannerDialog dialog;

    explicit BannerDialog(bool express)
        : keeper(workspace.context, [this] { return &project; }, prompter, express),
          dialog(QSize(96, 16), prompter, fonts)
    {
        dialog.setExpressMode(express);
        dialog.setBannerKeeper(&keeper);
    }
};

} // namespace

class tst_ImagingDialogs : public QObject {
    Q_OBJECT

private slots:
    void importsBlackWhitePictureCellForCell()
    {
        QTemporaryDir dir;
        const QStringList rows = patternRows(96, 16);
        writeFile(dir.filePath("logo.bmp"), encodeBmp(LitGrid::fromRows(rows)));
        ImportDialog fixture;
        auto& [prompter, dialog, canvas] = fixture;
        whenShown(dialog, [&] {
            QCOMPARE(dialog.windowTitle(), message(619));
            QCOMPARE(dialog.RadioButton3->text(), message(754));
            QCOMPARE(dialog.previewGrid().toRows(), rows); // the preview is what OK writes
            QVERIFY(dialog.GroupBox4->title().endsWith(messages::formatMessage(msg::DimensionOk, 96, 16)));
            QVERIFY(dialog.TrackBar1->isVisible());
            dialog.Button1->click();
        });
        QVERIFY(dialog.importInto(canvas, dir.filePath("logo.bmp"), false));
        QCOMPARE(canvas.litGrid().toRows(), rows);
        QVERIFY(prompter.shown.isEmpty());
        canvas.Undo(); // one undo step
        QCOMPARE(canvas.litGrid(), LitGrid(96, 16));
    }

    void cropNoticeOncePerOpeningAndFitModes()
    {
        QTemporaryDir dir;
        QImage photo(200, 40, QImage::Format_RGB32);
        photo.fill(Qt::white);
        for (int x = 0; x < 100; ++x)
            photo.setPixel(x, 20, qRgb(0, 0, 0));
        QVERIFY(photo.save(dir.filePath("wide.bmp")));
        ImportDialog fixture;
        auto& [prompter, dialog, canvas] = fixture;
        canvas.SetCell(5, 5, 1, VirtualCanvas::Target::Canvas, true);
        whenShown(dialog, [&] {
            QCOMPARE(dialog.zoom(), 3);
            QVERIFY(dialog.Shape1->isVisible());
            dialog.RadioButton3->click(); // 200 x 40 kept in ratio: 80 x 16, fits
            QVERIFY(!dialog.Shape1->isVisible());
            QVERIFY(dialog.GroupBox4->title().endsWith(messages::formatMessage(msg::DimensionOk, 80, 16)));
            dialog.RadioButton1->click(); // Trim again: a crop, but no second notice
            dialog.RadioButton5->click();
            QVERIFY(!dialog.TrackBar1->isVisible());
            dialog.RadioButton4->click();
            QVERIFY(dialog.TrackBar1->isVisible());
            dialog.Button2->click();
        });
        QVERIFY(!dialog.importInto(canvas, dir.filePath("wide.bmp"), true));
        QCOMPARE(prompter.texts(), QStringList{message(msg::ImportCropNotice)});
        QVERIFY(canvas.cell(5, 5)); // Cancel leaves the canvas alone
    }

    void dragMovesTheCropSnappedToZoom()
    {
        QTemporaryDir dir;
        QImage photo(200, 40, QImage::Format_RGB32);
        photo.fill(Qt::white);
        photo.setPixel(150, 30, qRgb(0, 0, 0));
        QVERIFY(photo.save(dir.filePath("wide.bmp")));
        ImportDialog fixture;
        auto& [prompter, dialog, canvas] = fixture;
        whenShown(dialog, [&] {
            QTest::mousePress(dialog.Image1, Qt::LeftButton, {}, QPoint(10, 10));
            QTest::mouseMove(dialog.Image1, QPoint(10 + 3 * 100 + 1, 10 + 3 * 20 + 2));
            dialog.Timer1Timer();
            QTest::mouseRelease(dialog.Image1, Qt::LeftButton, {}, QPoint(10 + 3 * 100 + 1, 10 + 3 * 20 + 2));
            QCOMPARE(dialog.cropOrigin(), QPoint(100, 20));
            dialog.Button1->click();
        });
        QVERIFY(dialog.importInto(canvas, dir.filePath("wide.bmp"), false));
        QVERIFY(canvas.cell(50, 10));
    }

    void animatedGifBecomesAMovieGroup()
    {
        Workspace workspace{16};
        const QString gif = workspace.root.filePath("Spin.gif");
        writeFile(gif, testgif::makeGif(QSize(16, 16), testgif::columnFrames(QSize(16, 16), 3), 300));
        store::Project project(workspace.quickStart());
        const int before = project.totalPictures();
        ImportDialog fixture;
        auto& [prompter, dialog, canvas] = fixture;
        dialog.setAnimationImporter([&](const QString& path, const ImportChoice& choice) {
            return deviceimage::importAnimationAsked(workspace.context, &project, path, choice, prompter);
        });
        prompter.inputs.enqueue(QStringLiteral("Spinners"));
        whenShown(dialog, [&] {
            QCOMPARE(dialog.frameCount(), 3);
            QVERIFY(dialog.Label4->isVisible());
            QVERIFY(dialog.Label4->text().contains("3 frames"));
            QCOMPARE(dialog.previewGrid().isLit(0, 0), true); // the first frame is shown
            dialog.Button1->click();
        });
        QVERIFY(!dialog.importInto(canvas, gif, false)); // the canvas did not take a picture
        QVERIFY(dialog.importedAnimation());
        QCOMPARE(canvas.litGrid(), LitGrid(96, 16));
        QCOMPARE(prompter.shown.value(0).initial, QStringLiteral("Spin"));
        QCOMPARE(project.totalPictures(), before + 3);
        QCOMPARE(project.pictureName(before + 2), QStringLiteral("Spin_002.bmp"));
        QCOMPARE(project.groupInterval(project.group(before)), 3 * 8);
        QVERIFY(QFile::exists(workspace.clips() + "Spin_000.bmp"));
    }

    void undecodableFileIsReported()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("broken.jpg"), "not a jpeg at all");
        ImportDialog fixture;
        auto& [prompter, dialog, canvas] = fixture;
        QVERIFY(!dialog.importInto(canvas, dir.filePath("broken.jpg"), false));
        QCOMPARE(prompter.texts(), QStringList{message(msg::ImportFileOpenError)});
        QCOMPARE(prompter.shown.value(0).title, message(msg::ImportTitle));
    }

    // Change: cancelling the file dialog keeps the image without a word; a choice with no file name is an error.
    void changeCancelledIsNoError()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("logo.bmp"), encodeBmp(LitGrid::fromRows(patternRows(40, 8))));
        ImportDialog fixture;
        auto& [prompter, dialog, canvas] = fixture;
        prompter.files.enqueue(QString());              // cancelled
        prompter.files.enqueue(dir.path() + "/0");      // "0" names nothing
        const auto boxes = [&prompter] {
            QStringList texts;
            for (const ScriptedPrompter::Shown& shown : prompter.shown)
                if (shown.kind == QLatin1String("box"))
                    texts << shown.text;
            return texts;
        };
        whenShown(dialog, [&] {
            dialog.Button3->click();
            QVERIFY(boxes().isEmpty());
            dialog.Button3->click();
            QCOMPARE(dialog.sourcePath(), dir.filePath("logo.bmp"));
        });
        dialog.importInto(canvas, dir.filePath("logo.bmp"), false);
        QCOMPARE(boxes(), QStringList{message(msg::ImportFileOpenError)});
    }

    // The file label reads "Banner name: " and " %s ( %d x %d )" with the whole path, its middle left out when it
    // is too long for the label: the folder's start and the file name stay readable.
    void fileLabelShowsThePathAndSize_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("elided");
        QTest::newRow("short") << QStringLiteral("pics") << false;
        QTest::newRow("long") << QStringLiteral("a-folder-with-a-rather-long-name/") + QString(120, u'x') << true;
    }
    void fileLabelShowsThePathAndSize()
    {
        QFETCH(QString, folder);
        QFETCH(bool, elided);
        QTemporaryDir dir;
        const QString path = dir.filePath(folder + "/logo.bmp");
        writeFile(path, encodeBmp(LitGrid::fromRows(patternRows(40, 8))));
        ImportDialog fixture;
        auto& [prompter, dialog, canvas] = fixture;
        QString label;
        bool wholeFits = false;
        const QString prefix = message(622) + u' ';
        const QString whole = prefix + path + QStringLiteral(" ( 40 x 8 )");
        whenShown(dialog, [&] {
            label = dialog.Label1->text();
            const int room = dialog.Label1->contentsRect().width();
            QVERIFY(dialog.Label1->fontMetrics().horizontalAdvance(label) <= room);
            wholeFits = dialog.Label1->fontMetrics().horizontalAdvance(whole) + 2 <= room;
            QCOMPARE(dialog.Label1->toolTip(), path);
        });
        dialog.importInto(canvas, path, false);
        QVERIFY(label.startsWith(prefix + dir.path().left(5)));
        QVERIFY(label.endsWith(QStringLiteral("logo.bmp ( 40 x 8 )")));
        if (elided || !wholeFits)
            QVERIFY(label.contains(QChar(0x2026)));
        else
            QCOMPARE(label, whole);
    }

    void textBoxAndLayoutFollowTheEdition()
    {
        ScriptedPrompter prompter;
        ScriptedFontChooser fonts;
        TextToBannerDialog small(QSize(96, 16), prompter, fonts);
        TextToBannerDialog tall(QSize(128, 32), prompter, fonts);
        QCOMPARE(small.Edit1->maxLength(), 18);
        QVERIFY(small.ComboBox1->isHidden());
        QCOMPARE(tall.Edit1->maxLength(), 40);
        QVERIFY(!tall.ComboBox1->isHidden());
    }

    // Enter in the text box previews; it never presses OK, although OK is the default button.
    void enterInTheTextBoxPreviewsOnly()
    {
        BannerDialog fixture(false);
        auto& [workspace, project, prompter, fonts, keeper, dialog] = fixture;
        bool stillOpen = false;
        whenShown(dialog, [&] {
            dialog.Edit1->setFocus();
            dialog.Edit1->setText(QStringLiteral("Hi"));
            QTest::keyClick(dialog.Edit1, Qt::Key_Return);
            QTest::keyClick(dialog.Edit1, Qt::Key_Enter);
            stillOpen = dialog.isVisible();
            QVERIFY(dialog.Label4->text().contains(QStringLiteral("Width: ")));
            QVERIFY(!dialog.banner().preview.isNull());
            dialog.Button4->click();
        });
        dialog.exec();
        QVERIFY(stillOpen);
        QVERIFY(!dialog.accepted());
        QCOMPARE(project.totalPictures(), 0);
        QVERIFY(!QFile::exists(workspace.clips() + "Hi.bmp"));
    }

    void okSavesNumberedBannersWithTheirRecords()
    {
        BannerDialog fixture(false);
        auto& [workspace, project, prompter, fonts, keeper, dialog] = fixture;
        for (const QString expected : {"Hello.bmp", "Hello0.bmp"}) {
            dialog.setRememberedText(QStringLiteral("Hello"));
            whenShown(dialog, [&] {
                QCOMPARE(dialog.windowTitle(), message(msg::TextToBannerTitle));
                QCOMPARE(dialog.CheckBox1->text(), message(753));
                dialog.Button3->click();
            });
            dialog.exec();
            QVERIFY(dialog.accepted());
            QVERIFY(!dialog.rejected());
            QCOMPARE(keeper.last().fileName, expected);
            QVERIFY(QFile::exists(workspace.clips() + expected));
        }
        QCOMPARE(project.totalPictures(), 2);
        QCOMPARE(project.pictureName(1), QString("Hello0.bmp"));
        const LitGrid saved = loadPicture(workspace.clips() + "Hello.bmp").picture.litGrid(LitRule::LitBelow);
        QCOMPARE(saved, dialog.banner().grid()); // the file is the preview
        QCOMPARE(store::LibraryCatalogue(workspace.clips()).readBannerText("Hello.bmp").section(',', 0, 0),
                 QString("Hello"));
        QVERIFY(prompter.shown.isEmpty());
    }

    void blankTextSavesNothing()
    {
        BannerDialog fixture(false);
        auto& [workspace, project, prompter, fonts, keeper, dialog] = fixture;
        whenShown(dialog, [&] {
            dialog.Edit1->setText(QStringLiteral("   "));
            dialog.Button3->click();
            QVERIFY(dialog.isVisible());
            dialog.Button4->click();
        });
        dialog.exec();
        QVERIFY(!dialog.accepted());
        QVERIFY(dialog.rejected());
        QCOMPARE(prompter.texts(), QStringList{message(msg::InvalidFileName)});
        QCOMPARE(project.totalPictures(), 0);
    }

    void expressBannerThatOverfillsTheStickIsTakenOut()
    {
        BannerDialog fixture(true);
        auto& [workspace, project, prompter, fonts, keeper, dialog] = fixture;
        // Ten full-width banners: 2 bytes a column, nearly all of the 2048 bytes.
        const QStringList rows = patternRows(96, 16);
        for (int i = 0; i < 10; ++i) {
            const QString name = QStringLiteral("full%1.bmp").arg(i);
            QVERIFY(savePicture(LitGrid::fromRows(rows), workspace.clips(), name, ExistingFile::Refuse).ok());
            QCOMPARE(store::appendEntry(project, workspace.clips(), name, 0, -1, -1, false), store::AppendStatus::Ok);
        }
        dialog.setRememberedText(QStringLiteral("Too much"));
        whenShown(dialog, [&] {
            QVERIFY(dialog.Button5->isHidden());
            dialog.Button3->click();
        });
        dialog.exec();
        QVERIFY(dialog.accepted());
        QVERIFY(dialog.rejected());
        QCOMPARE(prompter.texts(), QStringList{deviceimage::stickTooSmallText(16)});
        QCOMPARE(project.totalPictures(), 10);
    }

    void textEditorBlockAndTable()
    {
        ScriptedPrompter prompter;
        ScriptedFontChooser fonts;
        TextEditorDialog dialog(16, prompter, fonts);
        QFont textFont = defaultTextFont();
        textFont.setPointSize(30);
        QString lastText = QStringLiteral("A");
        whenShown(dialog, [&] {
            QVERIFY(!dialog.Label4->isHidden()); // a 30-point "A" is taller than 16 LEDs
            QCOMPARE(dialog.Label4->text(), message(msg::FontTooLarge));
            dialog.StringGrid1->cellClicked(4, 2);
            QCOMPARE(dialog.Edit1->text(), QString("B"));
            QCOMPARE(dialog.textBlock().image.size(), QSize(64, 64));
            QCOMPARE(dialog.Label3->text(),
                     QStringLiteral("( %1 x %2 )").arg(dialog.textBlock().width()).arg(dialog.textBlock().height()));
            dialog.Button1->click(); // the warning does not block OK
        });
        QVERIFY(dialog.editText(textFont, lastText));
        QCOMPARE(lastText, QString("B"));
    }

    // The character table shows whole, without scroll bars, inside its group and the dialog; control characters
    // have empty cells that do nothing when clicked.
    void textEditorTableShowsWhole()
    {
        ScriptedPrompter prompter;
        ScriptedFontChooser fonts;
        TextEditorDialog dialog(16, prompter, fonts);
        QFont textFont = defaultTextFont();
        QString lastText = QStringLiteral("A");
        whenShown(dialog, [&] {
            QTableWidget* table = dialog.StringGrid1;
            const QRect shown = table->viewport()->rect();
            for (int row = 0; row < 16; ++row)
                for (int column = 0; column < 16; ++column)
                    QVERIFY(shown.contains(table->visualRect(table->model()->index(row, column))));
            QVERIFY(!table->horizontalScrollBar()->isVisible());
            QVERIFY(!table->verticalScrollBar()->isVisible());
            QVERIFY(dialog.GroupBox2->contentsRect().contains(table->geometry()));
            for (QWidget* control : std::initializer_list<QWidget*>{dialog.GroupBox2, dialog.Button1, dialog.Button2,
                                                                    dialog.Button4})
                QVERIFY(dialog.rect().contains(control->geometry()));
            QVERIFY(!dialog.GroupBox2->geometry().intersects(dialog.Button1->geometry()));
            for (int code : {1, 9, 31, 127, 128, 159}) {
                QVERIFY(!table->item(code / 16, code % 16));
                table->cellClicked(code / 16, code % 16);
                QCOMPARE(dialog.Edit1->text(), QString("A"));
            }
            QCOMPARE(table->item(2, 0)->text(), QString(" "));
            QCOMPARE(table->item(10, 0)->text(), QString(QChar(0xA0)));
            QCOMPARE(table->item(15, 15)->text(), QString(QChar(0xFF)));
        });
        dialog.editText(textFont, lastText);
    }

    // The font dialog of the text tools: text to banner's hides its size box (the fitting chooses the size, and
    // the size stays); the text editor's offers it.
    void fontDialogSizeBox_data()
    {
        QTest::addColumn<bool>("withSize");
        QTest::newRow("text to banner") << false;
        QTest::newRow("text editor") << true;
    }
    void fontDialogSizeBox()
    {
        QFETCH(bool, withSize);
        QtFontChooser chooser(nullptr);
        QFont initial = defaultTextFont();
        initial.setPointSize(9);
        int sizeBoxes = -1;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            sizeBoxes = 0;
            for (const QLineEdit* edit : dialog->findChildren<QLineEdit*>())
                if (edit->isVisible() && qobject_cast<const QIntValidator*>(edit->validator()))
                    ++sizeBoxes;
            dialog->setCurrentFont(QFont(QStringLiteral("DejaVu Sans"), 20));
            dialog->accept();
        });
        const std::optional<QFont> chosen = chooser.chooseFont(initial, withSize);
        QCOMPARE(sizeBoxes, withSize ? 1 : 0);
        QVERIFY(chosen);
        QCOMPARE(chosen->pointSize(), withSize ? 20 : 9);
    }

    void textEditorPasteAndFontOnCancel()
    {
        ScriptedPrompter prompter;
        ScriptedFontChooser fonts;
        QFont chosen = defaultTextFont();
        chosen.setPointSize(48);
        fonts.answer = chosen;
        TextEditorDialog dialog(16, prompter, fonts);
        QFont textFont = defaultTextFont();
        QString lastText = QStringLiteral("A");
        whenShown(dialog, [&] {
            QGuiApplication::clipboard()->setText(QString());
            dialog.Button4->click();
            QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
            dialog.Button4->click();
            auto* rich = new QMimeData;
            rich->setText(QStringLiteral("Zq"));
            rich->setHtml(QStringLiteral("<span style=\"font-family:'DejaVu Serif'; font-size:20pt\">Zq</span>"));
            QGuiApplication::clipboard()->setMimeData(rich);
            dialog.Button4->click();
            QCOMPARE(dialog.Edit1->text(), QString("Zq"));
            QCOMPARE(dialog.dialogFont().family(), QString("DejaVu Serif"));
            QCOMPARE(dialog.dialogFont().pointSize(), 20);
            dialog.Button3->click(); // Change Font: 48 points, a 128 x 128 text image
            QCOMPARE(dialog.textBlock().image.size(), QSize(128, 128));
            dialog.Button2->click();
        });
        QVERIFY(!dialog.editText(textFont, lastText));
        QCOMPARE(prompter.texts(), (QStringList{message(msg::ClipboardHasNoText), message(msg::TextTooLongForCanvas)}));
        QCOMPARE(textFont.pointSize(), 48); // the font chosen stays, also after Cancel
    }
};

QTEST_MAIN(tst_ImagingDialogs)
#include "tst_ImagingDialogs.moc"
