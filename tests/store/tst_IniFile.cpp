#include "store/IniFile.h"
#include "store/WorkspaceLock.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using store::IniFile;

class TestIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString fileWith(const QByteArray& content)
    {
        static int counter = 0;
        const QString path = dir.filePath(QStringLiteral("f%1.ini").arg(++counter));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }


private slots:
    void readsWhatPeopleLeaveInFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray sample = "[Summary]\nTotal_Pictures=3\n";
        QTest::newRow("names ignore case") << sample << "SUMMARY" << "TOTAL_PICTURES" << "3";
        QTest::newRow("crlf") << QByteArray("[A]\r\nk=v\r\n") << "a" << "k" << "v";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[A]\nk=v\n") << "A" << "k" << "v";
        QTest::newRow("spaces around names and values") << QByteArray("  [ A ]  \n  k  =  v w  \n") << "A" << "k"
                                                        << "v w";
        QTest::newRow("comments, blanks, lines without =")
            << QByteArray("; note\n[A]\n\n# other\ngarbage line\nk=v\n") << "A" << "k" << "v";
        QTest::newRow("first duplicate key wins") << QByteArray("[A]\nk=1\nk=2\n") << "A" << "k" << "1";
        QTest::newRow("first duplicate section wins") << QByteArray("[A]\nk=1\n[a]\nk=2\n") << "A" << "k" << "1";
        QTest::newRow("quotes are stripped") << QByteArray("[A]\nk=\"v \"\n") << "A" << "k" << "v ";
        QTest::newRow("missing key gives default") << sample << "SUMMARY" << "nothing" << "default";
        QTest::newRow("missing section gives default") << sample << "nothing" << "TOTAL_PICTURES" << "default";
        QTest::newRow("binary junk gives default") << QByteArray("\x00\x01\xff[\n=\n", 8) << "A" << "k"
                                                   << "default";
        QTest::newRow("value may hold =") << QByteArray("[A]\nk=a=b\n") << "A" << "k" << "a=b";
    }
    void readsWhatPeopleLeaveInFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(IniFile(fileWith(content)).readString(section, key, QStringLiteral("default")), expected);
    }

    // A leading part reads what the whole file gives for the sections up to its last one, wherever that section
    // stands and whatever follows it.
    void leadingPartReadsAsTheWholeFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("through"); // the sections the leading part ends after
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        const QStringList dimension{"DIMENSION"};
        QTest::newRow("first section") << QByteArray("[DIMENSION]\r\nW=96\r\n[PICTURE]\r\nW=1\r\n") << dimension
                                       << "DIMENSION" << "W";
        QTest::newRow("after other sections") << QByteArray("[SUMMARY]\nW=2\n[Dimension]\nW=48\n[X]\n") << dimension
                                              << "DIMENSION" << "W";
        QTest::newRow("duplicate section later") << QByteArray("[DIMENSION]\nW=16\n[dimension]\nW=99\n") << dimension
                                                 << "DIMENSION" << "W";
        QTest::newRow("duplicate key") << QByteArray("[DIMENSION]\nw=11\nW=12\n") << dimension << "DIMENSION" << "W";
        QTest::newRow("key missing") << QByteArray("[DIMENSION]\nH=16\n[DIMENSION]\nW=5\n") << dimension
                                     << "DIMENSION" << "W";
        QTest::newRow("section missing") << QByteArray("[SUMMARY]\nW=2\n") << dimension << "DIMENSION" << "W";
        QTest::newRow("key before every section") << QByteArray("W=7\n[DIMENSION]\nW=8\n") << dimension << "" << "W";
        QTest::newRow("blank space around the header") << QByteArray("  [ DIMENSION ]  \nW = 32\n[B]\nW=1\n")
                                                       << dimension << "DIMENSION" << "W";
        const QByteArray several = "[DIMENSION]\nW=1\n[B]\nW=2\n[A]\nW=3\n[a]\nW=9\n[C]\nW=4\n";
        QTest::newRow("several, the last named") << several << QStringList{"a", "DIMENSION"} << "A" << "W";
        QTest::newRow("several, one between") << several << QStringList{"a", "DIMENSION"} << "B" << "W";
        QTest::newRow("several, the first named") << several << QStringList{"a", "DIMENSION"} << "DIMENSION" << "W";
    }
    void leadingPartReadsAsTheWholeFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, through);
        QFETCH(QString, section);
        QFETCH(QString, key);
        const QString path = fileWith(content);
        QCOMPARE(IniFile::leadingPart(path, through).readString(section, key, "default"),
                 IniFile(path).readString(section, key, "default"));
    }

    // What follows its last section reads as missing, and nothing is ever written through it: the file stays
    // whole.
    void leadingPartIsNeverWritten()
    {
        const QByteArray content = "[DIMENSION]\nW=96\n[PICTURE]\nPICTURE_0=a.bmp\n";
        const QString path = fileWith(content);
        IniFile head = IniFile::leadingPart(path, {"DIMENSION"});
        QCOMPARE(head.readString("PICTURE", "PICTURE_0", "none"), QStringLiteral("none"));
        QVERIFY_THROWS_EXCEPTION(store::IniWriteError, head.writeInteger("DIMENSION", "W", 16));
        QVERIFY_THROWS_EXCEPTION(store::IniWriteError, head.writeString("PICTURE", "PICTURE_1", "b.bmp"));
        QCOMPARE(fileContents(path), content);
    }

    void readsIntegers_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("160") << 160;
        QTest::newRow("negative") << QByteArray("-8") << -8;
        QTest::newRow("hexadecimal") << QByteArray("0x1F") << 31;
        QTest::newRow("not a number") << QByteArray("fast") << 77;
        QTest::newRow("trailing junk") << QByteArray("12abc") << 77;
        QTest::newRow("empty") << QByteArray("") << 77;
        QTest::newRow("beyond int") << QByteArray("99999999999") << 77;
    }
    void readsIntegers()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        QCOMPARE(IniFile(fileWith("[A]\nk=" + value + "\n")).readInteger("A", "k", 77), expected);
    }

    void missingFileReadsDefaults()
    {
        IniFile ini(dir.filePath("absent.ini"));
        QCOMPARE(ini.readInteger("A", "k", 5), 5);
        QVERIFY(!ini.sectionExists("A"));
        QVERIFY(!QFile::exists(ini.path()));
    }

    void writesKeepOrderCommentsAndCase()
    {
        const QString path = fileWith("; made by hand\r\n[First]\r\nOne=1\r\n\r\n[Second]\r\nTwo=2\r\n");
        IniFile ini(path);
        ini.writeInteger("first", "one", 10);    // updates in place, keeps the stored spelling of the names
        ini.writeString("FIRST", "Three", "3");  // a new key joins its section, before the blank line
        ini.writeString("Third", "Four", "4");   // a new section goes at the end
        QCOMPARE(fileContents(path), QByteArray("; made by hand\r\n[First]\r\nOne=10\r\nThree=3\r\n\r\n"
                                             "[Second]\r\nTwo=2\r\n[Third]\r\nFour=4\r\n"));
        QCOMPARE(ini.sections(), QStringList({"First", "Second", "Third"}));
        QCOMPARE(ini.keys("first"), QStringList({"One", "Three"}));
    }

    void deletesKeysAndSections()
    {
        const QString path = fileWith("[A]\nk=1\nj=2\n[B]\nx=1\n");
        IniFile ini(path);
        ini.deleteKey("a", "K");
        ini.eraseSection("b");
        ini.deleteKey("none", "k"); // absent: nothing happens
        QCOMPARE(fileContents(path), QByteArray("[A]\nj=2\n")); // the lines left keep their bytes
    }

    // Deleting many keys at once leaves the file, and what reads from it, as deleting them one by one does.
    void deleteKeysIsDeleteKeyInTurn_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("keys");
        const QByteArray list = "; list\r\n[A]\r\nk0=a\r\nk1=b\r\n; between\r\nk2=c\r\nk3=d\r\n\r\n[B]\r\nk0=x\r\n";
        QTest::newRow("a tail") << list << QStringList{"k2", "k3"};
        QTest::newRow("every key, in another order and case") << list << QStringList{"K3", "k0", "k2", "K1"};
        QTest::newRow("absent keys") << list << QStringList{"k9", "", "x"};
        QTest::newRow("a duplicate key: the first line only")
            << QByteArray("[A]\nk=1\nj=2\nK=3\n") << QStringList{"k"};
        QTest::newRow("a duplicate key named twice: both lines")
            << QByteArray("[A]\nk=1\nj=2\nK=3\n") << QStringList{"k", "K"};
        QTest::newRow("no such section") << QByteArray("[B]\nk=1\n") << QStringList{"k"};
    }
    void deleteKeysIsDeleteKeyInTurn()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, keys);
        const QString oneByOne = fileWith(content), atOnce = fileWith(content);
        IniFile single(oneByOne), bulk(atOnce);
        for (const QString& key : keys)
            single.deleteKey("a", key);
        bulk.deleteKeys("a", keys);
        QCOMPARE(fileContents(atOnce), fileContents(oneByOne));
        // The index left behind finds the lines that stay, and new keys go where they would.
        for (IniFile* ini : {&single, &bulk}) {
            ini->writeString("a", "k", "new");
            ini->writeString("a", "added", "1");
        }
        QCOMPARE(fileContents(atOnce), fileContents(oneByOne));
        QCOMPARE(bulk.keys("a"), single.keys("a"));
        for (const QString& key : single.keys("a"))
            QCOMPARE(bulk.readString("a", key), single.readString("a", key));
    }

    // A numbered list read in one pass reads as reading each numbered key in turn.
    void readNumberedIsReadStringInTurn_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("count");
        QTest::newRow("in order") << QByteArray("[L]\r\nE0=a;1\r\nE1=b;2\r\nE2=c;3\r\n") << 3;
        QTest::newRow("gaps, disorder, a count past the keys")
            << QByteArray("[L]\nE2=c\nx=1\nE0=a\n; note\nE5=f\n") << 7;
        QTest::newRow("a count short of the keys") << QByteArray("[L]\nE0=a\nE1=b\nE2=c\n") << 2;
        QTest::newRow("the first of duplicate keys, in any case")
            << QByteArray("[L]\ne1=first\nE0=a\nE1=second\n") << 2;
        QTest::newRow("quoted values") << QByteArray("[L]\nE0=\"a;1\"\nE1='b'\nE2=\"c'\n") << 3;
        QTest::newRow("numbers written otherwise are other keys")
            << QByteArray("[L]\nE01=z\nE+1=y\nE 1=x\nE1 =w\nE=v\nE1x=u\nE99999999999=t\nE1=b\n") << 3;
        QTest::newRow("a key that lower-cases to the prefix") << QByteArray("[L]\n\u01300=i\nI0=j\n") << 1;
        QTest::newRow("the first of duplicate sections") << QByteArray("[L]\nE0=a\n[M]\n[l]\nE0=z\nE1=b\n") << 2;
        QTest::newRow("no such section") << QByteArray("[M]\nE0=a\n") << 1;
        QTest::newRow("no entries") << QByteArray("[L]\nE0=a\n") << 0;
    }
    void readNumberedIsReadStringInTurn()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, count);
        const IniFile ini(fileWith(content));
        for (const QString& prefix : {QStringLiteral("E"), QStringLiteral("e"), QStringLiteral("I")}) {
            QStringList inTurn;
            for (int i = 0; i < count; ++i)
                inTurn << ini.readString("l", prefix + QString::number(i));
            const std::vector<QString> read = ini.readNumbered("l", prefix, count);
            QCOMPARE(QStringList(read.begin(), read.end()), inTurn);
        }
    }

    // Keys added before a section's closing blank lines are found again by later writes.
    void newKeysBeforeBlankLinesAreFoundAgain()
    {
        const QString path = fileWith("[A]\r\nk=1\r\n\r\n\r\n[B]\r\nk=2\r\n");
        IniFile ini(path);
        ini.writeString("A", "n1", "x");
        ini.writeString("A", "n2", "y");
        ini.writeString("A", "N1", "z");
        QCOMPARE(fileContents(path), QByteArray("[A]\r\nk=1\r\nn1=z\r\nn2=y\r\n\r\n\r\n[B]\r\nk=2\r\n"));
        QCOMPARE(ini.readString("a", "n2"), QStringLiteral("y"));
    }

    void rereadsWhenAnotherProgramChangedTheFile()
    {
        const QString path = fileWith("[A]\nk=1\n");
        IniFile ini(path);
        QCOMPARE(ini.readInteger("A", "k", 0), 1);
        IniFile other(path);
        other.writeInteger("A", "k", 2);
        QCOMPARE(ini.readInteger("A", "k", 0), 2);
        QFile::remove(path);
        QCOMPARE(ini.readInteger("A", "k", 0), 0);
    }

    void batchStoresOnceAtTheEnd()
    {
        const QString path = fileWith("");
        IniFile ini(path);
        {
            IniFile::WriteBatch batch(ini);
            for (int i = 0; i < 100; ++i)
                ini.writeInteger("A", QStringLiteral("k%1").arg(i), i);
            QCOMPARE(ini.readInteger("A", "k99", -1), 99);   // visible to this reader at once
            QCOMPARE(IniFile(path).readInteger("A", "k0", -1), -1); // not yet on disk
        }
        QCOMPARE(IniFile(path).readInteger("A", "k99", -1), 99);
    }

    void refusedWriteReportsThePathAndKeepsTheOldFile()
    {
        if (::geteuid() == 0)
            QSKIP("root may write into read-only folders");
        QTemporaryDir locked;
        const QString path = locked.filePath("p.ini");
        IniFile(path).writeInteger("A", "k", 1);
        ::chmod(QFile::encodeName(locked.path()).constData(), 0500);
        IniFile ini(path);
        try {
            ini.writeInteger("A", "k", 2);
            QFAIL("the write should have been refused");
        } catch (const store::IniWriteError& error) {
            QCOMPARE(error.message(), "Unable to write to " + path);
        }
        QCOMPARE(ini.readInteger("A", "k", 0), 1);
        ::chmod(QFile::encodeName(locked.path()).constData(), 0700);
    }

    void refusedWriteWhereNoFileCanBe_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing folder") << dir.filePath("no/such/folder/p.ini");
        QTest::newRow("a folder in the way") << dir.path();
        QTest::newRow("a file system that takes no files") << QStringLiteral("/proc/lumiwand-test.ini");
    }
    void refusedWriteWhereNoFileCanBe()
    {
        QFETCH(QString, path);
        IniFile ini(path);
        QVERIFY_THROWS_EXCEPTION(store::IniWriteError, ini.writeInteger("A", "k", 1));
    }
    void fullDiskKeepsTheOldFileAndSaysSo()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("mounting a small tmpfs needs root");
        const QString path = disk.path("p.ini");
        IniFile(path).writeString("A", "k", "old");
        const QByteArray before = fileContents(path);
        disk.fill();
        IniFile ini(path);
        QVERIFY_THROWS_EXCEPTION(store::IniWriteError, ini.writeString("A", "k", QString(8000, u'n')));
        QCOMPARE(fileContents(path), before);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary left
    }

    // Root reads every file whatever its permission bits, so the reader is a child that gave up root.
    void unreadableFileIsNeverWrittenOver()
    {
        QTemporaryDir shared;
        ::chmod(QFile::encodeName(shared.path()).constData(), 0777);
        const QString path = shared.filePath("Clip.ini");
        writeFile(path, "[Library]\r\nLibrary1=Mine\r\n");
        ::chmod(QFile::encodeName(path).constData(), 0200);
        const uid_t nobody = 65534;
        if (::geteuid() == 0)
            QVERIFY(::chown(QFile::encodeName(path).constData(), nobody, nobody) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
                ::_exit(3);
            IniFile ini(path);
            if (!ini.unreadable() || ini.readString("Library", "Library1") != QString())
                ::_exit(2);
            try {
                ini.writeString("Library", "Library2", "Other");
            } catch (const store::IniWriteError&) {
                ::_exit(0);
            }
            ::_exit(1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(fileContents(path), QByteArray("[Library]\r\nLibrary1=Mine\r\n"));
    }

    void onlyRegularFilesAreReadAndNothingBlocks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a link to /dev/zero") << "zero";
        QTest::newRow("a FIFO") << "fifo";
        QTest::newRow("larger than any real INI file") << "huge";
    }
    void onlyRegularFilesAreReadAndNothingBlocks()
    {
        QFETCH(QString, kind);
        const QByteArray path = QFile::encodeName(dir.filePath(kind + ".ini"));
        if (kind == "zero")
            QVERIFY(::symlink("/dev/zero", path.constData()) == 0);
        else if (kind == "fifo")
            QVERIFY(::mkfifo(path.constData(), 0600) == 0);
        else
            QVERIFY(::truncate((writeFile(QFile::decodeName(path), "[A]\nk=1\n"), path.constData()),
                               qint64(1) << 32) == 0); // sparse: takes no room
        IniFile ini(QFile::decodeName(path));
        QCOMPARE(ini.readInteger("A", "k", 7), 7);
        QVERIFY(ini.unreadable());
        QVERIFY_THROWS_EXCEPTION(store::IniWriteError, ini.writeInteger("A", "k", 1));
    }

    void unchangedLinesKeepTheirBytesAndAnsiTextReads()
    {
        // "Café" and "Señal" as the Windows program wrote them (Windows-1252), a line without a line end at the end
        const QByteArray ansi = "[Library]\r\nLibrary1=Caf\xE9\r\nLibrary2=\x93Se\xF1" "al\x94\n[Other]\nx=1";
        const QString path = fileWith(ansi);
        IniFile ini(path);
        QCOMPARE(ini.readString("Library", "Library1"), QString::fromUtf8("Café"));
        QCOMPARE(ini.readString("Library", "Library2"), QString::fromUtf8("“Señal”"));
        ini.writeInteger("Other", "y", 2);
        ini.writeString("Library", "Library1", QString::fromUtf8("Café")); // the same value: the line stays
        QCOMPARE(fileContents(path), ansi + "\r\ny=2\r\n");
        ini.writeString("Library", "Library2", QString::fromUtf8("Ça"));
        QCOMPARE(fileContents(path),
                 QByteArray("[Library]\r\nLibrary1=Caf\xE9\r\nLibrary2=\xC3\x87" "a\r\n[Other]\nx=1\r\ny=2\r\n"));
        QCOMPARE(IniFile(path).readString("Library", "Library1"), QString::fromUtf8("Café"));
    }

    // Two processes each add 1 to a counter 100 times: under the workspace lock no increment is lost.
    void readModifyWritesOfTwoProcessesLoseNothing()
    {
        const QString path = dir.filePath("counter.ini");
        pid_t children[2];
        for (pid_t& child : children) {
            child = ::fork();
            if (child == 0) {
                store::WorkspaceLock::useLockFile(dir.filePath(".lock")); // its own, as another program has
                IniFile ini(path);
                for (int i = 0; i < 100; ++i) {
                    IniFile::WriteBatch batch(ini);
                    ini.writeInteger("A", "n", ini.readInteger("A", "n", 0) + 1);
                }
                ::_exit(0);
            }
        }
        for (pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        QCOMPARE(IniFile(path).readInteger("A", "n", 0), 200);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
