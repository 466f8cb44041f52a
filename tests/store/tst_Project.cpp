#include "store/Project.h"

#include "messages/MessageCatalogue.h"
#include "tests/support/ScriptedPrompter.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using store::Project;

namespace {

// Entries written straight into the file, "name:group" (group 0 when omitted), "name:group:ticker:indelible".
void writeEntries(Project& project, const QStringList& entries)
{
    store::IniFile::WriteBatch batch(project.ini());
    for (int i = 0; i < entries.size(); ++i) {
        const QStringList parts = entries[i].split(':');
        project.ini().writeString("PICTURE", Project::entryKey(i), parts[0]);
        project.setGroup(i, parts.value(1, "0").toInt());
        project.setTicker(i, parts.value(2, "0").toInt());
        project.setIndelible(i, parts.value(3, "0").toInt() != 0);
    }
    project.ini().writeInteger("SUMMARY", "TOTAL_PICTURES", entries.size());
}

// The project's entries in the same notation, with every value spelled out.
QStringList entriesOf(const Project& project)
{
    QStringList entries;
    for (int i = 0; i < project.totalPictures(); ++i)
        entries << QStringLiteral("%1:%2:%3:%4")
                       .arg(project.pictureName(i))
                       .arg(project.group(i))
                       .arg(project.ticker(i))
                       .arg(project.indelible(i) ? 1 : 0);
    return entries;
}

QStringList names(const Project& project)
{
    QStringList result;
    for (int i = 0; i < project.totalPictures(); ++i)
        result << project.pictureName(i) + (project.group(i) ? QStringLiteral("/%1").arg(project.group(i)) : "");
    return result;
}

struct FixedGroupChooser : store::MovieGroupChooser {
    store::MovieGroupChoice answer;
    int askedMax = -1, askedSteps = -1;
    store::MovieGroupChoice chooseMovieGroup(int maxGroup, int steps, const Project&) override
    {
        askedMax = maxGroup;
        askedSteps = steps;
        return answer;
    }
};

struct FixedTickerChooser : store::TickerChooser {
    store::TickerChoice answer;
    store::TickerChoice chooseTicker(int, int) override { return answer; }
};

} // namespace

class TestProject : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString clips;
    int counter = 0;

    Project newProject(const QStringList& entries = {})
    {
        const QString path = dir.filePath(QStringLiteral("p%1.ini").arg(++counter));
        store::createProject(path, 16, 16);
        Project project(path);
        writeEntries(project, entries);
        return project;
    }

private slots:
    void initTestCase()
    {
        clips = dir.path() + "/clips/";
        QDir().mkpath(clips);
        QImage(16, 16, QImage::Format_RGB32).save(clips + "square.bmp");
        QImage(96, 16, QImage::Format_RGB32).save(clips + "banner.bmp");
        QImage(16, 11, QImage::Format_RGB32).save(clips + "low.bmp");
        QFile junk(clips + "junk.bmp");
        junk.open(QIODevice::WriteOnly);
        junk.write("not a picture");
    }

    void newProjectFile()
    {
        Project project = newProject();
        QFile file(project.path());
        file.open(QIODevice::ReadOnly);
        QCOMPARE(file.readAll(), QByteArray("[DIMENSION]\r\nPICTURE_WIDTH=16\r\nPICTURE_HEIGHT=16\r\n"
                                            "[SUMMARY]\r\nTOTAL_PICTURES=0\r\nMOVIE_INTERVAL=160\r\n"));
        QCOMPARE(project.name(), QStringLiteral("p%1").arg(counter));
    }

    void appendChecksHeightOnly_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<store::AppendStatus>("result");
        QTest::newRow("picture") << "square.bmp" << store::AppendStatus::Ok;
        QTest::newRow("banner of any width") << "banner.bmp" << store::AppendStatus::Ok;
        QTest::newRow("other height") << "low.bmp" << store::AppendStatus::Rejected;
        QTest::newRow("missing file") << "none.bmp" << store::AppendStatus::Rejected;
        QTest::newRow("not a picture") << "junk.bmp" << store::AppendStatus::Rejected;
    }
    void appendChecksHeightOnly()
    {
        QFETCH(QString, picture);
        Project project = newProject();
        QTEST(store::appendEntry(project, clips, picture, 0, -1, -1, false), "result");
        QCOMPARE(project.totalPictures(), project.pictureName(0).isEmpty() ? 0 : 1);
    }

    void appendWritesWhatItIsGiven()
    {
        Project project = newProject();
        QCOMPARE(store::appendEntry(project, clips, "square.bmp", 0, -1, -1, false), store::AppendStatus::Ok);
        QCOMPARE(store::appendEntry(project, clips, "banner.bmp", 24, 2, 3, true), store::AppendStatus::Ok);
        QCOMPARE(store::appendEntry(project, clips, "square.bmp", 0, 0, 0, false), store::AppendStatus::Ok);
        QCOMPARE(entriesOf(project), QStringList({"square.bmp:0:0:0", "banner.bmp:2:3:1", "square.bmp:0:0:0"}));
        QVERIFY(project.ini().valueExists("TICKER", "PICTURE_0"));  // -1 writes 0
        QVERIFY(!project.ini().valueExists("TICKER", "PICTURE_2")); //  0 writes nothing
        QCOMPARE(project.groupInterval(2), 24);
        QCOMPARE(project.ini().readString("MOVIE_GROUP", "MVG_SPEED2"), "24");
    }

    void appendNeedsDimensions()
    {
        Project project(dir.filePath("nodimension.ini"));
        project.ini().writeInteger("SUMMARY", "TOTAL_PICTURES", 0);
        QCOMPARE(store::appendEntry(project, clips, "square.bmp", 0, -1, -1, false), store::AppendStatus::NoDimension);
    }

    void removeRenumbersTheRest()
    {
        Project project = newProject({"a:0", "b:0", "c:4:2:1"});
        ScriptedPrompter prompter;
        QVERIFY(store::removeEntry(project, 1, false, prompter));
        QCOMPARE(entriesOf(project), QStringList({"a:0:0:0", "c:4:2:1"}));
        for (const char* section : {"PICTURE", "MOVIE_GROUP", "TICKER"})
            QVERIFY(!project.ini().valueExists(section, "PICTURE_2"));
        QVERIFY(prompter.shown.isEmpty());
    }

    void indelibleEntryStaysOutsideFactoryMode()
    {
        Project project = newProject({"a:0:0:1", "b"});
        ScriptedPrompter prompter;
        QVERIFY(!store::removeEntry(project, 0, false, prompter));
        QCOMPARE(project.totalPictures(), 2);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].title, messages::lookupMessage(728));
        QCOMPARE(prompter.shown[0].text, messages::lookupMessage(729));
        QCOMPARE(prompter.shown[0].icon, messages::Icon::Stop);
        QVERIFY(store::removeEntry(project, 0, true, prompter));
        QCOMPARE(names(project), QStringList({"b"}));
    }

    void compactDropsHolesAndCountsPastTheLastKey()
    {
        Project project = newProject({"a", "0", "", "d"});
        project.ini().writeInteger("SUMMARY", "TOTAL_PICTURES", 6); // two entries that have no keys at all
        store::compactEntries(project, [](int, const QString& n) { return !n.isEmpty() && n != "0"; });
        QCOMPARE(names(project), QStringList({"a", "d"}));
    }

    // The stored count is bounded by what the file holds, so a damaged or hostile count neither makes every walk
    // over the entries run for minutes nor puts the next entry billions of numbers away.
    void countIsBoundedByWhatTheFileHolds_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("extraKey"); // "SECTION/KEY" written beside entries a, b, c
        QTest::addColumn<int>("total");
        QTest::newRow("the largest int") << 2147483647 << "" << 3;
        QTest::newRow("a few past the last entry") << 5 << "" << 3;
        QTest::newRow("fewer than the file holds") << 2 << "" << 2;
        QTest::newRow("negative") << -7 << "" << 0;
        QTest::newRow("a hole with only a group beyond the pictures") << 2147483647 << "MOVIE_GROUP/PICTURE_4" << 5;
        QTest::newRow("a key readers never ask for") << 2147483647 << "PICTURE/PICTURE_07" << 3;
        QTest::newRow("an entry far beyond the most a project takes") << 2147483647 << "PICTURE/PICTURE_70000" << 3;
    }
    void countIsBoundedByWhatTheFileHolds()
    {
        QFETCH(int, stored);
        QFETCH(QString, extraKey);
        QFETCH(int, total);
        Project project = newProject({"square.bmp:2", "banner.bmp", "square.bmp"});
        if (!extraKey.isEmpty())
            project.ini().writeInteger(extraKey.section('/', 0, 0), extraKey.section('/', 1), 9);
        project.ini().writeInteger("SUMMARY", "TOTAL_PICTURES", stored);
        QCOMPARE(project.totalPictures(), total);
        QCOMPARE(project.highestGroup(), extraKey.startsWith("MOVIE_GROUP") ? 9 : (total > 0 ? 2 : 0));

        // The next entry follows what the file holds.
        QCOMPARE(store::appendEntry(project, clips, "square.bmp", 0, -1, -1, false), store::AppendStatus::Ok);
        QCOMPARE(project.totalPictures(), total + 1);
        QCOMPARE(project.pictureName(total), "square.bmp");
    }

    void outOfRangeRowsDoNothing()
    {
        Project project = newProject({"a:1", "b:1"});
        const QStringList before = entriesOf(project);
        ScriptedPrompter prompter;
        FixedGroupChooser groups;
        FixedTickerChooser tickers;
        tickers.answer = {2, 7};
        QCOMPARE(store::moveEntryUp(project, 0), -1);
        QCOMPARE(store::moveEntryUp(project, 2), -1);
        QCOMPARE(store::moveEntryDown(project, 1), -1);
        QCOMPARE(store::moveEntryDown(project, -1), -1);
        QVERIFY(!store::removeEntry(project, 5, true, prompter));
        store::toggleIndelible(project, 2);
        store::toggleMovieGroup(project, -1, groups);
        store::setTicker(project, 9, tickers);
        QCOMPARE(entriesOf(project), before);
        QCOMPARE(groups.askedMax, -1);
    }

    void moves_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("selection");
        const QStringList plain{"a", "b", "c"};
        QTest::newRow("up, ungrouped") << plain << true << 2 << QStringList{"a", "c", "b"} << 1;
        QTest::newRow("down, ungrouped") << plain << false << 0 << QStringList{"b", "a", "c"} << 1;
        QTest::newRow("up, inside a group") << QStringList{"a:1", "b:1"} << true << 1 << QStringList{"b/1", "a/1"}
                                            << 0;
        QTest::newRow("up, group head takes its group along")
            << QStringList{"x", "a:1", "b:1", "c:1", "y"} << true << 1 << QStringList{"a/1", "b/1", "c/1", "x", "y"}
            << 0;
        QTest::newRow("up, two groups exchange places")
            << QStringList{"a:1", "b:1", "c:1", "d:2", "e:2", "z"} << true << 3
            << QStringList{"d/2", "e/2", "a/1", "b/1", "c/1", "z"} << 0;
        QTest::newRow("up, ungrouped jumps the group above")
            << QStringList{"x", "a:1", "b:1", "y"} << true << 3 << QStringList{"x", "y", "a/1", "b/1"} << 1;
        QTest::newRow("down, ungrouped jumps the group below")
            << QStringList{"y", "a:1", "b:1", "x"} << false << 0 << QStringList{"a/1", "b/1", "y", "x"} << 2;
        QTest::newRow("down, two groups exchange places")
            << QStringList{"a:1", "b:1", "d:2", "e:2", "f:2"} << false << 1
            << QStringList{"d/2", "e/2", "f/2", "a/1", "b/1"} << 4;
        QTest::newRow("down, group end lets the entry below rise above the group")
            << QStringList{"a:1", "b:1", "c:1", "y"} << false << 2 << QStringList{"y", "a/1", "b/1", "c/1"} << 3;
        QTest::newRow("nothing moves past a hole") << QStringList{"a", "0", "c"} << true << 2
                                                   << QStringList{"a", "0", "c"} << -1;
    }
    void moves()
    {
        QFETCH(QStringList, entries);
        QFETCH(bool, up);
        QFETCH(int, row);
        Project project = newProject(entries);
        const int selection = up ? store::moveEntryUp(project, row) : store::moveEntryDown(project, row);
        QTEST(names(project), "expected");
        QTEST(selection, "selection");
    }

    void movesKeepEveryValueOfAnEntry()
    {
        Project project = newProject({"a:0:1:1", "b:0:2:0"});
        store::moveEntryDown(project, 0);
        QCOMPARE(entriesOf(project), QStringList({"b:0:2:0", "a:0:1:1"}));
    }

    void groupBounds()
    {
        Project project = newProject({"x", "a:3", "b:3", "c:3", "y:1"});
        QCOMPARE(store::groupBounds(project, 3, false), 1);
        QCOMPARE(store::groupBounds(project, 3, true), 3);
        QCOMPARE(store::groupBounds(project, 7, false), -1);
    }

    void leavingAGroupSinksBelowIt()
    {
        Project project = newProject({"a:1", "b:1", "c:1", "z"});
        FixedGroupChooser chooser;
        store::toggleMovieGroup(project, 1, chooser);
        QCOMPARE(names(project), QStringList({"a/1", "c/1", "b", "z"}));
        QCOMPARE(chooser.askedMax, -1); // no dialog for taking an entry out
    }

    void joiningAGroup_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("group");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("new group stays in place") << QStringList{"a", "b:1", "c"} << 2 << 2
                                                  << QStringList{"a", "b/1", "c/2"};
        QTest::newRow("from above, sinks next to the group") << QStringList{"a", "x", "b:1", "c:1"} << 0 << 1
                                                             << QStringList{"x", "a/1", "b/1", "c/1"};
        QTest::newRow("from below, rises next to the group") << QStringList{"b:1", "c:1", "x", "a"} << 3 << 1
                                                             << QStringList{"b/1", "c/1", "a/1", "x"};
        QTest::newRow("already adjacent") << QStringList{"b:1", "a"} << 1 << 1 << QStringList{"b/1", "a/1"};
    }
    void joiningAGroup()
    {
        QFETCH(QStringList, entries);
        QFETCH(int, row);
        QFETCH(int, group);
        Project project = newProject(entries);
        project.setMovieInterval(40);
        FixedGroupChooser chooser;
        chooser.answer = {group, 3};
        store::toggleMovieGroup(project, row, chooser);
        QTEST(names(project), "expected");
        QCOMPARE(chooser.askedSteps, 5);
        QCOMPARE(chooser.askedMax, 1);
        QCOMPARE(project.groupInterval(group), 24);
    }

    void newGroupWithMovieSpeedStoresMinusEight()
    {
        Project project = newProject({"a"});
        FixedGroupChooser chooser;
        chooser.answer = {1, -1};
        store::toggleMovieGroup(project, 0, chooser);
        QCOMPARE(project.ini().readString("MOVIE_GROUP", "MVG_SPEED1"), "-8");
        chooser.answer = {0, 5}; // cancelled: nothing happens
        Project other = newProject({"a"});
        store::toggleMovieGroup(other, 0, chooser);
        QCOMPARE(other.group(0), 0);
    }

    void tickerAndIndelible()
    {
        Project project = newProject({"a", "b"});
        FixedTickerChooser chooser;
        chooser.answer = {3, 9};
        store::setTicker(project, 1, chooser);
        QCOMPARE(project.ticker(1), 3);
        QCOMPARE(project.tickerSpeed(), 9);
        chooser.answer = {-1, 1};
        store::setTicker(project, 1, chooser);
        QCOMPARE(project.ticker(1), 3);
        QCOMPARE(project.tickerSpeed(), 9);
        store::toggleIndelible(project, 0);
        QVERIFY(project.indelible(0));
        store::toggleIndelible(project, 0);
        QVERIFY(!project.indelible(0));
    }

    void singleMemberGroups()
    {
        QCOMPARE(store::singleMemberGroups(newProject({"a:1", "b:2", "c:3"})), "Group 1 \nGroup 2 \nGroup 3 \n");
        QCOMPARE(store::singleMemberGroups(newProject({"a:2", "b:2", "c:0", "d:1024"})), "");
    }

    void movieIntervalDefaults()
    {
        Project project = newProject();
        project.setMovieInterval(-5);
        QCOMPARE(project.movieInterval(), 160);
    }
};

QTEST_GUILESS_MAIN(TestProject)
#include "tst_Project.moc"
