#include "deviceimage/TimingRecords.h"
#include "imaging/PictureFile.h"
#include "store/Edition.h"
#include "store/LibraryCatalogue.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <climits>

using deviceimage::TimingRecords;
using imaging::LitGrid;

namespace {

constexpr int kDefault = INT_MIN;

store::EditionParameters edition(int ledCount)
{
    return store::deriveEdition(QStringLiteral("/opt/Lumiwand%1").arg(ledCount));
}

// A list written straight into the catalogue: its count and its entries (an empty text leaves the key out).
void writeList(store::IniFile& catalogue, const QString& section, const QString& prefix, const QString& countKey,
               int count, const QStringList& entries)
{
    store::IniFile::WriteBatch batch(catalogue);
    catalogue.writeInteger("SUMMARY", countKey, count);
    for (int i = 0; i < entries.size(); ++i)
        if (!entries[i].isEmpty())
            catalogue.writeString(section, prefix + QString::number(i), entries[i]);
}

void writeSpeeds(store::IniFile& catalogue, const QStringList& entries)
{
    writeList(catalogue, "SPEED", "CLIP_", "TOTAL_CLIPS", int(entries.size()), entries);
}

void writeShifts(store::IniFile& catalogue, const QStringList& entries)
{
    writeList(catalogue, "SHIFT", "SHIFT_VALUE", "TOTAL_SHIFT_CLIPS", int(entries.size()), entries);
}

// The count and then every key of a list, as "count" and "n=value" texts, keys in file order.
QStringList listOf(const store::IniFile& catalogue, const QString& section, const QString& countKey)
{
    QStringList result{catalogue.readString("SUMMARY", countKey, "-")};
    for (const QString& key : catalogue.keys(section))
        result << key + u'=' + catalogue.readString(section, key);
    return result;
}

} // namespace

class tst_TimingRecords : public QObject {
    Q_OBJECT

private slots:
    void init();

    void autoShiftTellingValues_data();
    void autoShiftTellingValues();
    void autoShift48FallsToItsFloor();
    void contentBounds_data();
    void contentBounds();

    void lookupSpeed_data();
    void lookupSpeed();
    void lookupShiftOfStoredValues_data();
    void lookupShiftOfStoredValues();
    void lookupShiftComputesAndStores();
    void lookupShiftOfMissingOrBrokenFile();

    void storeCleansUp_data();
    void storeCleansUp();
    void storeShiftUsesItsOwnList();
    void storeRenumbersALongList();
    void storesOfOneCommandMatchStoresOneByOne_data();
    void storesOfOneCommandMatchStoresOneByOne();

private:
    QString clips() const { return dir_->path() + "/clips/"; }
    void makeFiles(const QStringList& names);

    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_TimingRecords::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(clips()));
}

// "name/" makes a folder, "name -> target" a symbolic link, anything else a picture.
void tst_TimingRecords::makeFiles(const QStringList& names)
{
    for (const QString& name : names) {
        if (name.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(clips() + name));
            continue;
        }
        if (const QStringList link = name.split(QStringLiteral(" -> ")); link.size() == 2) {
            QVERIFY(QFile::link(clips() + link[1], clips() + link[0]));
            continue;
        }
        QFile file(clips() + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(imaging::encodeBmp(LitGrid(16, 16)));
    }
}

void tst_TimingRecords::autoShiftTellingValues_data()
{
    QTest::addColumn<int>("ledCount");
    QTest::addColumn<int>("speedFactor"); // the speed word is this times the default speed
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("shift");

    // 16 LEDs at the default speed: the swing is 96 columns.
    const QList<std::pair<int, int>> sixteen = {{1, 57}, {16, 50}, {35, 42}, {36, 46}, {64, 34}, {96, 20}, {97, 0}};
    for (const auto& [width, shift] : sixteen)
        QTest::addRow("16 LEDs, w %d", width) << 16 << 1 << width << shift;
    QTest::newRow("16 LEDs, w 16, half speed") << 16 << 2 << 16 << 29;
    QTest::newRow("16 LEDs, w 96, half speed") << 16 << 2 << 96 << 0;
    // 11 LEDs: the 16-LED stick's formula with the same banner width, so the same values.
    QTest::newRow("11 LEDs, w 1") << 11 << 1 << 1 << 57;
    QTest::newRow("11 LEDs, w 16, half speed") << 11 << 2 << 16 << 29;
    QTest::newRow("11 LEDs, w 97") << 11 << 1 << 97 << 0;
    // 24 LEDs: the same formula over a 128-column swing; a full-width banner gets the device's own default 20.
    QTest::newRow("24 LEDs, w 1") << 24 << 1 << 1 << 71;
    QTest::newRow("24 LEDs, w 24") << 24 << 1 << 24 << 60;
    QTest::newRow("24 LEDs, w 128") << 24 << 1 << 128 << 20;
    QTest::newRow("24 LEDs, w 129") << 24 << 1 << 129 << 0;
    // 32 LEDs: the table, whatever the speed.
    const QList<std::pair<int, int>> thirtyTwo = {{0, 0},   {1, 96},  {6, 90},   {16, 85},  {32, 79}, {33, 78},
                                                  {61, 73}, {96, 60}, {100, 58}, {128, 44}, {129, 0}};
    for (const auto& [width, shift] : thirtyTwo)
        QTest::addRow("32 LEDs, w %d", width) << 32 << 1 << width << shift;
    QTest::newRow("32 LEDs, w 16, slower") << 32 << 7 << 16 << 85;
    // 48 LEDs: the curve, whatever the speed.
    const QList<std::pair<int, int>> fortyEight = {{1, 88}, {16, 79}, {48, 68}, {96, 54}, {133, 32}, {288, 32}};
    for (const auto& [width, shift] : fortyEight)
        QTest::addRow("48 LEDs, w %d", width) << 48 << 1 << width << shift;
    QTest::newRow("48 LEDs, w 48, slower") << 48 << 9 << 48 << 68;
}

void tst_TimingRecords::autoShiftTellingValues()
{
    QFETCH(int, ledCount);
    QFETCH(int, speedFactor);
    QFETCH(int, width);
    QFETCH(int, shift);
    const store::EditionParameters e = edition(ledCount);
    QCOMPARE(deviceimage::autoShift(e, e.defaultSpeed * speedFactor, width), shift);
}

void tst_TimingRecords::autoShift48FallsToItsFloor()
{
    const store::EditionParameters e = edition(48);
    int previous = deviceimage::autoShift(e, e.defaultSpeed, 1);
    for (int width = 2; width <= 2000; ++width) {
        const int shift = deviceimage::autoShift(e, e.defaultSpeed, width);
        QVERIFY2(shift >= 32 && shift <= 88, qPrintable(QString::number(width)));
        if (width >= 133)
            QCOMPARE(shift, 32);
        previous = shift;
    }
    QCOMPARE(previous, 32);
    // A speed word of 0 cannot divide the swing: it counts as the default speed.
    const store::EditionParameters e16 = edition(16);
    QCOMPARE(deviceimage::autoShift(e16, 0, 16), 50);
}

void tst_TimingRecords::contentBounds_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("width");

    QTest::newRow("blank") << QStringList{"........", "........"} << -1 << -1 << 1;
    QTest::newRow("one pixel") << QStringList{"........", "...#...."} << 3 << 3 << 1;
    QTest::newRow("spread over rows") << QStringList{"..#.....", ".....#.."} << 2 << 5 << 4;
    QTest::newRow("edge to edge") << QStringList{"#......#"} << 0 << 7 << 8;
}

void tst_TimingRecords::contentBounds()
{
    QFETCH(QStringList, rows);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, width);
    const deviceimage::ContentBounds bounds =
        deviceimage::contentBounds(imaging::Picture(LitGrid::fromRows(rows).toImage()));
    QCOMPARE(bounds.start, start);
    QCOMPARE(bounds.end, end);
    QCOMPARE(bounds.width, width);
}

void tst_TimingRecords::lookupSpeed_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("speed"); // kDefault: the edition's default speed

    const QStringList two = {"a.bmp;770", "b.bmp;2050"};
    QTest::newRow("second entry") << two << "b.bmp" << 2050;
    QTest::newRow("first entry") << two << "a.bmp" << 770;
    QTest::newRow("case matters") << two << "B.bmp" << kDefault;
    QTest::newRow("no record") << two << "c.bmp" << kDefault;
    QTest::newRow("empty name") << two << "" << kDefault;
    QTest::newRow("name 0") << QStringList{"0;5"} << "0" << kDefault;
    QTest::newRow("empty entry hides the rest") << QStringList{"", "b.bmp;770"} << "b.bmp" << kDefault;
    QTest::newRow("name must end at ;") << QStringList{"ab.bmp;5", "a;7"} << "a" << 7;
    QTest::newRow("first match wins") << QStringList{"a.bmp;5", "a.bmp;6"} << "a.bmp" << 5;
    QTest::newRow("empty number") << QStringList{"a.bmp;", "a.bmp;6"} << "a.bmp" << kDefault;
    QTest::newRow("not a number") << QStringList{"a.bmp;fast"} << "a.bmp" << kDefault;
    QTest::newRow("number and text") << QStringList{"a.bmp;12x"} << "a.bmp" << kDefault;
    QTest::newRow("too large") << QStringList{"a.bmp;99999999999"} << "a.bmp" << kDefault;
    QTest::newRow("negative") << QStringList{"a.bmp;-4"} << "a.bmp" << -4;
    QTest::newRow("entry without ; passed over") << QStringList{"a.bmp", "a.bmp;9"} << "a.bmp" << 9;
}

void tst_TimingRecords::lookupSpeed()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, name);
    QFETCH(int, speed);
    const store::EditionParameters e = edition(16);
    store::IniFile catalogue(TimingRecords::catalogueFile(clips()));
    writeSpeeds(catalogue, entries);
    const TimingRecords records(clips(), e);
    QCOMPARE(records.lookupSpeed(name), speed == kDefault ? e.defaultSpeed : speed);
}

void tst_TimingRecords::lookupShiftOfStoredValues_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("shift");

    QTest::newRow("stored") << QStringList{"a.bmp;10", "pic.bmp;33"} << "pic.bmp" << 33;
    QTest::newRow("full path") << QStringList{"pic.bmp;33"} << "%1pic.bmp" << 33;
    QTest::newRow("stored none") << QStringList{"pic.bmp;-1"} << "pic.bmp" << -1;
    QTest::newRow("empty number") << QStringList{"pic.bmp;"} << "pic.bmp" << -1;
    QTest::newRow("not a number") << QStringList{"pic.bmp;1e3"} << "pic.bmp" << -1;
    QTest::newRow("empty entry ends the list") << QStringList{"", "pic.bmp;33"} << "pic.bmp" << -1;
    QTest::newRow("empty name") << QStringList{";33"} << "" << -1;
    QTest::newRow("count beyond the entries") << QStringList{"a.bmp;10", ""} << "pic.bmp" << -1;
}

void tst_TimingRecords::lookupShiftOfStoredValues()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, name);
    QFETCH(int, shift);
    makeFiles({"pic.bmp"});
    store::IniFile catalogue(TimingRecords::catalogueFile(clips()));
    writeShifts(catalogue, entries);
    const QByteArray before = catalogue.keys("SHIFT").join(',').toUtf8();
    TimingRecords records(clips(), edition(16));
    QCOMPARE(records.lookupShift(name.contains("%1") ? name.arg(clips()) : name), shift);
    QCOMPARE(catalogue.keys("SHIFT").join(',').toUtf8(), before); // nothing computed, nothing stored
}

void tst_TimingRecords::lookupShiftComputesAndStores()
{
    // A 40-column banner whose lit content spans 16 columns, in the 16-LED edition: autoShift(default, 16) = 50.
    LitGrid banner(40, 16);
    for (int x = 10; x < 26; ++x)
        banner.setLit(x, x % 16);
    QVERIFY(imaging::savePicture(banner, clips(), "banner.bmp", imaging::ExistingFile::Refuse).ok());
    makeFiles({"a.bmp"});
    store::IniFile catalogue(TimingRecords::catalogueFile(clips()));
    writeShifts(catalogue, {"a.bmp;5"});

    TimingRecords records(clips(), edition(16));
    QCOMPARE(records.lookupShift("banner.bmp"), 50);
    QCOMPARE(listOf(catalogue, "SHIFT", "TOTAL_SHIFT_CLIPS"),
             QStringList({"2", "SHIFT_VALUE0=a.bmp;5", "SHIFT_VALUE1=banner.bmp;50"}));
    QCOMPARE(records.lookupShift("banner.bmp"), 50); // now found, not computed again

    // 32 LEDs: a blank 96-column banner has content width 1.
    QVERIFY(imaging::savePicture(LitGrid(96, 32), clips(), "blank.bmp", imaging::ExistingFile::Refuse).ok());
    TimingRecords records32(clips(), edition(32));
    QCOMPARE(records32.lookupShift("blank.bmp"), 96);
    QCOMPARE(catalogue.readString("SHIFT", "SHIFT_VALUE2"), "blank.bmp;96");
}

void tst_TimingRecords::lookupShiftOfMissingOrBrokenFile()
{
    TimingRecords records(clips(), edition(16));
    QCOMPARE(records.lookupShift("gone.bmp"), -1);
    QVERIFY(!QFile::exists(TimingRecords::catalogueFile(clips())));

    QFile broken(clips() + "broken.bmp");
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    QCOMPARE(records.lookupShift("broken.bmp"), -1);
    QVERIFY(!QFile::exists(TimingRecords::catalogueFile(clips())));
}

void tst_TimingRecords::storeCleansUp_data()
{
    QTest::addColumn<QStringList>("files");   // picture files that exist
    QTest::addColumn<int>("count");           // the stored count (-1: the number of entries)
    QTest::addColumn<QStringList>("entries"); // before
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("after"); // count, then key=value in file order

    QTest::newRow("first store")
        << QStringList{"new.bmp"} << -1 << QStringList{} << "new.bmp" << QStringList{"1", "CLIP_0=new.bmp;300"};
    QTest::newRow("appended, nothing dropped")
        << QStringList{"a.bmp", "b.bmp"} << -1 << QStringList{"a.bmp;1", "b.bmp;2"} << "new.bmp"
        << QStringList{"3", "CLIP_0=a.bmp;1", "CLIP_1=b.bmp;2", "CLIP_2=new.bmp;300"};
    QTest::newRow("deleted file dropped, list renumbered")
        << QStringList{"a.bmp"} << -1 << QStringList{"deleted.bmp;4", "a.bmp;9"} << "new.bmp"
        << QStringList{"2", "CLIP_0=a.bmp;9", "CLIP_1=new.bmp;300"};
    QTest::newRow("replaced in place")
        << QStringList{"a.bmp", "b.bmp", "c.bmp"} << -1 << QStringList{"a.bmp;1", "b.bmp;2", "c.bmp;3"} << "b.bmp"
        << QStringList{"3", "CLIP_0=a.bmp;1", "CLIP_1=b.bmp;300", "CLIP_2=c.bmp;3"};
    QTest::newRow("duplicates reduced to the first")
        << QStringList{"a.bmp", "b.bmp"} << -1 << QStringList{"b.bmp;2", "a.bmp;1", "b.bmp;7", "a.bmp;5"}
        << "a.bmp" << QStringList{"2", "CLIP_0=b.bmp;2", "CLIP_1=a.bmp;300"};
    QTest::newRow("own entry kept although its file is gone")
        << QStringList{"a.bmp"} << -1 << QStringList{"x.bmp;1", "gone.bmp;2", "a.bmp;3"} << "gone.bmp"
        << QStringList{"2", "CLIP_0=gone.bmp;300", "CLIP_1=a.bmp;3"};
    QTest::newRow("empty and malformed entries dropped")
        << QStringList{"a.bmp", "b.bmp"} << -1 << QStringList{"", "a.bmp;1", "junk", "b.bmp;2"} << "a.bmp"
        << QStringList{"2", "CLIP_0=a.bmp;300", "CLIP_1=b.bmp;2"};
    QTest::newRow("entries beyond the count are not read")
        << QStringList{"a.bmp", "b.bmp"} << 1 << QStringList{"a.bmp;1", "b.bmp;2"} << "b.bmp"
        << QStringList{"2", "CLIP_0=a.bmp;1", "CLIP_1=b.bmp;300"};
    QTest::newRow("damaged count")
        << QStringList{"a.bmp"} << 2000000000 << QStringList{"a.bmp;1"} << "b.bmp"
        << QStringList{"2", "CLIP_0=a.bmp;1", "CLIP_1=b.bmp;300"};
    QTest::newRow("case makes another name")
        << QStringList{"a.bmp", "A.bmp"} << -1 << QStringList{"a.bmp;1"} << "A.bmp"
        << QStringList{"2", "CLIP_0=a.bmp;1", "CLIP_1=A.bmp;300"};
    QTest::newRow("a name holding ;")
        << QStringList{"x;y.bmp"} << -1 << QStringList{"x;y.bmp;1"} << "new.bmp"
        << QStringList{"2", "CLIP_0=x;y.bmp;1", "CLIP_1=new.bmp;300"};
    QTest::newRow("full path reduced")
        << QStringList{"a.bmp"} << -1 << QStringList{"a.bmp;1"} << "%1a.bmp" << QStringList{"1", "CLIP_0=a.bmp;300"};
    QTest::newRow("kept as the folder holds them: files, links to files, hidden files, files in folders")
        << QStringList{"a.bmp", ".hidden.bmp", "link.bmp -> a.bmp", "dangling.bmp -> nowhere.bmp", "dir.bmp/",
                       "sub/", "sub/in.bmp"}
        << -1
        << QStringList{"a.bmp;1", ".hidden.bmp;2", "link.bmp;3", "dangling.bmp;4", "dir.bmp;5", "sub/in.bmp;6",
                       "sub/none.bmp;7", "sub;8", "A.BMP;9"}
        << "new.bmp"
        << QStringList{"5", "CLIP_0=a.bmp;1", "CLIP_1=.hidden.bmp;2", "CLIP_2=link.bmp;3", "CLIP_3=sub/in.bmp;6",
                       "CLIP_4=new.bmp;300"};
    QTest::newRow("empty name does nothing")
        << QStringList{"a.bmp"} << -1 << QStringList{"deleted.bmp;1"} << "" << QStringList{"1", "CLIP_0=deleted.bmp;1"};
    QTest::newRow("name 0 does nothing")
        << QStringList{} << -1 << QStringList{"deleted.bmp;1"} << "0" << QStringList{"1", "CLIP_0=deleted.bmp;1"};
}

void tst_TimingRecords::storeCleansUp()
{
    QFETCH(QStringList, files);
    QFETCH(int, count);
    QFETCH(QStringList, entries);
    QFETCH(QString, name);
    QFETCH(QStringList, after);
    makeFiles(files);
    store::IniFile catalogue(TimingRecords::catalogueFile(clips()));
    writeList(catalogue, "SPEED", "CLIP_", "TOTAL_CLIPS", count < 0 ? int(entries.size()) : count, entries);

    TimingRecords records(clips(), edition(16));
    records.storeSpeed(name.contains("%1") ? name.arg(clips()) : name, 300);
    QCOMPARE(listOf(catalogue, "SPEED", "TOTAL_CLIPS"), after);
}

void tst_TimingRecords::storeShiftUsesItsOwnList()
{
    makeFiles({"a.bmp", "b.bmp"});
    store::IniFile catalogue(TimingRecords::catalogueFile(clips()));
    writeSpeeds(catalogue, {"gone.bmp;1", "a.bmp;770"});
    TimingRecords records(clips(), edition(32));
    records.storeShift("b.bmp", 12);
    records.storeShift("a.bmp", -1);
    records.storeShift("b.bmp", 14);
    QCOMPARE(listOf(catalogue, "SHIFT", "TOTAL_SHIFT_CLIPS"),
             QStringList({"2", "SHIFT_VALUE0=b.bmp;14", "SHIFT_VALUE1=a.bmp;-1"}));
    QCOMPARE(listOf(catalogue, "SPEED", "TOTAL_CLIPS"), QStringList({"2", "CLIP_0=gone.bmp;1", "CLIP_1=a.bmp;770"}));
    QCOMPARE(records.lookupShift("a.bmp"), -1);
    QCOMPARE(records.lookupShift("b.bmp"), 14);
    QCOMPARE(records.lookupSpeed("a.bmp"), 770);
}

void tst_TimingRecords::storeRenumbersALongList()
{
    // Half the files are gone: the other half moves down to keys 0..24 and no key is left behind.
    QStringList names, entries;
    for (int i = 0; i < 50; ++i) {
        names << QStringLiteral("p%1.bmp").arg(i);
        entries << QStringLiteral("p%1.bmp;%2").arg(i).arg(i);
    }
    makeFiles(names.mid(25));
    store::IniFile catalogue(TimingRecords::catalogueFile(clips()));
    writeSpeeds(catalogue, entries);

    TimingRecords records(clips(), edition(16));
    records.storeSpeed("p49.bmp", 1);
    QStringList expected{"25"};
    for (int i = 0; i < 25; ++i)
        expected << QStringLiteral("CLIP_%1=p%2.bmp;%3").arg(i).arg(25 + i).arg(i == 24 ? 1 : 25 + i);
    QCOMPARE(listOf(catalogue, "SPEED", "TOTAL_CLIPS"), expected);
}

// A command's stores made in one catalogue transaction give the catalogue byte for byte what the same stores give
// one write at a time, whatever state the list starts in; lookups between them answer the same.
void tst_TimingRecords::storesOfOneCommandMatchStoresOneByOne_data()
{
    storeCleansUp_data();
}

void tst_TimingRecords::storesOfOneCommandMatchStoresOneByOne()
{
    QFETCH(QStringList, files);
    QFETCH(int, count);
    QFETCH(QStringList, entries);
    QFETCH(QString, name);
    makeFiles(files);
    makeFiles({"late.bmp"});
    const QString path = TimingRecords::catalogueFile(clips());
    {
        store::IniFile catalogue(path);
        writeList(catalogue, "SPEED", "CLIP_", "TOTAL_CLIPS", count < 0 ? int(entries.size()) : count, entries);
        writeShifts(catalogue, entries);
        catalogue.writeString("OTHER", "kept", "1");
    }
    const QByteArray before = fileContents(path);

    // Stores of new, present, repeated and missing files, and a shift computed by a lookup.
    const QString first = name.contains("%1") ? name.arg(clips()) : name;
    const auto run = [&](TimingRecords& records) {
        QStringList seen;
        records.storeSpeed(first, 300);
        records.storeShift("a.bmp", 7);
        seen << QString::number(records.lookupSpeed("a.bmp")) << QString::number(records.lookupShift(first));
        records.storeSpeed("missing.bmp", 5);
        records.storeSpeed("a.bmp", 301);
        seen << QString::number(records.lookupShift("late.bmp"));
        records.storeSpeed(first, 302);
        records.storeShift("b.bmp", 9);
        seen << QString::number(records.lookupSpeed(first)) << QString::number(records.lookupSpeed("missing.bmp"));
        return seen;
    };
    const auto readCatalogue = [&] { return fileContents(path); };

    TimingRecords oneByOne(clips(), edition(16));
    const QStringList answersOneByOne = run(oneByOne);
    const QByteArray expected = readCatalogue();

    writeFile(path, before);
    store::LibraryCatalogue catalogue(clips());
    QStringList answers;
    {
        store::CatalogueTransaction transaction(catalogue);
        TimingRecords records(catalogue, edition(16));
        answers = run(records);
        QCOMPARE(readCatalogue(), before); // nothing is written before the commit
        transaction.commit();
    }
    QCOMPARE(readCatalogue(), expected);
    QCOMPARE(answers, answersOneByOne);
}

QTEST_GUILESS_MAIN(tst_TimingRecords)
#include "tst_TimingRecords.moc"
