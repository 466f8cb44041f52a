#include "store/ProjectList.h"

#include "messages/MessageCatalogue.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using store::Project;
using store::ProjectList;

class TestProjectList : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString projects;
    QString clips;

    void picture(const QString& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QVERIFY(image.save(clips + name, "BMP"));
    }

    Project project(const QString& name, const QStringList& pictures, int width = 16, int height = 16)
    {
        store::createProject(projects + name + ".ini", width, height);
        Project p(projects + name + ".ini");
        for (int i = 0; i < pictures.size(); ++i)
            p.ini().writeString("PICTURE", Project::entryKey(i), pictures[i]);
        p.ini().writeInteger("SUMMARY", "TOTAL_PICTURES", pictures.size());
        return p;
    }

    QStringList captions(const std::vector<store::EntryRow>& rows)
    {
        QStringList result;
        for (const store::EntryRow& row : rows)
            result << QStringLiteral("%1=%2").arg(row.entry).arg(row.caption);
        return result;
    }

private slots:
    void newProjectNames_data();
    void newProjectNames();
    void init()
    {
        const QString base = dir.path() + QStringLiteral("/%1-%2/")
                                                .arg(QTest::currentTestFunction(), QTest::currentDataTag());
        projects = base + "projects/";
        clips = base + "clips/";
        QDir().mkpath(projects);
        QDir().mkpath(clips);
        picture("heart.bmp", 16, 16);
        picture("banner.bmp", 96, 16);
        picture("low.bmp", 16, 11);
        picture("narrow.bmp", 8, 16);
    }

    void listsSortedWithDimensions()
    {
        project("zoo", {});
        project("Alpha", {}, 96, 16);
        project("broken", {}, 0, 16);
        QFile(projects + "notes.txt").open(QIODevice::WriteOnly);
        QFile::copy(projects + "zoo.ini", projects + "Upper.INI");
        ProjectList list(projects);
        list.listProjects();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.displayName(0), "Alpha (96 x 16)");
        QCOMPARE(list.displayName(1), "Upper (16 x 16)");
        QCOMPARE(list.displayName(2), "zoo (16 x 16)");
        QCOMPARE(list.currentIndex(), 0);
        QVERIFY(list.selectProjectByName("ZOO"));
        QCOMPARE(list.currentDisplayName(), "zoo (16 x 16)");
        QVERIFY(list.selectProjectByName("upper.ini"));
        QCOMPARE(list.currentIndex(), 1);
        QVERIFY(!list.selectProjectByName("nothing"));
        QCOMPARE(list.currentIndex(), 1);
    }

    // The list reads a project only as far as its dimension; one written with its dimension after the entries, or
    // twice, lists as a whole read gives it, and its entries are read when asked for.
    void listsByTheDimensionAlone()
    {
        writeFile(projects + "late.ini", "[SUMMARY]\r\nTOTAL_PICTURES=1\r\n[PICTURE]\r\nPICTURE_0=heart.bmp\r\n"
                                         "[Dimension]\r\nPICTURE_WIDTH=48\r\nPICTURE_HEIGHT=16\r\n"
                                         "[DIMENSION]\r\nPICTURE_WIDTH=5\r\n");
        writeFile(projects + "nowidth.ini", "[DIMENSION]\r\nPICTURE_HEIGHT=16\r\n[DIMENSION]\r\nPICTURE_WIDTH=5\r\n");
        ProjectList list(projects);
        list.listProjects();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list.displayName(0), "late (48 x 16)");
        QCOMPARE(list.project(0).totalPictures(), 1);
        QCOMPARE(list.project(0).pictureName(0), "heart.bmp");
    }

    // Names that differ in case only: the name as written wins wherever it stands in the list; a name matching
    // none as written still selects by case-insensitive match.
    void exactNameWinsOverCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("selected");
        QTest::newRow("Show") << "Show" << "Show (16 x 16)";
        QTest::newRow("show") << "show" << "show (16 x 16)";
        QTest::newRow("show.ini") << "show.ini" << "show (16 x 16)";
        QTest::newRow("SHOW: the first of them") << "SHOW" << "Show (16 x 16)";
    }
    void exactNameWinsOverCase()
    {
        QFETCH(QString, name);
        QFETCH(QString, selected);
        project("Show", {});
        project("show", {});
        project("a", {});
        ProjectList list(projects);
        list.listProjects();
        QCOMPARE(list.size(), 3);
        QVERIFY(list.selectProjectByName(name));
        QCOMPARE(list.currentDisplayName(), selected);
        QVERIFY(list.showProject(name));
        QCOMPARE(list.currentDisplayName(), selected);
    }

    // A name with a dot selects its own project, not the first one, and an unknown name keeps the selection.
    void selectsNameWithADot()
    {
        project("a", {});
        project("my", {});
        project("my.show", {});
        ProjectList list(projects);
        list.listProjects();
        QVERIFY(list.selectProjectByName("my.show"));
        QCOMPARE(list.currentDisplayName(), "my.show (16 x 16)");
        QVERIFY(!list.selectProjectByName("my.other"));
        QCOMPARE(list.currentDisplayName(), "my.show (16 x 16)");
        QVERIFY(list.selectProjectByName("MY"));
        QCOMPARE(list.currentDisplayName(), "my (16 x 16)");
    }

    // After a transfer the project is shown again by name: listed again only when it is new, and an unknown name
    // leaves the current project current rather than the first one.
    void showProjectKeepsTheCurrentOne()
    {
        project("a", {});
        project("my.show", {});
        ProjectList list(projects);
        list.listProjects();
        QVERIFY(list.showProject("my.show"));
        QVERIFY(!list.showProject("gone"));
        QCOMPARE(list.currentDisplayName(), "my.show (16 x 16)");
        project("new.one", {});
        QVERIFY(list.showProject("new.one"));
        QCOMPARE(list.currentDisplayName(), "new.one (16 x 16)");
    }

    void captions_data()
    {
        QTest::addColumn<bool>("indelible");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("ticker");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::newRow("plain") << false << 0 << 0 << "(5) logo.bmp" << 0;
        QTest::newRow("group") << false << 1 << 0 << "(5) <Group:1>logo.bmp" << 1;
        QTest::newRow("ticker") << false << 0 << 2 << "(5) <Ticker:2>logo.bmp" << 2;
        QTest::newRow("both") << false << 1 << 1 << "(5) <Group:1,Ticker:1>logo.bmp" << 3;
        QTest::newRow("indelible") << true << 0 << 0 << "(5 **) logo.bmp" << 0;
        QTest::newRow("indelible, both") << true << 2 << 1 << "(5 **) <Group:2,Ticker:1>logo.bmp" << 3;
    }
    void captions()
    {
        QFETCH(bool, indelible);
        QFETCH(int, group);
        QFETCH(int, ticker);
        QTEST(store::entryCaption(4, "logo.bmp", indelible, group, ticker), "caption");
        QTEST(store::entryIcon(group, ticker), "icon");
        QCOMPARE(store::entryCaption(0, "old\\dir\\logo.bmp", false, 0, 0), "(1) dir\\logo.bmp");
    }

    void rowsSkipHiddenEntriesButKeepTheirNumbers()
    {
        Project p = project("p", {"heart.bmp", "0", "low.bmp", "banner.bmp"});
        const auto rows = store::loadEntryList(p, clips);
        QVERIFY(rows);
        QCOMPARE(captions(*rows), QStringList({"0=(1) heart.bmp", "3=(4) banner.bmp"}));
        QCOMPARE(p.totalPictures(), 4); // nothing was missing: no repair
    }

    void missingFileRepairsTheProject()
    {
        Project p = project("p", {"heart.bmp", "gone.bmp", "low.bmp", "narrow.bmp", "banner.bmp"});
        p.setGroup(4, 2);
        p.setTicker(4, 1);
        p.setIndelible(4, true);
        const auto rows = store::loadEntryList(p, clips);
        QVERIFY(rows);
        QCOMPARE(captions(*rows), QStringList({"0=(1) heart.bmp", "1=(2 **) <Group:2,Ticker:1>banner.bmp"}));
        QCOMPARE(p.totalPictures(), 2);
        QCOMPARE(p.pictureName(1), "banner.bmp");
        QVERIFY(p.indelible(1));
    }

    void noDimensionKeepsTheOldRows()
    {
        Project p = project("p", {"heart.bmp"}, 0, 16);
        QVERIFY(!store::loadEntryList(p, clips));
    }

    void associationIndex()
    {
        project("one", {"heart.bmp", "heart.bmp", "0"});
        project("two", {"banner.bmp", "heart.bmp"});
        ProjectList list(projects);
        list.listProjects();
        const store::AssociationIndex index = store::buildAssociationIndex(list);
        QCOMPARE(index.size(), size_t(3));
        QCOMPARE(store::associatedProjects(index, "heart.bmp"), QStringList({"one (16 x 16)", "two (16 x 16)"}));
        QCOMPARE(store::associatedProjects(index, "HEART.bmp"), QStringList());
    }

    void rename_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("messages");
        const QStringList untouched{"a.ini", "b.ini"};
        QTest::newRow("cancelled") << std::optional<QString>() << untouched << QStringList{};
        QTest::newRow("own name") << std::optional<QString>("a") << untouched << QStringList{};
        QTest::newRow("zero") << std::optional<QString>("0") << untouched << QStringList{};
        QTest::newRow("renamed") << std::optional<QString>("c") << QStringList{"b.ini", "c.ini"}
                                 << QStringList{messages::lookupMessage(659)};
        QTest::newRow("another project's name") << std::optional<QString>("b") << untouched
                                                << QStringList{messages::lookupMessage(660)};
        QTest::newRow("outside the folder") << std::optional<QString>("../a") << untouched
                                            << QStringList{messages::lookupMessage(660)};
    }
    void rename()
    {
        QFETCH(std::optional<QString>, answer);
        project("a", {});
        project("b", {});
        ProjectList list(projects);
        list.listProjects();
        ScriptedPrompter prompter;
        prompter.inputs.enqueue(answer);
        store::renameProject(list, prompter);
        QTEST(QDir(projects).entryList(QDir::Files, QDir::Name), "files");
        QCOMPARE(prompter.shown.first().title, messages::lookupMessage(657));
        QCOMPARE(prompter.shown.first().text, messages::lookupMessage(658));
        QTEST(prompter.texts().mid(1), "messages");
        if (answer == QStringLiteral("c"))
            QCOMPARE(list.currentDisplayName(), "c (16 x 16)");
    }

    // A name starting with a dot is an ordinary file name to the folder listing: the renamed project stays in
    // the list and is selected, as the success message says.
    void renameToADotName()
    {
        project("a", {});
        project("b", {});
        ProjectList list(projects);
        list.listProjects();
        ScriptedPrompter prompter;
        prompter.inputs.enqueue(QStringLiteral(".a"));
        store::renameProject(list, prompter);
        QCOMPARE(prompter.texts().mid(1), QStringList{messages::lookupMessage(659)});
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.currentDisplayName(), ".a (16 x 16)");
    }

    void deleteAsksFirst()
    {
        project("My (old)", {});
        project("My", {});
        ProjectList list(projects);
        list.listProjects();
        QVERIFY(list.selectProjectByName("my (old)"));
        ScriptedPrompter prompter;
        prompter.answers.enqueue(messages::Answer::No);
        store::deleteProject(list, prompter);
        QCOMPARE(list.size(), 2);
        QCOMPARE(prompter.shown[0].text, "Do you want to delete current project --> My (old) (16 x 16) ?  ");
        QCOMPARE(prompter.shown[0].buttons, messages::Buttons::YesNo);

        prompter.answers.enqueue(messages::Answer::Yes);
        store::deleteProject(list, prompter); // the selected file goes, never one whose name merely starts alike
        QCOMPARE(QDir(projects).entryList(QDir::Files), QStringList({"My.ini"}));
        prompter.answers.enqueue(messages::Answer::Yes);
        store::deleteProject(list, prompter);
        QVERIFY(list.isEmpty());
        QVERIFY(!list.current());
    }

    void addFromTheProjectsPage()
    {
        project("p", {});
        ProjectList list(projects);
        list.listProjects();
        Project& current = *list.current();
        QCOMPARE(store::addPictureToProject(current, clips, "banner.bmp"), store::AddPictureStatus::Ok);
        QCOMPARE(store::addPictureToProject(current, clips, "low.bmp"), store::AddPictureStatus::NotAdded);
        QCOMPARE(store::addPictureToProject(current, clips, ""), store::AddPictureStatus::NotAdded); // nothing clicked
        QCOMPARE(messageId(store::AddPictureStatus::NotAdded), 435u);
        QCOMPARE(current.totalPictures(), 1);
    }

    void reeditBannerAsText_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("font");
        QTest::newRow("record with font") << "(3) <Ticker:1>hello.bmp" << "Hello, world,Arial" << "Hello, world"
                                          << "Arial";
        QTest::newRow("record without comma") << "(1) hello.bmp" << "Hello" << "Hello" << "";
        QTest::newRow("no record") << "(2 **) my.banner.bmp" << "" << "my.banner" << "";
    }
    void reeditBannerAsText()
    {
        QFETCH(QString, caption);
        QFETCH(QString, record);
        const store::BannerText banner = store::bannerTextToEdit(store::fileNameFromCaption(caption), record);
        QTEST(banner.text, "text");
        QTEST(banner.fontName, "font");
    }
};

void TestProjectList::newProjectNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // empty: created
    QTest::newRow("new") << "Party" << "";
    QTest::newRow("spaces kept") << " Party " << "";
    QTest::newRow("exists") << "Show" << "File already exists!\n\nPlease input another file name.";
    QTest::newRow("empty") << "" << "Please input correct filename !!";
    QTest::newRow("zero") << "0" << "Please input correct filename !!";
    QTest::newRow("leaves the folder") << "../Party" << "Please input correct filename !!";
}

void TestProjectList::newProjectNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    project("Show", {});
    const store::NewProjectStatus status = store::createNamedProject(projects, name, 16, 11);
    const bool created = status == store::NewProjectStatus::Ok;
    QCOMPARE(created, message.isEmpty());
    if (!created)
        QCOMPARE(messages::lookupMessage(messageId(status)), message);
    if (created) {
        Project made(projects + name + ".ini");
        QCOMPARE(made.width(), 16);
        QCOMPARE(made.height(), 11);
    }
    QVERIFY(!QFile::exists(projects + "../Party.ini"));
}

QTEST_GUILESS_MAIN(TestProjectList)
#include "tst_ProjectList.moc"
