#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "editing/windows/CanvasGridView.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "shell/AppState.h"
#include "shell/ExpressProject.h"
#include "shell/windows/Windows.h"
#include "store/Project.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace shell;

namespace {

// Runs `act` once the dialog is open (its exec() is running).
void whenShown(QWidget& dialog, std::function<void()> act)
{
    auto* poll = new QTimer(&dialog);
    QObject::connect(poll, &QTimer::timeout, &dialog, [poll, &dialog, act = std::move(act)] {
        if (!dialog.isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        act();
    });
    poll->start(10);
}

} // namespace

// "Vove Diror" in the express window with the program's own painter, its question and its import.
class tst_ExpressPainter : public QObject {
    Q_OBJECT

    AppState state_;
    ScriptedPrompter prompter_;
    devicelink::QtEventPump pump_;
    devicelink::SimulatedHidPlatform platform_{pump_};
    std::unique_ptr<Windows> windows_;

    // The 16-LED express window on a QuickStart project holding `banners` (40 x 16 each).
    Windows& start(const QStringList& banners)
    {
        state_ = AppState();
        state_.invokedPath = QStringLiteral("/opt/Lumiwand_exp16");
        windows_ = std::make_unique<Windows>(state_, prompter_, platform_, pump_, [] { return false; });
        state_.simplifiedMode = true;
        QDir(state_.workspace.clipsFolder).removeRecursively();
        QDir().mkpath(state_.workspace.clipsFolder);
        const QString path = state_.workspace.projectsFolder + kExpressProjectName;
        store::createProject(path, 16, 16);
        store::Project project(path);
        for (const QString& name : banners) {
            imaging::LitGrid grid(40, 16);
            for (int col = 0; col < 40; ++col)
                grid.setLit(col, col % 16);
            imaging::savePicture(grid, state_.workspace.clipsFolder, name, imaging::ExistingFile::Replace);
            store::appendEntry(project, state_.workspace.clipsFolder, name, 0, -1, -1, false);
        }
        windows_->expressWindow.show();
        return *windows_;
    }

    bool savedLit(const QString& name, int col, int row) const
    {
        const imaging::PictureLoad saved = imaging::loadPicture(state_.workspace.clipsFolder + name);
        return saved.ok() && saved.picture.isLit(col, row, imaging::LitRule::LitAtMost);
    }

    QStringList entries() const
    {
        store::Project project(state_.workspace.projectsFolder + kExpressProjectName);
        QStringList names;
        for (int entry = 0; entry < project.totalPictures(); ++entry)
            names << project.pictureName(entry);
        return names;
    }

    // The middle of cell (col, row) on the grid view.
    QPoint cellPoint(int col, int row) const
    {
        const imaging::VirtualCanvas& canvas = windows_->editor.canvas;
        return {col * canvas.cellSize() + canvas.cellSize() / 2,
                canvas.topMargin() + row * canvas.cellSize() + canvas.cellSize() / 2};
    }

    void click(int col, int row)
    {
        QTest::mouseClick(windows_->painter.Image1, Qt::LeftButton, {}, cellPoint(col, row));
    }

    // Presses on (col, row), lets the hold timer run (the first tick starts painting), drags over `toCol` on the
    // same row one tick per cell, and releases there.
    void holdAndDrag(int col, int row, int toCol)
    {
        editing::PainterDialog& painter = windows_->painter;
        QTest::mousePress(painter.Image1, Qt::LeftButton, {}, cellPoint(col, row));
        QCOMPARE(painter.Timer1->interval(), 500);
        painter.Timer1Timer();
        QCOMPARE(painter.Timer1->interval(), 100);
        for (int c = col; c <= toCol; ++c) {
            QTest::mouseMove(painter.Image1, cellPoint(c, row));
            painter.Timer1Timer();
        }
        QTest::mouseRelease(painter.Image1, Qt::LeftButton, {}, cellPoint(toCol, row));
        QCOMPARE(painter.Timer1->interval(), 500);
        QVERIFY(!painter.Timer1->isActive());
    }

private slots:
    void cleanup()
    {
        windows_.reset();
        prompter_ = ScriptedPrompter();
    }

    // An empty project opens the painter at once; clicks toggle, a hold paints and the release leaves the cells
    // lit; Save writes EasyPaint0000.bmp into the project and the strip selects it.
    void paintsANewBanner()
    {
        Windows& windows = start({});
        editing::PainterDialog& painter = windows.painter;
        whenShown(painter, [this, &painter] {
            click(2, 3);
            click(4, 4);
            click(4, 4); // toggled off again
            holdAndDrag(6, 1, 9);
            QCOMPARE(painter.Image1->previewImage().size(), QSize(96, 16));
            QTest::mouseClick(painter.Button1, Qt::LeftButton);
        });
        QTest::mouseClick(windows.expressWindow.BitBtn8, Qt::LeftButton);
        QVERIFY(!painter.isVisible());
        QCOMPARE(entries(), QStringList{"EasyPaint0000.bmp"});
        QCOMPARE(prompter_.texts(), QStringList{messages::lookupMessage(msg::BannerSaved)});
        const imaging::PictureLoad saved =
            imaging::loadPicture(state_.workspace.clipsFolder + QStringLiteral("EasyPaint0000.bmp"));
        QVERIFY(saved.ok());
        QCOMPARE(saved.picture.width(), 96);
        QStringList lit;
        for (int row = 0; row < 16; ++row)
            for (int col = 0; col < 96; ++col)
                if (saved.picture.isLit(col, row, imaging::LitRule::LitAtMost))
                    lit << QStringLiteral("%1,%2").arg(col).arg(row);
        QCOMPARE(lit, (QStringList{"6,1", "7,1", "8,1", "9,1", "2,3"}));
        QCOMPARE(windows.expressWindow.strip().selectedRow(), 0);
        QCOMPARE(windows.expressWindow.Label3->text(), QStringLiteral("1"));
    }

    // Modify loads the selected banner (the columns beyond it stay unlit); a click changes it and Save with Yes
    // replaces the file in place.
    void modifiesTheSelectedBanner()
    {
        Windows& windows = start({QStringLiteral("stars.bmp"), QStringLiteral("moon.bmp")});
        editing::PainterDialog& painter = windows.painter;
        imaging::VirtualCanvas& canvas = windows.editor.canvas;
        QStringList loaded;
        whenShown(windows.paintChoice, [&] {
            whenShown(painter, [&] {
                for (int col = 0; col < 96; ++col)
                    if (canvas.cell(col, col % 16) != (col < 40 ? 1 : 0))
                        loaded << QString::number(col);
                click(0, 5);
                prompter_.answers << messages::Answer::Yes; // replace
                QTest::mouseClick(painter.Button1, Qt::LeftButton);
            });
            QTest::mouseClick(windows.paintChoice.Button1, Qt::LeftButton); // Modify
        });
        QTest::mouseClick(windows.expressWindow.BitBtn8, Qt::LeftButton);
        QCOMPARE(loaded, QStringList{}); // cells that differ from the banner
        QCOMPARE(painter.bannerName, QStringLiteral("stars.bmp"));
        QCOMPARE(entries(), (QStringList{"stars.bmp", "moon.bmp"}));
        QCOMPARE(prompter_.texts(), (QStringList{messages::lookupMessage(msg::ReplaceOrNew),
                                                 messages::lookupMessage(msg::BannerSaved)}));
        const imaging::PictureLoad saved =
            imaging::loadPicture(state_.workspace.clipsFolder + QStringLiteral("stars.bmp"));
        QCOMPARE(saved.picture.width(), 96);
        QVERIFY(saved.picture.isLit(0, 5, imaging::LitRule::LitAtMost));
        QVERIFY(saved.picture.isLit(39, 39 % 16, imaging::LitRule::LitAtMost));
        QVERIFY(!saved.picture.isLit(40, 40 % 16, imaging::LitRule::LitAtMost));
    }

    // An imported image replaces the painting and the pointer still paints on it.
    void importsThenPaints()
    {
        Windows& windows = start({QStringLiteral("stars.bmp")});
        editing::PainterDialog& painter = windows.painter;
        prompter_.files << state_.workspace.clipsFolder + QStringLiteral("stars.bmp");
        whenShown(windows.paintChoice, [&] {
            whenShown(painter, [&] {
                imaging::PictureImportDialog& import = windows.editor.pictureImport;
                whenShown(import, [&] { QTest::mouseClick(import.Button1, Qt::LeftButton); });
                QTest::mouseClick(painter.Button3, Qt::LeftButton);
                click(20, 0);
                QTest::mouseClick(painter.Button1, Qt::LeftButton);
            });
            QTest::mouseClick(windows.paintChoice.Button2, Qt::LeftButton); // New
        });
        QTest::mouseClick(windows.expressWindow.BitBtn8, Qt::LeftButton);
        QCOMPARE(entries(), (QStringList{"stars.bmp", "EasyPaint0000.bmp"}));
        QVERIFY(savedLit(QStringLiteral("EasyPaint0000.bmp"), 0, 0));   // imported
        QVERIFY(savedLit(QStringLiteral("EasyPaint0000.bmp"), 20, 0));  // painted
        QVERIFY(!savedLit(QStringLiteral("EasyPaint0000.bmp"), 1, 0));
        QCOMPARE(prompter_.shown.first().text, messages::lookupMessage(msg::BlackAndWhiteOnly));
    }

    // A banner that cannot be read is reported, never written over: the painting is saved as a new banner.
    void unreadableBannerIsSavedAsNew()
    {
        Windows& windows = start({QStringLiteral("stars.bmp")});
        const QString path = state_.workspace.clipsFolder + QStringLiteral("stars.bmp");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        editing::PainterDialog& painter = windows.painter;
        whenShown(windows.paintChoice, [&] {
            whenShown(painter, [&] {
                click(1, 1);
                QTest::mouseClick(painter.Button1, Qt::LeftButton);
            });
            QTest::mouseClick(windows.paintChoice.Button1, Qt::LeftButton); // Modify
        });
        QTest::mouseClick(windows.expressWindow.BitBtn8, Qt::LeftButton);
        QCOMPARE(prompter_.shown.size(), 2);
        QCOMPARE(prompter_.shown.first().icon, messages::Icon::Stop);
        QCOMPARE(prompter_.shown.last().text, messages::lookupMessage(msg::BannerSaved));
        QCOMPARE(entries(), (QStringList{"stars.bmp", "EasyPaint0000.bmp"}));
        QVERIFY(savedLit(QStringLiteral("EasyPaint0000.bmp"), 1, 1));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("not a picture"));
    }
};

QTEST_MAIN(tst_ExpressPainter)
#include "tst_ExpressPainter.moc"
