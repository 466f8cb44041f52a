#include "store/windows/LibraryPage.h"
#include "store/windows/NewProjectDialog.h"
#include "store/windows/ProjectsPage.h"

#include "messages/MessageCatalogue.h"
#include "tests/support/ScriptedPrompter.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace store;

namespace {

QTreeWidgetItem* findItem(QTreeWidget& tree, const QString& text, const QString& parentText = {})
{
    for (QTreeWidgetItem* item : tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive))
        if (parentText.isEmpty() || (item->parent() && item->parent()->text(0) == parentText))
            return item;
    return nullptr;
}

// Always answers the chooser with the same group.
struct FixedGroup : MovieGroupChooser {
    MovieGroupChoice chooseMovieGroup(int maxGroup, int, const Project&) override { return {maxGroup + 1, -1}; }
};

} // namespace

class tst_Pages : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    Workspace workspace;
    ScriptedPrompter prompter;

    void picture(const QString& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_Mono);
        image.fill(1);
        QVERIFY(image.save(workspace.clipsFolder + name, "BMP"));
    }

private slots:
    void init()
    {
        const QString base = dir.path() + u'/' + QTest::currentTestFunction() + u'/';
        workspace = workspaceFor(base, 16);
        workspace.tempFolder = base + "tmp/";
        for (const QString& folder : {workspace.projectsFolder, workspace.clipsFolder, workspace.tempFolder})
            QDir().mkpath(folder);
        picture("heart.bmp", 16, 16);
        picture("star.bmp", 16, 16);
        picture("wide.bmp", 96, 16);
        picture("low.bmp", 16, 11);
        LibraryCatalogue catalogue(workspace.clipsFolder);
        IniFile::WriteBatch batch(catalogue.ini());
        catalogue.ini().writeInteger("SUMMARY", "TOTAL_LIBRARIES", 1);
        catalogue.ini().writeString("LIBRARY", "LIB_0", "Animals");
        catalogue.setFileLibraries("heart.bmp", {0});
        catalogue.setFileLibraries("star.bmp", {0});
        catalogue.setFileLibraries("wide.bmp", {0});
        prompter = ScriptedPrompter();
    }

    void libraryPageClicks()
    {
        createProject(workspace.projectsFolder + "Show.ini", 16, 16);
        ProjectList projects(workspace.projectsFolder);
        projects.listProjects();
        QVERIFY(appendEntry(*projects.current(), workspace.clipsFolder, "wide.bmp", 0, -1, -1, false) == AppendStatus::Ok);
        const AssociationIndex index = buildAssociationIndex(projects);
        LibraryPage page(workspace, index, prompter);
        page.rebuildTree();
        QVERIFY(!page.Button7->isEnabled());

        page.TreeView1Click(findItem(*page.TreeView1, "Animals"));
        QCOMPARE(page.Label24->text(), "3");
        QVERIFY(page.Button5->isEnabled() && page.Button6->isEnabled() && page.Button12->isEnabled());
        QVERIFY(page.Button7->isEnabled());
        QVERIFY(!page.Button1->isEnabled() && !page.Button11->isEnabled());
        QVERIFY(page.GroupBox7->isHidden());
        QCOMPARE(page.GroupBox5->width(), 473);

        page.TreeView1Click(findItem(*page.TreeView1, "wide.bmp", "Animals"));
        QCOMPARE(page.Label22->text(), "Animals");
        QCOMPARE(page.Label23->text(), "wide.bmp");
        QCOMPARE(page.Label21->text(), messages::lookupMessage(404));
        QCOMPARE(page.Label24->text(), " 96 x 16");
        QVERIFY(!page.GroupBox7->isHidden());
        QCOMPARE(page.GroupBox5->width(), 233);
        QCOMPARE(page.ListBox1->count(), 1);
        QCOMPARE(page.ListBox1->item(0)->text(), "Show (16 x 16)");
        QCOMPARE(page.Image1->geometry(), QRect(16, 136, 192, 32));
        QVERIFY(page.Button1->isEnabled() && page.Button11->isEnabled());

        QSignalSpy speed(&page, &LibraryPage::adjustSpeedRequested);
        page.Button11->click();
        QCOMPARE(speed.takeFirst().at(0).toString(), "wide.bmp");

        page.TreeView1Click(findItem(*page.TreeView1, "[CLIP]"));
        page.Button3Click(); // Edit outside file mode (the button itself is off then)
        QVERIFY(!prompter.shown.isEmpty());
        QCOMPARE(prompter.shown.last().title, messages::lookupMessage(431));
    }

    // Items of a kind share one icon (made per item, a library of thousands cost seconds and hundreds of
    // megabytes). Entering the page again keeps the tree while nothing changed, and shows at once what another
    // program changed.
    void libraryTreeOnEntering()
    {
        const AssociationIndex index;
        LibraryPage page(workspace, index, prompter);
        page.enterPage();
        const qint64 fileIcon = findItem(*page.TreeView1, "heart.bmp", "Animals")->icon(0).cacheKey();
        QCOMPARE(findItem(*page.TreeView1, "star.bmp", "Animals")->icon(0).cacheKey(), fileIcon);
        QCOMPARE(findItem(*page.TreeView1, "low.bmp", kRootNodeText)->icon(0).cacheKey(), fileIcon);
        QVERIFY(findItem(*page.TreeView1, "Animals")->icon(0).cacheKey() != fileIcon);

        QTest::qWait(kStampSettledMs + 100); // file times can tell the next change from the last
        page.rebuildTree();
        constexpr int kMark = Qt::UserRole + 50;
        findItem(*page.TreeView1, "Animals")->setData(0, kMark, true);
        page.enterPage();
        QVERIFY(findItem(*page.TreeView1, "Animals")->data(0, kMark).toBool());

        picture("added.bmp", 16, 16);
        page.enterPage();
        QVERIFY(findItem(*page.TreeView1, "added.bmp", kRootNodeText));
        QVERIFY(!findItem(*page.TreeView1, "Animals")->data(0, kMark).toBool());
    }

    void libraryPageUsesClipartThroughACopy()
    {
        const AssociationIndex index;
        LibraryPage page(workspace, index, prompter);
        page.setClipartHeight(16);
        page.rebuildTree();
        QFile catalogueFile(workspace.clipsFolder + kCatalogueFileName);
        QVERIFY(catalogueFile.open(QIODevice::ReadOnly));
        const QByteArray catalogueBefore = catalogueFile.readAll();
        catalogueFile.close();

        QTreeWidgetItem* clipartHeart = findItem(*page.TreeView1, "heart.bmp", messages::lookupMessage(6501));
        QVERIFY(clipartHeart);
        page.TreeView1Click(clipartHeart);
        QCOMPARE(page.Label22->text(), messages::lookupMessage(6501));
        QCOMPARE(page.Label24->text(), " 16 x 16");
        QVERIFY(!page.Image1->isHidden());
        QVERIFY(page.Button1->isEnabled() && page.Button2->isEnabled() && page.Button3->isEnabled());
        for (QPushButton* readOnly : {page.Button4, page.Button5, page.Button6, page.Button11, page.Button12})
            QVERIFY(!readOnly->isEnabled());
        // Not even a direct call renames or deletes it.
        page.Button5Click();
        page.Button12Click();
        QVERIFY(prompter.shown.isEmpty());

        // Using it copies it under a free name (the user's own heart.bmp stays) into no library.
        QSignalSpy add(&page, &LibraryPage::addToProjectsRequested);
        page.Button1->click();
        QCOMPARE(add.size(), 1);
        QCOMPARE(add.first().at(0).toString(), kRootNodeText);
        QCOMPARE(add.first().at(1).toString(), "heart1.bmp");
        QVERIFY(QFile::exists(workspace.clipsFolder + "heart1.bmp"));
        QVERIFY(findItem(*page.TreeView1, "heart1.bmp", kRootNodeText));
        QCOMPARE(QImage(workspace.clipsFolder + "heart1.bmp").size(), QSize(16, 16));
        QVERIFY(catalogueFile.open(QIODevice::ReadOnly));
        QCOMPARE(catalogueFile.readAll(), catalogueBefore);

        QSignalSpy edit(&page, &LibraryPage::editRequested);
        page.TreeView1Click(findItem(*page.TreeView1, "star.bmp", messages::lookupMessage(6502)));
        page.Button3->click();
        QCOMPARE(edit.size(), 1);
        QCOMPARE(edit.first().at(0).toString(), "star1.bmp");
    }

    void projectsPageAddsClipartAsACopy()
    {
        createProject(workspace.projectsFolder + "Show.ini", 16, 16);
        ProjectList projects(workspace.projectsFolder);
        const auto edition = deriveEdition("/opt/Lumiwand16");
        ProjectsPage page(edition, workspace, projects, prompter);
        page.enterPage();
        page.loadEntryList();
        QTreeWidgetItem* clipartCake = findItem(*page.TreeView2, "cake.bmp", messages::lookupMessage(6507));
        QVERIFY(clipartCake);
        page.TreeView2DblClick(clipartCake);
        QCOMPARE(projects.current()->pictureName(0), "cake.bmp");
        QVERIFY(QFile::exists(workspace.clipsFolder + "cake.bmp"));
        QCOMPARE(page.ListView1->count(), 1);
        // The copy is now a picture of the clips folder in the tree.
        QVERIFY(findItem(*page.TreeView2, "cake.bmp", kRootNodeText));
    }

    void libraryDeleteRebuildsAndClears()
    {
        const AssociationIndex index;
        LibraryPage page(workspace, index, prompter);
        page.rebuildTree();
        page.TreeView1Click(findItem(*page.TreeView1, "star.bmp", "Animals"));
        prompter.answers << messages::Answer::Yes;
        page.Button12->click();
        QVERIFY(!QFile::exists(workspace.clipsFolder + "star.bmp"));
        QVERIFY(!findItem(*page.TreeView1, "star.bmp"));
        QVERIFY(page.Label23->text().isEmpty());
        QVERIFY(page.Image1->isHidden());
    }

    void projectsPageCommands()
    {
        createProject(workspace.projectsFolder + "Show.ini", 16, 16);
        ProjectList projects(workspace.projectsFolder);
        const auto edition = deriveEdition("/opt/Lumiwand16");
        ProjectsPage page(edition, workspace, projects, prompter);
        FixedGroup groups;
        page.setMovieGroupChooser(&groups);
        int measured = 0;
        page.setMeasure([&](const Project& project) {
            ++measured;
            return ProjectCounters{project.totalPictures(), 42};
        });
        page.enterPage();
        page.loadEntryList();
        QCOMPARE(page.ComboBox1->currentText(), "Show (16 x 16)");
        QVERIFY(page.BitBtn52->isHidden()); // factory mode only
        QCOMPARE(page.BitBtn40->geometry(), QRect(0, 0, 49, 41));
        QCOMPARE(page.BitBtn50->geometry(), QRect(728, 0, 49, 41));

        // Add: a tree file clicked, then the button; double click; Enter on a file.
        QSignalSpy preview(&page, &ProjectsPage::previewRequested);
        QTreeWidgetItem* heart = findItem(*page.TreeView2, "heart.bmp");
        page.TreeView2->setCurrentItem(heart);
        page.TreeView2Click(heart);
        QCOMPARE(preview.takeFirst().at(0).toString(), "heart.bmp");
        page.Button10->click();
        page.TreeView2DblClick(findItem(*page.TreeView2, "star.bmp"));
        page.TreeView2->setCurrentItem(findItem(*page.TreeView2, "wide.bmp"));
        QTest::keyClick(page.TreeView2, Qt::Key_Return);
        QCOMPARE(page.ListView1->count(), 3);
        QCOMPARE(page.Label46->text(), "3");
        QCOMPARE(page.Label47->text(), "42");
        QVERIFY(measured > 0);

        // A picture of the wrong height is refused with message 435.
        page.TreeView2DblClick(findItem(*page.TreeView2, "low.bmp"));
        QCOMPARE(prompter.shown.last().title, messages::lookupMessage(434));
        QCOMPARE(page.ListView1->count(), 3);

        // Ctrl+Down moves the selected entry and keeps it selected; Delete removes it.
        page.ListView1->setFocus();
        page.ListView1->setCurrentRow(0);
        QTest::keyClick(page.ListView1, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(page.ListView1->item(1)->text(), "(2) heart.bmp");
        QCOMPARE(page.ListView1->currentRow(), 1);
        QTest::keyClick(page.ListView1, Qt::Key_Delete);
        QCOMPARE(page.ListView1->count(), 2);
        QCOMPARE(projects.current()->pictureName(1), "wide.bmp");
        QCOMPARE(page.ListView1->currentRow(), 1);

        // Group: the entry joins a new group and shows it.
        page.BitBtn50->click();
        QCOMPARE(page.ListView1->item(1)->text(), "(2) <Group:1>wide.bmp");
        QCOMPARE(page.ListView1->currentRow(), 1);

        QSignalSpy speed(&page, &ProjectsPage::speedRequested);
        page.BitBtn49->click();
        QCOMPARE(speed.takeFirst().at(0).toString(), "wide.bmp");
    }

    void projectsPageWithoutProjects()
    {
        ProjectList projects(workspace.projectsFolder);
        const auto edition = deriveEdition("/opt/Lumiwand16");
        ProjectsPage page(edition, workspace, projects, prompter);
        page.enterPage();
        page.loadEntryList();
        QSignalSpy interval(&page, &ProjectsPage::movieIntervalRequested);
        QSignalSpy download(&page, &ProjectsPage::downloadRequested);
        for (QToolButton* button : page.findChildren<QToolButton*>())
            if (button != page.BitBtn39 && button != page.BitBtn38)
                button->click();
        page.Button10->click();
        page.Button14->click();
        QCOMPARE(interval.count(), 0);
        QCOMPARE(download.count(), 1); // the download dialog always opens
        QCOMPARE(page.ListView1->count(), 0);
    }

    void iconButtonsHaveHints()
    {
        ProjectList projects(workspace.projectsFolder);
        ProjectsPage page(deriveEdition("/opt/Lumiwand_factory16"), workspace, projects, prompter);
        QVERIFY(!page.BitBtn52->isHidden());
        QCOMPARE(page.BitBtn52->accessibleName(), "Indelible Pattern");
    }

    void newProject()
    {
        createProject(workspace.projectsFolder + "Show.ini", 16, 16);
        NewProjectDialog dialog(workspace.projectsFolder, 16, 16, prompter);
        QSignalSpy created(&dialog, &NewProjectDialog::projectCreated);
        dialog.show();
        dialog.Edit1->setText("Show");
        dialog.Button1->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.Edit1->text(), "Show");
        dialog.Edit1->setText("Party");
        dialog.Button1->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(created.takeFirst().at(0).toString(), "Party");
        QVERIFY(dialog.Edit1->text().isEmpty());
        QCOMPARE(prompter.texts().last(), messages::lookupMessage(467));
        QVERIFY(QFile::exists(workspace.projectsFolder + "Party.ini"));
    }
};

QTEST_MAIN(tst_Pages)
#include "tst_Pages.moc"
