#include "store/LibraryChoice.h"

#include "store/ProjectList.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using store::ChoiceSource;
using store::LibraryCatalogue;

namespace {

// Answers the dialog with fixed ticks (nullopt: Cancel) and remembers what it was shown.
struct ScriptedChooser : store::LibraryChooser {
    std::optional<QList<int>> answer;
    QStringList offered;
    QList<int> initiallyTicked;

    std::optional<QList<int>> chooseLibraries(const ChoiceSource&, const QList<store::LibraryInfo>& libraries,
                                              const QList<int>& ticked) override
    {
        for (const auto& library : libraries)
            offered << QStringLiteral("%1:%2").arg(library.number).arg(library.name);
        initiallyTicked = ticked;
        return answer;
    }
    std::optional<QList<int>> chooseProjects(const ChoiceSource&, const QStringList& projects) override
    {
        offered = projects;
        return answer;
    }
};

} // namespace

class TestLibraryChoice : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString clips;
    QString projects;

    void picture(const QString& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QVERIFY(image.save(clips + name, "BMP"));
    }

private slots:
    void init()
    {
        const QString base = dir.path() + QStringLiteral("/%1-%2/")
                                              .arg(QTest::currentTestFunction(), QTest::currentDataTag());
        clips = base + "clips/";
        projects = base + "projects/";
        QDir().mkpath(clips);
        QDir().mkpath(projects);
        picture("logo.bmp", 16, 16);
        LibraryCatalogue catalogue(clips);
        catalogue.ini().writeInteger("SUMMARY", "TOTAL_LIBRARIES", 4);
        catalogue.ini().writeString("LIBRARY", "LIB_0", "Animals");
        catalogue.ini().writeString("LIBRARY", "LIB_1", "0");
        catalogue.ini().writeString("LIBRARY", "LIB_2", "Cars");
        catalogue.ini().writeString("LIBRARY", "LIB_3", "Faces");
        catalogue.setFileLibraries("logo.bmp", {0, 3});
    }

    void libraryModeTicksTheMemberships_data()
    {
        QTest::addColumn<std::optional<QList<int>>>("answer");
        QTest::addColumn<QString>("memberships");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("copy: source kept") << std::optional(QList<int>{0, 2, 3}) << "0,,,2,,,3,,,"
                                           << QStringList{"Picture copied successfully!"};
        QTest::newRow("move: source unticked") << std::optional(QList<int>{2}) << "2,,,"
                                               << QStringList{"Picture copied successfully!"};
        QTest::newRow("none ticked: to [CLIP], no message") << std::optional<QList<int>>(QList<int>{}) << ""
                                                            << QStringList{};
        QTest::newRow("cancel") << std::optional<QList<int>>() << "0,,,3,,," << QStringList{};
    }
    void libraryModeTicksTheMemberships()
    {
        QFETCH(std::optional<QList<int>>, answer);
        LibraryCatalogue catalogue(clips);
        ScriptedChooser chooser;
        chooser.answer = answer;
        ScriptedPrompter prompter;
        QCOMPARE(store::copyToLibraries(catalogue, {"Animals", "logo.bmp", "16 x 16"}, chooser, prompter),
                 answer.has_value());
        QCOMPARE(chooser.offered, (QStringList{"0:Animals", "2:Cars", "3:Faces"}));
        QCOMPARE(chooser.initiallyTicked, (QList<int>{0, 3}));
        QTEST(LibraryCatalogue(clips).membershipText("logo.bmp"), "memberships");
        QTEST(prompter.texts(), "messages");
    }

    // A 16-high picture into a 16-high, an 11-high and a damaged project: the first takes it, the others are
    // reported with their own composed messages, and the success message follows.
    void addToProjectsReportsEachRefusal()
    {
        store::createProject(projects + "Show.ini", 16, 16);
        store::createProject(projects + "Small.ini", 16, 11);
        store::createProject(projects + "Broken.ini", 0, 0);
        store::createProject(projects + "Unticked.ini", 16, 16);
        store::ProjectList list(projects);
        list.listProjects();
        QCOMPARE(list.size(), 3); // a project without dimension is not listed

        ScriptedChooser chooser;
        chooser.answer = QList<int>{0, 1};
        ScriptedPrompter prompter;
        QCOMPARE(store::addToProjects(list, clips, {"Animals", "logo.bmp", ""}, chooser, prompter), 1);
        QCOMPARE(chooser.offered, (QStringList{"Show (16 x 16)", "Small (16 x 11)", "Unticked (16 x 16)"}));
        QCOMPARE(prompter.texts(),
                 (QStringList{"Dimension of Picture/Banner logo.bmp is different from project: Small (16 x 11)"
                              "!\n\nSkip copy this file!",
                              "Picture added successfully!"}));
        QCOMPARE(prompter.shown[0].title, QStringLiteral("Add to MyLumiwand Projects"));
        QCOMPARE(prompter.shown[0].icon, messages::Icon::Warning);
        QCOMPARE(store::Project(projects + "Show.ini").pictureName(0), QStringLiteral("logo.bmp"));
        QCOMPARE(store::Project(projects + "Unticked.ini").totalPictures(), 0);
    }

    // A project file deleted while the dialog was open is reported as damaged and skipped.
    void addToVanishedProjectIsReported()
    {
        store::createProject(projects + "Gone.ini", 16, 16);
        store::ProjectList list(projects);
        list.listProjects();
        QVERIFY(QFile::remove(projects + "Gone.ini"));
        ScriptedChooser chooser;
        chooser.answer = QList<int>{0};
        ScriptedPrompter prompter;
        QCOMPARE(store::addToProjects(list, clips, {"Animals", "logo.bmp", ""}, chooser, prompter), 0);
        QCOMPARE(prompter.texts(),
                 QStringList{"Project file : Gone (16 x 16) is corrupted!\n\nSkip copy this file!"});
    }

    void failureTexts()
    {
        QCOMPARE(store::appendFailureText(store::AppendStatus::Rejected, "a.bmp", "P (1 x 1)"),
                 QStringLiteral("Dimension of Picture/Banner a.bmp is different from project: P (1 x 1)!\n\nSkip copy this file!"));
    }
};

QTEST_GUILESS_MAIN(TestLibraryChoice)
#include "tst_LibraryChoice.moc"
