#include "Version.h"
#include "app/ProgramArguments.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <QDir>
#include <QTest>

using app::ProgramCommandLine;
using Action = ProgramCommandLine::Action;

Q_DECLARE_METATYPE(ProgramCommandLine::Action)

// The window program's command line: what it answers before the windows exist, and which files it opens.
class tst_ProgramArguments : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after the invoked path
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("text"); // the beginning of the text printed

        const QString cwd = QDir::currentPath() + u'/';
        QTest::newRow("nothing") << QStringList{} << Action::Run << QStringList{} << "";
        QTest::newRow("help") << QStringList{"--help"} << Action::Inform << QStringList{}
                              << "Usage: Lumiwand16 [OPTIONS] [FILE...]\n\n" +
                                     messages::lookupMessage(msg::ProgramDescription);
        QTest::newRow("help before a file") << QStringList{"-h", "show.lwd"} << Action::Inform << QStringList{}
                                            << "Usage: Lumiwand16";
        QTest::newRow("version") << QStringList{"--version"} << Action::Inform << QStringList{}
                                 << "Lumiwand16 " LUMIWAND_VERSION "\n";
        QTest::newRow("short version") << QStringList{"-v"} << Action::Inform << QStringList{} << "Lumiwand16 ";
        QTest::newRow("project images and pictures, either case, in order")
            << QStringList{"/tmp/show.lwd", "stick.BIN", "photo.JPG", "/a/logo.bmp", "x.jpeg", "spin.gif"}
            << Action::Run
            << QStringList{"/tmp/show.lwd", cwd + "stick.BIN", cwd + "photo.JPG", "/a/logo.bmp", cwd + "x.jpeg",
                           cwd + "spin.gif"}
            << "";
        QTest::newRow("a name after --") << QStringList{"--", "-odd.bmp"} << Action::Run
                                         << QStringList{cwd + "-odd.bmp"} << "";
        QTest::newRow("another file") << QStringList{"show.lwd", "notes.txt"} << Action::Refuse << QStringList{}
                                      << messages::formatMessage(msg::UnknownFileType, "Lumiwand16", "notes.txt");
        QTest::newRow("no extension") << QStringList{"project"} << Action::Refuse << QStringList{}
                                      << messages::formatMessage(msg::UnknownFileType, "Lumiwand16", "project");
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << Action::Refuse << QStringList{}
                                        << messages::formatMessage(msg::UnknownOption, "Lumiwand16", "--frobnicate",
                                                                   "Lumiwand16");
        QTest::newRow("a value to a switch") << QStringList{"--version=2"} << Action::Refuse << QStringList{}
                                             << messages::formatMessage(msg::OptionTakesNoValue, "Lumiwand16",
                                                                        "--version", "Lumiwand16");
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(QStringList, files);
        QFETCH(QString, text);
        const ProgramCommandLine line =
            app::parseProgramArguments(QStringList{"/usr/lib/lumiwand/Lumiwand16"} + arguments);
        QCOMPARE(line.action, action);
        QCOMPARE(line.files, files);
        QVERIFY2(text.isEmpty() ? line.text.isEmpty() : line.text.startsWith(text), qPrintable(line.text));
        if (action == Action::Refuse)
            QVERIFY2(!line.text.contains(u'\n'), "a refusal is one line");
        // Help and version are answered before the toolkit sees the command line; nothing else is.
        QCOMPARE(app::informationRequest(QStringList{"Lumiwand16"} + arguments).has_value(), action == Action::Inform);
    }

    // The toolkit's own options are still in the command line when help is asked for before it starts.
    void helpAmongTheToolkitsOptions()
    {
        const auto line = app::informationRequest({"Lumiwand16", "-platform", "offscreen", "--help"});
        QVERIFY(line.has_value());
        QCOMPARE(line->action, Action::Inform);
    }
};

QTEST_GUILESS_MAIN(tst_ProgramArguments)
#include "tst_ProgramArguments.moc"
