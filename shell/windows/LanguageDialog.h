#pragma once

#include "windowkit/CatalogueTexts.h"
#include "windowkit/Window.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace messages {
class Prompter;
}

namespace shell {

struct AppState;

// The language dialog: shows the language the system reports, lists the five languages the user can choose,
// and after a confirmation stores the choice as the user's language. It does not change the language in use:
// the window that opened it reads the setting again afterwards. Its texts are fixed English.
class LanguageDialog : public windowkit::Dialog {
    Q_OBJECT

public:
    LanguageDialog(const AppState& state, messages::Prompter& prompter, QWidget* parent = nullptr);

    QLabel* Label1;       // "Auto Detect Language: "
    QLabel* Label2;       // the system's language
    QLabel* Label3;       // "Supported Languages: (A to Z)"
    QComboBox* ComboBox1; // the five languages, each with its identifier
    QPushButton* Button1; // OK
    QPushButton* Button2; // CANCEL

public slots:
    void Button1Click();
    void Button2Click();
    void done(int result) override;

protected:
    void FormShow() override;

private:
    void placeControls();

    const AppState& state_;
    windowkit::CatalogueTexts texts_;
    messages::Prompter& prompter_;
};

} // namespace shell
