#include "deviceimage/BinaryFiles.h"
#include "deviceimage/ImageCompiler.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "imaging/LitGrid.h"
#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "shell/AppState.h"
#include "shell/windows/Windows.h"
#include "store/windows/LibraryChoiceDialog.h"
#include "store/LibraryCatalogue.h"
#include "store/windows/LibraryPage.h"
#include "store/Project.h"
#include "store/ProjectList.h"
#include "store/windows/ProjectsPage.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace shell;

// The Library and Projects pages' commands that open the editor's dialogs and text to banner.
class TestPageCommands : public QObject {
    Q_OBJECT

    AppState state_;
    ScriptedPrompter prompter_;
    devicelink::QtEventPump pump_;
    devicelink::SimulatedHidPlatform platform_{pump_};
    std::unique_ptr<Windows> windows_;

    Windows& start()
    {
        state_ = AppState();
        state_.invokedPath = QStringLiteral("/x/Lumiwand16");
        prepareAppState(state_, QDir::homePath() + QStringLiteral("/Documents/"));
        QDir(state_.workspace.clipsFolder).removeRecursively();
        QDir(state_.workspace.projectsFolder).removeRecursively();
        QDir().mkpath(state_.workspace.clipsFolder);
        QDir().mkpath(state_.workspace.projectsFolder);
        store::createProject(state_.workspace.projectsFolder + "Animals.ini", 16, 16);
        store::createProject(state_.workspace.projectsFolder + "Tall.ini", 16, 24);
        imaging::LitGrid grid(40, 16);
        grid.setLit(3, 4);
        imaging::savePicture(grid, state_.workspace.clipsFolder, QStringLiteral("hello.bmp"),
                             imaging::ExistingFile::Replace);
        state_.projects->listProjects();
        windows_ = std::make_unique<Windows>(state_, prompter_, platform_, pump_, [] { return false; });
        windows_->mainWindow.show();
        return *windows_;
    }

    int projectIndex(const QString& displayStart) const
    {
        for (int k = 0; k < state_.projects->size(); ++k)
            if (state_.projects->displayName(k).startsWith(displayStart))
                return k;
        return -1;
    }

private slots:
    void init() { prompter_ = ScriptedPrompter(); }
    void cleanup() { windows_.reset(); }

    // "Add to MyLumiwands Project" appends to each ticked project that takes the picture and names the one that
    // does not; the page's association index then knows the new member.
    void addToProjectsAppendsToTheTickedOnes()
    {
        Windows& windows = start();
        const int animals = projectIndex("Animals");
        const int tall = projectIndex("Tall");
        QTimer::singleShot(0, [&windows, animals, tall] {
            store::LibraryChoiceDialog& dialog = windows.editor.libraryChoice;
            dialog.CheckListBox1->item(animals)->setCheckState(Qt::Checked);
            dialog.CheckListBox1->item(tall)->setCheckState(Qt::Checked);
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        });
        emit windows.mainWindow.libraryPage->addToProjectsRequested(QStringLiteral("[CLIP]"), QStringLiteral("hello.bmp"),
                                                               QStringLiteral(" 40 x 16"));
        QCOMPARE(store::Project(state_.workspace.projectsFolder + "Animals.ini").pictureName(0),
                 QStringLiteral("hello.bmp"));
        QCOMPARE(store::Project(state_.workspace.projectsFolder + "Tall.ini").totalPictures(), 0);
        QCOMPARE(prompter_.texts().size(), 2);
        QVERIFY(prompter_.texts()[0].startsWith("Dimension of Picture/Banner hello.bmp is different from project: Tall"));
        QCOMPARE(prompter_.texts()[1], QStringLiteral("Picture added successfully!"));
    }

    // A double click on a row opens text to banner with the banner's own text and font.
    void reeditStartsFromTheBannersText()
    {
        Windows& windows = start();
        store::LibraryCatalogue(state_.workspace.clipsFolder).writeBannerText("hello.bmp", "Hello, world", "Courier");
        state_.projects->setCurrentIndex(projectIndex("Animals"));
        QString shownText;
        QString shownFont;
        QTimer::singleShot(0, [&windows, &shownText, &shownFont] {
            imaging::TextToBannerDialog& dialog = windows.editor.textToBanner;
            shownText = dialog.Edit1->text();
            shownFont = dialog.dialogFont().family();
            dialog.reject();
        });
        emit windows.mainWindow.projectsPage->reeditRequested(QStringLiteral("(40 x 16)hello.bmp"));
        QCOMPARE(shownText, QStringLiteral("Hello, world"));
        QCOMPARE(shownFont, QStringLiteral("Courier"));
    }

    void textToBannerNeedsAProject()
    {
        Windows& windows = start();
        QDir(state_.workspace.projectsFolder).removeRecursively();
        state_.projects->listProjects();
        emit windows.mainWindow.projectsPage->textToBannerRequested();
        QVERIFY(!windows.editor.textToBanner.isVisible());
        QCOMPARE(prompter_.texts(), QStringList{"Please select a project first!"});
    }

    // Files given on the command line: a project image goes through the open command (into the project named
    // like the file, which the Projects page then shows), a picture into the editor's import dialog.
    void filesFromTheCommandLine()
    {
        Windows& windows = start();
        store::Project animals(state_.workspace.projectsFolder + "Animals.ini");
        QCOMPARE(store::appendEntry(animals, state_.workspace.clipsFolder, "hello.bmp", 0, 0, 0, false),
                 store::AppendStatus::Ok);
        const deviceimage::CompileResult built = deviceimage::compileImage(
            deviceimage::CompileMode::Build, 3, &animals, {state_.edition, state_.workspace, false});
        const QString image = QDir::homePath() + "/Show.v1.lwd";
        QVERIFY(deviceimage::writeBinaryFile(image, built.image));
        const QString picture = state_.workspace.clipsFolder + "hello.bmp";

        // The import dialog the picture opens is closed as soon as it shows.
        QWidget* importDialog = nullptr;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                importDialog = modal;
                modal->close();
            }
        });
        closer.start(20);
        windows.openFiles({image, picture});

        QCOMPARE(prompter_.texts().value(0), messages::formatMessage(msg::LwdImported, "Show"));
        QVERIFY(QFile::exists(state_.workspace.projectsFolder + "Show.ini"));
        QCOMPARE(store::Project(state_.workspace.projectsFolder + "Show.ini").totalPictures(), 1);
        QVERIFY(state_.projects->current());
        QCOMPARE(state_.projects->current()->name(), QStringLiteral("Show"));
        QVERIFY(prompter_.texts().contains(messages::lookupMessage(msg::BlackAndWhiteOnly)));
        QVERIFY(importDialog);
        QCOMPARE(windows.mainWindow.PageControl1->currentWidget(), windows.mainWindow.TabSheet3);
    }
};

QTEST_MAIN(TestPageCommands)
#include "tst_PageCommands.moc"
