#include "deviceimage/MovieGroupDialog.h"

#include "deviceimage/TimingCommands.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "ui/CaptionFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace deviceimage {

constexpr int kMaxGroupSteps = 256;

MovieGroupDialog::MovieGroupDialog(messages::Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Label1(new QLabel(this)),
      ComboBox1(new QComboBox(this)),
      Label2(new QLabel(this)),
      Edit1(new NumberField(0, kMaxGroupSteps, 5, this)),
      Label3(new QLabel(this)),
      CheckBox1(new QCheckBox(this)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)),
      prompter_(prompter)
{
    setObjectName(QStringLiteral("Moviegroup"));
    setModal(true);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Label1->setGeometry(16, 12, 300, 20);
    ComboBox1->setGeometry(16, 34, 200, 26);
    Label2->setGeometry(16, 72, 160, 20);
    Edit1->setGeometry(180, 70, 70, 24);
    Label3->setGeometry(258, 72, 160, 20);
    CheckBox1->setGeometry(16, 102, 300, 22);
    Button1->setGeometry(90, 140, 90, 28);
    Button2->setGeometry(220, 140, 90, 28);
    setFixedSize(420, 180);
    Button1->setDefault(true);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &MovieGroupDialog::ComboBox1Change);
    connect(CheckBox1, &QCheckBox::clicked, this, &MovieGroupDialog::CheckBox1Click);
    connect(Edit1->upButton(), &QAbstractButton::clicked, CheckBox1, [this] { CheckBox1->setChecked(false); });
    connect(Edit1->downButton(), &QAbstractButton::clicked, CheckBox1, [this] { CheckBox1->setChecked(false); });
    connect(Button1, &QPushButton::clicked, this, &MovieGroupDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

store::MovieGroupChoice MovieGroupDialog::chooseMovieGroup(int maxGroup, int movieSteps, const store::Project& project)
{
    project_ = &project;
    movieSteps_ = movieSteps;
    {
        const QSignalBlocker blocker(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItems(movieGroupItems(maxGroup, messages::lookupMessage(msg::PutInNewGroup)));
        ComboBox1->setCurrentIndex(0);
    }
    ComboBox1Change();
    const int result = exec();
    project_ = nullptr;
    return result == QDialog::Accepted ? choice_ : store::MovieGroupChoice{};
}

void MovieGroupDialog::ComboBox1Change()
{
    if (!project_)
        return;
    const GroupIntervalView view =
        groupIntervalView(*project_, ComboBox1->currentIndex(), ComboBox1->count(), movieSteps_);
    CheckBox1->setChecked(view.sameAsMovie);
    Edit1->setValue(view.steps);
}

void MovieGroupDialog::CheckBox1Click(bool checked)
{
    if (checked)
        Edit1->setValue(movieSteps_);
}

void MovieGroupDialog::Button1Click()
{
    std::optional<int> steps = -1;
    if (!CheckBox1->isChecked())
        steps = Edit1->value();
    if (!steps) {
        prompter_.tell(msg::MovieGroupTitle, msg::InputValueError, messages::Icon::Stop);
        return;
    }
    choice_ = {ComboBox1->currentIndex() + 1, *steps};
    accept();
}

void MovieGroupDialog::showEvent(QShowEvent* event)
{
    using messages::lookupMessage;
    setWindowTitle(lookupMessage(msg::MovieGroupTitle));
    Label1->setText(lookupMessage(734));
    Label2->setText(lookupMessage(750));
    Label3->setText(lookupMessage(711));
    CheckBox1->setText(lookupMessage(751));
    Button1->setText(lookupMessage(720));
    Button2->setText(lookupMessage(719));
    ui::fitTexts(*this);
    QDialog::showEvent(event);
}

} // namespace deviceimage
