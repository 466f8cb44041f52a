#include "shell/DesktopEntry.h"
#include "shell/Installation.h"
#include "messages/MessageCatalogue.h"
#include "store/IniFile.h"
#include "store/Workspace.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace shell;

namespace {

// The arguments of an Exec value, read back as a desktop reads them: the string escapes first, then the
// quoting (inside double quotes a backslash takes the next character as it is), and "%%" as one "%" in every
// argument, quoted or not, as desktops expand field codes.
QStringList execArguments(const QString& exec)
{
    QString value;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] == u'\\' && i + 1 < exec.size()) {
            const QChar next = exec[++i];
            value += next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next == u'r' ? QChar(u'\r') : next;
        } else {
            value += exec[i];
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool inArgument = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'%' && i + 1 < value.size() && value[i + 1] == u'%') {
            current += value[++i];
            inArgument = true;
        } else if (quoted) {
            if (c == u'\\' && i + 1 < value.size())
                current += value[++i];
            else if (c == u'"')
                quoted = false;
            else
                current += c;
        } else if (c == u'"') {
            quoted = inArgument = true;
        } else if (c == u' ') {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    return arguments;
}

QString entryValue(const QString& entryPath, const QString& key)
{
    QFile file(entryPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    return {};
}

} // namespace

Q_DECLARE_METATYPE(messages::Answer)

// Installation and uninstallation on a private HOME: what is created, what is removed at once, what is left
// for the next login, and what is never touched.
class TestInstallation : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;
    QString homePath_;
    QString root_;
    QString program_; // the bytes the installer copies
    ScriptedPrompter prompter_;
    QList<int> waits_;

    InstallRun run(const QString& invokedName, int ledCount)
    {
        InstallRun run;
        run.invokedPath = QStringLiteral("/media/usb/") + invokedName;
        run.runningExecutable = program_;
        run.ledCount = ledCount;
        run.rootFolder = root_;
        run.folders = InstallFolders::forCurrentUser();
        run.prompter = &prompter_;
        run.wait = [this](int milliseconds) { waits_ << milliseconds; };
        return run;
    }

    void prepareEdition(int ledCount)
    {
        store::prepareWorkspace(homePath_ + QStringLiteral("/Documents/"), ledCount, ledCount);
    }

    // Every file and folder under HOME with its size, to see that nothing else changed.
    QStringList snapshot() const
    {
        QStringList all;
        QDirIterator it(homePath_, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            all << it.filePath().mid(homePath_.size()) + u' ' + QString::number(it.fileInfo().size());
        }
        all.sort();
        return all;
    }

    QStringList autostartEntries() const
    {
        return QDir(homePath_ + QStringLiteral("/.config/autostart")).entryList(QDir::Files, QDir::Name);
    }

    // Runs the pending removals as the next login would.
    void login()
    {
        const QString folder = homePath_ + QStringLiteral("/.config/autostart/");
        for (const QString& name : autostartEntries()) {
            const QStringList arguments = execArguments(entryValue(folder + name, QStringLiteral("Exec")));
            QVERIFY2(arguments.size() >= 2, qPrintable(name));
            QCOMPARE(QProcess::execute(arguments.first(), arguments.mid(1)), 0);
        }
    }

    QString installFolder() const { return homePath_ + QStringLiteral("/.local/opt/Lumiwand/"); }
    QString menuFolder() const { return homePath_ + QStringLiteral("/.local/share/applications/Lumiwand/"); }
    QString desktop() const { return homePath_ + QStringLiteral("/Desktop/"); }

private slots:
    void init()
    {
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(home_->isValid());
        homePath_ = home_->path();
        qputenv("HOME", QFile::encodeName(homePath_));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(homePath_ + QStringLiteral("/.config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(homePath_ + QStringLiteral("/.local/share")));
        QVERIFY(QDir().mkpath(desktop()));
        root_ = homePath_ + QStringLiteral("/Documents/MyLumiwand/");
        program_ = homePath_ + QStringLiteral("/program.bin");
        writeFile(program_, "first build");
        QFile::setPermissions(program_, QFile::permissions(program_) | QFile::ExeOwner);
        prompter_ = ScriptedPrompter();
        waits_.clear();
    }

    void execQuotingRoundTrips_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("plain") << "/home/u/.local/opt/Lumiwand/Lumiwand16";
        QTest::newRow("spaces") << "/home/u/My Documents/MyLumiwand/";
        QTest::newRow("shell characters") << "/h/a\"b`c$d\\e;f&g|h*i?j~k<l>m'n(o)p#q";
        QTest::newRow("percent") << "/h/100%/%f";
        QTest::newRow("line break") << "/h/a\nb";
    }
    void execQuotingRoundTrips()
    {
        QFETCH(QString, argument);
        const QString line = execLine(QStringLiteral("rm"), {argument, QStringLiteral("x y")});
        QVERIFY(!line.contains(u'\n'));
        QCOMPARE(execArguments(line), QStringList({"rm", argument, "x y"}));
    }

    // A launcher that cannot be written on a full disk is reported to the caller, and the one there stays whole.
    void fullDiskKeepsTheOldLauncher()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("mounting a small tmpfs needs root");
        const QString launcher = disk.path(QStringLiteral("Lumiwand16.desktop"));
        QVERIFY(createShortcut(QStringLiteral("/opt/Lumiwand16"), launcher, QStringLiteral("Lumiwand16"), QString(),
                               true));
        const QByteArray before = fileContents(launcher);
        disk.fill();
        QVERIFY(!createShortcut(QStringLiteral("/opt/Lumiwand32"), launcher, QStringLiteral("Lumiwand32"), QString(),
                                true));
        QCOMPARE(fileContents(launcher), before);
        QVERIFY(QFileInfo(launcher).isExecutable());
    }

    void installPutsEverythingInPlace()
    {
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));

        const QString program = installFolder() + QStringLiteral("Lumiwand16");
        const QString uninstaller = installFolder() + QStringLiteral("uninstallLumiwand16");
        QCOMPARE(fileContents(program), QByteArray("first build"));
        QCOMPARE(fileContents(uninstaller), QByteArray("first build"));
        QVERIFY(QFileInfo(program).isExecutable());
        QVERIFY(QFileInfo(uninstaller).isExecutable());
        QVERIFY(fileContents(installFolder() + QStringLiteral("lumiwand.svg")).contains("<svg"));

        const QString launcher = desktop() + QStringLiteral("Lumiwand16.desktop");
        QCOMPARE(entryValue(launcher, QStringLiteral("Name")), QStringLiteral("Lumiwand16"));
        QCOMPARE(execArguments(entryValue(launcher, QStringLiteral("Exec"))), QStringList(program));
        QCOMPARE(entryValue(launcher, QStringLiteral("Icon")), installFolder() + QStringLiteral("lumiwand.svg"));
        QVERIFY(QFileInfo(launcher).isExecutable());

        QCOMPARE(QDir(menuFolder()).entryList(QDir::Files, QDir::Name),
                 QStringList({"Lumiwand16.desktop", "Uninstall Lumiwand16.desktop"}));
        const QString uninstallEntry = menuFolder() + QStringLiteral("Uninstall Lumiwand16.desktop");
        QCOMPARE(entryValue(uninstallEntry, QStringLiteral("Name")), QStringLiteral("Uninstall Lumiwand16"));
        QCOMPARE(execArguments(entryValue(uninstallEntry, QStringLiteral("Exec"))), QStringList(uninstaller));
        QCOMPARE(execArguments(entryValue(menuFolder() + QStringLiteral("Lumiwand16.desktop"),
                                          QStringLiteral("Exec"))),
                 QStringList(program));

        const store::IniFile record(installFolder() + QStringLiteral("Uninstall.ini"));
        QCOMPARE(record.readString("Lumiwand", "DisplayName"), QStringLiteral("Lumiwand16"));
        QCOMPARE(record.readString("Lumiwand", "UninstallString"), uninstaller);
        QCOMPARE(record.readString("Lumiwand", "DisplayIcon"), installFolder() + QStringLiteral("lumiwand.svg"));

        QCOMPARE(waits_, QList<int>({1000, 1000}));
        QCOMPARE(prompter_.shown.size(), 1);
        QCOMPARE(prompter_.shown[0].title, QStringLiteral("Install"));
        QCOMPARE(prompter_.shown[0].text,
                 QStringLiteral("Lumiwand install completed!\n\nYou can find it in your applications menu and on your desktop."));
        QCOMPARE(prompter_.shown[0].icon, messages::Icon::Information);
        QVERIFY(autostartEntries().isEmpty());
    }

    void secondInstallReplacesTheFirst()
    {
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));
        const QStringList first = snapshot();
        writeFile(program_, "second build!");
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));
        QCOMPARE(fileContents(installFolder() + QStringLiteral("Lumiwand16")), QByteArray("second build!"));
        QCOMPARE(fileContents(installFolder() + QStringLiteral("uninstallLumiwand16")), QByteArray("second build!"));
        // The same files, nothing left over; only the two program copies grew by two bytes.
        QStringList expected = first;
        expected.replaceInStrings(QRegularExpression(QStringLiteral("^(/program.bin|.*Lumiwand16) 11$")),
                                  QStringLiteral("\\1 13"));
        QCOMPARE(snapshot(), expected);

        // Another edition installs beside it and owns the record from then on.
        runInstall(run(QStringLiteral("setup_Lumiwand32"), 32));
        QVERIFY(QFile::exists(installFolder() + QStringLiteral("Lumiwand16")));
        QVERIFY(QFile::exists(installFolder() + QStringLiteral("Lumiwand32")));
        QCOMPARE(QDir(menuFolder()).entryList(QDir::Files).size(), 4);
        QCOMPARE(store::IniFile(installFolder() + QStringLiteral("Uninstall.ini")).readString("Lumiwand",
                                                                                            "DisplayName"),
                 QStringLiteral("Lumiwand32"));
    }

    void missingOrUnwritableDesktop_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("no desktop folder") << false;
        QTest::newRow("desktop is a file") << true;
    }
    void missingOrUnwritableDesktop()
    {
        QFETCH(bool, blocked);
        QVERIFY(QDir(desktop()).removeRecursively());
        if (blocked)
            writeFile(homePath_ + QStringLiteral("/Desktop"), "not a folder");
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));
        QCOMPARE(QFileInfo(homePath_ + QStringLiteral("/Desktop")).exists(), blocked);
        if (blocked)
            QCOMPARE(fileContents(homePath_ + QStringLiteral("/Desktop")), QByteArray("not a folder"));
        // Everything else is in place and the installation completes.
        QVERIFY(QFile::exists(installFolder() + QStringLiteral("uninstallLumiwand16")));
        QCOMPARE(QDir(menuFolder()).entryList(QDir::Files).size(), 2);
        QCOMPARE(prompter_.shown.size(), 1);
        QCOMPARE(prompter_.shown[0].title, QStringLiteral("Install"));
    }

    void unwritableInstallFolderStopsAtTheRecord()
    {
        QVERIFY(QDir().mkpath(homePath_ + QStringLiteral("/.local/opt")));
        writeFile(homePath_ + QStringLiteral("/.local/opt/Lumiwand"), "in the way");
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));
        // The copies fail silently, the desktop launcher is made, then the record cannot be written: the error
        // is shown and the remaining steps are not done.
        QVERIFY(QFile::exists(desktop() + QStringLiteral("Lumiwand16.desktop")));
        QVERIFY(!QFile::exists(menuFolder()));
        QCOMPARE(prompter_.shown.size(), 1);
        QCOMPARE(prompter_.shown[0].text,
                 QStringLiteral("Unable to write to ") + installFolder() + QStringLiteral("Uninstall.ini"));
        QCOMPARE(prompter_.shown[0].icon, messages::Icon::Stop);
        QCOMPARE(waits_, QList<int>({1000}));
    }

    void uninstallAnsweredNoChangesNothing()
    {
        prepareEdition(16);
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));
        prompter_.shown.clear();
        const QStringList before = snapshot();
        prompter_.answers.enqueue(messages::Answer::No);
        runUninstall(run(QStringLiteral("uninstallLumiwand16"), 16));
        QCOMPARE(snapshot(), before);
        QCOMPARE(prompter_.shown.size(), 1);
        QCOMPARE(prompter_.shown[0].title, QStringLiteral("Uninstall Lumiwand"));
        QCOMPARE(prompter_.shown[0].text, QStringLiteral("Do you really want to Uninstall Lumiwand?"));
        QCOMPARE(prompter_.shown[0].buttons, messages::Buttons::YesNo);
    }

    void uninstallingTheLastEditionClearsEverything()
    {
        prepareEdition(16);
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));
        writeFile(root_ + QStringLiteral("16Clips/star.bmp"), "BM");
        writeFile(desktop() + QStringLiteral("notes.txt"), "mine");
        prompter_.shown.clear();
        prompter_.answers.enqueue(messages::Answer::Yes);
        prompter_.answers.enqueue(messages::Answer::Yes); // the user's own work too
        runUninstall(run(QStringLiteral("uninstallLumiwand16"), 16));

        QCOMPARE(prompter_.shown.size(), 3);
        QCOMPARE(prompter_.shown[2].title, QStringLiteral("Uninstall Lumiwand"));
        QCOMPARE(prompter_.shown[2].text, QStringLiteral("Uninstall OK!"));
        QCOMPARE(prompter_.shown[2].icon, messages::Icon::None);

        // At once: the launchers, the menu folder and the record go; the program and the workspace stay.
        QVERIFY(!QFile::exists(desktop() + QStringLiteral("Lumiwand16.desktop")));
        QVERIFY(!QFile::exists(menuFolder()));
        QVERIFY(!store::IniFile(installFolder() + QStringLiteral("Uninstall.ini")).sectionExists("Lumiwand"));
        QVERIFY(QFile::exists(installFolder() + QStringLiteral("Lumiwand16")));
        QVERIFY(QFile::exists(root_ + QStringLiteral("16Clips/star.bmp")));
        QCOMPARE(autostartEntries(), QStringList({"ClearLumiwandDir.desktop", "UnIninstallLumiwandDir.desktop"}));
        const QString clear = homePath_ + QStringLiteral("/.config/autostart/ClearLumiwandDir.desktop");
        QCOMPARE(execArguments(entryValue(clear, QStringLiteral("Exec"))),
                 QStringList({"rm", "-rf", "--", root_, clear}));

        // At the next login the install folder and the workspace root go, and the entries with them.
        login();
        QVERIFY(!QFile::exists(installFolder()));
        QVERIFY(!QFile::exists(root_));
        QVERIFY(autostartEntries().isEmpty());
        QCOMPARE(fileContents(desktop() + QStringLiteral("notes.txt")), QByteArray("mine"));
        QVERIFY(QFile::exists(homePath_ + QStringLiteral("/Documents")));
    }

    // The user's own pictures and projects go only after a second question that names their folders and says
    // what they hold; its default, No, keeps them and removes only the program.
    void usersWorkIsDeletedOnlyWhenAskedFor_data()
    {
        QTest::addColumn<bool>("otherEdition");
        QTest::addColumn<messages::Answer>("answer");
        QTest::addColumn<QStringList>("removals");
        QTest::newRow("last edition, work kept")
            << false << messages::Answer::No << QStringList{"UnIninstallLumiwandDir.desktop"};
        QTest::newRow("last edition, work deleted")
            << false << messages::Answer::Yes
            << QStringList{"ClearLumiwandDir.desktop", "UnIninstallLumiwandDir.desktop"};
        QTest::newRow("beside another edition, work kept")
            << true << messages::Answer::No << QStringList{"UnIninstallExe16.desktop", "UnIninstallLumiwandExe16.desktop"};
        QTest::newRow("beside another edition, work deleted")
            << true << messages::Answer::Yes
            << QStringList{"UnIninstallExe16.desktop", "UnIninstallLumiwandClp16.desktop",
                           "UnIninstallLumiwandExe16.desktop", "UnIninstallLumiwandExpo16.desktop",
                           "UnIninstallLumiwandPrj16.desktop"};
    }
    void usersWorkIsDeletedOnlyWhenAskedFor()
    {
        QFETCH(bool, otherEdition);
        QFETCH(messages::Answer, answer);
        QFETCH(QStringList, removals);
        prepareEdition(16);
        if (otherEdition)
            prepareEdition(32);
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));
        writeFile(root_ + QStringLiteral("16Clips/star.bmp"), "BM");
        writeFile(root_ + QStringLiteral("16Clips/moon.bmp"), "BM");
        writeFile(root_ + QStringLiteral("16MyLumiwandProjects/Show.ini"), "[DIMENSION]\r\n");
        prompter_.shown.clear();
        prompter_.answers.enqueue(messages::Answer::Yes);
        prompter_.answers.enqueue(answer);
        runUninstall(run(QStringLiteral("uninstallLumiwand16"), 16));

        QCOMPARE(prompter_.shown.size(), 3);
        const ScriptedPrompter::Shown& question = prompter_.shown[1];
        QCOMPARE(question.title, QStringLiteral("Uninstall Lumiwand"));
        QCOMPARE(question.buttons, messages::Buttons::YesNoDefaultNo);
        const QString folders = otherEdition ? QStringList{root_ + "16MyLumiwandProjects/", root_ + "16Clips/",
                                                           root_ + "16Export/"}.join(u'\n')
                                             : root_;
        // Two pictures, and the starter project beside Show.
        QCOMPARE(question.text, messages::formatMessage(6083, folders.toUtf8().constData(), 2, 2));
        QCOMPARE(autostartEntries(), removals);

        login();
        QVERIFY(!QFile::exists(installFolder() + QStringLiteral("Lumiwand16")));
        const bool kept = answer == messages::Answer::No;
        QCOMPARE(QFile::exists(root_ + QStringLiteral("16Clips/star.bmp")), kept);
        QCOMPARE(QFile::exists(root_ + QStringLiteral("16MyLumiwandProjects/Show.ini")), kept);
        QCOMPARE(QFile::exists(root_ + QStringLiteral("16Export")), kept);
    }

    void anotherEditionKeepsItsData_data()
    {
        QTest::addColumn<int>("uninstalled");
        QTest::addColumn<int>("other");
        QTest::newRow("16 beside 32") << 16 << 32;
        QTest::newRow("16 beside 48") << 16 << 48;
        QTest::newRow("16 beside 24") << 16 << 24;
        QTest::newRow("11 beside 16") << 11 << 16;
        QTest::newRow("32 beside 11") << 32 << 11;
    }
    void anotherEditionKeepsItsData()
    {
        QFETCH(int, uninstalled);
        QFETCH(int, other);
        const QString mine = QString::number(uninstalled);
        const QString theirs = QString::number(other);
        prepareEdition(uninstalled);
        prepareEdition(other);
        runInstall(run(QStringLiteral("setup_Lumiwand") + theirs, other));
        runInstall(run(QStringLiteral("setup_Lumiwand") + mine, uninstalled));
        writeFile(root_ + theirs + QStringLiteral("Clips/theirs.bmp"), "BM");
        writeFile(root_ + QStringLiteral("Lumiwand.ini"), "[SETTING]\r\nUSER_LANGUAGE=1041\r\n");
        prompter_.answers.enqueue(messages::Answer::Yes);
        prompter_.answers.enqueue(messages::Answer::Yes); // the user's own work too
        runUninstall(run(QStringLiteral("uninstallLumiwand") + mine, uninstalled));

        QStringList expected;
        for (const char* name : {"UnIninstallLumiwandExe", "UnIninstallExe", "UnIninstallLumiwandPrj",
                                 "UnIninstallLumiwandClp", "UnIninstallLumiwandExpo"})
            expected << QString::fromLatin1(name) + mine + QStringLiteral(".desktop");
        expected.sort();
        QCOMPARE(autostartEntries(), expected);
        // The other edition's menu entries stay in the menu folder.
        QCOMPARE(QDir(menuFolder()).entryList(QDir::Files, QDir::Name),
                 QStringList({"Lumiwand" + theirs + ".desktop", "Uninstall Lumiwand" + theirs + ".desktop"}));

        login();
        for (const QString& folder : {QStringLiteral("Export"), QStringLiteral("Clips"),
                                      QStringLiteral("MyLumiwandProjects")}) {
            QVERIFY(!QFile::exists(root_ + mine + folder));
            QVERIFY(QFile::exists(root_ + theirs + folder));
        }
        QVERIFY(!QFile::exists(installFolder() + QStringLiteral("Lumiwand") + mine));
        QVERIFY(!QFile::exists(installFolder() + QStringLiteral("uninstallLumiwand") + mine));
        QVERIFY(QFile::exists(installFolder() + QStringLiteral("Lumiwand") + theirs));
        QVERIFY(QFile::exists(installFolder() + QStringLiteral("uninstallLumiwand") + theirs));
        QVERIFY(QFile::exists(root_ + theirs + QStringLiteral("Clips/theirs.bmp")));
        QVERIFY(QFile::exists(root_ + QStringLiteral("Lumiwand.ini")));
        QVERIFY(autostartEntries().isEmpty());
    }

    void uninstallRemovesOnlyItsOwnEntries()
    {
        prepareEdition(16);
        QVERIFY(QDir().mkpath(menuFolder()));
        writeFile(desktop() + QStringLiteral("Lumiwand16.desktop"), "[Desktop Entry]\nName=my own\n");
        writeFile(menuFolder() + QStringLiteral("Lumiwand16.desktop"), "[Desktop Entry]\nName=my own\n");
        prompter_.answers.enqueue(messages::Answer::Yes);
        runUninstall(run(QStringLiteral("uninstallLumiwand16"), 16));
        QCOMPARE(fileContents(desktop() + QStringLiteral("Lumiwand16.desktop")),
                 QByteArray("[Desktop Entry]\nName=my own\n"));
        QVERIFY(QFile::exists(menuFolder() + QStringLiteral("Lumiwand16.desktop")));
        QCOMPARE(prompter_.texts().last(), QStringLiteral("Uninstall OK!"));
    }

    void unwritableAutostartIsReported()
    {
        prepareEdition(16);
        QVERIFY(QDir().mkpath(homePath_ + QStringLiteral("/.config")));
        writeFile(homePath_ + QStringLiteral("/.config/autostart"), "in the way");
        prompter_.answers.enqueue(messages::Answer::Yes);
        runUninstall(run(QStringLiteral("uninstallLumiwand16"), 16));
        QCOMPARE(prompter_.shown.size(), 3); // the question, the one about the user's work, the error
        QVERIFY(prompter_.shown[2].text.startsWith(QStringLiteral("Unable to write to ") + homePath_ +
                                                   QStringLiteral("/.config/autostart/")));
        QCOMPARE(prompter_.shown[2].icon, messages::Icon::Stop);
    }

    void reinstallingWithdrawsPendingRemovals()
    {
        prepareEdition(16);
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));
        prompter_.answers.enqueue(messages::Answer::Yes);
        prompter_.answers.enqueue(messages::Answer::Yes); // the user's own work too
        runUninstall(run(QStringLiteral("uninstallLumiwand16"), 16));
        QCOMPARE(autostartEntries().size(), 2);
        runInstall(run(QStringLiteral("setup_Lumiwand16"), 16));
        QVERIFY(autostartEntries().isEmpty());
        login();
        QVERIFY(QFile::exists(installFolder() + QStringLiteral("Lumiwand16")));
        QVERIFY(QFile::exists(root_ + QStringLiteral("16Clips")));
    }
};

QTEST_GUILESS_MAIN(TestInstallation)
#include "tst_Installation.moc"
