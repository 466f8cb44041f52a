#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "shell/AppState.h"
#include "shell/windows/Windows.h"
#include "shell/windows/MainWindow.h"
#include "shell/QuickStart.h"
#include "shell/windows/QuickStartWizard.h"
#include "store/ProjectList.h"
#include "store/windows/ProjectsPage.h"
#include "store/Settings.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using namespace shell;

Q_DECLARE_METATYPE(shell::UserMode)

// The quick start wizard and the editor's place in the main window: the wizard at a normal start, its check box
// writing the setting at once, "Go >>" leading on; "Save" and "Quick Start" in the top row.
class TestQuickStartWizard : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    AppState state_;
    ScriptedPrompter prompter_;
    devicelink::QtEventPump pump_;
    devicelink::SimulatedHidPlatform platform_{pump_};
    std::unique_ptr<Windows> windows_;

    Windows& start()
    {
        state_ = AppState();
        state_.invokedPath = QStringLiteral("/x/Lumiwand16");
        windows_ = std::make_unique<Windows>(state_, prompter_, platform_, pump_, [] { return false; });
        return *windows_;
    }

private slots:
    void init()
    {
        prompter_ = ScriptedPrompter();
        QFile::remove(store::workspaceFor(store::documentsFolder(), 16).settingsFile);
    }
    void cleanup() { windows_.reset(); }

    void checkBoxWritesTheSettingAtOnce()
    {
        const QString settings = dir.path() + "/box/Lumiwand.ini";
        QDir().mkpath(dir.path() + "/box");
        store::writeStartWithWizard(settings, false);
        QuickStartWizard wizard(settings);
        wizard.show();
        QVERIFY(!wizard.CheckBox1->isChecked()); // stored 0: unticked
        QTest::mouseClick(wizard.CheckBox1, Qt::LeftButton);
        QCOMPARE(store::readStartWithWizard(settings), 1);
        QTest::mouseClick(wizard.CheckBox1, Qt::LeftButton);
        QCOMPARE(store::readStartWithWizard(settings), 0);
        QVERIFY(wizard.isVisible());
    }

    // A normal start opens the wizard; unticking its box stores 0 at once; "Go >>" in graphic mode shows the
    // editor page; "Quick Start" opens the wizard again.
    void normalStartOpensTheWizard()
    {
        Windows& windows = start();
        QuickStartWizard& wizard = windows.editor.quickStartWizard;
        QSignalSpy go(&wizard, &QuickStartWizard::go);
        windows.startupWindow.show();
        QTRY_VERIFY_WITH_TIMEOUT(wizard.isVisible(), 3000);
        QVERIFY(!windows.mainWindow.isVisible());
        QVERIFY(wizard.CheckBox1->isChecked());
        QCOMPARE(wizard.windowTitle(), QStringLiteral("QuickStart Wizard"));
        QCOMPARE(state_.applicationTitle, QStringLiteral("Lumiwand16  Ver 1.000"));

        QTest::mouseClick(wizard.CheckBox1, Qt::LeftButton);
        QCOMPARE(store::readStartWithWizard(state_.workspace.settingsFile), 0);
        wizard.RadioButton2->setChecked(true);
        QTest::mouseClick(wizard.Button1, Qt::LeftButton);
        QCOMPARE(go.size(), 1);
        QCOMPARE(go[0][0].value<UserMode>(), UserMode::Graphic);
        QVERIFY(!wizard.isVisible());
        QVERIFY(windows.mainWindow.isVisible());
        QCOMPARE(windows.mainWindow.PageControl1->currentWidget(), windows.mainWindow.TabSheet3);

        QTest::mouseClick(windows.mainWindow.BitBtn45, Qt::LeftButton);
        QVERIFY(wizard.isVisible());
        QVERIFY(!wizard.CheckBox1->isChecked());
        windows.startupWindow.Timer1->stop();
    }

    void textModeSelectsTheStarterProject()
    {
        Windows& windows = start();
        store::createProject(state_.workspace.projectsFolder + "Animals.ini", 16, 16);
        windows.editor.quickStartWizard.show();
        QTest::mouseClick(windows.editor.quickStartWizard.Button1, Qt::LeftButton);
        QCOMPARE(windows.mainWindow.PageControl1->currentWidget(), windows.mainWindow.TabSheet4);
        QCOMPARE(state_.projects->currentDisplayName(), QStringLiteral("QuickStart (16 x 16)"));
        QVERIFY(windows.editor.textToBanner.isVisible());
        windows.editor.textToBanner.close();
    }

    // "Start from a sample show" makes the chosen sample a new project and shows it on the Projects page.
    void sampleShowBecomesTheCurrentProject()
    {
        Windows& windows = start();
        // The test's workspace outlives a run: a sample made before would give this one the next name.
        for (const QString& old : QDir(state_.workspace.projectsFolder).entryList({"Countdown*.ini"}))
            QFile::remove(state_.workspace.projectsFolder + old);
        QuickStartWizard& wizard = windows.editor.quickStartWizard;
        wizard.show();
        QCOMPARE(wizard.ComboBox1->count(), 6);
        QVERIFY(!wizard.ComboBox1->isEnabled());
        wizard.RadioButton3->setChecked(true);
        QVERIFY(wizard.ComboBox1->isEnabled());
        wizard.ComboBox1->setCurrentIndex(wizard.ComboBox1->findData(QStringLiteral("countdown")));
        QTest::mouseClick(wizard.Button1, Qt::LeftButton);
        QVERIFY(!wizard.isVisible());
        QVERIFY(prompter_.shown.isEmpty());
        QCOMPARE(windows.mainWindow.PageControl1->currentWidget(), windows.mainWindow.TabSheet4);
        QCOMPARE(state_.projects->currentDisplayName(), QStringLiteral("Countdown (16 x 16)"));
        QVERIFY(QFile::exists(state_.workspace.clipsFolder + "digit_5.bmp"));
        QVERIFY(windows.mainWindow.projectsPage->ListView1->count() >= 8);
    }

    // "Save" fills the name box from the editor's file and saves the canvas; the saved file becomes the editor's.
    void saveButtonSavesTheCanvas()
    {
        Windows& windows = start();
        const QString saved = state_.workspace.clipsFolder + "cat.bmp";
        QFile::remove(saved); // the test's workspace outlives a run
        windows.mainWindow.show();
        windows.editor.canvas.SetCell(2, 3, 1, imaging::VirtualCanvas::Target::Canvas, true);
        windows.editor.page->setFileName(QStringLiteral("/somewhere/cat.jpg"));
        QString suggested;
        QTimer::singleShot(0, [&windows, &suggested] {
            editing::SavePictureDialog& dialog = windows.editor.savePictureDialog;
            suggested = dialog.Edit1->text();
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            if (dialog.isVisible())
                dialog.reject();
        });
        QTest::mouseClick(windows.mainWindow.BitBtn3, Qt::LeftButton);
        QCOMPARE(suggested, QStringLiteral("cat.bmp"));
        QVERIFY(QFile::exists(saved));
        QCOMPARE(windows.editor.page->Label43->text(), saved);
        QCOMPARE(prompter_.texts(), QStringList{"Banner saved successfully!"});
    }

    void starterProjectIsFoundByItsDisplayName()
    {
        const QString folder = dir.path() + "/projects/";
        QDir().mkpath(folder);
        store::createProject(folder + "Animals.ini", 16, 16);
        store::createProject(folder + "QuickStart.ini", 16, 16);
        store::ProjectList projects(folder);
        projects.listProjects();
        QCOMPARE(projects.displayName(quickStartProject(projects)), QStringLiteral("QuickStart (16 x 16)"));
    }
};

QTEST_MAIN(TestQuickStartWizard)
#include "tst_QuickStartWizard.moc"
