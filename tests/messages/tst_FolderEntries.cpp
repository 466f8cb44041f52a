#include "messages/FolderEntries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// One folder of every kind of entry: the one-pass listing names the regular files, links to them included.
class TestFolderEntries : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString path(const char* name) const { return dir_.path() + u'/' + QLatin1String(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        for (const char* name : {"plain.bmp", ".hidden.bmp", "UPPER.BMP", "notes.txt"}) {
            QFile file(path(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const int odd = ::open((QFile::encodeName(dir_.path()) + "/odd\xff.bmp").constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(odd >= 0);
        ::close(odd);
        QVERIFY(QDir().mkpath(path("folder.bmp")));
        QVERIFY(QFile::link(path("plain.bmp"), path("link.bmp")));
        QVERIFY(QFile::link(path("folder.bmp"), path("folderlink.bmp")));
        QVERIFY(QFile::link(path("nowhere.bmp"), path("dangling.bmp")));
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo.bmp")).constData(), 0600), 0);
    }

    void listsWhatQFileInfoCallsAFile_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("listed");
        QTest::newRow("regular file") << QByteArray("plain.bmp") << true;
        QTest::newRow("hidden file") << QByteArray(".hidden.bmp") << true;
        QTest::newRow("any case") << QByteArray("UPPER.BMP") << true;
        QTest::newRow("name that is not UTF-8") << QByteArray("odd\xff.bmp") << true;
        QTest::newRow("link to a file") << QByteArray("link.bmp") << true;
        QTest::newRow("folder") << QByteArray("folder.bmp") << false;
        QTest::newRow("link to a folder") << QByteArray("folderlink.bmp") << false;
        QTest::newRow("dangling link") << QByteArray("dangling.bmp") << false;
        QTest::newRow("FIFO") << QByteArray("fifo.bmp") << false;
        QTest::newRow("the folder itself") << QByteArray(".") << false;
    }
    void listsWhatQFileInfoCallsAFile()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, listed);
        const std::optional<QByteArrayList> names = files::regularFileNames(dir_.path());
        QVERIFY(names);
        QCOMPARE(names->contains(name), listed);
        struct stat status {};
        const QByteArray path = QFile::encodeName(dir_.path()) + '/' + name;
        QCOMPARE(::stat(path.constData(), &status) == 0 && S_ISREG(status.st_mode), listed);
        QCOMPARE(std::count(names->cbegin(), names->cend(), name), listed ? 1 : 0);
    }

    // A folder that cannot be read gives no listing rather than an empty one: its files are not missing.
    void noListingOfWhatIsNoFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("missing") << "missing";
        QTest::newRow("a file") << "plain.bmp";
    }
    void noListingOfWhatIsNoFolder()
    {
        QFETCH(QString, folder);
        QVERIFY(!files::regularFileNames(dir_.path() + u'/' + folder));
    }
};

QTEST_GUILESS_MAIN(TestFolderEntries)
#include "tst_FolderEntries.moc"
