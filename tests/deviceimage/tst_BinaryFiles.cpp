#include "deviceimage/BinaryFiles.h"
#include "deviceimage/ImageCompiler.h"
#include "messages/MessageCatalogue.h"
#include "store/ProjectList.h"
#include "tests/deviceimage/ImageFixture.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QTest>

using deviceimage::BinaryCommandHooks;
using messages::Answer;
using messages::Icon;
using messages::lookupMessage;

namespace {

// Also keeps the name each save dialog proposed.
struct Prompter : ScriptedPrompter {
    QStringList proposed;
    QString chooseSaveFile(const QString& title, const QString& folder, const QString& suggestedName,
                           const QStringList& filters) override
    {
        proposed << suggestedName;
        return ScriptedPrompter::chooseSaveFile(title, folder, suggestedName, filters);
    }
    // The texts of the message and input boxes shown, without the file dialogs.
    QStringList boxes() const
    {
        QStringList texts;
        for (const Shown& box : shown)
            if (box.kind == "box" || box.kind == "input")
                texts << box.text;
        return texts;
    }
};

struct Chooser : deviceimage::DeviceTypeChooser {
    std::optional<int> option;
    std::optional<int> chooseDeviceTypeOption() override { return option; }
};

QString text(unsigned id)
{
    return lookupMessage(id);
}

} // namespace

class tst_BinaryFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<ImageFixture> f;
    std::unique_ptr<store::ProjectList> projects;
    Prompter prompter;

    QByteArray built(const QString& project, int type)
    {
        store::Project p(f->projectPath(project));
        return deviceimage::compileImage(deviceimage::CompileMode::Build, type, &p, f->context).image;
    }
    void select(const QString& project)
    {
        projects->listProjects();
        QVERIFY(projects->selectProjectByName(project));
    }

private slots:
    void init()
    {
        f = std::make_unique<ImageFixture>(16);
        f->picture("dot.bmp", 1, 16, {{0, 0}});
        f->picture("marks.bmp", 4, 16, {{0, 0}, {3, 15}});
        f->project("Demo", 16, 16, {"dot.bmp", "marks.bmp i", "dot.bmp t2"}, {"MOVIE_INTERVAL=80"});
        projects = std::make_unique<store::ProjectList>(f->projects());
        prompter = Prompter();
    }

    void exportWritesTheImage_data();
    void exportWritesTheImage();
    void exportRefusals();
    void exportInFactoryMode();
    void emailProject();
    void openChecks_data();
    void openChecks();
    void openIntoNewAndExistingProjects();
};

void tst_BinaryFiles::exportWritesTheImage_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("type"); // the filter chosen in the dialog
    QTest::addColumn<QString>("written");
    QTest::newRow("Lumiwand type") << "Demo.lwd" << 1 << "Demo.lwd";
    QTest::newRow("no extension: BIN") << "Demo" << 0 << "Demo.bin";
    QTest::newRow("cut at the first dot") << "Demo.v2.lwd" << 1 << "Demo.lwd";
    QTest::newRow("BIN in capitals") << "Other.BIN" << 0 << "Other.bin";
    QTest::newRow("the chosen type, not the typed extension") << "Demo.bin" << 1 << "Demo.lwd";
}

void tst_BinaryFiles::exportWritesTheImage()
{
    QFETCH(QString, chosen);
    QFETCH(int, type);
    QFETCH(QString, written);
    select("Demo");
    prompter.answers << Answer::Ok;
    prompter.files << f->context.workspace.exportFolder + chosen;
    prompter.fileTypes << type;

    QVERIFY(deviceimage::exportBinary(*projects, f->context, prompter));
    QCOMPARE(prompter.proposed, QStringList{"Demo"});
    QCOMPARE(prompter.boxes(), QStringList({text(678), text(681)}));
    QCOMPARE(prompter.shown[0].title, text(677));
    QCOMPARE(prompter.shown.last().icon, Icon::None);
    const QByteArray file = fileContents(f->context.workspace.exportFolder + written);
    QCOMPARE(hexOf(file), hexOf(built("Demo", 3)));
    store::Project demo(f->projectPath("Demo"));
    QCOMPARE(file.size(), deviceimage::compileImage(deviceimage::CompileMode::Count, 3, &demo, f->context).total);
}

void tst_BinaryFiles::exportRefusals()
{
    const QString target = f->context.workspace.exportFolder + "Demo.lwd";
    select("Demo");

    // Cancel at the question, cancel at the file dialog.
    QVERIFY(!deviceimage::exportBinary(*projects, f->context, prompter));
    prompter.answers << Answer::Ok;
    QVERIFY(!deviceimage::exportBinary(*projects, f->context, prompter));
    QCOMPARE(prompter.boxes(), QStringList({text(678), text(680), text(678), text(680)}));
    QCOMPARE(prompter.shown[1].icon, Icon::Stop);

    // An existing file is replaced only after OK at 679, which names the full path.
    writeFile(target, "old");
    prompter = Prompter();
    prompter.answers << Answer::Ok << Answer::Cancel;
    prompter.files << target;
    QVERIFY(!deviceimage::exportBinary(*projects, f->context, prompter));
    QCOMPARE(prompter.boxes(), QStringList({text(678), messages::formatMessage(679, target.toUtf8().constData()),
                                            text(680)}));
    QCOMPARE(fileContents(target), QByteArray("old"));
    prompter = Prompter();
    prompter.answers << Answer::Ok << Answer::Ok;
    prompter.files << target;
    QVERIFY(deviceimage::exportBinary(*projects, f->context, prompter));
    QCOMPARE(fileContents(target), built("Demo", 3));

    // 679 names the path that would be replaced, not the one typed.
    prompter = Prompter();
    prompter.answers << Answer::Ok << Answer::Cancel;
    prompter.files << f->context.workspace.exportFolder + "Demo.v2.lwd";
    prompter.fileTypes << 1;
    writeFile(target, "old");
    QVERIFY(!deviceimage::exportBinary(*projects, f->context, prompter));
    QCOMPARE(prompter.boxes(), QStringList({text(678), messages::formatMessage(679, target.toUtf8().constData()),
                                            text(680)}));
    QCOMPARE(fileContents(target), QByteArray("old"));

    // A picture that cannot be decoded is not left out: nothing is exported, and the message names it.
    writeFile(f->clips() + "bad.bmp", "BM not a picture");
    f->project("Bad", 16, 16, {"dot.bmp", "bad.bmp", "dot.bmp"});
    select("Bad");
    prompter = Prompter();
    prompter.answers << Answer::Ok;
    prompter.files << f->context.workspace.exportFolder + "Bad.bin";
    QVERIFY(!deviceimage::exportBinary(*projects, f->context, prompter));
    QCOMPARE(prompter.boxes().size(), 2);
    QVERIFY2(prompter.boxes()[1].contains("bad.bmp"), qPrintable(prompter.boxes()[1]));
    QVERIFY(!QFile::exists(f->context.workspace.exportFolder + "Bad.bin"));

    // Nothing to export.
    f->project("Empty", 16, 16, {"missing.bmp"});
    select("Empty");
    prompter = Prompter();
    prompter.answers << Answer::Ok;
    prompter.files << f->context.workspace.exportFolder + "Empty.bin";
    QVERIFY(!deviceimage::exportBinary(*projects, f->context, prompter));
    QCOMPARE(prompter.boxes(), QStringList({text(678), text(680)}));
    QVERIFY(!QFile::exists(f->context.workspace.exportFolder + "Empty.bin"));

    // A movie group of one picture is pointed out first.
    f->project("Lonely", 16, 16, {"dot.bmp g3", "dot.bmp"});
    select("Lonely");
    prompter = Prompter();
    QVERIFY(!deviceimage::exportBinary(*projects, f->context, prompter));
    QCOMPARE(prompter.boxes().first(), "Group 3 \n" + text(730));
}

void tst_BinaryFiles::exportInFactoryMode()
{
    f->context.edition.factoryMode = true;
    select("Demo");
    Chooser chooser;
    BinaryCommandHooks hooks;
    hooks.deviceTypeChooser = &chooser;

    // Cancelled type dialog: nothing happens.
    QVERIFY(!deviceimage::exportBinary(*projects, f->context, prompter, hooks));
    QVERIFY(prompter.shown.isEmpty());

    chooser.option = 3; // ROLL
    prompter.answers << Answer::Ok;
    prompter.files << f->context.workspace.exportFolder + "Roll.bin";
    QVERIFY(deviceimage::exportBinary(*projects, f->context, prompter, hooks));
    const QByteArray image = fileContents(f->context.workspace.exportFolder + "Roll.bin");
    QCOMPARE(hexOf(image), hexOf(built("Demo", 4)));
    QCOMPARE(quint8(image[1]), quint8(0x90));
    QCOMPARE(prompter.boxes().last(),
             text(681) + QString::asprintf("\n\nCHECK SUM: %4X\n\n", unsigned(deviceimage::imageChecksum(image))));
    QCOMPARE(deviceimage::deviceTypeOfOption(1, 16), 1);
    QCOMPARE(deviceimage::deviceTypeOfOption(2, 32), 6);
    QCOMPARE(deviceimage::deviceTypeOfOption(2, 48), 7);
    QCOMPARE(deviceimage::deviceTypeOfOption(2, 24), 3);
}

void tst_BinaryFiles::emailProject()
{
    select("Demo");
    QStringList mailed;
    QString tempFolder;
    BinaryCommandHooks hooks;
    QList<bool> cursor;
    hooks.setWaitCursor = [&](bool waiting) { cursor << waiting; };
    mail::HandOver handOver = mail::HandOver::Started;
    hooks.sendMail = [&](const QString& temp, const QStringList& files, const QString& subject,
                         const QString& body) {
        tempFolder = temp;
        mailed = files;
        mailed << subject << body;
        return handOver;
    };

    const QString path = f->context.workspace.exportFolder + "Demo_mail.lwd";
    QVERIFY(deviceimage::emailProject(*projects, f->context, prompter, hooks));
    QCOMPARE(mailed, QStringList({path, "email Lumiwand project Demo for my dear friends!", " "}));
    QCOMPARE(tempFolder, f->context.workspace.tempFolder);
    QCOMPARE(fileContents(path), built("Demo", 3));
    QCOMPARE(prompter.boxes(), QStringList{text(695)});
    QCOMPARE(prompter.shown[0].title, text(694));
    QCOMPARE(cursor, QList<bool>({true, false}));

    // A sender that cannot be started is a failure, not a success.
    handOver = mail::HandOver::NotStarted;
    prompter = Prompter();
    QVERIFY(!deviceimage::emailProject(*projects, f->context, prompter, hooks));
    QCOMPARE(prompter.boxes(), QStringList{text(680)});
    QCOMPARE(prompter.shown[0].title, text(694));

    // No mail program took the message: not "successful!", but where the file is.
    handOver = mail::HandOver::NoMailProgram;
    prompter = Prompter();
    QVERIFY(!deviceimage::emailProject(*projects, f->context, prompter, hooks));
    QCOMPARE(prompter.boxes(), QStringList{mail::noMailProgramText(path)});
    QCOMPARE(prompter.shown[0].title, text(694));
    QCOMPARE(prompter.shown[0].icon, messages::Icon::Stop);

    // Nothing to build: the normal cursor is back before 680 is shown.
    f->project("Gone", 16, 16, {"missing.bmp"});
    select("Gone");
    prompter = Prompter();
    cursor.clear();
    qsizetype boxesAtReset = -1;
    hooks.setWaitCursor = [&](bool waiting) {
        cursor << waiting;
        if (!waiting)
            boxesAtReset = prompter.shown.size();
    };
    QVERIFY(!deviceimage::emailProject(*projects, f->context, prompter, hooks));
    QCOMPARE(prompter.boxes(), QStringList{text(680)});
    QCOMPARE(prompter.shown[0].icon, Icon::Stop);
    QCOMPARE(cursor, QList<bool>({true, false}));
    QCOMPARE(boxesAtReset, 0);
}

void tst_BinaryFiles::openChecks_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<unsigned>("message");

    QTest::newRow("no such file") << "-" << 689u;
    QTest::newRow("TotalBytes 52 in a 50-byte file")
        << "01 10 34 00 12 00 10 00 02 08 14 00 E0 01 04 00 E0 01 " + QString("FF ").repeated(32).trimmed() << 690u;
    QTest::newRow("shorter than TotalBytes itself") << "01 10" << 690u;
    QTest::newRow("no pictures") << "00 10 0A 00 0A 00 04 00 A0 00" << 691u;
    QTest::newRow("height flag set") << "01 90 14 00 12 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00" << 692u;
    QTest::newRow("height 11") << "01 0B 14 00 12 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00" << 692u;
    QTest::newRow("TotalBytes 0xFFFF") << "FFFF" << 693u;
    QTest::newRow("PatternStart beyond the link list")
        << "01 10 14 00 14 00 01 00 02 08 14 00 A0 00 04 00 A0 00 80 00" << 690u;
    QTest::newRow("a width past the end") << "01 10 14 00 12 00 09 00 02 08 14 00 A0 00 04 00 A0 00 80 00" << 690u;
    QTest::newRow("wider than a banner")
        << "01 10 D4 00 12 00 61 00 02 08 14 00 A0 00 04 00 A0 00 " + QString("00 ").repeated(194).trimmed()
        << 692u;
}

void tst_BinaryFiles::openChecks()
{
    QFETCH(QString, hex);
    QFETCH(unsigned, message);
    const QString path = f->context.workspace.exportFolder + "Show.lwd";
    if (hex == "FFFF") {
        QByteArray image(65535, '\0');
        image[0] = 1;
        image[1] = 16;
        deviceimage::writeWord(image, 2, 0xFFFF);
        writeFile(path, image);
    } else if (hex != "-") {
        writeFile(path, bytesOf(hex));
    }
    prompter.files << path;
    QCOMPARE(deviceimage::openBinary(*projects, f->context, prompter), QString());
    QCOMPARE(prompter.boxes(), QStringList{text(message)});
    QCOMPARE(prompter.shown.last().title, text(685));
    QCOMPARE(prompter.shown.last().icon, Icon::Stop);
    QVERIFY(!QFile::exists(f->projectPath("Show")));
}

void tst_BinaryFiles::openIntoNewAndExistingProjects()
{
    const QString file = f->context.workspace.exportFolder + "Show.v1.lwd";
    writeFile(file, built("Demo", 3));

    // A new project "Show", selected afterwards.
    prompter.files << file;
    QCOMPARE(deviceimage::openBinary(*projects, f->context, prompter), "Show");
    QCOMPARE(prompter.boxes(), QStringList{messages::formatMessage(688, "Show")});
    QCOMPARE(prompter.shown.last().icon, Icon::Information);
    QCOMPARE(projects->currentDisplayName(), "Show (16 x 16)");
    store::Project show(f->projectPath("Show"));
    QCOMPARE(show.totalPictures(), 3);
    QCOMPARE(show.movieInterval(), 80);

    // Yes: the pictures are added to the existing project, whose movie interval and ticker speed follow the file.
    show.setMovieInterval(40);
    show.setTickerSpeed(9);
    prompter = Prompter();
    prompter.files << file;
    prompter.answers << Answer::Yes;
    QCOMPARE(deviceimage::openBinary(*projects, f->context, prompter), "Show");
    QCOMPARE(prompter.boxes().first(), messages::formatMessage(686, "Show"));
    QCOMPARE(show.totalPictures(), 6);
    QCOMPARE(show.movieInterval(), 80);
    QCOMPARE(show.tickerSpeed(), 4);

    // No, then an empty name or the same name: nothing is imported.
    for (const QString& answer : {QString(), QString("Show")}) {
        prompter = Prompter();
        prompter.files << file;
        prompter.inputs << answer;
        QCOMPARE(deviceimage::openBinary(*projects, f->context, prompter), QString());
        QCOMPARE(prompter.boxes(), QStringList({messages::formatMessage(686, "Show"), text(687)}));
    }
    QCOMPARE(show.totalPictures(), 6);

    // No, then a name that is taken too (No again), then a free one.
    f->project("Third", 16, 16, {});
    prompter = Prompter();
    prompter.files << file;
    prompter.inputs << QString("Third") << QString("Fourth");
    QCOMPARE(deviceimage::openBinary(*projects, f->context, prompter), "Fourth");
    QCOMPARE(prompter.boxes(), QStringList({messages::formatMessage(686, "Show"), text(687),
                                            messages::formatMessage(686, "Third"), text(687),
                                            messages::formatMessage(688, "Fourth")}));
    QCOMPARE(projects->currentDisplayName(), "Fourth (16 x 16)");
    QCOMPARE(store::Project(f->projectPath("Third")).totalPictures(), 0);

    // A file without a name before its extension.
    prompter = Prompter();
    prompter.files << f->context.workspace.exportFolder + ".lwd";
    QCOMPARE(deviceimage::openBinary(*projects, f->context, prompter), QString());
    QCOMPARE(prompter.boxes(), QStringList{text(684)});
}

QTEST_GUILESS_MAIN(tst_BinaryFiles)
#include "tst_BinaryFiles.moc"
