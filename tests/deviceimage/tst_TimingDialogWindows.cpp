#include "ImageFixture.h"

#include "../support/ScriptedPrompter.h"
#include "deviceimage/windows/ShiftDialog.h"
#include "deviceimage/windows/MovieGroupDialog.h"
#include "deviceimage/windows/MovieIntervalDialog.h"
#include "deviceimage/windows/SpeedDialog.h"
#include "deviceimage/windows/TickerDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace deviceimage;

namespace {

// Works a modal dialog once it is shown.
void whenShown(QDialog& dialog, const std::function<void()>& act)
{
    QTimer::singleShot(0, &dialog, act);
}

} // namespace

class tst_TimingDialogWindows : public QObject {
    Q_OBJECT

private slots:
    void speed()
    {
        SpeedDialog dialog(2050);
        whenShown(dialog, [&] {
            QCOMPARE(dialog.TrackBar1->value(), 3);
            QCOMPARE(dialog.Label7->text(), "10"); // fine 5 shows 10
            dialog.TrackBar1->setValue(8);
            dialog.TrackBar2->setValue(1);
            dialog.Button2->click();
        });
        QCOMPARE(dialog.chooseSpeed(3 * 256 + 10), std::optional<int>(2050));

        SpeedDialog edition32(2);
        whenShown(edition32, [&] {
            edition32.Button1->click(); // Default
            QCOMPARE(edition32.TrackBar1->value(), 0);
            QCOMPARE(edition32.TrackBar2->value(), 1);
            edition32.Button3->click();
        });
        QCOMPARE(edition32.chooseSpeed(13054), std::nullopt);
    }

    void movieIntervalRefusesAndStaysOpen()
    {
        ScriptedPrompter prompter;
        MovieIntervalDialog dialog(prompter);
        whenShown(dialog, [&] {
            QCOMPARE(dialog.Edit1->edit()->text(), "20");
            dialog.Edit1->edit()->setText("0");
            dialog.Button1->click();
            QVERIFY(dialog.isVisible());
            dialog.Edit1->edit()->setText("25");
            dialog.Button1->click();
        });
        QCOMPARE(dialog.chooseMovieIntervalSteps(20), std::optional<int>(25));
        QCOMPARE(prompter.texts(), QStringList{"Input value error! Please input integer numbers!"});
        QCOMPARE(prompter.shown.first().title, "Adjust Project Movie Interval");
    }

    void shift()
    {
        ScriptedPrompter prompter;
        const auto edition = store::deriveEdition("/opt/Lumiwand16");
        ShiftDialog dialog(edition, prompter);
        whenShown(dialog, [&] {
            QCOMPARE(dialog.Edit1->edit()->text(), "20");
            QVERIFY(!dialog.BitBtn2->isVisible()); // a factory-mode control
            dialog.Edit1->edit()->setText("33");
            dialog.CheckBox1->click();
            QCOMPARE(dialog.Edit1->edit()->text(), "50");
            dialog.CheckBox1->click();
            QCOMPARE(dialog.Edit1->edit()->text(), "33");
            dialog.BitBtn1->click();
            dialog.Button1->click();
        });
        QCOMPARE(dialog.chooseShift({kNoShift, edition.defaultSpeed, 16}), std::optional<int>(41));

        whenShown(dialog, [&] { dialog.Button2->click(); });
        QCOMPARE(dialog.chooseShift({12, edition.defaultSpeed, 16}), std::nullopt);

        const auto factory = store::deriveEdition("/opt/Lumiwand_factory16");
        ShiftDialog factoryDialog(factory, prompter);
        whenShown(factoryDialog, [&] {
            QVERIFY(factoryDialog.BitBtn2->isVisible());
            factoryDialog.Edit1->edit()->setText("abc");
            factoryDialog.Button1->click(); // refused: not a number
            QVERIFY(factoryDialog.isVisible());
            factoryDialog.BitBtn2->click();
            factoryDialog.Button1->click();
        });
        QCOMPARE(factoryDialog.chooseShift({100, factory.defaultSpeed, 16}), std::optional<int>(92));
    }

    void group()
    {
        ImageFixture fx(16);
        fx.picture("a.bmp", 16, 16);
        fx.project("Show", 16, 16, {"a.bmp g1", "a.bmp g2", "a.bmp"}, {"MVG_SPEED1=80"});
        store::Project project(fx.projectPath("Show"));
        ScriptedPrompter prompter;
        MovieGroupDialog dialog(prompter);
        whenShown(dialog, [&] {
            QCOMPARE(dialog.ComboBox1->count(), 3);
            QCOMPARE(dialog.ComboBox1->itemText(2), "Put in new group");
            QVERIFY(!dialog.CheckBox1->isChecked());
            QCOMPARE(dialog.Edit1->edit()->text(), "10");
            dialog.ComboBox1->setCurrentIndex(2);
            QVERIFY(dialog.CheckBox1->isChecked());
            QCOMPARE(dialog.Edit1->edit()->text(), "20");
            dialog.Button1->click();
        });
        const store::MovieGroupChoice choice = dialog.chooseMovieGroup(2, 20, project);
        QCOMPARE(choice.group, 3);
        QCOMPARE(choice.intervalSteps, -1);

        whenShown(dialog, [&] {
            dialog.Edit1->upButton()->click(); // the arrows untick "The same as movie speed"
            QVERIFY(!dialog.CheckBox1->isChecked());
            dialog.Button2->click();
        });
        QCOMPARE(dialog.chooseMovieGroup(2, 20, project).group, 0);
    }

    void ticker()
    {
        bool simplified = false;
        TickerDialog dialog([&] { return simplified; });
        whenShown(dialog, [&] {
            QVERIFY(dialog.RadioButton2->isChecked());
            QCOMPARE(dialog.TrackBar1->value(), 7);
            QVERIFY(dialog.Timer1->isActive());
            const int frame = dialog.frame();
            dialog.Timer1Timer();
            QCOMPARE(dialog.frame(), frame % 6 + 1);
            dialog.Button3->click(); // Default Speed
            dialog.RadioButton4->click(); // no ticker
            dialog.Button1->click();
        });
        store::TickerChoice choice = dialog.chooseTicker(2, 7);
        QCOMPARE(choice.type, 0);
        QCOMPARE(choice.speed, 4);
        QVERIFY(!dialog.Timer1->isActive());

        simplified = true;
        whenShown(dialog, [&] {
            QVERIFY(!dialog.GroupBox2->isVisible());
            QCOMPARE(dialog.TrackBar1->value(), 4);
            dialog.Button2->click();
        });
        QCOMPARE(dialog.chooseTicker(1, 9).type, -1);
    }
};

QTEST_MAIN(tst_TimingDialogWindows)
#include "tst_TimingDialogWindows.moc"
