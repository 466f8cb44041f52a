#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "editing/PictureManager.h"
#include "imaging/LitGrid.h"
#include "imaging/PictureFile.h"
#include "shell/AppState.h"
#include "shell/ExpressProject.h"
#include "shell/windows/ExpressWindow.h"
#include "shell/windows/Windows.h"
#include "store/LibraryCatalogue.h"
#include "store/windows/LibraryPage.h"
#include "store/Project.h"
#include "store/ProjectList.h"
#include "tests/support/ScriptedPrompter.h"
#include "windowkit/TextTint.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QSet>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

using namespace shell;

namespace {

const QColor kLightWindow(0xef, 0xef, 0xef);
const QColor kDarkWindow(0x35, 0x35, 0x35);

// A widget by the object names from its window down: "Form1/ProjectsPage/Label46".
QWidget* widgetAt(const QString& path)
{
    const QStringList names = path.split(u'/');
    QWidget* found = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == names.first())
            found = window;
    for (qsizetype i = 1; found && i < names.size(); ++i)
        found = found->findChild<QWidget*>(names[i]);
    return found;
}

QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(QSize(24, 24)).toImage().convertToFormat(QImage::Format_ARGB32);
}

QSet<QRgb> coloursIn(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            colours.insert(rgb.pixel(x, y) | 0xff000000u);
    return colours;
}

// The colours a widget paints, rendered at the screen scale `scale`.
QSet<QRgb> coloursOf(QWidget& widget, int scale)
{
    QImage image(widget.size() * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::green); // shows through wherever the picture does not cover the label
    widget.render(&image);
    return coloursIn(image);
}

} // namespace

// The windows under light and dark palettes and at 100 % and 200 %: coloured texts stay readable, one-bit
// previews keep hard edges, and every command button shows a scalable icon of its own.
class tst_ThemeAndScale : public QObject {
    Q_OBJECT

    AppState state_;
    ScriptedPrompter prompter_;
    bool devicePresent_ = false;
    devicelink::QtEventPump pump_;
    devicelink::SimulatedHidPlatform platform_{pump_};
    std::unique_ptr<Windows> windows_;
    QPalette original_;

    Windows& start(const QString& invokedPath)
    {
        state_ = AppState();
        state_.invokedPath = invokedPath;
        windows_ = std::make_unique<Windows>(state_, prompter_, platform_, pump_, [this] { return devicePresent_; });
        return *windows_;
    }

private slots:
    void initTestCase() { original_ = QApplication::palette(); }
    void cleanup()
    {
        windows_.reset();
        devicePresent_ = false;
        QApplication::setPalette(original_);
    }

    void colouredTextsContrastWithTheirWindow_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("stickIn");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("meaning"); // the hue the text keeps: "red" or "blue"
        QTest::addColumn<QColor>("window");
        QTest::addColumn<bool>("paletteChangedLater"); // the palette changes after the windows were made

        struct Label {
            const char* program;
            bool stickIn;
            const char* path;
            const char* meaning;
        };
        const Label labels[] = {
            {"/x/Lumiwand16", false, "Form1/ProjectsPage/Label46", "blue"},
            {"/x/Lumiwand16", false, "Form1/ProjectsPage/Label47", "blue"},
            {"/x/Lumiwand16", false, "Form1/LibraryPage/Label22", "blue"},
            {"/x/Lumiwand16", false, "Form1/LibraryPage/Label23", "blue"},
            {"/x/Lumiwand16", false, "Form1/LibraryPage/Label24", "blue"},
            {"/x/Lumiwand16", false, "Form19/Label2", "blue"},
            {"/x/Lumiwand16", false, "Texteditor/Label4", "red"},
            {"/x/Lumiwand16", false, "ShowPreview/problemLabel", "red"},
            {"/x/Lumiwand_exp16", false, "Form20/Label1", "red"},
            {"/x/Lumiwand_mptool16", false, "Form21/Label1", "red"},
            {"/x/Lumiwand_mptool16", true, "Form21/Label1", "blue"},
        };
        for (const Label& label : labels)
            for (const auto& [name, window] : {std::pair{"light", kLightWindow}, std::pair{"dark", kDarkWindow}})
                for (const bool later : {false, true})
                    QTest::addRow("%s%s %s%s", label.path, label.stickIn ? " (stick in)" : "", name,
                                  later ? ", changed later" : "")
                        << QString::fromLatin1(label.program) << label.stickIn << QString::fromLatin1(label.path)
                        << QString::fromLatin1(label.meaning) << window << later;
    }
    void colouredTextsContrastWithTheirWindow()
    {
        QFETCH(QString, program);
        QFETCH(bool, stickIn);
        QFETCH(QString, label);
        QFETCH(QString, meaning);
        QFETCH(QColor, window);
        QFETCH(bool, paletteChangedLater);

        // A palette built from one colour takes black text on a light window and white text on a dark one.
        if (!paletteChangedLater)
            QApplication::setPalette(QPalette(window));
        devicePresent_ = stickIn;
        Windows& windows = start(program);
        windows.startupWindow.Timer1Timer(); // opens the mode's window, which shows the stick's status
        if (stickIn)
            windows.massProductionWindow.Timer1Timer();
        // A new desktop theme reaches every window (the application palette itself spreads only while the
        // event loop runs).
        if (paletteChangedLater)
            for (QWidget* top : QApplication::topLevelWidgets())
                top->setPalette(QPalette(window));

        QWidget* widget = widgetAt(label);
        QVERIFY2(widget, qPrintable(label));
        widget->ensurePolished();
        const QColor text = widget->palette().color(QPalette::WindowText);
        const QColor background = widget->palette().color(QPalette::Window);
        QCOMPARE(background, window);
        const double contrast = windowkit::contrastRatio(text, background);
        QVERIFY2(contrast >= 4.5, qPrintable(QStringLiteral("%1 on %2: contrast %3")
                                                  .arg(text.name(), background.name())
                                                  .arg(contrast)));
        const int hue = text.hslHue();
        if (meaning == QLatin1String("red"))
            QVERIFY2(text.hslSaturation() > 100 && (hue <= 15 || hue >= 345), qPrintable(text.name()));
        else
            QVERIFY2(hue >= 200 && hue <= 250, qPrintable(text.name()));
    }

    // The Library page shows a banner at twice its size; at 100 % and 200 % only the picture's black and white
    // reach the screen, no grey of a smoothed edge.
    void onePicturePreviewKeepsHardEdges_data()
    {
        QTest::addColumn<int>("scale");
        QTest::newRow("100 %") << 1;
        QTest::newRow("200 %") << 2;
    }
    void onePicturePreviewKeepsHardEdges()
    {
        QFETCH(int, scale);
        QTemporaryDir dir;
        store::Workspace workspace = store::workspaceFor(dir.path() + u'/', 16);
        QDir().mkpath(workspace.clipsFolder);
        imaging::LitGrid checkers(96, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = (y & 1); x < 96; x += 2)
                checkers.setLit(x, y);
        imaging::savePicture(checkers, workspace.clipsFolder, QStringLiteral("checkers.bmp"),
                             imaging::ExistingFile::Replace);
        store::LibraryCatalogue catalogue(workspace.clipsFolder);
        {
            store::IniFile::WriteBatch batch(catalogue.ini());
            catalogue.ini().writeInteger("SUMMARY", "TOTAL_LIBRARIES", 1);
            catalogue.ini().writeString("LIBRARY", "LIB_0", "Patterns");
            catalogue.setFileLibraries("checkers.bmp", {0});
        }
        store::ProjectList projects(workspace.projectsFolder);
        const store::AssociationIndex index = store::buildAssociationIndex(projects);
        store::LibraryPage page(workspace, index, prompter_);
        page.rebuildTree();
        const QList<QTreeWidgetItem*> items =
            page.TreeView1->findItems(QStringLiteral("checkers.bmp"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        page.TreeView1Click(items.first());
        QCOMPARE(page.Image1->size(), QSize(192, 32));

        const QSet<QRgb> colours = coloursOf(*page.Image1, scale);
        QCOMPARE(colours, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    }

    // The express window magnifies the selected banner, lit LEDs red on black: only those two colours show.
    void expressPreviewKeepsHardEdges_data() { onePicturePreviewKeepsHardEdges_data(); }
    void expressPreviewKeepsHardEdges()
    {
        QFETCH(int, scale);
        state_ = AppState();
        state_.invokedPath = QStringLiteral("/x/Lumiwand_exp16");
        prepareAppState(state_, QDir::homePath() + QStringLiteral("/Documents/"));
        state_.simplifiedMode = true;
        const QString projectFile = state_.workspace.projectsFolder + kExpressProjectName;
        store::createProject(projectFile, state_.edition.pictureWidth, state_.edition.ledCount);
        imaging::LitGrid checkers(24, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = (y & 1); x < 24; x += 2)
                checkers.setLit(x, y);
        imaging::savePicture(checkers, state_.workspace.clipsFolder, QStringLiteral("checkers.bmp"),
                             imaging::ExistingFile::Replace);
        store::Project project(projectFile);
        QVERIFY(store::appendEntry(project, state_.workspace.clipsFolder, QStringLiteral("checkers.bmp"), 0, -1, -1,
                                   false) == store::AppendStatus::Ok);

        ExpressDialogs dialogs;
        dialogs.discoverDevices = [] { return false; };
        dialogs.openDownloadDialog = [](bool, bool) { return false; };
        ExpressWindow form(state_, prompter_, dialogs);
        form.show();
        QTest::mouseClick(form.Images[0], Qt::LeftButton);
        QVERIFY(form.Image1->isVisible());
        QCOMPARE(form.Image1->size(), QSize(3 * 24, 3 * 16));

        QCOMPARE(coloursOf(*form.Image1, scale), (QSet<QRgb>{qRgb(255, 0, 0), qRgb(0, 0, 0)}));
    }

    // The editor's picture manager shows a banner wider than its box reduced, still in black and white only.
    void pictureManagerPreviewStaysOneBit()
    {
        QTemporaryDir dir;
        const QString clips = dir.path() + u'/';
        imaging::LitGrid stripes(300, 16);
        for (int x = 0; x < 300; x += 3)
            for (int y = 0; y < 16; ++y)
                stripes.setLit(x, y);
        imaging::savePicture(stripes, clips, QStringLiteral("stripes.bmp"), imaging::ExistingFile::Replace);
        const QImage preview = editing::managerPreview(clips + QStringLiteral("stripes.bmp")).image;
        QCOMPARE(preview.width(), editing::kManagerPreviewWidth);
        QCOMPARE(coloursIn(preview), (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    }

    void commandButtonsShowIconsOfTheirOwn_data()
    {
        QTest::addColumn<QString>("row");    // the buttons that must differ from each other
        QTest::addColumn<QString>("button");
        const QString projects = QStringLiteral("Form1/ProjectsPage/");
        for (const char* name : {"BitBtn40", "BitBtn42", "BitBtn43", "BitBtn44", "BitBtn36", "BitBtn37", "BitBtn41",
                                 "BitBtn35", "BitBtn39", "BitBtn46", "BitBtn47", "BitBtn49", "BitBtn38", "BitBtn50",
                                 "BitBtn51", "BitBtn52", "BitBtn53"})
            QTest::newRow(name) << projects << projects + QLatin1String(name);
        const QString editor = QStringLiteral("Form1/EditorPage/");
        for (const char* name : {"BitBtn18", "BitBtn19", "BitBtnRedo", "BitBtn20", "BitBtn21", "BitBtn22", "BitBtn23",
                                 "BitBtn24", "BitBtn25", "BitBtn26", "BitBtn27", "BitBtn28", "BitBtn29", "BitBtn32",
                                 "BitBtn31", "BitBtn34"})
            QTest::newRow(name) << editor << editor + QLatin1String(name);
        const QString top = QStringLiteral("Form1/");
        for (const char* name : {"BitBtn45", "BitBtn16", "BitBtn7", "BitBtn3", "BitBtn1", "BitBtn17"})
            QTest::newRow(name) << top << top + QLatin1String(name);
    }
    void commandButtonsShowIconsOfTheirOwn()
    {
        QFETCH(QString, row);
        QFETCH(QString, button);
        start(QStringLiteral("/x/Lumiwand_factory16")).mainWindow.refreshMainWindowTexts();
        auto* tool = qobject_cast<QToolButton*>(widgetAt(button));
        QVERIFY(tool);
        const QIcon icon = tool->icon();
        QVERIFY(!icon.isNull());
        // Drawn as a vector: as large as asked, so sharp at 200 % (a bitmap icon stops at its own size).
        QCOMPARE(icon.actualSize(QSize(96, 96)), QSize(96, 96));

        // Nothing but Save looks like Save: neither the main window's Save nor the style's floppy disks.
        const auto* save = qobject_cast<QToolButton*>(widgetAt(QStringLiteral("Form1/BitBtn3")));
        QVERIFY(save);
        if (tool != save)
            for (const QIcon& saveIcon : {save->icon(), tool->style()->standardIcon(QStyle::SP_DialogSaveButton),
                                          tool->style()->standardIcon(QStyle::SP_DriveFDIcon)})
                QVERIFY(iconImage(icon) != iconImage(saveIcon));

        // Each command of the row has an icon of its own.
        const QString parentPath = row.chopped(1);
        QWidget* parent = widgetAt(parentPath);
        QVERIFY(parent);
        for (const QToolButton* other : parent->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
            if (other != tool && other->objectName().startsWith(QLatin1String("BitBtn")))
                QVERIFY2(iconImage(other->icon()) != iconImage(icon), qPrintable(other->objectName()));
        QVERIFY(!tool->toolTip().isEmpty() || !tool->text().isEmpty());
    }
};

QTEST_MAIN(tst_ThemeAndScale)
#include "tst_ThemeAndScale.moc"
