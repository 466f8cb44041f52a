#include "deviceimage/windows/MovieGroupDialog.h"

#include "deviceimage/TimingCommands.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace deviceimage {

constexpr int kMaxGroupSteps = 256;

MovieGroupDialog::MovieGroupDialog(messages::Prompter& prompter, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      prompter_(prompter)
{
    setupUi(this);
    Edit1->setRange(0, kMaxGroupSteps, 5);

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

} // namespace deviceimage
