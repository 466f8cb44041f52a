#pragma once

#include "windowkit/Window.h"
#include "ui_NewProjectDialog.h"

namespace messages {
class Prompter;
}

namespace store {

// "New My Lumiwand Project": asks for a name and creates the project of the edition's picture size. It stays
// open while the name is refused. Its controls are those of NewProjectDialog.ui: Edit1 the name, Button1 OK, Button2
// Cancel.
class NewProjectDialog : public windowkit::Dialog, public Ui::NewProjectDialog {
    Q_OBJECT

public:
    NewProjectDialog(QString projectsFolder, int width, int height, messages::Prompter& prompter, QWidget* parent = nullptr);

public slots:
    void Button1Click();

signals:
    // The project file was written; the window showing the projects refreshes before the dialog says so.
    void projectCreated(const QString& name);

protected:
    void FormShow() override;

private:
    QString projectsFolder_;
    int width_;
    int height_;
    messages::Prompter& prompter_;
};

} // namespace store
