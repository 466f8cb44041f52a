#include "shell/Installation.h"
#include "shell/LanguageChoice.h"
#include "messages/MessageCatalogue.h"
#include "shell/StartMode.h"

#include <QTest>

using namespace shell;

Q_DECLARE_METATYPE(shell::StartMode)

// What the invoked name decides: the start mode and its flags, the installer's names, the language dialog's rules.
class TestStartMode : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { messages::setSystemLanguageForTesting(0); }

    void startModeFromThePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<StartMode>("installerMode");
        QTest::addColumn<StartMode>("mode");
        QTest::addColumn<bool>("simplified");
        QTest::addColumn<bool>("easy");
        const auto N = StartMode::Normal;
        QTest::newRow("full editor") << "/usr/bin/Lumiwand16" << N << N << false << false;
        QTest::newRow("uninstall wins over setup") << "/tmp/setup/uninstallLumiwand16" << StartMode::Uninstall
                                                   << StartMode::Uninstall << false << false;
        QTest::newRow("setup") << "/x/setup_Lumiwand16" << StartMode::Setup << StartMode::Setup << false << false;
        QTest::newRow("Setup in capitals") << "/x/Setup_Lumiwand16.exe" << StartMode::Setup << StartMode::Setup
                                           << false << false;
        QTest::newRow("a folder named setup files") << "/home/u/setup files/Lumiwand16" << StartMode::Setup
                                                    << StartMode::Setup << false << false;
        QTest::newRow("express") << "/x/Lumiwand_exp16" << N << StartMode::Express << true << false;
        QTest::newRow("_express holds _exp") << "/x/Lumiwand_express16.exe" << N << StartMode::Express << true
                                             << false;
        QTest::newRow("easy") << "/x/LUMIWAND_EASY24" << N << StartMode::Easy << true << true;
        QTest::newRow("mass production") << "/x/Lumiwand_mptool48" << N << StartMode::MassProduction << true
                                         << false;
        QTest::newRow("_exp before _easy") << "/x/_easy/Lumiwand_exp16" << N << StartMode::Express << true << false;
        QTest::newRow("a folder selects the mode") << "/opt/x_mptool/Lumiwand16" << N << StartMode::MassProduction
                                                   << true << false;
        QTest::newRow("factory is not a mode") << "/x/Lumiwand_factory16" << N << N << false << false;
    }
    void startModeFromThePath()
    {
        QFETCH(QString, path);
        QFETCH(StartMode, mode);
        QTEST(installerModeFor(path), "installerMode");
        QCOMPARE(startModeFor(path), mode);
        const RunModeFlags flags = runModeFlagsFor(mode);
        QTEST(flags.simplifiedMode, "simplified");
        QTEST(flags.easyMode, "easy");
    }

    void installNames_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("programName");
        QTest::addColumn<QString>("uninstaller");
        QTest::newRow("16 LEDs") << "setup_Lumiwand16" << "16" << "Lumiwand" << "/i/uninstallLumiwand16";
        QTest::newRow("with an extension") << "setup_Lumiwand16.exe" << "16" << "Lumiwand" << "/i/uninstallLumiwand16";
        QTest::newRow("express") << "setup_Lumiwand_exp48" << "48" << "Lumiwand_exp" << "/i/uninstallLumiwand_exp48";
        QTest::newRow("Setup with a capital is not found") << "Setup_Lumiwand16.exe" << "16" << "_Lumiwand"
                                                           << "/i/uninstall_Lumiwand16";
        QTest::newRow("no setup in the name") << "Lumiwand16" << "16" << "and" << "/i/uninstalland16";
        QTest::newRow("nothing between") << "setup16" << "16" << "" << "/i/uninstall16";
    }
    void installNames()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, digits);
        QFETCH(QString, programName);
        const InstallNames names = installNamesFor(fileName, QStringLiteral("/i/"));
        QCOMPARE(names.editionDigits, digits);
        QCOMPARE(names.programName, programName);
        QCOMPARE(names.programFileName, programName + digits);
        QCOMPARE(names.installedExe, QStringLiteral("/i/") + programName + digits);
        QTEST(names.uninstallerExe, "uninstaller");
    }

    void uninstallerNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("ledCount");
        QTest::addColumn<QString>("baseName");
        QTest::addColumn<QString>("title");
        QTest::newRow("16") << "/i/uninstallLumiwand16" << 16 << "Lumiwand16" << "Uninstall Lumiwand16";
        QTest::newRow("express") << "/i/uninstallLumiwand_exp32.exe" << 32 << "Lumiwand_exp32"
                                 << "Uninstall Lumiwand Express32";
        QTest::newRow("easy") << "/i/uninstallLumiwand_easy48" << 48 << "Lumiwand_easy48"
                              << "Uninstall Lumiwand Easy48";
        QTest::newRow("too short") << "/i/uninstall" << 32 << "" << "Uninstall Lumiwand32";
    }
    void uninstallerNames()
    {
        QFETCH(QString, path);
        QFETCH(int, ledCount);
        QTEST(uninstalledBaseName(path.section(u'/', -1)), "baseName");
        QTEST(uninstallTitleFor(path, ledCount), "title");
    }

    void languageDialogRules_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("system");
        QTest::addColumn<QString>("preselected");
        QTest::addColumn<QString>("systemText");
        QTest::newRow("nothing stored, US English") << -1 << 0x0409 << "English" << "English";
        QTest::newRow("unreadable, Hong Kong") << 65535 << 0x0C04 << "Traditional Chinese" << "繁體中文";
        QTest::newRow("stored Japanese on a German system") << 1041 << 0x0407 << "Japanese" << "Deutsch";
        QTest::newRow("stored Brazilian") << 1046 << 0x0409 << "Portuguese" << "English";
        QTest::newRow("stored Singapore Chinese") << 4100 << 0x0409 << "Simplified Chinese" << "English";
        QTest::newRow("stored 0 is English") << 0 << 0x0411 << "English" << "日本語";
        QTest::newRow("stored French is not listed") << 1036 << 0x040C << "English" << "Français";
        QTest::newRow("Thai system") << -1 << 0x041E << "English" << "ไทย";
        QTest::newRow("Russian system") << -1 << 0x0419 << "English" << "Русский";
        QTest::newRow("Macau falls to English") << -1 << 0x1404 << "English" << "English";
    }
    void languageDialogRules()
    {
        QFETCH(int, stored);
        QFETCH(int, system);
        const int entry = preselectedLanguageEntry(stored, messages::LangId(system));
        QTEST(QString::fromLatin1(languageDialogEntries().at(entry).text), "preselected");
        QTEST(languageOwnName(messages::LangId(system)), "systemText");
    }

    void languageEntriesInOrder()
    {
        QStringList texts;
        QList<int> ids;
        for (const LanguageEntry& entry : languageDialogEntries()) {
            texts << QString::fromLatin1(entry.text);
            ids << entry.language;
        }
        QCOMPARE(texts, QStringList({"English", "Japanese", "Portuguese", "Simplified Chinese",
                                     "Traditional Chinese"}));
        QCOMPARE(ids, QList<int>({1033, 1041, 2070, 2052, 1028}));
    }
};

QTEST_GUILESS_MAIN(TestStartMode)
#include "tst_StartMode.moc"
