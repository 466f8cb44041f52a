#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace messages {
class Prompter;
}

namespace store {

// "New My Lumiwand Project": asks for a name and creates the project of the edition's picture size. It stays
// open while the name is refused.
class NewProjectDialog : public QDialog {
    Q_OBJECT

public:
    NewProjectDialog(QString projectsFolder, int width, int height, messages::Prompter& prompter, QWidget* parent = nullptr);

    QLabel* Label1;       // "Input your Project name :"
    QLineEdit* Edit1;
    QPushButton* Button1; // OK
    QPushButton* Button2; // Cancel

public slots:
    void Button1Click();

signals:
    // The project file was written; the window showing the projects refreshes before the dialog says so.
    void projectCreated(const QString& name);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString projectsFolder_;
    int width_;
    int height_;
    messages::Prompter& prompter_;
};

} // namespace store
