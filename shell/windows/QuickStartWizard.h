#pragma once

#include "shell/QuickStart.h"
#include "windowkit/Window.h"
#include "ui_QuickStartWizard.h"

namespace shell {

// The quick start wizard: asks a user which way to work, text (a banner typed into the starter project) or
// graphic (the editor), and whether it opens again at the next start. "Go >>" hides it and asks its opener
// (`go`) to show the main window the chosen way; the close box and Escape leave it without a choice
// (`cancelled`). The check box writes the setting at once. Its controls are those of QuickStartWizard.ui:
// RadioButton1 Text mode, RadioButton2 Graphic mode, RadioButton3 Start from a sample show with ComboBox1 the
// sample shows, CheckBox1 Always start from QuickStart Wizard, Button1 Go >>.
class QuickStartWizard : public windowkit::Window, public Ui::QuickStartWizard {
    Q_OBJECT

public:
    explicit QuickStartWizard(QString settingsFile, QWidget* parent = nullptr);

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
    // The sample shows' titles follow the language.
    void textsApplied() override { fillSamples(); }
    void FormClose() override { emit cancelled(); }
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillSamples();

    QString settingsFile_;
};

} // namespace shell
