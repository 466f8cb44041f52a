#include "mailsender/Mail.h"

#include "messages/MessageCatalogue.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Stands in for xdg-email: writes the arguments it gets, one per line, into $RECORD.
static const char kRecorder[] = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$RECORD\"\n";

class TestMail : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString record;

    QStringList recorded()
    {
        QFile file(record);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        lines.removeLast();
        return lines;
    }

    // Waits until the sender has ended (the recorder has run by then) instead of the full five seconds.
    static mail::Wait untilTheSenderEnds()
    {
        return [](int, const std::function<bool()>& finished) { QTRY_VERIFY_WITH_TIMEOUT(finished(), 10000); };
    }
    static void noWait(int, const std::function<bool()>&) {}

    // xdg-email as it behaves on a desktop where no mail program can take the message: it fails with status 3.
    void withoutMailProgram(const std::function<void()>& act)
    {
        const QString failing = dir.filePath("xdg-email-failing");
        writeScript(failing, "#!/bin/sh\necho 'xdg-email: no method available for opening mailto:' >&2\nexit 3\n");
        const QByteArray recorder = qgetenv("LUMIWAND_XDG_EMAIL");
        qputenv("LUMIWAND_XDG_EMAIL", failing.toUtf8());
        act();
        qputenv("LUMIWAND_XDG_EMAIL", recorder);
    }

    static void writeScript(const QString& path, const QByteArray& script)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(script);
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

private slots:
    void initTestCase()
    {
        const QString recorder = dir.filePath("xdg-email");
        writeScript(recorder, kRecorder);
        qputenv("LUMIWAND_XDG_EMAIL", recorder.toUtf8());
        record = dir.filePath("record.txt");
        qputenv("RECORD", record.toUtf8());
    }

    void init() { QFile::remove(record); }

    void theSenderIsStoredInsideTheProgram() { QVERIFY(mail::mailSenderImage().startsWith("\x7f" "ELF")); }

    void senderParsesItsCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("handedOver");
        QTest::newRow("one file") << QStringList{"-files", "/c/heart.bmp", "-subject", "Hi", "-body", "Text"}
                                  << QStringList{"--utf8", "--subject", "Hi", "--body", "Text", "--attach",
                                                 "/c/heart.bmp"};
        QTest::newRow("options ignore case, -to is skipped")
            << QStringList{"-TO", "x@y", "-FILES", "/a", "/b", "-Subject", "S", "-extra"}
            << QStringList{"--utf8", "--subject", "S", "--body", "", "--attach", "/a", "--attach", "/b"};
        QTest::newRow("quotes and dashes stay inside their argument")
            << QStringList{"-files", "/p \"q\".lwd", "-subject", "a \" -body x", "-body", "-files"}
            << QStringList{"--utf8", "--subject", "a \" -body x", "--body", "-files", "--attach", "/p \"q\".lwd"};
        QTest::newRow("no file, nothing sent") << QStringList{"-subject", "S", "-body", "B"} << QStringList{};
        QTest::newRow("no arguments") << QStringList{} << QStringList{};
    }
    void senderParsesItsCommandLine()
    {
        QFETCH(QStringList, arguments);
        QProcess sender;
        sender.start(QStringLiteral(MAILSENDER_PATH), arguments);
        QVERIFY(sender.waitForFinished(10000));
        QCOMPARE(sender.exitCode(), 0);
        QTEST(recorded(), "handedOver");
    }

    void sendMailStartsTheSenderAndRemovesIt()
    {
        QTemporaryDir temp;
        const QString folder = temp.path() + '/';
        const QStringList files{"/clips/my \"best\" heart.bmp"};
        QCOMPARE(mail::sendMail(folder, files, "Subject \"quoted\"", " ", untilTheSenderEnds()), mail::HandOver::Started);
        QCOMPARE(recorded(), QStringList({"--utf8", "--subject", "Subject \"quoted\"", "--body", " ", "--attach",
                                          files[0]}));
        QVERIFY(QDir(folder).isEmpty());
    }

    void sendMailReportsAnUnwritableFolder()
    {
        QCOMPARE(mail::sendMail("/proc/no-such-folder/", {"/x"}, "s", "b", noWait), mail::HandOver::NotStarted);
    }

    // When no mail program takes the message, the sender says so by its status and the user is told where the
    // file is; the library page's command no longer ends in silence.
    void noMailProgramIsReported()
    {
        QTemporaryDir temp;
        withoutMailProgram([&] {
            QCOMPARE(mail::sendMail(temp.path() + '/', {"/x.lwd"}, "s", " ", untilTheSenderEnds()),
                     mail::HandOver::NoMailProgram);
            QVERIFY(QDir(temp.path()).isEmpty());
            ScriptedPrompter prompter;
            mail::emailLibraryFile(2, "heart.bmp", "/clips/", temp.path() + '/', prompter, untilTheSenderEnds());
            QCOMPARE(prompter.texts(), QStringList{mail::noMailProgramText("/clips/heart.bmp")});
            QVERIFY(prompter.texts()[0].endsWith("\n/clips/heart.bmp"));
            QCOMPARE(prompter.shown[0].title, messages::lookupMessage(433));
        });
        QProcess sender;
        withoutMailProgram([&] { sender.start(QStringLiteral(MAILSENDER_PATH), {"-files", "/x.lwd"}); });
        QVERIFY(sender.waitForFinished(10000));
        QCOMPARE(sender.exitCode(), 1);
    }

    void libraryFileMail()
    {
        QTemporaryDir temp;
        ScriptedPrompter prompter;
        mail::emailLibraryFile(2, "heart.bmp", "/clips/", temp.path() + '/', prompter, untilTheSenderEnds());
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(recorded(), QStringList({"--utf8", "--subject", messages::lookupMessage(662), "--body", "",
                                          "--attach", "/clips/heart.bmp"}));
    }

    void libraryMailNeedsAFile()
    {
        QTemporaryDir temp;
        ScriptedPrompter prompter;
        mail::emailLibraryFile(1, "Animals", "/clips/", temp.path() + '/', prompter, noWait);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].title, messages::lookupMessage(433));
        QCOMPARE(prompter.shown[0].text, messages::lookupMessage(425));
        QCOMPARE(prompter.shown[0].icon, messages::Icon::Stop);
        QVERIFY(QDir(temp.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMail)
#include "tst_Mail.moc"
