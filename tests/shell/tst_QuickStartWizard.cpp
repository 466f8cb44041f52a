#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "shell/AppState.h"
#include "shell/Forms.h"
#include "shell/Main.h"
#include "shell/QuickStart.h"
#include "shell/Quickstartwizard.h"
#include "store/ProjectList.h"
#include "store/ProjectsPage.h"
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
    std::unique_ptr<Forms> forms_;

    Forms& start()
    {
        state_ = AppState();
        state_.invokedPath = QStringLiteral("/x/Lumiwand16");
        forms_ = std::make_unique<Forms>(state_, prompter_, platform_, pump_, [] { return false; });
        return *forms_;
    }

private slots:
    void init()
    {
        prompter_ = ScriptedPrompter();
        QFile::remove(store::workspaceFor(store::documentsFolder(), 16).settingsFile);
    }
    void cleanup() { forms_.reset(); }

    void checkBoxWritesTheSettingAtOnce()
    {
        const QString settings = dir.path() + "/box/Lumiwand.ini";
        QDir().mkpath(dir.path() + "/box");
        store::writeStartWithWizard(settings, false);
        TForm13 wizard(settings);
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
        Forms& forms = start();
        TForm13& wizard = forms.editor.form13;
        QSignalSpy go(&wizard, &TForm13::go);
        forms.form12.show();
        QTRY_VERIFY_WITH_TIMEOUT(wizard.isVisible(), 3000);
        QVERIFY(!forms.form1.isVisible());
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
        QVERIFY(forms.form1.isVisible());
        QCOMPARE(forms.form1.PageControl1->currentWidget(), forms.form1.TabSheet3);

        QTest::mouseClick(forms.form1.BitBtn45, Qt::LeftButton);
        QVERIFY(wizard.isVisible());
        QVERIFY(!wizard.CheckBox1->isChecked());
        forms.form12.Timer1->stop();
    }

    void textModeSelectsTheStarterProject()
    {
        Forms& forms = start();
        store::createProject(state_.workspace.projectsFolder + "Animals.ini", 16, 16);
        forms.editor.form13.show();
        QTest::mouseClick(forms.editor.form13.Button1, Qt::LeftButton);
        QCOMPARE(forms.form1.PageControl1->currentWidget(), forms.form1.TabSheet4);
        QCOMPARE(state_.projects->currentDisplayName(), QStringLiteral("QuickStart (16 x 16)"));
        QVERIFY(forms.editor.texttoclip.isVisible());
        forms.editor.texttoclip.close();
    }

    // "Start from a sample show" makes the chosen sample a new project and shows it on the Projects page.
    void sampleShowBecomesTheCurrentProject()
    {
        Forms& forms = start();
        // The test's workspace outlives a run: a sample made before would give this one the next name.
        for (const QString& old : QDir(state_.workspace.projectsFolder).entryList({"Countdown*.ini"}))
            QFile::remove(state_.workspace.projectsFolder + old);
        TForm13& wizard = forms.editor.form13;
        wizard.show();
        QCOMPARE(wizard.ComboBox1->count(), 6);
        QVERIFY(!wizard.ComboBox1->isEnabled());
        wizard.RadioButton3->setChecked(true);
        QVERIFY(wizard.ComboBox1->isEnabled());
        wizard.ComboBox1->setCurrentIndex(wizard.ComboBox1->findData(QStringLiteral("countdown")));
        QTest::mouseClick(wizard.Button1, Qt::LeftButton);
        QVERIFY(!wizard.isVisible());
        QVERIFY(prompter_.shown.isEmpty());
        QCOMPARE(forms.form1.PageControl1->currentWidget(), forms.form1.TabSheet4);
        QCOMPARE(state_.projects->currentDisplayName(), QStringLiteral("Countdown (16 x 16)"));
        QVERIFY(QFile::exists(state_.workspace.clipsFolder + "digit_5.bmp"));
        QVERIFY(forms.form1.projectsPage->ListView1->count() >= 8);
    }

    // "Save" fills the name box from the editor's file and saves the canvas; the saved file becomes the editor's.
    void saveButtonSavesTheCanvas()
    {
        Forms& forms = start();
        const QString saved = state_.workspace.clipsFolder + "cat.bmp";
        QFile::remove(saved); // the test's workspace outlives a run
        forms.form1.show();
        forms.editor.canvas.SetCell(2, 3, 1, imaging::VirtualCanvas::Target::Canvas, true);
        forms.editor.page->setFileName(QStringLiteral("/somewhere/cat.jpg"));
        QString suggested;
        QTimer::singleShot(0, [&forms, &suggested] {
            editing::TForm5& dialog = forms.editor.form5;
            suggested = dialog.Edit1->text();
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            if (dialog.isVisible())
                dialog.reject();
        });
        QTest::mouseClick(forms.form1.BitBtn3, Qt::LeftButton);
        QCOMPARE(suggested, QStringLiteral("cat.bmp"));
        QVERIFY(QFile::exists(saved));
        QCOMPARE(forms.editor.page->Label43->text(), saved);
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
