#pragma once

#include "windowkit/Window.h"
#include "ui_LanguageDialog.h"

namespace messages {
class Prompter;
}

namespace shell {

struct AppState;

// The language dialog: shows the language the system reports, lists the five languages the user can choose,
// and after a confirmation stores the choice as the user's language. It does not change the language in use:
// the window that opened it reads the setting again afterwards. Its controls are those of LanguageDialog.ui:
// Label1 "Auto Detect Language: " over Label2, the system's language; Label3 "Supported Languages: (A to Z)"
// over ComboBox1, the five languages each with its identifier; Button1 OK, Button2 CANCEL.
class LanguageDialog : public windowkit::Dialog, public Ui::LanguageDialog {
    Q_OBJECT

public:
    LanguageDialog(const AppState& state, messages::Prompter& prompter, QWidget* parent = nullptr);

public slots:
    void Button1Click();
    void Button2Click();
    void done(int result) override;

protected:
    void FormShow() override;

private:
    // Where the controls below the detected language stand: the list's label, the list, the buttons, and the
    // dialog's height.
    struct Placement {
        int labelTop;
        int listTop;
        int buttonsTop;
        int height;
    };
    Placement simplifiedPlacement() const;
    void placeControls();

    const AppState& state_;
    messages::Prompter& prompter_;
    Placement fullPlacement_;
};

} // namespace shell
