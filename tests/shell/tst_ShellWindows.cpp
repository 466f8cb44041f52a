#include "shell/AppState.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "shell/windows/Windows.h"
#include "store/windows/LibraryPage.h"
#include "store/windows/ProjectsPage.h"
#include "messages/MessageCatalogue.h"
#include "shell/windows/QtPrompter.h"
#include "store/IniFile.h"
#include "store/Project.h"
#include "store/Settings.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using namespace shell;

// The shell's windows under the offscreen platform: real widgets clicked, boxes answered by a scripted prompter.
class TestShellWindows : public QObject {
    Q_OBJECT

    AppState state_;
    ScriptedPrompter prompter_;
    bool devicePresent_ = false;
    devicelink::QtEventPump pump_;
    devicelink::SimulatedHidPlatform platform_{pump_};
    std::unique_ptr<Windows> windows_;

    Windows& start(const QString& invokedPath)
    {
        state_ = AppState();
        state_.invokedPath = invokedPath;
        windows_ = std::make_unique<Windows>(state_, prompter_, platform_, pump_, [this] { return devicePresent_; });
        return *windows_;
    }

    QString settingsFile() const { return state_.workspace.settingsFile; }

    static QColor textColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }
    // The status keeps its meaning (red or blue) in the shade the window's colour needs.
    static bool isRed(const QColor& colour)
    {
        return colour.hslSaturation() > 100 && (colour.hslHue() <= 15 || colour.hslHue() >= 345);
    }
    static bool isBlue(const QColor& colour) { return colour.hslHue() >= 200 && colour.hslHue() <= 250; }

private slots:
    void init()
    {
        prompter_ = ScriptedPrompter();
        devicePresent_ = false;
        QFile::remove(store::workspaceFor(store::documentsFolder(), 16).settingsFile);
    }
    void cleanup()
    {
        windows_.reset();
        messages::setLanguageOverride(messages::kNoLanguageChosen);
        messages::setSystemLanguageForTesting(0);
    }

    void mainWindowFrame()
    {
        Windows& windows = start(QStringLiteral("/opt/x/Lumiwand16"));
        MainWindow& form = windows.mainWindow;
        QVERIFY(QFile::exists(state_.workspace.projectsFolder + QStringLiteral("QuickStart.ini")));
        QCOMPARE(form.windowTitle(), QStringLiteral("Lumiwand16  Ver 1.000"));
        QCOMPARE(form.minimumSize(), QSize(792, 567));
        QCOMPARE(form.maximumSize(), QSize(792, 567));
        QCOMPARE(state_.currentSpeed, 2050);
        form.show();

        QCOMPARE(form.PageControl1->count(), 3);
        QCOMPARE(form.PageControl1->widget(0), form.TabSheet2);
        QCOMPARE(form.PageControl1->widget(1), form.TabSheet3);
        QCOMPARE(form.PageControl1->widget(2), form.TabSheet4);
        QCOMPARE(form.PageControl1->tabText(0), QStringLiteral("Library"));
        QCOMPARE(form.PageControl1->tabText(1), QStringLiteral("Rorazu Duzodo"));
        QCOMPARE(form.PageControl1->tabText(2), QStringLiteral("My Lumiwand Projects"));
        QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet3);
        QCOMPARE(form.PageControl1->geometry(), QRect(0, 72, 793, 497));

        const QList<QToolButton*> row{form.BitBtn45, form.BitBtn16, form.BitBtn7,
                                      form.BitBtn3,  form.BitBtn1,  form.BitBtn17};
        const int lefts[] = {8, 96, 184, 272, 360, 448};
        QStringList captions;
        for (int i = 0; i < row.size(); ++i) {
            QCOMPARE(row[i]->geometry(), QRect(lefts[i], 8, 81, 57));
            QVERIFY(row[i]->isVisible());
            QVERIFY(!row[i]->icon().isNull());
            captions << row[i]->text();
        }
        QCOMPARE(captions, QStringList({"Quick Start", "New Project", "New Library", "Save", "Language", "Exit"}));
        QCOMPARE(form.BitBtn45->toolTip(), QStringLiteral("Quick Start Wizard"));

        // The preview box holds a white banner-sized picture (96 x 16), is right-aligned around it, and hidden.
        QVERIFY(!form.GroupBox2->isVisible());
        QCOMPARE(form.GroupBox2->title(), QStringLiteral("Preview"));
        QCOMPARE(form.GroupBox2->geometry(), QRect(673, 0, 112, 89));
        QCOMPARE(form.Image11->geometry(), QRect(8, 38, 96, 16));
        const QImage picture = form.Image11->pixmap().toImage();
        QCOMPARE(picture.size(), QSize(96, 16));
        QCOMPARE(picture.pixelColor(50, 8), QColor(Qt::white));
    }

    void pageChangeMovesThePreviewBox()
    {
        MainWindow& form = start(QStringLiteral("/x/Lumiwand48")).mainWindow;
        form.show();
        QTabBar* tabs = form.PageControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet2);
        QVERIFY(!form.GroupBox2->isVisible());
        QVERIFY(form.Image11->pixmap().isNull());
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QVERIFY(form.GroupBox2->isVisible());
        QCOMPARE(form.GroupBox2->geometry(), QRect(481, 0, 304, 89));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
        QVERIFY(!form.GroupBox2->isVisible());
    }

    void textsReachThePagesControls()
    {
        MainWindow& form = start(QStringLiteral("/x/Lumiwand16")).mainWindow;
        form.show();
        store::LibraryPage& library = *form.libraryPage;
        store::ProjectsPage& projects = *form.projectsPage;
        QCOMPARE(library.Button1->text(), QStringLiteral("Add to MyLumiwands Project"));
        QVERIFY(!library.Button1->isEnabled());
        QVERIFY(!library.Button7->isEnabled());
        QCOMPARE(library.Label19->text(), QStringLiteral("Library : "));
        QCOMPARE(library.GroupBox5->title(), QStringLiteral(" Information"));
        QCOMPARE(projects.BitBtn40->toolTip(), QStringLiteral("USB Download"));
        QCOMPARE(projects.BitBtn40->accessibleName(), QStringLiteral("USB Download"));
        QCOMPARE(projects.BitBtn47->toolTip(), QStringLiteral("Left & Right shift adjusting"));
        QCOMPARE(projects.Button10->text(), QStringLiteral("Add to Project ->"));
        QCOMPARE(projects.Label45->text(), QStringLiteral("Total Files:"));
        QVERIFY(projects.BitBtn40->isEnabled());
    }

    // The Projects page on entering it, a picture added, the movie interval and the download dialog from it.
    void projectsPageFromTheWindow()
    {
        Windows& windows = start(QStringLiteral("/x/Lumiwand16"));
        MainWindow& form = windows.mainWindow;
        QImage heart(16, 16, QImage::Format_Mono);
        heart.fill(0);
        QVERIFY(heart.save(state_.workspace.clipsFolder + "heart.bmp", "BMP"));
        form.show();
        form.PageControl1->setCurrentWidget(form.TabSheet4);
        store::ProjectsPage& page = *form.projectsPage;
        QCOMPARE(page.ComboBox1->currentText(), QStringLiteral("QuickStart (16 x 16)"));
        const int before = page.ListView1->count();
        page.TreeView2DblClick(page.TreeView2->findItems("heart.bmp", Qt::MatchExactly | Qt::MatchRecursive).value(0));
        QCOMPARE(page.ListView1->count(), before + 1);
        QCOMPARE(page.Label46->text(), QString::number(before + 1));
        QVERIFY(page.Label47->text().toInt() > 0);

        // The preview box shows the row's picture at its natural size.
        page.ListView1->setCurrentRow(before);
        page.ListView1Click();
        QVERIFY(form.GroupBox2->isVisible());
        QCOMPARE(form.GroupBox2->geometry(), QRect(785 - 32, 0, 32, 89));

        QTimer::singleShot(0, &windows.movieIntervalDialog, [&] {
            windows.movieIntervalDialog.Edit1->edit()->setText("25");
            windows.movieIntervalDialog.Button1->click();
        });
        page.BitBtn46->click();
        QCOMPARE(state_.projects->current()->movieInterval(), 200);

        QTimer::singleShot(0, &windows.downloadDialog, [&] { windows.downloadDialog.Button5->click(); });
        page.BitBtn40->click(); // the download dialog opens (and is cancelled)

        // The association index reaches the Library page.
        form.PageControl1->setCurrentWidget(form.TabSheet2);
        store::LibraryPage& library = *form.libraryPage;
        library.TreeView1Click(library.TreeView1->findItems("heart.bmp", Qt::MatchExactly | Qt::MatchRecursive).value(0));
        QCOMPARE(library.ListBox1->count(), 1);
        QCOMPARE(library.ListBox1->item(0)->text(), QStringLiteral("QuickStart (16 x 16)"));
    }

    // The 48-LED preview box leaves "Exit" clear: the button takes clicks on its right half too.
    void exitStaysClickableBesideTheWidePreview()
    {
        MainWindow& form = start(QStringLiteral("/x/Lumiwand48")).mainWindow;
        form.show();
        form.PageControl1->setCurrentWidget(form.TabSheet2);
        form.PageControl1->setCurrentWidget(form.TabSheet3);
        QVERIFY(form.GroupBox2->isVisible());
        QVERIFY(!form.GroupBox2->geometry().intersects(form.BitBtn17->geometry()));
        const QPoint rightHalf = form.BitBtn17->geometry().center() + QPoint(30, 0);
        QCOMPARE(form.childAt(rightHalf), form.BitBtn17);
    }

    void topRowSharesOneFontSize()
    {
        messages::setSystemLanguageForTesting(0x0419); // Russian
        MainWindow& form = start(QStringLiteral("/x/Lumiwand16")).mainWindow;
        form.show();
        const qreal points = form.BitBtn45->font().pointSizeF();
        for (QToolButton* button : {form.BitBtn16, form.BitBtn7, form.BitBtn3, form.BitBtn1, form.BitBtn17})
            QCOMPARE(button->font().pointSizeF(), points);
    }

    void languageButtonStoresAndReappliesTexts()
    {
        Windows& windows = start(QStringLiteral("/x/Lumiwand16"));
        windows.mainWindow.show();
        QCOMPARE(messages::languageOverride(), messages::kNoLanguageChosen);
        QTimer::singleShot(0, &windows.languageDialog, [&windows] {
            QVERIFY(windows.languageDialog.isVisible());
            windows.languageDialog.ComboBox1->setCurrentIndex(windows.languageDialog.ComboBox1->findData(1041));
            QTest::mouseClick(windows.languageDialog.Button1, Qt::LeftButton);
        });
        prompter_.answers.enqueue(messages::Answer::Yes);
        QTest::mouseClick(windows.mainWindow.BitBtn1, Qt::LeftButton);

        QCOMPARE(store::readUserLanguage(settingsFile()), 1041);
        QCOMPARE(messages::languageOverride(), messages::LangId(1041));
        QCOMPARE(windows.mainWindow.BitBtn16->text(), messages::lookupMessage(511));
        QVERIFY(windows.mainWindow.BitBtn16->text() != QStringLiteral("New Project"));
        QCOMPARE(windows.mainWindow.PageControl1->tabText(0), messages::lookupMessage(550));
        QCOMPARE(windows.mainWindow.BitBtn1->text(), QStringLiteral("Language"));
        // Qt's own buttons follow: a message box's "Cancel" is no longer English.
        QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != QStringLiteral("Cancel"));
    }

    void languageDialog_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("preselected");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("chosenName");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("storedAfter");
        QTest::newRow("yes stores the choice") << -1 << "English" << 2052 << "简体中文" << "OK"
                                               << int(messages::Answer::Yes) << 2052;
        QTest::newRow("no stores nothing") << 1028 << "繁體中文" << 2070 << "Português" << "OK"
                                           << int(messages::Answer::No) << 1028;
        QTest::newRow("cancel asks nothing") << 1041 << "日本語" << 1033 << "English" << "CANCEL" << -1 << 1041;
        QTest::newRow("English is stored as 1033") << 2070 << "Português" << 1033 << "English" << "OK"
                                                   << int(messages::Answer::Yes) << 1033;
    }
    void languageDialog()
    {
        QFETCH(int, stored);
        QFETCH(int, chosen);
        QFETCH(QString, chosenName);
        QFETCH(QString, button);
        QFETCH(int, answer);
        messages::setSystemLanguageForTesting(0x0409);
        LanguageDialog& dialog = start(QStringLiteral("/x/Lumiwand16")).languageDialog;
        if (stored != -1)
            store::writeUserLanguage(settingsFile(), stored);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("User Define Language"));
        QCOMPARE(dialog.Label1->text(), QStringLiteral("Auto Detect Language: "));
        QCOMPARE(dialog.Label2->text(), QStringLiteral("English"));
        QCOMPARE(textColour(dialog.Label2), QColor(0, 0, 0x80));
        QCOMPARE(dialog.ComboBox1->count(), 5);
        QCOMPARE(dialog.ComboBox1->itemData(4).toInt(), 1028);
        QTEST(dialog.ComboBox1->currentText(), "preselected");

        QCOMPARE(dialog.ComboBox1->itemText(dialog.ComboBox1->findData(chosen)), chosenName);
        dialog.ComboBox1->setCurrentIndex(dialog.ComboBox1->findData(chosen));
        if (answer >= 0)
            prompter_.answers.enqueue(messages::Answer(answer));
        QTest::mouseClick(button == QLatin1String("OK") ? dialog.Button1 : dialog.Button2, Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.ComboBox1->count(), 0);
        QTEST(store::readUserLanguage(settingsFile()), "storedAfter");
        if (answer < 0) {
            QVERIFY(prompter_.shown.isEmpty());
        } else {
            QCOMPARE(prompter_.shown.size(), 1);
            QCOMPARE(prompter_.shown[0].title, QStringLiteral("Confirm Language changes"));
            QCOMPARE(prompter_.shown[0].text, QStringLiteral("Do you want to change language settings to ") + chosenName);
            QCOMPARE(prompter_.shown[0].buttons, messages::Buttons::YesNo);
        }
    }

    // A settings file that cannot be written is not passed over in silence: the user is told, the dialog closes.
    void languageDialogReportsARefusedWrite()
    {
        LanguageDialog& dialog = start(QStringLiteral("/x/Lumiwand16")).languageDialog;
        QVERIFY(QDir().mkpath(settingsFile())); // a folder where the settings file belongs
        const auto removeFolder = qScopeGuard([this] { QDir(settingsFile()).removeRecursively(); });
        dialog.show();
        dialog.ComboBox1->setCurrentIndex(dialog.ComboBox1->findData(1041));
        prompter_.answers.enqueue(messages::Answer::Yes);
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(prompter_.shown.size(), 2);
        QCOMPARE(prompter_.shown[1].text, QStringLiteral("Unable to write to ") + settingsFile());
        QCOMPARE(prompter_.shown[1].icon, messages::Icon::Stop);
        QVERIFY(QFileInfo(settingsFile()).isDir());
    }

    // A language change while the Library page shows a picture keeps the caption of its size ("Dimension :"), in
    // the new language, rather than falling back to "Total Files :".
    void libraryCaptionFollowsLanguageChange()
    {
        MainWindow& form = start(QStringLiteral("/x/Lumiwand16")).mainWindow;
        form.show();
        const QString file = state_.workspace.clipsFolder + QStringLiteral("Caption.bmp");
        const auto removeFile = qScopeGuard([&file] { QFile::remove(file); });
        QImage picture(16, 16, QImage::Format_Mono);
        picture.fill(1);
        QVERIFY(picture.save(file, "BMP"));
        form.PageControl1->setCurrentWidget(form.TabSheet2);
        const QList<QTreeWidgetItem*> found =
            form.libraryPage->TreeView1->findItems(QStringLiteral("Caption.bmp"), Qt::MatchRecursive);
        QVERIFY(!found.isEmpty());
        form.libraryPage->TreeView1Click(found.first());
        QCOMPARE(form.libraryPage->Label21->text(), messages::lookupMessage(404));

        messages::setLanguageOverride(0x0816);
        form.refreshMainWindowTexts();
        QCOMPARE(form.libraryPage->Label21->text(), messages::lookupMessage(404));
        QVERIFY(form.libraryPage->Label21->text() != QStringLiteral("Dimension :"));
    }

    // Once a language is chosen, the dialog speaks it too: no English question under Japanese Yes/No buttons.
    void languageDialogInTheChosenLanguage()
    {
        LanguageDialog& dialog = start(QStringLiteral("/x/Lumiwand16")).languageDialog;
        messages::setLanguageOverride(1041);
        const auto restore = qScopeGuard([] { messages::setLanguageOverride(messages::kNoLanguageChosen); });
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ユーザー定義の言語"));
        QCOMPARE(dialog.Button2->text(), messages::lookupMessage(608));
        dialog.ComboBox1->setCurrentIndex(dialog.ComboBox1->findData(2070));
        prompter_.answers.enqueue(messages::Answer::No);
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QCOMPARE(prompter_.shown.size(), 1);
        QCOMPARE(prompter_.shown[0].title, QStringLiteral("言語の変更の確認"));
        QCOMPARE(prompter_.shown[0].text, QStringLiteral("言語設定を Português に変更しますか?"));
    }

    void languageDialogInSimplifiedMode()
    {
        LanguageDialog& dialog = start(QStringLiteral("/x/Lumiwand_exp16")).languageDialog;
        dialog.show();
        QCOMPARE(dialog.Label1->pos(), QPoint(16, 14));
        QCOMPARE(dialog.Label2->y(), 36);
        dialog.hide();
        state_.simplifiedMode = true;
        dialog.show();
        QVERIFY(!dialog.Label1->isVisible());
        QVERIFY(!dialog.Label2->isVisible());
        // The list and the label above it move up into the place of the two labels left out.
        QCOMPARE(dialog.Label3->pos(), QPoint(16, 14));
        QCOMPARE(dialog.ComboBox1->y(), 36);
        QCOMPARE(dialog.Button1->y(), 72);
        QCOMPARE(dialog.Button2->y(), 72);
        QCOMPARE(dialog.height(), 112);
    }

    // The whole run of a normal start: the first tick opens the main window, Exit (or the close box) ends the
    // program at the next tick.
    void normalStartAndEnd_data()
    {
        QTest::addColumn<bool>("byExitButton");
        QTest::newRow("Exit") << true;
        QTest::newRow("close box") << false;
    }
    void normalStartAndEnd()
    {
        QFETCH(bool, byExitButton);
        Windows& windows = start(QStringLiteral("/x/Lumiwand16"));
        store::writeStartWithWizard(settingsFile(), false);
        QSignalSpy ended(&windows.startupWindow, &StartupWindow::closed);
        windows.startupWindow.show();
        QCOMPARE(windows.startupWindow.Label1->text(), QStringLiteral("Starting Lumiwand......"));
        QCOMPARE(windows.startupWindow.size(), QSize(253, 70));
        QTRY_VERIFY_WITH_TIMEOUT(windows.mainWindow.isVisible(), 3000);
        QVERIFY(!windows.startupWindow.isVisible());
        QVERIFY(windows.startupWindow.started());
        QCOMPARE(windows.startupWindow.Timer1->interval(), 1000);
        QVERIFY(!state_.simplifiedMode);
        QVERIFY(!state_.easyMode);
        QCOMPARE(state_.applicationTitle, QStringLiteral("Lumiwand16  Ver 1.000"));

        if (byExitButton)
            QTest::mouseClick(windows.mainWindow.BitBtn17, Qt::LeftButton);
        else
            windows.mainWindow.close();
        QVERIFY(!windows.mainWindow.isVisible());
        QVERIFY(windows.startupWindow.endRequested());
        QCOMPARE(ended.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 3000);
        QVERIFY(!windows.startupWindow.Timer1->isActive());
    }

    void massProductionStart()
    {
        Windows& windows = start(QStringLiteral("/opt/Lumiwand_mptool48"));
        QSignalSpy ended(&windows.startupWindow, &StartupWindow::closed);
        windows.startupWindow.Timer1Timer();
        devicelink::MassProductionWindow& tool = windows.massProductionWindow;
        QVERIFY(tool.isVisible());
        QVERIFY(!windows.mainWindow.isVisible());
        QVERIFY(state_.simplifiedMode);
        QVERIFY(!state_.easyMode);
        // The download dialog made at start learns the run's modes once they are known.
        QVERIFY(windows.downloadDialog.transfers().settings().simplifiedMode);
        QCOMPARE(windows.downloadDialog.transfers().settings().ledCount, 48);
        QCOMPARE(tool.windowTitle(), QStringLiteral("Mass Production Tool48  Ver 1.000"));
        QCOMPARE(state_.applicationTitle, tool.windowTitle());
        QCOMPARE(tool.GroupBox1->title(), QStringLiteral("Light Show Status"));
        QCOMPARE(tool.Label1->text(), QStringLiteral("No Light Show Device detected!"));
        QVERIFY(isRed(textColour(tool.Label1)));
        QCOMPARE(tool.Label1->font().pixelSize(), 37);
        QCOMPARE(tool.Timer1->interval(), 800);

        devicePresent_ = true;
        QTRY_COMPARE_WITH_TIMEOUT(tool.Label1->text(), QStringLiteral("Light Show Device connected!"), 2000);
        QVERIFY(isBlue(textColour(tool.Label1)));
        devicePresent_ = false;
        QTRY_COMPARE_WITH_TIMEOUT(tool.Label1->text(), QStringLiteral("No Light Show Device detected!"), 2000);
        QVERIFY(isRed(textColour(tool.Label1)));
        // A plug-in the device watcher tells shows at once, without waiting for the next poll.
        devicePresent_ = true;
        emit windows.deviceWatcher->devicesChanged();
        QCOMPARE(tool.Label1->text(), QStringLiteral("Light Show Device connected!"));

        // Closing the tool closes the hidden main window, whose close handler ends the program.
        tool.close();
        QVERIFY(windows.startupWindow.endRequested());
        windows.startupWindow.Timer1Timer();
        QCOMPARE(ended.count(), 1);
    }

    void installerModesShowTheirSplash_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("splash");
        QTest::newRow("setup") << "/x/setup_Lumiwand16" << "Installing Lumiwand......";
        QTest::newRow("uninstall") << "/x/uninstallLumiwand16" << "Uninstall Lumiwand...";
    }
    void installerModesShowTheirSplash()
    {
        QFETCH(QString, path);
        Windows& windows = start(path);
        windows.startupWindow.show();
        QTEST(windows.startupWindow.Label1->text(), "splash");
        windows.startupWindow.Timer1->stop();
        QVERIFY(!state_.simplifiedMode);
    }

    void qtPrompterBoxes_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("boxIcon");
        QTest::addColumn<int>("press"); // a standard button, or 0 for Escape
        QTest::addColumn<int>("answer");
        QTest::newRow("stop, OK") << int(messages::Icon::Stop) << int(messages::Buttons::Ok) << int(QMessageBox::Critical)
                                  << int(QMessageBox::Ok) << int(messages::Answer::Ok);
        QTest::newRow("question, Yes") << int(messages::Icon::Question) << int(messages::Buttons::YesNo) << int(QMessageBox::Question)
                                       << int(QMessageBox::Yes) << int(messages::Answer::Yes);
        QTest::newRow("Escape on Yes/No is No") << int(messages::Icon::Question) << int(messages::Buttons::YesNo)
                                                << int(QMessageBox::Question) << 0 << int(messages::Answer::No);
        QTest::newRow("Escape on OK/Cancel is Cancel") << int(messages::Icon::Warning) << int(messages::Buttons::OkCancel)
                                                       << int(QMessageBox::Warning) << 0 << int(messages::Answer::Cancel);
        QTest::newRow("no icon, Cancel of three") << int(messages::Icon::None) << int(messages::Buttons::YesNoCancel)
                                                  << int(QMessageBox::NoIcon) << int(QMessageBox::Cancel)
                                                  << int(messages::Answer::Cancel);
        QTest::newRow("information") << int(messages::Icon::Information) << int(messages::Buttons::Ok)
                                     << int(QMessageBox::Information) << 0 << int(messages::Answer::Ok);
    }
    void expressTextToBannerKeepsTheBannerInQuickStart()
    {
        Windows& windows = start(QStringLiteral("/opt/x/Lumiwand_exp16"));
        QTimer::singleShot(0, &windows.textToBanner, [&windows] {
            QCOMPARE(windows.textToBanner.dialogFont().family(), QStringLiteral("Arial Black"));
            QVERIFY(windows.textToBanner.Button5->isHidden()); // no "Burn to USB Light Show" in express mode
            windows.textToBanner.Button3->click();
        });
        QVERIFY(windows.openExpressTextToBanner(QStringLiteral("Hi")));
        QVERIFY(QFile::exists(state_.workspace.clipsFolder + "Hi.bmp"));
        const store::Project quickStart(state_.workspace.projectsFolder + "QuickStart.ini");
        QCOMPARE(quickStart.pictureName(quickStart.totalPictures() - 1), QStringLiteral("Hi.bmp"));
        QCOMPARE(state_.textFont.family(), QStringLiteral("Arial Black")); // OK writes the font back
        QFile::remove(state_.workspace.clipsFolder + "Hi.bmp");
    }

    void qtPrompterBoxes()
    {
        QFETCH(int, icon);
        QFETCH(int, buttons);
        QFETCH(int, boxIcon);
        QFETCH(int, press);
        QtPrompter prompter;
        QString seenText;
        int seenIcon = -1;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenText = box->text();
            seenIcon = box->icon();
            if (press)
                QTest::mouseClick(box->button(QMessageBox::StandardButton(press)), Qt::LeftButton);
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        const messages::Answer answer = prompter.ask(QStringLiteral("Title"), QStringLiteral("<b>line</b>\nnext"), messages::Icon(icon),
                                           messages::Buttons(buttons));
        QCOMPARE(seenText, QStringLiteral("<b>line</b>\nnext"));
        QCOMPARE(seenIcon, boxIcon);
        QTEST(int(answer), "answer");
    }

    void qtPrompterInput()
    {
        QtPrompter prompter;
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->textValue(), QStringLiteral("old"));
            dialog->setTextValue(QStringLiteral("new name"));
            dialog->accept();
        });
        QCOMPARE(prompter.inputText(QStringLiteral("T"), QStringLiteral("Name?"), QStringLiteral("old")),
                 std::optional<QString>(QStringLiteral("new name")));
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QCOMPARE(prompter.inputText(QStringLiteral("T"), QStringLiteral("Name?"), {}), std::nullopt);
    }

    // Choosing a file that exists asks nothing in the save dialog: the command asks its own question (428, 679),
    // so the user is asked once.
    void qtPrompterSaveAsksNoQuestionOfItsOwn()
    {
        QTemporaryDir dir;
        QFile existing(dir.filePath("Demo.bin"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        QtPrompter prompter;
        bool asked = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            // Had the dialog a question of its own, it would be up when this runs: answered, and noted.
            QTimer::singleShot(0, dialog, [&asked] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    asked = true;
                    box->button(QMessageBox::Yes)->click();
                }
            });
            dialog->selectFile(QStringLiteral("Demo.bin"));
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, which may ask
        });
        const QString chosen = prompter.chooseSaveFile(QStringLiteral("Save"), dir.path(), QStringLiteral("Demo"),
                                                       {QStringLiteral("BIN (*.bin)")});
        QVERIFY(!asked);
        QCOMPARE(QFileInfo(chosen).fileName(), QStringLiteral("Demo.bin"));
    }

    // A name typed without an extension takes the one of the file type chosen in the save dialog.
    void qtPrompterSaveFileType_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("returned");
        QTest::newRow("second type") << "Lumiwand (*.lwd)" << "Demo" << "Demo.lwd";
        QTest::newRow("first type") << "BIN (*.bin)" << "Demo" << "Demo.bin";
        QTest::newRow("extension typed") << "Lumiwand (*.lwd)" << "Demo.bin" << "Demo.bin";
    }
    void qtPrompterSaveFileType()
    {
        QFETCH(QString, filter);
        QFETCH(QString, typed);
        QTemporaryDir dir;
        QtPrompter prompter;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectNameFilter(filter);
            dialog->selectFile(typed);
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own accept() takes the typed name
        });
        const QString chosen = prompter.chooseSaveFile(QStringLiteral("Save"), dir.path(), QStringLiteral("Demo"),
                                                       {QStringLiteral("BIN (*.bin)"),
                                                        QStringLiteral("Lumiwand (*.lwd)")});
        QTEST(QFileInfo(chosen).fileName(), "returned");
        QCOMPARE(withFilterExtension(QStringLiteral("/x/Demo"), QStringLiteral("Any (*)")), QStringLiteral("/x/Demo"));
    }
};

QTEST_MAIN(TestShellWindows)
#include "tst_ShellWindows.moc"
