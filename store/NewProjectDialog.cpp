#include "store/NewProjectDialog.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/ProjectList.h"
#include "ui/RunCommand.h"
#include "ui/CaptionFit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace store {

NewProjectDialog::NewProjectDialog(QString projectsFolder, int width, int height, messages::Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Label1(new QLabel(this)),
      Edit1(new QLineEdit(this)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)),
      projectsFolder_(std::move(projectsFolder)),
      width_(width),
      height_(height),
      prompter_(prompter)
{
    setObjectName(QStringLiteral("Form4"));
    setModal(true);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Label1->setGeometry(40, 60, 320, 20);
    Edit1->setGeometry(40, 90, 320, 26);
    Button1->setGeometry(80, 200, 100, 30);
    Button2->setGeometry(220, 200, 100, 30);
    setFixedSize(400, 292);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &NewProjectDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void NewProjectDialog::Button1Click()
{
    const QString name = Edit1->text();
    if (!ui::runCommand(prompter_, msg::NewProjectTitle,
                        [&] { return createNamedProject(projectsFolder_, name, width_, height_); }))
        return;
    emit projectCreated(name);
    prompter_.tell(msg::NewProjectTitle, msg::ProjectCreated, messages::Icon::Information);
    Edit1->clear();
    accept();
}

void NewProjectDialog::showEvent(QShowEvent* event)
{
    using messages::lookupMessage;
    setWindowTitle(lookupMessage(msg::NewProjectCaption));
    Label1->setText(lookupMessage(msg::AskProjectName));
    Button1->setText(lookupMessage(msg::NewProjectOk));
    Button2->setText(lookupMessage(msg::NewProjectCancel));
    Edit1->setFocus();
    ui::fitTexts(*this);
    QDialog::showEvent(event);
}

} // namespace store
