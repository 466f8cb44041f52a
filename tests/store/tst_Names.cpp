#include "store/Names.h"

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
