#include "editing/SavePictureDialog.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/LibraryCatalogue.h"
#include "store/ProjectList.h"
#include "ui/RunCommand.h"
#include "ui/CaptionFit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace editing {

using messages::lookupMessage;

SavePictureDialog::SavePictureDialog(QString clipsFolder, QString projectsFolder, store::EditionParameters edition,
                                     messages::Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      clipsFolder_(std::move(clipsFolder)),
      edition_(std::move(edition)),
      projects_(std::move(projectsFolder)),
      prompter_(prompter)
{
    setObjectName(QStringLiteral("Form5"));
    setFixedSize(420, 372);

    const auto makeLabel = [this](const char* name, QWidget* parent, QRect geometry) {
        auto* label = new QLabel(parent);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(geometry);
        return label;
    };
    const auto makeGroup = [this](const char* name, QRect geometry) {
        auto* group = new QGroupBox(this);
        group->setObjectName(QLatin1String(name));
        group->setGeometry(geometry);
        return group;
    };

    Label1 = makeLabel("Label1", this, {12, 8, 396, 20});
    GroupBox1 = makeGroup("GroupBox1", {12, 30, 396, 60});
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(12, 24, 372, 24);

    Label2 = makeLabel("Label2", this, {12, 98, 396, 20});
    GroupBox2 = makeGroup("GroupBox2", {12, 120, 396, 60});
    Label4 = makeLabel("Label4", GroupBox2, {12, 28, 100, 20});
    ComboBox1 = new QComboBox(GroupBox2);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(116, 24, 268, 26);

    Label3 = makeLabel("Label3", this, {12, 188, 396, 20});
    GroupBox3 = makeGroup("GroupBox3", {12, 210, 396, 100});
    RadioButton1 = new QRadioButton(GroupBox3);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(12, 26, 200, 22);
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(GroupBox3);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(12, 60, 90, 22);
    ComboBox2 = new QComboBox(GroupBox3);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setGeometry(104, 58, 280, 26);

    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(228, 326, 84, 30);
    Button1->setDefault(true);
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(324, 326, 84, 30);

    connect(Button1, &QPushButton::clicked, this, &SavePictureDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    // Choosing a project means adding to it.
    connect(ComboBox2, &QComboBox::activated, RadioButton2, [this] { RadioButton2->setChecked(true); });
    refreshTexts();
}

void SavePictureDialog::refreshTexts()
{
    setWindowTitle(lookupMessage(596));
    Label1->setText(lookupMessage(600));
    Label2->setText(lookupMessage(601));
    Label3->setText(lookupMessage(602));
    GroupBox1->setTitle(lookupMessage(597));
    GroupBox2->setTitle(lookupMessage(598));
    GroupBox3->setTitle(lookupMessage(599));
    Label4->setText(lookupMessage(603));
    RadioButton1->setText(lookupMessage(605));
    RadioButton2->setText(lookupMessage(606));
    Button1->setText(lookupMessage(607));
    Button2->setText(lookupMessage(608));
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
    refreshTexts();
    ui::fitTexts(*this);
    Edit1->setFocus();
    exec();
    return savedPath_;
}

void SavePictureDialog::Button1Click()
{
    const SaveChoice choice{Edit1->text(), ComboBox1->currentText(),
                            RadioButton2->isChecked() ? ComboBox2->currentIndex() : -1};
    ui::runCommand(prompter_, [&] {
        const SaveResult result = savePicture(picture_, choice, {clipsFolder_, edition_, speed_}, projects_, prompter_);
        if (!result.savedPath.isEmpty())
            savedPath_ = result.savedPath;
        if (result.close)
            accept();
    });
}

} // namespace editing
