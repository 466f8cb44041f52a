#include "deviceimage/TimingRecords.h"
#include "editing/PaintHold.h"
#include "editing/PaintSave.h"
#include "imaging/PictureFile.h"
#include "imaging/VirtualCanvas.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/Project.h"
#include "tests/support/ScriptedPrompter.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace editing;

namespace {

// The express window as the painter sees it: one project, a free-bytes figure the test sets.
struct FakeExpressWindow : ExpressProjectLink {
    std::unique_ptr<store::Project> project;
    int free = 100;
    int refreshes = 0;
    store::Project* expressProject() override { return project.get(); }
    void refreshList() override { ++refreshes; }
    int freeBytes() override { return free; }
};

store::EditionParameters edition16()
{
    store::EditionParameters edition;
    edition.ledCount = 16;
    edition.pictureWidth = 16;
    edition.maxBannerWidth = 96;
    edition.defaultSpeed = 2050;
    return edition;
}

class Fixture {
public:
    Fixture()
    {
        clips = dir.filePath(QStringLiteral("clips/"));
        QDir().mkpath(clips);
        const QString path = dir.filePath(QStringLiteral("QuickStart.ini"));
        store::createProject(path, 16, 16);
        window.project = std::make_unique<store::Project>(path);
    }
    void addBanner(const QString& name)
    {
        imaging::LitGrid grid(16, 16);
        grid.setLit(3, 3);
        QVERIFY(imaging::savePicture(grid, clips, name, imaging::ExistingFile::Replace).ok());
        QCOMPARE(store::appendEntry(*window.project, clips, name, 0, -1, -1, false), store::AppendStatus::Ok);
    }
    PaintSaveRequest request(bool modify = false, const QString& name = QString())
    {
        imaging::LitGrid picture(96, 16);
        for (int col = 10; col < 20; ++col)
            picture.setLit(col, 8);
        return {picture, modify, name, clips, edition16()};
    }
    QStringList entries() const
    {
        QStringList names;
        for (int entry = 0; entry < window.project->totalPictures(); ++entry)
            names << window.project->pictureName(entry);
        return names;
    }

    QTemporaryDir dir;
    QString clips;
    FakeExpressWindow window;
    ScriptedPrompter prompter;
};

} // namespace

class tst_PaintSave : public QObject {
    Q_OBJECT

private slots:
    void newNames_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << "EasyPaint" << QStringList{} << "EasyPaint0000.bmp";
        QTest::newRow("next free") << "EasyPaint" << QStringList{"EasyPaint0000.bmp", "EasyPaint0001.bmp"}
                                   << "EasyPaint0002.bmp";
        QTest::newRow("modified banner") << "stars" << QStringList{"stars.bmp"} << "stars0000.bmp";
    }
    void newNames()
    {
        QFETCH(QString, base);
        QFETCH(QStringList, taken);
        QTEST(newBannerName(base, [&](const QString& name) { return taken.contains(name, Qt::CaseInsensitive); }),
              "expected");
        QCOMPARE(newBannerBase(true, QStringLiteral("stars.v2.bmp")), QStringLiteral("stars"));
        QCOMPARE(newBannerBase(false, QStringLiteral("stars.bmp")), QStringLiteral("EasyPaint"));
    }

    // A new banner takes the first name the project does not list (case-insensitively) and no file in the clips
    // folder holds; it is appended, gets its shift record, and the user is told.
    void savesNewBanner()
    {
        Fixture f;
        f.addBanner(QStringLiteral("easypaint0000.bmp"));
        QVERIFY(imaging::savePicture(imaging::LitGrid(16, 16), f.clips, QStringLiteral("EasyPaint0001.bmp"),
                                     imaging::ExistingFile::Refuse).ok()); // another project's picture
        const PaintSaveResult result = savePaintedBanner(f.request(), f.window, f.prompter);
        QVERIFY(result.saved);
        QVERIFY(result.savedAsNew);
        QCOMPARE(result.bannerName, QStringLiteral("EasyPaint0002.bmp"));
        QCOMPARE(f.entries(), (QStringList{"easypaint0000.bmp", "EasyPaint0002.bmp"}));
        QCOMPARE(imaging::readPictureInfo(f.clips + result.bannerName).size, QSize(96, 16));
        QCOMPARE(f.prompter.texts(), QStringList{messages::lookupMessage(msg::BannerSaved)});
        deviceimage::TimingRecords records(f.clips, edition16());
        QVERIFY(records.lookupShift(result.bannerName) != deviceimage::kNoShift);
    }

    void modifyAsksReplaceOrNew_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("Yes replaces") << int(messages::Answer::Yes) << "stars.bmp" << QStringList{"stars.bmp"};
        QTest::newRow("No saves as new")
            << int(messages::Answer::No) << "stars0000.bmp" << QStringList{"stars.bmp", "stars0000.bmp"};
    }
    void modifyAsksReplaceOrNew()
    {
        QFETCH(int, answer);
        Fixture f;
        f.addBanner(QStringLiteral("stars.bmp"));
        f.prompter.answers << messages::Answer(answer);
        const PaintSaveResult result = savePaintedBanner(f.request(true, QStringLiteral("stars.bmp")), f.window,
                                                         f.prompter);
        QVERIFY(result.saved);
        QTEST(result.bannerName, "expected");
        QTEST(f.entries(), "entries");
        QCOMPARE(f.prompter.shown.first().text, messages::lookupMessage(msg::ReplaceOrNew));
        QCOMPARE(imaging::readPictureInfo(f.clips + result.bannerName).size, QSize(96, 16));
    }

    // A project that no longer fits the stick: message 499 with 2048 bytes for 16 LEDs, the new banner leaves the
    // project again and its file stays.
    void memoryCheckTakesTheBannerOutAgain()
    {
        Fixture f;
        f.addBanner(QStringLiteral("a.bmp"));
        f.window.free = -5;
        const PaintSaveResult result = savePaintedBanner(f.request(), f.window, f.prompter);
        QVERIFY(!result.saved);
        QCOMPARE(f.entries(), QStringList{"a.bmp"});
        QVERIFY(QFileInfo::exists(f.clips + QStringLiteral("EasyPaint0000.bmp")));
        QCOMPARE(f.prompter.shown.size(), 1);
        QVERIFY(f.prompter.shown.first().text.contains(QStringLiteral("(2048 bytes)")));
        QCOMPARE(f.prompter.shown.first().title, messages::lookupMessage(msg::SaveAsNewTitle));
    }

    // A file that cannot be written is reported; the window stays open with the painting.
    void unwritableClipsFolderKeepsThePainting()
    {
        Fixture f;
        QFile::setPermissions(f.clips, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const PaintSaveResult result = savePaintedBanner(f.request(), f.window, f.prompter);
        QFile::setPermissions(f.clips, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (QFileInfo::exists(f.clips + QStringLiteral("EasyPaint0000.bmp")))
            QSKIP("the clips folder stays writable for this user (root)");
        QVERIFY(!result.saved);
        QVERIFY(!result.closeWindow);
        QCOMPARE(f.entries(), QStringList{});
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown.first().icon, messages::Icon::Stop);
    }

    // A short click toggles a cell; a held button lights the cells it passes and leaves them lit.
    void holdPaintsClickToggles()
    {
        imaging::VirtualCanvas canvas;
        canvas.SetGeometry(16, 16);
        canvas.Reset(96, 16);
        PaintHold hold(canvas);
        const int cell = canvas.cellSize();

        hold.press();
        QVERIFY(hold.click(cell * 2, cell * 3));
        hold.release();
        QCOMPARE(canvas.cell(2, 3), 1);
        hold.press();
        hold.click(cell * 2, cell * 3);
        hold.release();
        QCOMPARE(canvas.cell(2, 3), 0);

        hold.press();
        QCOMPARE(hold.interval(), PaintHold::kHoldDelay);
        QVERIFY(!hold.tick(cell * 5, 0)); // 500 ms: paint mode, nothing lit yet
        QCOMPARE(hold.interval(), PaintHold::kPaintInterval);
        for (int i = 0; i < 5; ++i)
            QVERIFY(hold.tick(cell * 5, 0));
        QVERIFY(hold.tick(cell * 6, 0));
        hold.click(cell * 6, 0);
        hold.release();
        QCOMPARE(canvas.cell(5, 0), 1);
        QCOMPARE(canvas.cell(6, 0), 1);
        QVERIFY(!canvas.paintMode());
        QCOMPARE(hold.interval(), PaintHold::kHoldDelay);
    }
};

QTEST_MAIN(tst_PaintSave)
#include "tst_PaintSave.moc"
