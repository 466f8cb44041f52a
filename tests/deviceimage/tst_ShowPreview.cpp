#include "deviceimage/BinaryFiles.h"
#include "deviceimage/ImageCompiler.h"
#include "deviceimage/windows/ShowPreview.h"
#include "tests/deviceimage/ImageFixture.h"
#include "tests/support/ScriptedPrompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using deviceimage::ShowPreview;

namespace {

QByteArray showImage(const ImageFixture& f)
{
    f.picture("a.bmp", 4, 16, {{0, 0}, {3, 0}});
    f.picture("b.bmp", 4, 16, {{0, 15}});
    f.filledPicture("LumiwandTorch.bmp", 16, 16);
    f.project("Show", 16, 16, {"a.bmp", "b.bmp t1", "LumiwandTorch.bmp"}, {"MOVIE_INTERVAL=800"});
    store::Project project(f.projectPath("Show"));
    return deviceimage::compileImage(deviceimage::CompileMode::Build, deviceimage::kFanStick16, &project, f.context)
        .image;
}

} // namespace

class tst_ShowPreview : public QObject {
    Q_OBJECT

private slots:
    void opensPlaysAndSteps();
    void damagedImageFileShowsWhatItCanAndTheProblem();
    void readBackReviewedBeforeImport();
};

void tst_ShowPreview::opensPlaysAndSteps()
{
    ImageFixture f;
    const QByteArray image = showImage(f);
    ScriptedPrompter prompter;
    ShowPreview window(f.context.edition, f.context.workspace.exportFolder, prompter);
    window.play(image, deviceimage::kFanStick16, QStringLiteral("Project Show"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.eyeView->paints() > 0);
    QVERIFY(window.playing());
    QVERIFY(window.problemLabel->isHidden());
    QVERIFY(window.sourceLabel->text().startsWith(QStringLiteral("Project Show: 3 pictures")));

    // Pause stops the clock; Step goes to the next picture and pauses.
    QTest::mouseClick(window.pauseButton, Qt::LeftButton);
    QVERIFY(!window.playing());
    const qint64 paused = window.position();
    QTest::qWait(50);
    QCOMPARE(window.position(), paused);
    QCOMPARE(window.state().entry, 0);
    QTest::mouseClick(window.stepButton, Qt::LeftButton);
    QCOMPARE(window.state().entry, 1);
    QVERIFY(window.entryLabel->text().contains(QStringLiteral("Marquee ticker")));
    QTest::keyClick(&window, Qt::Key_Right);
    QCOMPARE(window.state().entry, 2);
    QVERIFY(window.state().torch);
    QVERIFY(window.state().ledLit(0));

    // Playing on at a tenth of the speed moves the show on, slower than the clock.
    window.speedBox->setCurrentIndex(1);
    QTest::keyClick(&window, Qt::Key_Space);
    QVERIFY(window.playing());
    const qint64 from = window.position();
    QTest::qWait(200);
    QVERIFY(window.position() > from);
    QVERIFY(window.position() - from < 150000);

    QTest::mouseClick(window.helpButton, Qt::LeftButton);
    QCOMPARE(prompter.shown.size(), qsizetype(1));
    QVERIFY(prompter.shown[0].text.contains(QStringLiteral("assumes")));
    window.close();
    QVERIFY(!window.playing());
}

void tst_ShowPreview::damagedImageFileShowsWhatItCanAndTheProblem()
{
    ImageFixture f;
    QByteArray image = showImage(f);
    image.chop(20); // the torch's columns are cut short
    const QString path = f.context.workspace.exportFolder + QStringLiteral("cut.bin");
    QVERIFY(deviceimage::writeBinaryFile(path, image));

    ScriptedPrompter prompter;
    prompter.files << path;
    ShowPreview window(f.context.edition, f.context.workspace.exportFolder, prompter);
    window.show();
    QTest::mouseClick(window.openButton, Qt::LeftButton);
    QCOMPARE(window.timeline().entries.size(), size_t(2));
    QVERIFY(window.problemLabel->isVisible());
    QVERIFY(window.problemLabel->text().startsWith(QStringLiteral("Picture 3 of 3 cannot be read")));
    QVERIFY(window.sourceLabel->text().startsWith(QStringLiteral("cut.bin")));

    // A file that is not there is told, and the show goes on.
    prompter.files << f.context.workspace.exportFolder + QStringLiteral("missing.bin");
    QTest::mouseClick(window.openButton, Qt::LeftButton);
    QCOMPARE(prompter.shown.last().icon, messages::Icon::Warning);
    QCOMPARE(window.timeline().entries.size(), size_t(2));
}

void tst_ShowPreview::readBackReviewedBeforeImport()
{
    ImageFixture f;
    const QByteArray image = showImage(f);
    ScriptedPrompter prompter;
    ShowPreview window(f.context.edition, f.context.workspace.exportFolder, prompter);
    QVERIFY(!window.reviewsReadBacks());
    window.reviewBox->setChecked(true);
    QVERIFY(window.reviewsReadBacks());
    for (QPushButton* answer : {window.importButton, window.skipImportButton, window.closeButton}) {
        QTimer::singleShot(100, answer, [&window, answer] {
            QVERIFY(window.isVisible() && window.importBar->isVisible());
            QCOMPARE(window.timeline().entries.size(), size_t(3));
            answer->click();
        });
        QCOMPARE(window.reviewReadBack(image, deviceimage::kFanStick16), answer == window.importButton);
        QVERIFY(!window.isVisible());
        QVERIFY(window.importBar->isHidden());
    }
}

QTEST_MAIN(tst_ShowPreview)
#include "tst_ShowPreview.moc"
