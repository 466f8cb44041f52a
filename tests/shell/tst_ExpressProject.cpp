#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "shell/ExpressProject.h"
#include "store/Edition.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace shell;

class tst_ExpressProject : public QObject {
    Q_OBJECT

private slots:
    // Before a read-back the project takes the edition's picture size, so the 11-LED edition's 16-wide pictures
    // still match it.
    void readBackEmptiesTheProject_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("11") << "Lumiwand_exp11" << 16 << 11;
        QTest::newRow("16") << "Lumiwand_exp16" << 16 << 16;
        QTest::newRow("48") << "Lumiwand_exp48" << 48 << 48;
    }
    void readBackEmptiesTheProject()
    {
        QFETCH(QString, program);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("QuickStart.ini"));
        store::createProject(path, 5, 5);
        store::Project project(path);
        project.ini().writeInteger(QStringLiteral("SUMMARY"), QStringLiteral("TOTAL_PICTURES"), 3);
        project.setMovieInterval(40);
        prepareReadBack(project, store::deriveEdition(program));
        QTEST(project.width(), "width");
        QTEST(project.height(), "height");
        QCOMPARE(project.totalPictures(), 0);
        QCOMPARE(project.movieInterval(), 160);
    }

    // Before a download every banner's shift becomes the one its content calls for at the default speed;
    // entries without a readable file are left alone.
    void downloadRefreshesShifts()
    {
        QTemporaryDir dir;
        const QString clips = dir.filePath(QStringLiteral("clips/"));
        QDir().mkpath(clips);
        const store::EditionParameters edition = store::deriveEdition(QStringLiteral("Lumiwand_exp16"));
        imaging::LitGrid banner(40, 16);
        for (int col = 4; col < 30; ++col)
            banner.setLit(col, 5);
        QVERIFY(imaging::savePicture(banner, clips, QStringLiteral("wide.bmp"), imaging::ExistingFile::Refuse).ok());
        const QString path = dir.filePath(QStringLiteral("QuickStart.ini"));
        store::createProject(path, 16, 16);
        store::Project project(path);
        QCOMPARE(store::appendEntry(project, clips, QStringLiteral("wide.bmp"), 0, -1, -1, false),
                 store::AppendStatus::Ok);
        project.ini().writeString(QStringLiteral("PICTURE"), QStringLiteral("PICTURE_1"), QStringLiteral("gone.bmp"));
        project.ini().writeInteger(QStringLiteral("SUMMARY"), QStringLiteral("TOTAL_PICTURES"), 2);

        deviceimage::TimingRecords records(clips, edition);
        records.storeShift(QStringLiteral("wide.bmp"), 3);
        refreshAutomaticShifts(project, clips, edition);
        QCOMPARE(records.lookupShift(QStringLiteral("wide.bmp")), deviceimage::autoShift(edition, 2050, 26));
    }
};

QTEST_MAIN(tst_ExpressProject)
#include "tst_ExpressProject.moc"
