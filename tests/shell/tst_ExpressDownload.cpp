#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "shell/AppState.h"
#include "shell/ExpressProject.h"
#include "shell/windows/Windows.h"
#include "store/Project.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace shell;

// The express window with the real download dialog and the simulated stick.
class tst_ExpressDownload : public QObject {
    Q_OBJECT

    AppState state_;
    ScriptedPrompter prompter_;
    devicelink::QtEventPump pump_;
    std::unique_ptr<devicelink::SimulatedHidPlatform> platform_;
    std::unique_ptr<Windows> windows_;
    QTemporaryDir stick_;

    // A 16-LED stick of 2048 bytes.
    ExpressWindow& start(devicelink::SimulatedDeviceConfig config)
    {
        config.identity = u'E';
        platform_ = std::make_unique<devicelink::SimulatedHidPlatform>(pump_, config);
        state_ = AppState();
        state_.invokedPath = QStringLiteral("/opt/Lumiwand_exp16");
        windows_ = std::make_unique<Windows>(state_, prompter_, *platform_, pump_, [] { return false; });
        state_.simplifiedMode = true;
        windows_->updateDownloadDialog();
        QDir(state_.workspace.clipsFolder).removeRecursively();
        QDir().mkpath(state_.workspace.clipsFolder);
        const QString path = state_.workspace.projectsFolder + kExpressProjectName;
        store::createProject(path, 16, 16);
        store::Project project(path);
        for (int i = 0; i < 3; ++i) {
            const QString name = QStringLiteral("d%1.bmp").arg(i);
            imaging::LitGrid grid(40, 16);
            for (int col = 0; col < 40; ++col)
                grid.setLit(col, (col + i) % 16);
            imaging::savePicture(grid, state_.workspace.clipsFolder, name, imaging::ExistingFile::Replace);
            store::appendEntry(project, state_.workspace.clipsFolder, name, 0, -1, -1, false);
        }
        windows_->expressWindow.show();
        prompter_.answers << messages::Answer::No; // the read-back question when the stick is found
        windows_->expressWindow.Timer1Timer();
        return windows_->expressWindow;
    }

private slots:
    void cleanup()
    {
        windows_.reset();
        platform_.reset();
        prompter_ = ScriptedPrompter();
    }

    void downloadWritesTheStick()
    {
        devicelink::SimulatedDeviceConfig config;
        config.memoryFile = stick_.filePath(QStringLiteral("stick.bin"));
        ExpressWindow& form = start(config);
        const QByteArray project = fileContents(state_.workspace.projectsFolder + kExpressProjectName);
        form.BitBtn1->click();
        QVERIFY(platform_->device().events().contains(QStringLiteral("end-write")));
        QVERIFY(prompter_.texts().last().startsWith(QStringLiteral("Download ")));
        QCOMPARE(platform_->openTransfers(), 0);
        QVERIFY(form.Timer1->isActive());
        QCOMPARE(fileContents(state_.workspace.projectsFolder + kExpressProjectName), project);
    }

    // Pulled out halfway through a download over what the stick held: one message, polling again, the project as
    // it was, nothing left open.
    void unpluggedDuringDownload()
    {
        devicelink::SimulatedDeviceConfig config;
        config.memoryFile = stick_.filePath(QStringLiteral("unplugged.bin"));
        ExpressWindow& form = start(config);
        form.BitBtn1->click();
        config.identity = u'E';
        config.unplugAfterWrites = 400;
        platform_->replug(config);
        const QByteArray project = fileContents(state_.workspace.projectsFolder + kExpressProjectName);
        const int asked = prompter_.shown.size();

        form.BitBtn1->click();
        QCOMPARE(prompter_.texts().mid(asked), QStringList{messages::lookupMessage(msg::ConnectionBroken)});
        QCOMPARE(platform_->openTransfers(), 0);
        QVERIFY(!windows_->downloadDialog.isVisible());
        QVERIFY(form.Timer1->isActive());
        QVERIFY(!form.poll().dialogOpen);
        QCOMPARE(fileContents(state_.workspace.projectsFolder + kExpressProjectName), project);
        form.Timer1Timer();
        QCOMPARE(form.Label1->text(), messages::lookupMessage(msg::NoDeviceDetected));
    }

    // Text to Banner: the dialog's OK puts the banner at the end of the strip, numbered and marked.
    void textToBannerAddsToTheStrip()
    {
        ExpressWindow& form = start({});
        QTimer::singleShot(0, this, [this] {
            windows_->textToBanner.Edit1->setText(QStringLiteral("Hi"));
            windows_->textToBanner.Button3->click();
        });
        form.BitBtn6->click();
        QCOMPARE(form.strip().rowCount(), 4);
        QCOMPARE(form.strip().selectedRow(), 3);
        QVERIFY(form.strip().marked(3));
        QVERIFY(form.Images[3]->isVisible());
        QCOMPARE(form.Label3->text(), QStringLiteral("4"));
        store::Project project(state_.workspace.projectsFolder + kExpressProjectName);
        QCOMPARE(project.pictureName(3), QStringLiteral("Hi.bmp"));
        QVERIFY(!form.Image1->pixmap().isNull());
    }

    // A double click on the preview box plays the express project's image in the show preview.
    void previewBoxPlaysTheProject()
    {
        ExpressWindow& form = start({});
        QTest::mouseDClick(form.GroupBox3, Qt::LeftButton);
        QVERIFY(windows_->showPreview.isVisible());
        QCOMPARE(windows_->showPreview.timeline().entries.size(), size_t(3));
        QVERIFY(windows_->showPreview.timeline().problem.isEmpty());
        QVERIFY(windows_->showPreview.playing());
        windows_->showPreview.close();
    }

    // With the preview's check box ticked, Read Data plays what the stick holds first: "Do not import" leaves the
    // project as it was, "Import" reads it in.
    void readBackPlayedBeforeImport()
    {
        devicelink::SimulatedDeviceConfig config;
        config.memoryFile = stick_.filePath(QStringLiteral("review.bin"));
        ExpressWindow& form = start(config);
        form.BitBtn1->click();
        QVERIFY(platform_->device().events().contains(QStringLiteral("end-write")));
        windows_->showPreview.reviewBox->setChecked(true);
        const QString path = state_.workspace.projectsFolder + kExpressProjectName;
        store::Project(path).setMovieInterval(80); // a mark the import would overwrite
        const QByteArray before = fileContents(path);

        for (QPushButton* answer : {windows_->showPreview.skipImportButton, windows_->showPreview.importButton}) {
            // The answer is given once the preview waits for it (the read itself runs the event loop too).
            int played = 0;
            QTimer waiter;
            connect(&waiter, &QTimer::timeout, answer, [&] {
                if (!windows_->showPreview.importBar->isVisible())
                    return;
                waiter.stop();
                played = int(windows_->showPreview.timeline().entries.size());
                answer->click();
            });
            waiter.start(10);
            windows_->downloadDialog.transfers().readData();
            QCOMPARE(played, 3);
            QVERIFY(!windows_->showPreview.isVisible());
            QCOMPARE(fileContents(path) == before, answer == windows_->showPreview.skipImportButton);
        }
        QCOMPARE(platform_->openTransfers(), 0);
    }
};

QTEST_MAIN(tst_ExpressDownload)
#include "tst_ExpressDownload.moc"
