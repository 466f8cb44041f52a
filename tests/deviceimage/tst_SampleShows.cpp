#include "deviceimage/ImageCompiler.h"
#include "deviceimage/SampleShows.h"
#include "deviceimage/ShowPlayer.h"
#include "deviceimage/windows/ShowPreview.h"
#include "store/Clipart.h"
#include "tests/deviceimage/ImageFixture.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QLabel>
#include <QTest>

using namespace deviceimage;

namespace {

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray buildImage(const ImageFixture& f, const QString& projectName)
{
    store::Project project(f.projectPath(projectName));
    const CompileResult built = compileImage(CompileMode::Build, editionDeviceType(f.context.edition.ledCount),
                                             &project, f.context);
    return built.refused() ? QByteArray() : built.image;
}

} // namespace

class tst_SampleShows : public QObject {
    Q_OBJECT

private slots:
    void everySampleFitsItsStickAndPlays_data();
    void everySampleFitsItsStickAndPlays();
    void previewWindowPlaysEverySample();
    void aSecondCopyTakesTheNextName();
    void aFailedWriteLeavesNothing();
    void clipartAddedToAProjectUntilTheStickIsFull();
};

void tst_SampleShows::everySampleFitsItsStickAndPlays_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("sample");
    for (int height : {11, 16, 24, 32, 48})
        for (const SampleShow& sample : sampleShows())
            QTest::addRow("%d %s", height, qPrintable(sample.key)) << height << sample.key;
}

void tst_SampleShows::everySampleFitsItsStickAndPlays()
{
    QFETCH(int, height);
    QFETCH(QString, sample);
    QCOMPARE(int(sampleShows().size()), 6);
    ImageFixture f(height);
    const SampleMade made = makeSampleShow(f.context, sample);
    QVERIFY2(made.ok(), qPrintable(made.detail));
    store::Project project(f.projectPath(made.projectName));
    QCOMPARE(project.height(), height);
    QCOMPARE(project.width(), f.context.edition.pictureWidth);
    QVERIFY(project.highestGroup() >= 1); // every sample has an animation

    const QByteArray image = buildImage(f, made.projectName);
    QVERIFY(!image.isEmpty());
    QVERIFY2(image.size() <= editionCapacity(height), qPrintable(QString::number(image.size())));
    const ShowTimeline show = readShow(image, editionDeviceType(height), f.context.edition);
    QVERIFY2(show.problem.isEmpty(), qPrintable(show.problem));
    QCOMPARE(int(show.entries.size()), project.totalPictures());
    QVERIFY(show.durationUs > 0);
    // Over one pass every picture comes on, and the stick lights something.
    QSet<int> shown;
    bool lit = false;
    for (qint64 t = 0; t < show.durationUs; t += 20000) {
        const ShowState state = showState(show, t);
        shown.insert(state.entry);
        for (int x = 0; x < state.frame.width() && !lit; ++x)
            for (int y = 0; y < state.frame.height() && !lit; ++y)
                lit = state.frame.isLit(x, y);
    }
    QCOMPARE(shown.size(), project.totalPictures());
    QVERIFY(lit);
}

void tst_SampleShows::previewWindowPlaysEverySample()
{
    for (int height : {11, 48}) {
        ImageFixture f(height);
        ScriptedPrompter prompter;
        ShowPreview window(f.context.edition, f.context.workspace.exportFolder, prompter);
        window.show();
        for (const SampleShow& sample : sampleShows()) {
            const SampleMade made = makeSampleShow(f.context, sample.key);
            QVERIFY(made.ok());
            window.play(buildImage(f, made.projectName), editionDeviceType(height), made.projectName);
            QVERIFY(window.playing());
            QVERIFY(window.problemLabel->isHidden());
            QCOMPARE(int(window.timeline().entries.size()),
                     store::Project(f.projectPath(made.projectName)).totalPictures());
            QTRY_VERIFY(window.position() > 0);
        }
    }
}

void tst_SampleShows::aSecondCopyTakesTheNextName()
{
    ImageFixture f(16);
    const SampleMade first = makeSampleShow(f.context, QStringLiteral("Birthday"));
    const QByteArray firstFile = [&] {
        QFile file(f.projectPath(first.projectName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    const SampleMade second = makeSampleShow(f.context, QStringLiteral("birthday"));
    QCOMPARE(first.projectName, QStringLiteral("Birthday"));
    QCOMPARE(second.projectName, QStringLiteral("Birthday2"));
    QFile file(f.projectPath(first.projectName));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), firstFile);
    QVERIFY(folderEntries(f.clips()).contains(QStringLiteral("cake1.bmp")));

    QCOMPARE(makeSampleShow(f.context, QStringLiteral("no such show")).status, SampleStatus::Unknown);
}

void tst_SampleShows::aFailedWriteLeavesNothing()
{
    ImageFixture f(24);
    QDir(f.clips()).removeRecursively();
    const SampleMade made = makeSampleShow(f.context, QStringLiteral("party"));
    QCOMPARE(made.status, SampleStatus::WriteFailed);
    QVERIFY(!made.detail.isEmpty());
    QVERIFY(folderEntries(f.projects()).isEmpty());
}

void tst_SampleShows::clipartAddedToAProjectUntilTheStickIsFull()
{
    ImageFixture f(48);
    f.project("Show", 48, 48, {});
    store::Project project(f.projectPath("Show"));
    ClipartAdded added = addClipartToProject(f.context, project, QStringLiteral("star"));
    QCOMPARE(added.status, ClipartAddStatus::Ok);
    QCOMPARE(added.fileName, QStringLiteral("star.bmp"));
    QCOMPARE(project.pictureName(0), QStringLiteral("star.bmp"));

    int pictures = 1;
    while ((added = addClipartToProject(f.context, project, QStringLiteral("heart"))).status == ClipartAddStatus::Ok)
        QVERIFY(++pictures < 40);
    QCOMPARE(added.status, ClipartAddStatus::StickTooSmall);
    QCOMPARE(project.totalPictures(), pictures);
    QCOMPARE(folderEntries(f.clips()).size(), qsizetype(pictures)); // the refused copy is gone
    QCOMPARE(addClipartToProject(f.context, project, QStringLiteral("nothing")).status, ClipartAddStatus::Unknown);

    f.project("Small", 16, 16, {});
    store::Project small(f.projectPath("Small"));
    QCOMPARE(addClipartToProject(f.context, small, QStringLiteral("star")).status, ClipartAddStatus::WrongHeight);
    QCOMPARE(small.totalPictures(), 0);
}

QTEST_MAIN(tst_SampleShows)
#include "tst_SampleShows.moc"
