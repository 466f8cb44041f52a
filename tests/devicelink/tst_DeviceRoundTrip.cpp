// The transfers with the real image compiler and importer: a project goes to the simulated stick, comes back as a
// new project that compiles to the same bytes, verifies, and keeps the stick's indelible pictures.
#include "deviceimage/ImageCompiler.h"
#include "devicelink/DeviceTransfers.h"
#include "devicelink/ProjectImageHooks.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "tests/deviceimage/ImageFixture.h"
#include "tests/devicelink/FakeEventPump.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include "messages/MessageCatalogue.h"

#include <QTest>

using namespace devicelink;

namespace {

// A 32-LED workspace with a project "Show": a picture, a banner, a two-picture movie group, a ticker and an
// indelible picture.
struct RoundTrip {
    ImageFixture fixture{32};
    FakeEventPump pump;
    SimulatedHidPlatform platform{pump, [] {
        SimulatedDeviceConfig config;
        config.identity = u'K';
        return config;
    }()};
    Transport transport{platform, pump};
    ScriptedPrompter prompter;
    TransferView view;
    std::unique_ptr<store::Project> current;
    std::unique_ptr<DeviceTransfers> transfers;

    RoundTrip()
    {
        fixture.filledPicture("full.bmp", 32, 32);
        fixture.picture("marks.bmp", 6, 32, {{0, 0}, {1, 9}, {5, 31}, {3, 17}});
        fixture.picture("banner.bmp", 70, 32, {{2, 3}, {40, 30}, {69, 16}});
        fixture.picture("dot.bmp", 1, 32, {{0, 12}});
        fixture.picture("keep.bmp", 5, 32, {{1, 1}, {2, 2}, {3, 3}});
        fixture.project("Show", 32, 32, {"full.bmp", "marks.bmp g2", "dot.bmp g2", "banner.bmp t1", "keep.bmp i"},
                        {"MOVIE_INTERVAL=80", "TICKER_SPEED=6", "MVG_SPEED2=40"});
        fixture.records({"full.bmp;770", "marks.bmp;2050"}, {"full.bmp;4", "marks.bmp;9"});
        open("Show");
        TransferSettings settings;
        settings.ledCount = 32;
        settings.projectsFolder = fixture.projects();
        transfers = std::make_unique<DeviceTransfers>(
            transport, prompter, view,
            imageProjectHooks(fixture.context, [this] { return current.get(); }, prompter), settings);
        transport.discoverDevices();
    }

    void open(const QString& name) { current = std::make_unique<store::Project>(fixture.projectPath(name)); }

    QByteArray image(const QString& name)
    {
        store::Project project(fixture.projectPath(name));
        return deviceimage::compileImage(deviceimage::CompileMode::Build, 6, &project, fixture.context).image;
    }

    // The catalogue ids of the boxes shown, recognised by their text up to the first conversion.
    QList<unsigned> boxes() const
    {
        QList<unsigned> ids;
        for (const ScriptedPrompter::Shown& shown : prompter.shown) {
            if (shown.kind != QLatin1String("box"))
                continue;
            unsigned found = 0;
            for (unsigned id : {498u, 501u, 506u, 508u, 509u, 510u, 690u})
                if (shown.text.startsWith(messages::lookupMessage(id).section(u'%', 0, 0)))
                    found = id;
            ids << found;
        }
        return ids;
    }
};

} // namespace

class tst_DeviceRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void downloadReadBackVerify()
    {
        RoundTrip t;
        const QByteArray show = t.image("Show");
        QVERIFY(show.size() > 300);

        QVERIFY(t.transfers->download());
        QCOMPARE(t.platform.device().memory().left(show.size()), show);
        // The stick held nothing before: its erased memory holds nothing to keep, which is no error.
        QCOMPARE(t.boxes(), (QList<unsigned>{501}));

        t.prompter.inputs << QStringLiteral("Copy");
        QVERIFY(t.transfers->readData());
        QVERIFY(QFile::exists(t.fixture.projectPath("Copy")));
        QCOMPARE(t.image("Copy"), show);

        QVERIFY(t.transfers->verify());
        QCOMPARE(t.boxes().last(), 508u);

        // A changed project no longer matches the stick.
        t.current->setTicker(0, 2);
        QVERIFY(!t.transfers->verify());
        QCOMPARE(t.boxes().last(), 509u);
    }

    void indeliblePicturesSurviveADownload()
    {
        RoundTrip t;
        QVERIFY(t.transfers->download());
        // Another project, without the stick's indelible picture, goes to the stick next.
        t.fixture.project("Other", 32, 32, {"marks.bmp"});
        t.open("Other");
        QCOMPARE(t.current->totalPictures(), 1);

        QVERIFY(t.transfers->download());
        QCOMPARE(t.current->totalPictures(), 2);
        QVERIFY(t.current->indelible(1));
        const QByteArray other = t.image("Other");
        QCOMPARE(t.platform.device().memory().left(other.size()), other);
        QCOMPARE(t.boxes().last(), 501u);

        // Once held, the picture is not added again.
        QVERIFY(t.transfers->download());
        QCOMPARE(t.current->totalPictures(), 2);
    }

    // A picture that cannot be decoded stops the download before anything is written: the stick keeps what it held,
    // the write transfer is closed, and the message names the picture.
    void undecodablePictureStopsTheDownload()
    {
        RoundTrip t;
        QVERIFY(t.transfers->download());
        const QByteArray held = t.platform.device().memory();
        writeFile(t.fixture.clips() + "bad.bmp", "BM not a picture");
        t.fixture.project("Bad", 32, 32, {"full.bmp", "bad.bmp"});
        t.open("Bad");

        QVERIFY(!t.transfers->download());
        QCOMPARE(t.platform.device().memory(), held);
        QCOMPARE(t.platform.device().state(), SimulatedDevice::State::Idle);
        const ScriptedPrompter::Shown& told = t.prompter.shown.last();
        QCOMPARE(told.title, messages::lookupMessage(496));
        QVERIFY2(told.text.contains("bad.bmp"), qPrintable(told.text));
    }

    void aRefusedImageIsNoSuccess()
    {
        // A stick whose header is sound but whose pictures do not add up: the read reports the import's refusal,
        // not "Read Data OK".
        RoundTrip t;
        QByteArray broken = t.image("Show");
        broken[6] = static_cast<char>(broken[6] + 1); // the first picture one column wider than its data
        t.platform.device().memory().replace(0, broken.size(), broken);
        t.prompter.inputs << QStringLiteral("Broken");
        QVERIFY(!t.transfers->readData());
        QCOMPARE(t.boxes(), QList<unsigned>{690});
        QVERIFY(!QFile::exists(t.fixture.projectPath("Broken")));
    }
};

QTEST_GUILESS_MAIN(tst_DeviceRoundTrip)
#include "tst_DeviceRoundTrip.moc"
