#pragma once

#include "shell/QuickStart.h"
#include "windowkit/CatalogueTexts.h"
#include "windowkit/Window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace shell {

// The quick start wizard: asks a user which way to work, text (a banner typed into the starter project) or
// graphic (the editor), and whether it opens again at the next start. "Go >>" hides it and asks its opener
// (`go`) to show the main window the chosen way; the close box and Escape leave it without a choice
// (`cancelled`). The check box writes the setting at once.
class QuickStartWizard : public windowkit::Window {
    Q_OBJECT

public:
    explicit QuickStartWizard(QString settingsFile, QWidget* parent = nullptr);

    QLabel* Label1;
    QRadioButton* RadioButton1; // Text mode
    QRadioButton* RadioButton2; // Graphic mode
    QRadioButton* RadioButton3; // Start from a sample show
    QComboBox* ComboBox1;       // the sample shows
    QCheckBox* CheckBox1;       // Always start from QuickStart Wizard
    QPushButton* Button1;       // Go >>

signals:
    void go(shell::UserMode mode);
    // Closed by its close box or Escape: the opener shows the main window as it is, should it be hidden.
    void cancelled();
    // "Go >>" with a sample show chosen: its key.
    void sampleChosen(const QString& sample);

public slots:
    void CheckBox1Click();
    void Button1Click();

protected:
    void FormShow() override;
    void FormClose() override { emit cancelled(); }
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillSamples();

    QString settingsFile_;
    windowkit::CatalogueTexts texts_;
};

} // namespace shell
