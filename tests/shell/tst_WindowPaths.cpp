#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "shell/AppState.h"
#include "shell/windows/Windows.h"
#include "shell/windows/QtPrompter.h"
#include "store/IniFile.h"
#include "store/Project.h"
#include "store/windows/ProjectsPage.h"
#include "store/Settings.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using namespace shell;

// The main paths through the windows as a user walks them: text to banner on to the stick, the wizard's text
// mode, the main window's top row and preview box, the show preview and the binary file dialog.
class TestWindowPaths : public QObject {
    Q_OBJECT

    AppState state_;
    ScriptedPrompter prompter_;
    devicelink::QtEventPump pump_;
    devicelink::SimulatedHidPlatform platform_{pump_};
    std::unique_ptr<Windows> windows_;

    Windows& start(const QString& invokedPath, messages::Prompter* prompter = nullptr)
    {
        state_ = AppState();
        state_.invokedPath = invokedPath;
        windows_ = std::make_unique<Windows>(state_, prompter ? *prompter : prompter_, platform_, pump_,
                                             [] { return false; });
        return *windows_;
    }

    // The current project emptied, so that a test starts from no pictures whatever an earlier run left.
    void emptyQuickStart(int leds)
    {
        store::createProject(state_.workspace.projectsFolder + "QuickStart.ini", leds == 11 ? 16 : leds, leds);
    }

    // A picture of the clips folder, all lit.
    void writePicture(const QString& name, QSize size) const
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::black);
        QVERIFY(picture.save(state_.workspace.clipsFolder + name, "BMP"));
    }

    // The patterns of a file dialog's filter, "Name (*.a *.b)".
    static QStringList filterPatterns(const QString& filter)
    {
        const qsizetype open = filter.lastIndexOf(u'(');
        return filter.mid(open + 1, filter.lastIndexOf(u')') - open - 1).split(u' ', Qt::SkipEmptyParts);
    }

private slots:
    void init()
    {
        prompter_ = ScriptedPrompter();
        for (int leds : {11, 16, 24, 32, 48})
            QFile::remove(store::workspaceFor(store::documentsFolder(), leds).settingsFile);
    }
    void cleanup()
    {
        windows_.reset();
        messages::setLanguageOverride(messages::kNoLanguageChosen);
    }

    // "Burn to USB Light Show" keeps the banner as OK does and then shows the download dialog, without waiting
    // for it; the page shows the banner at once.
    void burnOpensTheDownloadDialog()
    {
        Windows& windows = start(QStringLiteral("/x/Lumiwand16"));
        windows.mainWindow.show();
        emptyQuickStart(16);
        windows.mainWindow.PageControl1->setCurrentWidget(windows.mainWindow.TabSheet4);
        store::ProjectsPage& page = *windows.mainWindow.projectsPage;
        imaging::TextToBannerDialog& dialog = windows.editor.textToBanner;
        QFile::remove(state_.workspace.clipsFolder + "Burn.bmp");
        QTimer::singleShot(0, &dialog, [&dialog] {
            QVERIFY(dialog.Button5->isVisible());
            dialog.Edit1->setText(QStringLiteral("Burn"));
            QTest::mouseClick(dialog.Button5, Qt::LeftButton);
        });
        QTest::mouseClick(page.BitBtn35, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(QFile::exists(state_.workspace.clipsFolder + "Burn.bmp"));
        QTRY_VERIFY(windows.downloadDialog.isVisible());
        QVERIFY(windows.downloadDialog.isModal());
        QCOMPARE(page.ListView1->count(), 1);
        windows.downloadDialog.reject();
        QCOMPARE(page.Label46->text(), QStringLiteral("1"));
        QFile::remove(state_.workspace.clipsFolder + "Burn.bmp");
    }

    // The express window's text to banner keeps the button hidden: its own "USB Download" reaches the stick.
    void expressTextToBannerHasNoBurnButton()
    {
        Windows& windows = start(QStringLiteral("/x/Lumiwand_exp16"));
        QTimer::singleShot(0, &windows.textToBanner, [&windows] {
            QVERIFY(!windows.textToBanner.Button5->isVisible());
            windows.textToBanner.reject();
        });
        windows.openExpressTextToBanner(QString());
        QVERIFY(!windows.downloadDialog.isVisible());
    }

    // Text mode: the text dialog takes the keyboard; its OK shows the banner on the Projects page at once and
    // makes the dialog's font the program's text font.
    void wizardTextModeTakesTheFocus()
    {
        Windows& windows = start(QStringLiteral("/x/Lumiwand16"));
        emptyQuickStart(16);
        QuickStartWizard& wizard = windows.editor.quickStartWizard;
        QFont wizardFont = wizard.font();
        wizardFont.setFamily(QStringLiteral("Liberation Serif"));
        wizard.setFont(wizardFont);
        wizard.show();
        QTest::mouseClick(wizard.Button1, Qt::LeftButton);
        imaging::TextToBannerDialog& dialog = windows.editor.textToBanner;
        QTRY_COMPARE(QApplication::activeWindow(), &dialog);
        QCOMPARE(QApplication::focusWidget(), dialog.Edit1);

        QFile::remove(state_.workspace.clipsFolder + "Wiz.bmp");
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Wiz"));
        QTest::mouseClick(dialog.Button3, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        store::ProjectsPage& page = *windows.mainWindow.projectsPage;
        QCOMPARE(page.ListView1->count(), 1);
        QCOMPARE(page.Label46->text(), QStringLiteral("1"));
        QCOMPARE(state_.textFont.family(), dialog.dialogFont().family());
        QCOMPARE(state_.textFont.family(), QStringLiteral("Liberation Serif"));
        QFile::remove(state_.workspace.clipsFolder + "Wiz.bmp");
    }

    // The close box and Escape leave the wizard as a Cancel would: no mode chosen, the main window shown as it
    // is, so that the program never runs on without a window.
    void wizardClosesWithoutAChoice_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close box") << false;
        QTest::newRow("Escape") << true;
    }
    void wizardClosesWithoutAChoice()
    {
        QFETCH(bool, escape);
        Windows& windows = start(QStringLiteral("/x/Lumiwand16"));
        QuickStartWizard& wizard = windows.editor.quickStartWizard;
        QSignalSpy go(&wizard, &QuickStartWizard::go);
        wizard.show();
        QVERIFY(!windows.mainWindow.isVisible());
        if (escape)
            QTest::keyClick(&wizard, Qt::Key_Escape);
        else
            QVERIFY(wizard.close());
        QVERIFY(!wizard.isVisible());
        QVERIFY(windows.mainWindow.isVisible());
        QCOMPARE(go.size(), 0);
        QVERIFY(!windows.editor.textToBanner.isVisible());
        QCOMPARE(windows.mainWindow.PageControl1->currentWidget(), windows.mainWindow.TabSheet3);
    }

    // The top row and the preview box share the window's top: in every edition the box, at its widest (the
    // editor's whole banner), leaves every button, its own caption and the page tabs clear, in every language.
    void topRowLeavesThePreviewRoom_data()
    {
        QTest::addColumn<int>("leds");
        for (int leds : {11, 16, 24, 32, 48})
            QTest::addRow("%d LEDs", leds) << leds;
    }
    void topRowLeavesThePreviewRoom()
    {
        QFETCH(int, leds);
        MainWindow& form = start(QStringLiteral("/x/Lumiwand%1").arg(leds)).mainWindow;
        form.show();
        form.PageControl1->setCurrentWidget(form.TabSheet2);
        form.PageControl1->setCurrentWidget(form.TabSheet3);
        QVERIFY(form.GroupBox2->isVisible());
        const QRect box = form.GroupBox2->geometry();
        QCOMPARE(form.Image11->pixmap().size(), QSize(state_.edition.maxBannerWidth, leds));
        QCOMPARE(form.Image11->size(), QSize(state_.edition.maxBannerWidth, leds));
        QVERIFY(form.GroupBox2->contentsRect().contains(form.Image11->geometry()));
        QCOMPARE(box.right(), 784);
        const QList<QToolButton*> row{form.BitBtn45, form.BitBtn16, form.BitBtn7,
                                      form.BitBtn3,  form.BitBtn1,  form.BitBtn17};
        for (int i = 0; i < row.size(); ++i) {
            QVERIFY2(!row[i]->geometry().intersects(box), qPrintable(row[i]->objectName()));
            if (i > 0)
                QVERIFY(row[i - 1]->geometry().right() < row[i]->geometry().left());
        }
        if (leds < 48) // room enough: the buttons stand where the frame puts them
            QCOMPARE(form.BitBtn17->geometry(), QRect(448, 8, 81, 57));
        for (messages::LangId language : {0x0409, 0x0404, 0x0804, 0x0411, 0x0412, 0x040C, 0x0407, 0x0C0A, 0x0416,
                                          0x0410, 0x0413, 0x0419, 0x041E}) {
            messages::setLanguageOverride(language);
            form.refreshMainWindowTexts();
            QTabBar* tabs = form.PageControl1->tabBar();
            for (int tab = 0; tab < tabs->count(); ++tab) {
                const QRect tabRect(tabs->mapTo(&form, tabs->tabRect(tab).topLeft()), tabs->tabRect(tab).size());
                QVERIFY2(!tabRect.intersects(box), qPrintable(QString::number(language, 16)));
            }
            const int caption = form.GroupBox2->fontMetrics().horizontalAdvance(form.GroupBox2->title());
            QVERIFY2(caption + 16 <= box.width(), qPrintable(QString::number(language, 16)));
        }
    }

    // Back on the editor page after a Projects page preview, the box shows the editor's whole picture again.
    void editorPreviewShowsTheWholePicture()
    {
        Windows& windows = start(QStringLiteral("/x/Lumiwand16"));
        MainWindow& form = windows.mainWindow;
        form.show();
        writePicture(QStringLiteral("narrow.bmp"), QSize(16, 16));
        form.PageControl1->setCurrentWidget(form.TabSheet4);
        form.showTopPreview(QStringLiteral("narrow.bmp"));
        QCOMPARE(form.Image11->size(), QSize(16, 16));
        form.PageControl1->setCurrentWidget(form.TabSheet3);
        QVERIFY(form.GroupBox2->isVisible());
        QCOMPARE(form.Image11->size(), QSize(96, 16));
        QCOMPARE(form.Image11->pixmap().size(), QSize(96, 16));
        QCOMPARE(form.GroupBox2->geometry(), QRect(673, 0, 112, 89));
        // What the editor draws shows there too, the last column included.
        windows.editor.canvas.SetCell(95, 15, 1, imaging::VirtualCanvas::Target::Canvas, true);
        windows.editor.canvas.Render(imaging::VirtualCanvas::Target::Canvas);
        QCOMPARE(form.Image11->pixmap().toImage().pixelColor(95, 15), QColor(Qt::black));
        QFile::remove(state_.workspace.clipsFolder + "narrow.bmp");
    }

    // With no project, or a project with nothing to play, the show preview says so in its own words and stays
    // shut; with pictures it opens over the window that asked, and Escape closes it.
    void showPreviewNeedsSomethingToPlay()
    {
        Windows& windows = start(QStringLiteral("/x/Lumiwand16"));
        MainWindow& form = windows.mainWindow;
        form.show();
        QDir projects(state_.workspace.projectsFolder, QStringLiteral("*.ini"));
        for (const QString& file : projects.entryList())
            QVERIFY(projects.remove(file));
        state_.projects->listProjects();
        windows.openShowPreview(form);
        QVERIFY(!windows.showPreview.isVisible());
        QCOMPARE(prompter_.shown.size(), 1);
        QCOMPARE(prompter_.shown[0].title, QStringLiteral("Show preview"));
        QCOMPARE(prompter_.shown[0].text, messages::lookupMessage(msg::NoProjectToPlay));

        emptyQuickStart(16);
        form.PageControl1->setCurrentWidget(form.TabSheet4);
        store::ProjectsPage& page = *form.projectsPage;
        QTest::mouseClick(page.BitBtn53, Qt::LeftButton);
        QVERIFY(!windows.showPreview.isVisible());
        QCOMPARE(prompter_.shown.size(), 2);
        QCOMPARE(prompter_.shown[1].title, QStringLiteral("Show preview"));
        QVERIFY(prompter_.shown[1].text.startsWith(QStringLiteral("The project QuickStart has no pictures")));

        writePicture(QStringLiteral("play.bmp"), QSize(16, 16));
        store::Project project(state_.workspace.projectsFolder + "QuickStart.ini");
        QCOMPARE(store::appendEntry(project, state_.workspace.clipsFolder, QStringLiteral("play.bmp"), 160, -1, -1,
                                    false),
                 store::AppendStatus::Ok);
        page.refreshProjectSelector();
        page.loadEntryList();
        QTest::mouseClick(page.BitBtn53, Qt::LeftButton);
        QCOMPARE(prompter_.shown.size(), 2);
        QVERIFY(windows.showPreview.isVisible());
        QCOMPARE(windows.showPreview.parentWidget(), &form);
        QVERIFY(windows.showPreview.isWindow());
        QVERIFY(form.frameGeometry().contains(windows.showPreview.frameGeometry().center()));
        QTest::keyClick(&windows.showPreview, Qt::Key_Escape);
        QVERIFY(!windows.showPreview.isVisible());
        QFile::remove(state_.workspace.clipsFolder + "play.bmp");
    }

    // The open dialog of the binary files lists .lwd and .bin files at once, under a title that names both.
    void openBinaryListsBothKinds()
    {
        QtPrompter prompter;
        Windows& windows = start(QStringLiteral("/x/Lumiwand16"), &prompter);
        windows.mainWindow.show();
        windows.mainWindow.PageControl1->setCurrentWidget(windows.mainWindow.TabSheet4);
        QString title;
        QStringList patterns;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            title = dialog->windowTitle();
            patterns = filterPatterns(dialog->selectedNameFilter());
            dialog->reject();
        });
        QTest::mouseClick(windows.mainWindow.projectsPage->BitBtn43, Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Open project binary files (*.lwd, *.bin)"));
        QVERIFY(QDir::match(patterns, QStringLiteral("Show.bin")));
        QVERIFY(QDir::match(patterns, QStringLiteral("Show.lwd")));
    }
};

QTEST_MAIN(TestWindowPaths)
#include "tst_WindowPaths.moc"
