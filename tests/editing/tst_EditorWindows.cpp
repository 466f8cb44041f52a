#include "editing/windows/EditorPage.h"
#include "editing/windows/SavePictureDialog.h"
#include "editing/windows/PictureManagerDialog.h"
#include "store/windows/LibraryChoiceDialog.h"

#include "imaging/PictureFile.h"
#include "store/LibraryCatalogue.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// Runs `step` once the next modal dialog has opened.
void whenModal(std::function<void(QWidget*)> step)
{
    QTimer::singleShot(0, [step] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        step(dialog);
    });
}

struct NoDialogs : editing::EditorDialogs, editing::TextBlockSource {
    void saveCanvas() override {}
    bool importFile(const QString&) override { return false; }
    QString choosePicture() override { return {}; }
    std::optional<int> chooseSpeed() override { return std::nullopt; }
    std::optional<editing::TextBlock> editText() override { return std::nullopt; }
};

QTreeWidgetItem* findItem(QTreeWidget* tree, const QString& text, const QString& parentText)
{
    for (QTreeWidgetItem* item : tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive))
        if (item->parent() && item->parent()->text(0) == parentText)
            return item;
    return nullptr;
}

} // namespace

// The editor's page and its dialogs under the offscreen platform, clicked as a user would.
class TestEditorWindows : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString clips;
    QString projects;
    store::EditionParameters edition = store::deriveEdition(QStringLiteral("Lumiwand16"));
    ScriptedPrompter prompter;

private slots:
    void init()
    {
        const QString base = dir.path() + QStringLiteral("/%1/").arg(QTest::currentTestFunction());
        clips = base + "16Clips/";
        projects = base + "projects/";
        QDir().mkpath(clips);
        QDir().mkpath(projects);
        store::LibraryCatalogue catalogue(clips);
        catalogue.ini().writeInteger("SUMMARY", "TOTAL_LIBRARIES", 2);
        catalogue.ini().writeString("LIBRARY", "LIB_0", "Animals");
        catalogue.ini().writeString("LIBRARY", "LIB_1", "Cars");
        store::createProject(projects + "QuickStart.ini", 16, 16);
        store::createProject(projects + "Show.ini", 16, 16);
        prompter = ScriptedPrompter();
    }

    void pageDrawsWithThePencilAndUndoesWithCtrlZ()
    {
        editing::Canvas canvas;
        canvas.SetGeometry(edition.pictureWidth, edition.ledCount);
        canvas.Reset(edition.maxBannerWidth, edition.ledCount);
        NoDialogs dialogs;
        editing::EditorPage page(canvas, prompter, dialogs, dialogs, edition, dir.path(), clips);
        page.show();
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        page.startEditor();
        QCOMPARE(page.ScrollBar1->maximum(), 72);

        QTest::mouseClick(page.BitBtn20, Qt::LeftButton);
        QVERIFY(!page.BitBtn20->isEnabled());
        QTest::mouseClick(page.Image7, Qt::LeftButton, {}, QPoint(30, 50));
        QCOMPARE(canvas.cell(1, 2), 1);
        QCOMPARE(page.Image7->previewImage().pixel(1, 2), qRgb(0, 0, 0));

        QTest::keyClick(&page, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(canvas.cell(1, 2), 0);

        // A band over view columns 2..4 at scroll 10 shows X1 = 13 and X2 = 15.
        QTest::mouseClick(page.BitBtn18, Qt::LeftButton);
        page.ScrollBar1->setValue(10);
        QTest::mousePress(page.Image7, Qt::LeftButton, {}, QPoint(50, 10));
        QTest::mouseMove(page.Image7, QPoint(119, 30));
        QTest::mouseRelease(page.Image7, Qt::LeftButton, {}, QPoint(119, 30));
        QCOMPARE(page.Label35->text(), QStringLiteral("13"));
        QCOMPARE(page.Label39->text(), QStringLiteral("15"));
        QVERIFY(page.BitBtn20->isEnabled());
    }

    void saveDialogSavesIntoTheChosenLibraryAndProject()
    {
        editing::SavePictureDialog dialog(clips, projects, edition, prompter);
        imaging::LitGrid picture(96, 16);
        picture.setLit(3, 3);
        whenModal([](QWidget* w) {
            auto* form = qobject_cast<editing::SavePictureDialog*>(w);
            QCOMPARE(form->Edit1->text(), QStringLiteral("cat.bmp"));
            QCOMPARE(form->ComboBox1->count(), 3);
            QCOMPARE(form->ComboBox1->itemText(0), QStringLiteral("[CLIP]"));
            QCOMPARE(form->ComboBox2->itemText(0), QStringLiteral("QuickStart (16 x 16)"));
            QVERIFY(form->RadioButton1->isChecked());
            form->ComboBox1->setCurrentIndex(2);
            form->ComboBox2->setCurrentIndex(1);
            emit form->ComboBox2->activated(1); // choosing a project chooses "Add to"
            QVERIFY(form->RadioButton2->isChecked());
            QTest::mouseClick(form->Button1, Qt::LeftButton);
        });
        QCOMPARE(dialog.run("cat.bmp", picture, 0x0203), clips + "cat.bmp");
        QCOMPARE(prompter.texts(), QStringList{"Banner saved successfully!"});
        QCOMPARE(store::LibraryCatalogue(clips).membershipText("cat.bmp"), QStringLiteral("1,,,"));
        QCOMPARE(store::Project(projects + "Show.ini").pictureName(0), QStringLiteral("cat.bmp"));

        // "Add to" stays chosen for the next save; Cancel saves nothing.
        whenModal([](QWidget* w) {
            auto* form = qobject_cast<editing::SavePictureDialog*>(w);
            QVERIFY(form->RadioButton2->isChecked());
            QTest::mouseClick(form->Button2, Qt::LeftButton);
        });
        QCOMPARE(dialog.run("dog.bmp", picture, 0), QString());
        QVERIFY(!QFile::exists(clips + "dog.bmp"));
    }

    void libraryChoiceDialogTicksAndAnswers()
    {
        store::LibraryChoiceDialog dialog;
        whenModal([](QWidget* w) {
            auto* form = qobject_cast<store::LibraryChoiceDialog*>(w);
            QCOMPARE(form->windowTitle(), QStringLiteral("Change to another Library"));
            QCOMPARE(form->Label5->text(), QStringLiteral("cat.bmp"));
            QCOMPARE(form->CheckListBox1->count(), 2);
            QCOMPARE(form->CheckListBox1->item(0)->checkState(), Qt::Checked);
            form->CheckListBox1->item(0)->setCheckState(Qt::Unchecked);
            form->CheckListBox1->item(1)->setCheckState(Qt::Checked);
            QTest::mouseClick(form->Button1, Qt::LeftButton);
        });
        const auto ticked = dialog.chooseLibraries({"Animals", "cat.bmp", "16 x 16"},
                                                   {{0, "Animals"}, {2, "Cars"}}, {0});
        QCOMPARE(ticked, std::optional<QList<int>>(QList<int>{2}));

        whenModal([](QWidget* w) {
            auto* form = qobject_cast<store::LibraryChoiceDialog*>(w);
            QCOMPARE(form->windowTitle(), QStringLiteral("Add to MyLumiwand Projects"));
            QCOMPARE(form->CheckListBox1->item(0)->checkState(), Qt::Unchecked);
            QTest::mouseClick(form->Button2, Qt::LeftButton);
        });
        QCOMPARE(dialog.chooseProjects({"Animals", "cat.bmp", ""}, {"A (16 x 16)"}), std::nullopt);
    }

    void managerReturnsOnlyFilesOfALibrary()
    {
        imaging::LitGrid picture(16, 16);
        QVERIFY(imaging::savePicture(picture, clips, "loose.bmp", imaging::ExistingFile::Refuse).ok());
        QVERIFY(imaging::savePicture(picture, clips, "cat.bmp", imaging::ExistingFile::Refuse).ok());
        store::LibraryCatalogue(clips).setFileLibraries("cat.bmp", {0});
        editing::PictureManagerDialog dialog(clips, prompter);
        whenModal([this](QWidget* w) {
            auto* form = qobject_cast<editing::PictureManagerDialog*>(w);
            form->TreeView1->setCurrentItem(findItem(form->TreeView1, "loose.bmp", "[CLIP]"));
            QTest::mouseClick(form->Button2, Qt::LeftButton);
            QCOMPARE(prompter.texts(),
                     QStringList{"Fail to open file to edit! \n\nPlease select a file and try again!"});
            form->TreeView1->setCurrentItem(findItem(form->TreeView1, "cat.bmp", "Animals"));
            QCOMPARE(form->Label1->text(), QStringLiteral("Dimension: 16 x 16 "));
            QTest::mouseClick(form->Button1, Qt::LeftButton);
        });
        QCOMPARE(dialog.choosePicture(), clips + "cat.bmp");
    }
};

QTEST_MAIN(TestEditorWindows)
#include "tst_EditorWindows.moc"
