#include "editing/windows/SavePictureDialog.h"

#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/LibraryCatalogue.h"
#include "store/ProjectList.h"
#include "windowkit/RunCommand.h"

namespace editing {

SavePictureDialog::SavePictureDialog(QString clipsFolder, QString projectsFolder, store::EditionParameters edition,
               messages::Prompter& prompter, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      clipsFolder_(std::move(clipsFolder)),
      edition_(std::move(edition)),
      projects_(std::move(projectsFolder)),
      prompter_(prompter)
{
    setupUi(this);
    connect(Button1, &QPushButton::clicked, this, &SavePictureDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    // Choosing a project means adding to it.
    connect(ComboBox2, &QComboBox::activated, RadioButton2, [this] { RadioButton2->setChecked(true); });
}

void SavePictureDialog::fillLists()
{
    ComboBox1->clear();
    ComboBox1->addItem(store::kRootNodeText);
    for (const store::LibraryInfo& library : store::LibraryCatalogue(clipsFolder_).libraries())
        ComboBox1->addItem(library.name);
    ComboBox1->setCurrentIndex(0);

    projects_.listProjects();
    ComboBox2->clear();
    for (int k = 0; k < projects_.size(); ++k)
        ComboBox2->addItem(projects_.displayName(k));
    ComboBox2->setCurrentIndex(projects_.isEmpty() ? -1 : 0);
}

QString SavePictureDialog::run(const QString& fileName, const imaging::LitGrid& picture, int speed)
{
    picture_ = picture;
    speed_ = speed;
    savedPath_.clear();
    Edit1->setText(fileName);
    fillLists();
    Edit1->setFocus();
    exec();
    return savedPath_;
}

void SavePictureDialog::Button1Click()
{
    const SaveChoice choice{Edit1->text(), ComboBox1->currentText(),
                            RadioButton2->isChecked() ? ComboBox2->currentIndex() : -1};
    windowkit::runCommand(prompter_, [&] {
        const SaveResult result = savePicture(picture_, choice, {clipsFolder_, edition_, speed_}, projects_, prompter_);
        if (!result.savedPath.isEmpty())
            savedPath_ = result.savedPath;
        if (result.close)
            accept();
    });
}

} // namespace editing
