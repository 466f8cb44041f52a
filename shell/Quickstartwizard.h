#pragma once

#include "shell/QuickStart.h"
#include "ui/CatalogueTexts.h"
#include "ui/Window.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace shell {

// The quick start wizard: asks a user which way to work, text (a banner typed into the starter project) or
// graphic (the editor), and whether it opens again at the next start. It cannot be closed other than by
// "Go >>", which hides it and asks its opener (`go`) to show the main window the chosen way. The check box
// writes the setting at once.
class TForm13 : public ui::Window {
    Q_OBJECT

public:
    explicit TForm13(QString settingsFile, QWidget* parent = nullptr);

    QLabel* Label1;
    QRadioButton* RadioButton1; // Text mode
    QRadioButton* RadioButton2; // Graphic mode
    QCheckBox* CheckBox1;       // Always start from QuickStart Wizard
    QPushButton* Button1;       // Go >>

signals:
    void go(shell::UserMode mode);

public slots:
    void CheckBox1Click();
    void Button1Click();

protected:
    void FormShow() override;
    // Only "Go >>" leaves the wizard.
    bool FormCloseQuery() override { return false; }

private:
    QString settingsFile_;
    ui::CatalogueTexts texts_;
};

} // namespace shell
