#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QByteArray digestOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

} // namespace

// The built program started by its names, each run on a fresh HOME under the offscreen platform.
class TestProgramStart : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<QProcess> process_;

    void launch(const QString& program)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home_->path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home_->path() + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home_->path() + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("XDG_DOCUMENTS_DIR"));
        process_ = std::make_unique<QProcess>();
        process_->setProcessEnvironment(environment);
        process_->setProcessChannelMode(QProcess::ForwardedChannels);
        process_->start(program, {});
        QVERIFY2(process_->waitForStarted(5000), qPrintable(program));
    }

    QString home(const QString& relative) const { return home_->path() + u'/' + relative; }

    static QString built(const QString& name) { return QStringLiteral(LUMIWAND_PROGRAM_DIR "/") + name; }

private slots:
    void init()
    {
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(home_->isValid());
        QVERIFY(QDir().mkpath(home(QStringLiteral("Desktop"))));
    }

    void cleanup()
    {
        if (process_ && process_->state() != QProcess::NotRunning) {
            process_->terminate();
            if (!process_->waitForFinished(5000)) {
                process_->kill();
                process_->waitForFinished(5000);
            }
        }
        process_.reset();
    }

    void fullEditorPreparesItsWorkspaceAndStays()
    {
        launch(built(QStringLiteral("Lumiwand16")));
        const QString starter = home(QStringLiteral("Documents/MyLumiwand/16MyLumiwandProjects/QuickStart.ini"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(starter), 10000);
        QVERIFY(QFileInfo(home(QStringLiteral("Documents/MyLumiwand/16Clips"))).isDir());
        QVERIFY(QFileInfo(home(QStringLiteral("Documents/MyLumiwand/16Export"))).isDir());
        QTest::qWait(2000); // past the start-up window's first tick: the main window is open
        QCOMPARE(process_->state(), QProcess::Running);
    }

    void massProductionToolStays()
    {
        launch(built(QStringLiteral("Lumiwand_mptool48")));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(home(QStringLiteral("Documents/MyLumiwand/48Export"))).isDir(), 10000);
        QTest::qWait(2000);
        QCOMPARE(process_->state(), QProcess::Running);
    }

    // The installer copies the program itself; the installed copy then starts as the 16-LED full editor.
    void setupInstallsARunnableCopy()
    {
        launch(built(QStringLiteral("setup_Lumiwand16")));
        const QString uninstallEntry = home(QStringLiteral(".local/share/applications/Lumiwand/Uninstall Lumiwand16.desktop"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(uninstallEntry), 15000);
        const QString installed = home(QStringLiteral(".local/opt/Lumiwand/Lumiwand16"));
        const QByteArray program = digestOf(QFileInfo(built(QStringLiteral("Lumiwand"))).canonicalFilePath());
        QTRY_COMPARE_WITH_TIMEOUT(digestOf(home(QStringLiteral(".local/opt/Lumiwand/uninstallLumiwand16"))), program,
                                  5000);
        QCOMPARE(digestOf(installed), program);
        QVERIFY(QFile::exists(home(QStringLiteral("Desktop/Lumiwand16.desktop"))));
        QTest::qWait(1500); // the completion box is open: the installer waits for it
        QCOMPARE(process_->state(), QProcess::Running);
        cleanup();

        QFile::remove(home(QStringLiteral("Documents/MyLumiwand/16MyLumiwandProjects/QuickStart.ini")));
        launch(installed);
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(home(QStringLiteral("Documents/MyLumiwand/16MyLumiwandProjects/QuickStart.ini"))), 10000);
        QTest::qWait(1500);
        QCOMPARE(process_->state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestProgramStart)
#include "tst_ProgramStart.moc"
