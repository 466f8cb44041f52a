#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "shell/AppState.h"
#include "shell/windows/ExpressWindow.h"
#include "shell/ExpressProject.h"
#include "store/Project.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace shell;

// The express window under the offscreen platform, its dialogs replaced by scripted hooks.
class tst_ExpressWindow : public QObject {
    Q_OBJECT

    AppState state_;
    ScriptedPrompter prompter_;
    std::unique_ptr<ExpressWindow> form_;
    bool stickIn_ = false;
    QList<QPair<bool, bool>> downloadsOpened_; // (autoRead, autoDownload)
    std::function<void()> duringDownload_;

    ExpressWindow& start(const QString& program, int banners, bool easy = false)
    {
        state_ = AppState();
        state_.invokedPath = program;
        prepareAppState(state_, QDir::homePath() + QStringLiteral("/Documents/"));
        state_.simplifiedMode = true;
        state_.easyMode = easy;
        QDir(state_.workspace.clipsFolder).removeRecursively();
        QDir().mkpath(state_.workspace.clipsFolder);
        const QString path = state_.workspace.projectsFolder + kExpressProjectName;
        store::createProject(path, state_.edition.pictureWidth, state_.edition.ledCount);
        store::Project project(path);
        for (int i = 0; i < banners; ++i) {
            const QString name = QStringLiteral("b%1.bmp").arg(i);
            imaging::LitGrid grid(24, state_.edition.ledCount);
            grid.setLit(i % 24, 0);
            imaging::savePicture(grid, state_.workspace.clipsFolder, name, imaging::ExistingFile::Replace);
            store::appendEntry(project, state_.workspace.clipsFolder, name, 0, -1, -1, false);
        }

        ExpressDialogs dialogs;
        dialogs.discoverDevices = [this] { return stickIn_; };
        dialogs.openDownloadDialog = [this](bool autoRead, bool autoDownload) {
            downloadsOpened_ << qMakePair(autoRead, autoDownload);
            if (duringDownload_)
                duringDownload_();
            return false;
        };
        form_ = std::make_unique<ExpressWindow>(state_, prompter_, dialogs);
        form_->show();
        return *form_;
    }

    QStringList entries() const
    {
        store::Project project(state_.workspace.projectsFolder + kExpressProjectName);
        QStringList names;
        for (int entry = 0; entry < project.totalPictures(); ++entry)
            names << project.pictureName(entry);
        return names;
    }

private slots:
    void init()
    {
        prompter_ = ScriptedPrompter();
        stickIn_ = false;
        downloadsOpened_.clear();
        duringDownload_ = nullptr;
    }
    void cleanup() { form_.reset(); }

    void showsTheStrip_data()
    {
        QTest::addColumn<int>("banners");
        QTest::addColumn<bool>("scrollBar");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("slotsShown");
        QTest::newRow("none") << 0 << false << 1 << 0;
        QTest::newRow("14") << 14 << false << 1 << 14;
        QTest::newRow("15") << 15 << true << 1 << 14;
    }
    void showsTheStrip()
    {
        QFETCH(int, banners);
        ExpressWindow& form = start(QStringLiteral("/opt/Lumiwand_exp16"), banners);
        QCOMPARE(form.windowTitle(), QStringLiteral("Lumiwand 16  Ver 1.000"));
        QCOMPARE(form.size(), QSize(429, 566));
        QTEST(form.ScrollBar1->isVisible(), "scrollBar");
        QTEST(form.ScrollBar1->maximum(), "maximum");
        int shown = 0;
        for (StripSlot* slot : form.Images)
            shown += slot->isVisible() ? 1 : 0;
        QTEST(shown, "slotsShown");
        QCOMPARE(form.Label3->text(), QString::number(banners));
        QVERIFY(!form.BitBtn9->isVisible());
        QCOMPARE(form.Label1->text(), messages::lookupMessage(msg::NoDeviceDetected));
    }

    // The counters are placed again after the Language button applied the texts: the count keeps the room its
    // figures need.
    void languageButtonKeepsTheCountWhole()
    {
        ExpressWindow& form = start(QStringLiteral("/opt/Lumiwand_exp16"), 12);
        QTest::mouseClick(form.BitBtn7, Qt::LeftButton);
        QCOMPARE(form.Label3->text(), QStringLiteral("12"));
        QVERIFY(form.Label3->width() >= form.Label3->fontMetrics().horizontalAdvance(form.Label3->text()));
    }

    // Express: the read-back question comes once per plug-in; No leaves the project alone.
    void plugInAsksOnce()
    {
        ExpressWindow& form = start(QStringLiteral("/opt/Lumiwand_exp16"), 2);
        stickIn_ = true;
        form.Timer1Timer();
        QCOMPARE(form.Label1->text(), messages::lookupMessage(msg::DeviceConnected));
        form.Timer1Timer();
        QCOMPARE(prompter_.texts(), QStringList{messages::lookupMessage(msg::ReadBackQuestion)});
        QCOMPARE(entries(), (QStringList{"b0.bmp", "b1.bmp"}));
        QVERIFY(downloadsOpened_.isEmpty());
        QVERIFY(form.Timer1->isActive());

        stickIn_ = false;
        form.Timer1Timer();
        stickIn_ = true;
        prompter_.answers << messages::Answer::Yes;
        duringDownload_ = [this] { QCOMPARE(entries(), QStringList{}); }; // emptied before the read
        form.Timer1Timer();
        QCOMPARE(downloadsOpened_, (QList<QPair<bool, bool>>{{true, false}}));
        // The read brought nothing: the banners the user had are back.
        QCOMPARE(entries(), (QStringList{"b0.bmp", "b1.bmp"}));
        QVERIFY(!form.poll().dialogOpen);
    }

    // A stick plugged in while a command's dialog is open raises nothing, then or later, until replugged.
    void plugInDuringACommandAsksNothing()
    {
        ExpressWindow& form = start(QStringLiteral("/opt/Lumiwand_exp16"), 1);
        form.dialogs().openTextToBanner = [&](const QString&) {
            stickIn_ = true;
            form.Timer1Timer();
            return false;
        };
        form.BitBtn6->click();
        form.Timer1Timer();
        QCOMPARE(prompter_.shown.size(), 0);
        stickIn_ = false;
        form.Timer1Timer();
        stickIn_ = true;
        form.Timer1Timer();
        QCOMPARE(prompter_.shown.size(), 1);
    }

    void easyOpensTheDownloadDialog()
    {
        ExpressWindow& form = start(QStringLiteral("/opt/Lumiwand_easy16"), 1, true);
        QVERIFY(form.BitBtn9->isVisible());
        QCOMPARE(form.BitBtn9->geometry(), QRect(288, 288, 137, 35));
        QCOMPARE(form.BitBtn7->geometry(), QRect(288, 488, 137, 35));
        // The catalogue's "&&" is one ampersand in a tool tip, which takes no mnemonics.
        QCOMPARE(form.BitBtn9->toolTip(), QStringLiteral("Left & Right shift adjusting"));
        stickIn_ = true;
        form.Timer1Timer();
        QCOMPARE(downloadsOpened_, (QList<QPair<bool, bool>>{{false, false}}));
        QCOMPARE(prompter_.shown.size(), 0);
    }

    void moveFollowsTheHighlight()
    {
        ExpressWindow& form = start(QStringLiteral("/opt/Lumiwand_exp16"), 16);
        QTest::mouseClick(form.Images[13], Qt::LeftButton);
        QCOMPARE(form.strip().selectedRow(), 13);
        form.BitBtn3->click();
        QCOMPARE(entries().at(14), QStringLiteral("b13.bmp"));
        QCOMPARE(form.ScrollBar1->value(), 1);
        QCOMPARE(form.strip().selectedSlot(), 13);
        QVERIFY(form.strip().marked(13));
        form.BitBtn2->click();
        form.BitBtn2->click();
        QCOMPARE(entries().at(12), QStringLiteral("b13.bmp"));
        QCOMPARE(form.strip().selectedRow(), 12);
        QVERIFY(form.strip().marked(form.strip().selectedSlot()));

        form.BitBtn5->click();
        QVERIFY(!entries().contains(QStringLiteral("b13.bmp")));
        QCOMPARE(form.strip().selectedSlot(), -1);
        QCOMPARE(form.Label3->text(), QStringLiteral("15"));
    }

    // Too much for the stick: message 499 naming 2048 bytes, no transfer.
    void downloadRefusesAProjectTooLarge()
    {
        ExpressWindow& form = start(QStringLiteral("/opt/Lumiwand_exp16"), 0);
        store::Project project(state_.workspace.projectsFolder + kExpressProjectName);
        imaging::LitGrid wide(96, 16);
        for (int col = 0; col < 96; ++col)
            wide.setLit(col, col % 16); // lit across its width, so all of it goes to the stick
        imaging::savePicture(wide, state_.workspace.clipsFolder, QStringLiteral("wide.bmp"),
                             imaging::ExistingFile::Replace);
        for (int i = 0; i < 12; ++i)
            store::appendEntry(project, state_.workspace.clipsFolder, QStringLiteral("wide.bmp"), 0, -1, -1, false);
        form.reloadList();
        QVERIFY(form.freeBytes() < 0);
        stickIn_ = true;
        prompter_.answers << messages::Answer::No;
        form.Timer1Timer();
        form.BitBtn1->click();
        QCOMPARE(prompter_.shown.size(), 2);
        QVERIFY(prompter_.shown.last().text.contains(QStringLiteral("(2048 bytes)")));
        QVERIFY(downloadsOpened_.isEmpty());
    }

    void downloadOpensTheDialog()
    {
        ExpressWindow& form = start(QStringLiteral("/opt/Lumiwand_exp16"), 2);
        form.BitBtn1->click(); // no stick: nothing
        QVERIFY(downloadsOpened_.isEmpty());
        stickIn_ = true;
        prompter_.answers << messages::Answer::No;
        form.Timer1Timer();
        form.BitBtn1->click();
        QCOMPARE(downloadsOpened_, (QList<QPair<bool, bool>>{{false, true}}));
        QVERIFY(form.Timer1->isActive());
        QVERIFY(!form.poll().dialogOpen);
        QVERIFY(!form.poll().commandRunning);
    }
};

QTEST_MAIN(tst_ExpressWindow)
#include "tst_ExpressWindow.moc"
