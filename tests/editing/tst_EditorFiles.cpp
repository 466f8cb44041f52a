#include "editing/EditorCommands.h"
#include "editing/PictureManager.h"
#include "editing/SavePicture.h"

#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "store/LibraryTree.h"
#include "store/ProjectList.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using editing::SaveChoice;
using messages::Answer;

namespace {

// The editor's dialogs, answered from a script; records what was asked of them.
struct ScriptedDialogs : editing::EditorDialogs {
    QStringList calls;
    bool importTakes = true;
    QString chosenPicture;
    std::optional<int> speed;

    void saveCanvas() override { calls << "save"; }
    bool importFile(const QString& path) override
    {
        calls << "import " + QFileInfo(path).fileName();
        return importTakes;
    }
    QString choosePicture() override
    {
        calls << "manager";
        return chosenPicture;
    }
    std::optional<int> chooseSpeed() override
    {
        calls << "speed";
        return speed;
    }
};

} // namespace

class TestEditorFiles : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString clips;
    QString projects;
    store::EditionParameters edition = store::deriveEdition(QStringLiteral("Lumiwand16"));

    editing::SaveTarget target() const { return {clips, edition, 0x0305}; }

    static imaging::LitGrid picture(int width, int height)
    {
        imaging::LitGrid grid(width, height);
        for (int x = 0; x < width; ++x)
            grid.setLit(x, x % height);
        return grid;
    }

private slots:
    void init()
    {
        const QString base = dir.path() + QStringLiteral("/%1-%2/")
                                              .arg(QTest::currentTestFunction(), QTest::currentDataTag());
        clips = base + "16Clips/";
        projects = base + "projects/";
        QDir().mkpath(clips);
        QDir().mkpath(projects);
        store::LibraryCatalogue catalogue(clips);
        catalogue.ini().writeInteger("SUMMARY", "TOTAL_LIBRARIES", 1);
        catalogue.ini().writeString("LIBRARY", "LIB_0", "Animals");
        store::createProject(projects + "Show.ini", 16, 16);
        store::createProject(projects + "Small.ini", 16, 11);
    }

    void refusedNamesKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("zero") << "0";
        QTest::newRow("leaves the folder") << "../escape";
    }
    void refusedNamesKeepTheDialogOpen()
    {
        QFETCH(QString, name);
        store::ProjectList list(projects);
        ScriptedPrompter prompter;
        const auto result = editing::savePicture(picture(16, 16), {name, "[CLIP]", -1}, target(), list, prompter);
        QVERIFY(!result.close);
        QCOMPARE(prompter.texts(), QStringList{"Please input correct filename !!"});
        QCOMPARE(prompter.shown[0].title, QStringLiteral("Save Picture/Banner"));
        QCOMPARE(QDir(clips).entryList({"*.bmp"}), QStringList());
    }

    void savesIntoTheLibraryWithItsSpeed()
    {
        store::ProjectList list(projects);
        ScriptedPrompter prompter;
        const auto result = editing::savePicture(picture(20, 16), {"logo", "Animals", -1}, target(), list, prompter);
        QVERIFY(result.close);
        QCOMPARE(result.savedPath, clips + "logo.bmp");
        QCOMPARE(prompter.texts(), QStringList{"Banner saved successfully!"});
        QCOMPARE(store::LibraryCatalogue(clips).membershipText("logo.bmp"), QStringLiteral("0,,,"));
        QCOMPARE(deviceimage::TimingRecords(clips, edition).lookupSpeed("logo.bmp"), 0x0305);
        QCOMPARE(imaging::loadPicture(clips + "logo.bmp").picture.size(), QSize(20, 16));
    }

    void overwriteIsAsked()
    {
        store::ProjectList list(projects);
        ScriptedPrompter prompter;
        QVERIFY(imaging::savePicture(picture(8, 16), clips, "logo.bmp", imaging::ExistingFile::Refuse).ok());
        auto result = editing::savePicture(picture(16, 16), {"logo.bmp", "[CLIP]", -1}, target(), list, prompter);
        QVERIFY(!result.close); // No: nothing written
        QCOMPARE(prompter.shown[0].text, QStringLiteral("File already exists!\n\nDo you want to overwrite it?"));
        QCOMPARE(prompter.shown[0].icon, messages::Icon::Warning);
        QCOMPARE(imaging::loadPicture(clips + "logo.bmp").picture.width(), 8);

        prompter.answers.enqueue(Answer::Yes);
        result = editing::savePicture(picture(16, 16), {"logo.bmp", "[CLIP]", -1}, target(), list, prompter);
        QVERIFY(result.close);
        QCOMPARE(imaging::loadPicture(clips + "logo.bmp").picture.width(), 16);
    }

    // A 300-column banner in the 24-LED edition is cut to its 128 columns, never wrapped.
    void wideBannerIsCut()
    {
        edition = store::deriveEdition(QStringLiteral("Lumiwand24"));
        store::ProjectList list(projects);
        ScriptedPrompter prompter;
        const imaging::LitGrid wide = picture(300, 24);
        QVERIFY(editing::savePicture(wide, {"wide", "[CLIP]", -1}, target(), list, prompter).close);
        const imaging::LitGrid saved =
            imaging::LitGrid::fromImage(imaging::loadPicture(clips + "wide.bmp").picture.image(), imaging::LitRule::LitBelow);
        QCOMPARE(saved, wide.leftColumns(128));
    }

    void addToProject_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("memberships");
        QTest::newRow("same height") << "Show" << QStringList{"Banner saved successfully!"} << 1 << "0,,,";
        QTest::newRow("another height: saved, reported, no library")
            << "Small"
            << QStringList{"Failed to add into project! \n\nMaybe Dimension isn't match. \n\nPlease try again!"} << 0
            << "";
    }
    void addToProject()
    {
        QFETCH(QString, project);
        store::ProjectList list(projects);
        list.listProjects();
        QVERIFY(list.selectProjectByName(project));
        ScriptedPrompter prompter;
        const auto result = editing::savePicture(picture(16, 16), {"logo", "Animals", list.currentIndex()}, target(),
                                                 list, prompter);
        QVERIFY(result.close);
        QVERIFY(QFile::exists(clips + "logo.bmp"));
        QTEST(prompter.texts(), "messages");
        QTEST(store::Project(projects + project + ".ini").totalPictures(), "entries");
        QTEST(store::LibraryCatalogue(clips).membershipText("logo.bmp"), "memberships");
    }

    void saveNameFromTheEditorFile()
    {
        QCOMPARE(editing::suggestedSaveName("/home/u/Pictures/cat.jpg"), QStringLiteral("cat.bmp"));
        QCOMPARE(editing::suggestedSaveName(""), QString());
    }

    void importAsksToSaveATouchedCanvas()
    {
        editing::Canvas canvas;
        canvas.SetGeometry(16, 16);
        canvas.Reset(96, 16); // its render touches it, as the page's does
        ScriptedPrompter prompter;
        ScriptedDialogs dialogs;
        editing::EditorCommands commands(canvas, prompter, dialogs, edition, dir.path() + "/root/", clips);
        prompter.answers.enqueue(Answer::Yes);
        prompter.files.enqueue(dir.path() + "/photos/cat.jpg");
        commands.importPicture();
        QCOMPARE(prompter.texts().mid(0, 3), (QStringList{"Current Banner is not saved, do you want to save?",
                                                          "Keep on importing Banner!",
                                                          "The canvas support only black & white colors. \n\n Color "
                                                          "Banner will be resampled to black & white picture."}));
        QCOMPARE(prompter.shown[3].kind, QStringLiteral("open"));
        QCOMPARE(prompter.shown[3].text, dir.path() + "/root/");
        QCOMPARE(dialogs.calls, (QStringList{"save", "import cat.jpg"}));
        QCOMPARE(commands.currentFile(), dir.path() + "/photos/cat.jpg");

        // The next file dialog starts in the folder of the last file; a cancelled one imports nothing.
        commands.importPicture();
        QCOMPARE(prompter.shown.last().text, dir.path() + "/photos");
        QCOMPARE(dialogs.calls.size(), 2);
    }

    void flashingSpeedNeedsAFileInTheClipsFolder()
    {
        editing::Canvas canvas;
        ScriptedPrompter prompter;
        ScriptedDialogs dialogs;
        dialogs.speed = 0x0402;
        editing::EditorCommands commands(canvas, prompter, dialogs, edition, dir.path(), clips);
        commands.setCurrentFile(dir.path() + "/photos/cat.jpg");
        commands.setFlashingSpeed();
        QCOMPARE(prompter.texts(), QStringList{"Please save Banner file before setting speed!"});
        QVERIFY(dialogs.calls.isEmpty());

        QVERIFY(imaging::savePicture(picture(16, 16), clips, "cat.bmp", imaging::ExistingFile::Refuse).ok());
        commands.setCurrentFile(clips + "cat.bmp");
        commands.setFlashingSpeed();
        QCOMPARE(dialogs.calls, QStringList{"speed"});
        QCOMPARE(deviceimage::TimingRecords(clips, edition).lookupSpeed("cat.bmp"), 0x0402);
    }

    void managerChoosesOnlyFilesOfALibrary()
    {
        QVERIFY(imaging::savePicture(picture(300, 16), clips, "wide.bmp", imaging::ExistingFile::Refuse).ok());
        const store::LibraryNode root{"[CLIP]", 0, store::LibraryNodeKind::Root, -1, {}};
        const store::LibraryNode library{"Animals", 1, store::LibraryNodeKind::Library, 0, {}};
        const store::LibraryNode file{"wide.bmp", 4, store::LibraryNodeKind::File, -1, {}};
        QCOMPARE(editing::chosenPicturePath(clips, file, &root), QString());
        QCOMPARE(editing::chosenPicturePath(clips, library, nullptr), QString());
        QCOMPARE(editing::chosenPicturePath(clips, file, &library), clips + "wide.bmp");

        const editing::ManagerPreview preview = editing::managerPreview(clips + "wide.bmp");
        QCOMPARE(preview.dimension, QStringLiteral("Dimension: 300 x 16 "));
        QCOMPARE(preview.image.width(), 240);
        QVERIFY(preview.image.height() == 12 || preview.image.height() == 13);

        ScriptedPrompter prompter;
        QVERIFY(!editing::acceptChosenPicture(QString(), prompter));
        QCOMPARE(prompter.texts(),
                 QStringList{"Fail to open file to edit! \n\nPlease select a file and try again!"});
        QVERIFY(editing::acceptChosenPicture(clips + "wide.bmp", prompter));
    }
};

QTEST_GUILESS_MAIN(TestEditorFiles)
#include "tst_EditorFiles.moc"
