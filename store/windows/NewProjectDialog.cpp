#include "store/windows/NewProjectDialog.h"

#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/ProjectList.h"
#include "windowkit/RunCommand.h"

namespace store {

NewProjectDialog::NewProjectDialog(QString projectsFolder, int width, int height, messages::Prompter& prompter, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      projectsFolder_(std::move(projectsFolder)),
      width_(width),
      height_(height),
      prompter_(prompter)
{
    setupUi(this);
    connect(Button1, &QPushButton::clicked, this, &NewProjectDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void NewProjectDialog::Button1Click()
{
    const QString name = Edit1->text();
    if (!windowkit::runCommand(prompter_, msg::NewProjectTitle,
                        [&] { return createNamedProject(projectsFolder_, name, width_, height_); }))
        return;
    emit projectCreated(name);
    prompter_.tell(msg::NewProjectTitle, msg::ProjectCreated, messages::Icon::Information);
    Edit1->clear();
    accept();
}

void NewProjectDialog::FormShow()
{
    Edit1->setFocus();
}

} // namespace store
