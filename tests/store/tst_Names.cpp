#include "store/Names.h"

#include <QFile>
#include <QTest>

class tst_Names : public QObject {
    Q_OBJECT

private slots:
    void projectNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("usable");
        QTest::newRow("plain") << "Show" << true;
        QTest::newRow("dot inside") << "my.show" << true;
        QTest::newRow("leading dot") << ".hidden" << true;
        QTest::newRow("spaces and accents") << "Café show" << true;
        QTest::newRow("243 bytes: with \".ini\" and the temporary name 255") << QString(243, u'a') << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("control character") << "a\tb" << false;
        QTest::newRow("244 bytes") << QString(244, u'a') << false;
        QTest::newRow("250 bytes: the file fits, its temporary file does not") << QString(250, u'a') << false;
        QTest::newRow("251 bytes of accents") << QString(125, u'é') + u'a' << false;
    }
    void projectNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, usable);
        QCOMPARE(store::isUsableProjectName(name), usable);
    }

    void noName()
    {
        QVERIFY(store::isNoName(""));
        QVERIFY(store::isNoName("0"));
        QVERIFY(!store::isNoName("00"));
        QVERIFY(!store::isNoName(" 0"));
    }

    // Names are cut between characters as they are seen, to a number of bytes as the file system counts them.
    void cutToFileNameBytes_data()
    {
        const QString grin = QString::fromUcs4(U"\U0001F600");  // 4 bytes, a surrogate pair in UTF-16
        const QString eAcute = QStringLiteral("e\u0301");         // e and a combining accent: 3 bytes
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QString>("cut");
        QTest::newRow("short enough") << "Show" << 10 << "Show";
        QTest::newRow("ASCII") << "Showtime" << 4 << "Show";
        QTest::newRow("4-byte characters, a whole one fits") << grin.repeated(3) << 9 << grin.repeated(2);
        QTest::newRow("4-byte characters, none fits") << grin << 3 << "";
        QTest::newRow("60 4-byte characters to 200 bytes") << grin.repeated(60) << 200 << grin.repeated(50);
        QTest::newRow("a letter and 60 4-byte characters to 200 bytes")
            << "a" + grin.repeated(60) << 200 << "a" + grin.repeated(49);
        QTest::newRow("accent stays with its letter") << "a" + eAcute << 3 << "a";
        QTest::newRow("2-byte characters") << QString(10, u'é') << 5 << QString(2, u'é');
    }
    void cutToFileNameBytes()
    {
        QFETCH(QString, name);
        QFETCH(int, maxBytes);
        QFETCH(QString, cut);
        const QString result = store::cutToFileNameBytes(name, maxBytes);
        QCOMPARE(result, cut);
        QVERIFY(QFile::encodeName(result).size() <= maxBytes);
        QCOMPARE(QFile::decodeName(QFile::encodeName(result)), result); // nothing turned into U+FFFD or "?"
    }

    // A project entry is a file name in the clips folder; anything that leads elsewhere is no clip.
    void clipFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("clip");
        QTest::newRow("plain") << "heart.bmp" << true;
        QTest::newRow("dots inside") << "a..b.bmp" << true;
        QTest::newRow("backslash, a character like any other here") << "a\\b.bmp" << true;
        QTest::newRow("parent folder") << "../x.bmp" << false;
        QTest::newRow("two folders up") << "../../x.bmp" << false;
        QTest::newRow("down and up") << "sub/../x.bmp" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("nothing") << "" << false;
        QTest::newRow("zero") << "0" << false;
    }
    void clipFileNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, clip);
        QCOMPARE(store::isClipFileName(name), clip);
    }

    void projectFileAnswers_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("answers");
        QTest::newRow("name") << "Show.ini" << "show" << true;
        QTest::newRow("whole file name") << "Show.ini" << "SHOW.INI" << true;
        QTest::newRow("name with a dot") << "my.show.ini" << "my.show" << true;
        QTest::newRow("part before the first dot") << "my.show.ini" << "my" << true;
        QTest::newRow("other name") << "my.show.ini" << "show" << false;
        QTest::newRow("longer name") << "Show.ini" << "Shows" << false;
    }
    void projectFileAnswers()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, name);
        QFETCH(bool, answers);
        QCOMPARE(store::projectFileAnswersTo(fileName, name), answers);
    }
};

QTEST_GUILESS_MAIN(tst_Names)
#include "tst_Names.moc"
