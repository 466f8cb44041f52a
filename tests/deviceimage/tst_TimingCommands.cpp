#include "ImageFixture.h"

#include "../support/ScriptedPrompter.h"
#include "deviceimage/TimingCommands.h"
#include "imaging/PictureFile.h"
#include "store/ProjectList.h"

#include <QFileInfo>
#include <QTest>

using namespace deviceimage;

namespace {

// Answers every dialog from a script and records what it was shown.
struct ScriptedDialogs : SpeedChooser, MovieIntervalChooser, ShiftChooser {
    std::optional<int> answer;
    int shownSpeed = -1;
    int shownSteps = -1;
    ShiftRequest shownShift;

    std::optional<int> chooseSpeed(int word) override
    {
        shownSpeed = word;
        return answer;
    }
    std::optional<int> chooseMovieIntervalSteps(int steps) override
    {
        shownSteps = steps;
        return answer;
    }
    std::optional<int> chooseShift(const ShiftRequest& request) override
    {
        shownShift = request;
        return answer;
    }
};

} // namespace

class tst_TimingCommands : public QObject {
    Q_OBJECT

private slots:
    void speedWords_data();
    void speedWords();
    void speedCommandStoresAlsoAfterCancel();
    void positiveSteps_data();
    void positiveSteps();
    void movieInterval();
    void shiftAdjustment();
    void shiftCommandHandsThePictureToTheDialog();
    void groupDialog();
    void tickerFramesMove();
    void torchIsMadeOnceAndAdded();
    void torchFailures();
};

void tst_TimingCommands::speedWords_data()
{
    QTest::addColumn<int>("coarse");
    QTest::addColumn<int>("fine");
    QTest::addColumn<int>("word");
    QTest::newRow("16-LED default") << 8 << 1 << 2050;
    QTest::newRow("slowest") << 50 << 127 << 13054;
    QTest::newRow("32-LED default") << 0 << 1 << 2;
}

void tst_TimingCommands::speedWords()
{
    QFETCH(int, coarse);
    QFETCH(int, fine);
    QFETCH(int, word);
    QCOMPARE(speedWord({coarse, fine}), word);
    const SpeedSteps steps = speedSteps(word);
    QCOMPARE(steps.coarse, coarse);
    QCOMPARE(steps.fine, fine);
}

void tst_TimingCommands::speedCommandStoresAlsoAfterCancel()
{
    ImageFixture fx(16);
    fx.picture("a.bmp", 16, 16);
    fx.records({"a.bmp;770"}, {});
    TimingRecords records(fx.clips(), fx.context.edition);
    ScriptedDialogs dialogs;
    int currentSpeed = 2050;

    adjustFlashingSpeed(records, "a.bmp", currentSpeed, dialogs); // cancelled
    QCOMPARE(dialogs.shownSpeed, 770);
    QCOMPARE(currentSpeed, 770);

    dialogs.answer = speedWord({8, 1});
    adjustFlashingSpeed(records, "a.bmp", currentSpeed, dialogs);
    QCOMPARE(currentSpeed, 2050);
    QCOMPARE(records.lookupSpeed("a.bmp"), 2050);
}

void tst_TimingCommands::positiveSteps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("steps"); // -1: refused
    QTest::newRow("25") << "25" << 25;
    QTest::newRow("above the arrows") << "3000" << 3000;
    QTest::newRow("zero") << "0" << -1;
    QTest::newRow("negative") << "-4" << -1;
    QTest::newRow("words") << "abc" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("would overflow the units") << "999999999" << -1;
}

void tst_TimingCommands::positiveSteps()
{
    QFETCH(QString, text);
    QFETCH(int, steps);
    QCOMPARE(parsePositiveSteps(text).value_or(-1), steps);
}

void tst_TimingCommands::movieInterval()
{
    ImageFixture fx(16);
    fx.project("Show", 16, 16, {});
    store::Project project(fx.projectPath("Show"));
    ScriptedDialogs dialogs;

    setProjectMovieInterval(project, dialogs); // cancelled: nothing written
    QCOMPARE(dialogs.shownSteps, 20);
    QCOMPARE(project.movieInterval(), 160);

    dialogs.answer = 25;
    setProjectMovieInterval(project, dialogs);
    QCOMPARE(project.movieInterval(), 200);
}

void tst_TimingCommands::shiftAdjustment()
{
    const auto edition16 = store::deriveEdition("/opt/Lumiwand16");

    ShiftAdjustment none(edition16, kNoShift, edition16.defaultSpeed, 16);
    QCOMPARE(none.field(), 20);

    ShiftAdjustment top(edition16, 32765, edition16.defaultSpeed, 16);
    top.addEight();
    QCOMPARE(top.field(), 32767);
    top.setField(3);
    top.subtractEight();
    QCOMPARE(top.field(), 0);

    ShiftAdjustment typed(edition16, 40, edition16.defaultSpeed, 16);
    typed.setField(33);
    typed.setAutomatic(true);
    QCOMPARE(typed.field(), 50);
    typed.setAutomatic(false);
    QCOMPARE(typed.field(), 33);
    typed.setAutomatic(true);
    typed.addEight(); // stepping unticks the box and starts from the automatic value
    QVERIFY(!typed.automatic());
    QCOMPARE(typed.field(), 58);

    ShiftAdjustment zero(edition16, 40, edition16.defaultSpeed, 16);
    zero.setField(0);
    zero.setAutomatic(true);
    zero.setAutomatic(false); // no typed value to bring back: the value the dialog opened with
    QCOMPARE(zero.field(), 40);
}

void tst_TimingCommands::shiftCommandHandsThePictureToTheDialog()
{
    ImageFixture fx(16);
    fx.picture("narrow.bmp", 16, 16, {{3, 0}, {8, 5}});
    fx.records({"narrow.bmp;4100"}, {"narrow.bmp;12"});
    TimingRecords records(fx.clips(), fx.context.edition);
    ScriptedDialogs dialogs;

    adjustShift(records, "narrow.bmp", dialogs); // cancelled
    QCOMPARE(dialogs.shownShift.currentShift, 12);
    QCOMPARE(dialogs.shownShift.speedWord, 4100);
    QCOMPARE(dialogs.shownShift.contentWidth, 6);
    QCOMPARE(records.lookupShift("narrow.bmp"), 12);

    dialogs.answer = 29;
    adjustShift(records, "narrow.bmp", dialogs);
    QCOMPARE(records.lookupShift("narrow.bmp"), 29);
}

void tst_TimingCommands::groupDialog()
{
    ImageFixture fx(16);
    fx.picture("a.bmp", 16, 16);
    fx.project("Show", 16, 16, {"a.bmp g1", "a.bmp g2", "a.bmp"}, {"MVG_SPEED1=80", "MVG_SPEED2=-8"});
    store::Project project(fx.projectPath("Show"));

    const QStringList items = movieGroupItems(project.highestGroup(), "Put in new group");
    QCOMPARE(items, QStringList({"Group 1", "Group 2", "Put in new group"}));

    const GroupIntervalView first = groupIntervalView(project, 0, int(items.size()), 20);
    QVERIFY(!first.sameAsMovie);
    QCOMPARE(first.steps, 10);
    const GroupIntervalView second = groupIntervalView(project, 1, int(items.size()), 20);
    QVERIFY(second.sameAsMovie);
    QCOMPARE(second.steps, 20);
    const GroupIntervalView fresh = groupIntervalView(project, 2, int(items.size()), 20);
    QVERIFY(fresh.sameAsMovie);
    QCOMPARE(fresh.steps, 20);

    // "Put in new group" with "the same as movie speed": group 3, interval -8.
    struct NewGroup : store::MovieGroupChooser {
        store::MovieGroupChoice chooseMovieGroup(int maxGroup, int, const store::Project&) override
        {
            return {maxGroup + 1, -1};
        }
    } chooser;
    store::toggleMovieGroup(project, 2, chooser);
    QCOMPARE(project.group(2), 3);
    QCOMPARE(project.groupInterval(3), store::kSameAsMovieSpeed);
}

void tst_TimingCommands::tickerFramesMove()
{
    for (int type = 1; type <= kTickerTypes; ++type) {
        QSet<QByteArray> frames;
        for (int frame = 1; frame <= kTickerFrames; ++frame) {
            const QImage image = tickerPreviewFrame(type, frame);
            QVERIFY(!image.isNull());
            frames.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        }
        // The marquee moves in every frame; the slider and the drop come to rest for their last frames.
        QCOMPARE(frames.size(), type == 1 ? kTickerFrames : kTickerFrames - 1);
    }
    QVERIFY(tickerPreviewFrame(1, 3) != tickerPreviewFrame(2, 3));
}

void tst_TimingCommands::torchIsMadeOnceAndAdded()
{
    ImageFixture fx(16);
    fx.project("Show", 16, 16, {});
    store::ProjectList projects(fx.projects());
    projects.listProjects();
    ScriptedPrompter prompter;

    QVERIFY(addTorchPicture(projects, fx.clips(), fx.context.edition, prompter));
    const imaging::PictureLoad torch = imaging::loadPicture(fx.clips() + kTorchFileName);
    QVERIFY(torch.ok());
    QCOMPARE(torch.picture.size(), QSize(16, 16));
    QVERIFY(torch.picture.isLit(0, 0, imaging::LitRule::LitAtMost));
    QVERIFY(torch.picture.isLit(15, 15, imaging::LitRule::LitAtMost));
    const QDateTime made = QFileInfo(fx.clips() + kTorchFileName).lastModified();

    QVERIFY(addTorchPicture(projects, fx.clips(), fx.context.edition, prompter));
    QCOMPARE(QFileInfo(fx.clips() + kTorchFileName).lastModified(), made);
    QCOMPARE(projects.current()->totalPictures(), 2);
    QCOMPARE(projects.current()->pictureName(1), kTorchFileName);
    QCOMPARE(prompter.shown.last().text, "Add Torch function successful!");
    QCOMPARE(prompter.shown.last().title, "Add Torch function to Project");
}

void tst_TimingCommands::torchFailures()
{
    ImageFixture fx(16);
    store::ProjectList projects(fx.projects());
    projects.listProjects();
    ScriptedPrompter prompter;

    QVERIFY(!addTorchPicture(projects, fx.clips(), fx.context.edition, prompter)); // no project
    QCOMPARE(prompter.texts(), QStringList{"Please select a project first!"});

    fx.project("Small", 16, 11, {});
    projects.listProjects();
    QVERIFY(!addTorchPicture(projects, fx.clips(), fx.context.edition, prompter));
    QCOMPARE(prompter.shown.last().text,
             "Dimension of Picture/Banner LumiwandTorch.bmp is different from project: Small (16 x 11)!\n\n"
             "Skip copy this file!");
    QCOMPARE(prompter.shown.last().icon, messages::Icon::Warning);
}

QTEST_GUILESS_MAIN(tst_TimingCommands)
#include "tst_TimingCommands.moc"
