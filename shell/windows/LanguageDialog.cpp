#include "shell/windows/LanguageDialog.h"

#include "shell/AppState.h"
#include "shell/LanguageChoice.h"
#include "messages/Prompter.h"
#include "store/Settings.h"
#include "windowkit/RunCommand.h"
#include "windowkit/TextTint.h"

namespace shell {
namespace {

// The simplified modes' buttons stand closer to the list.
constexpr int kSimplifiedButtonsGap = 10;

} // namespace

LanguageDialog::LanguageDialog(const AppState& state, messages::Prompter& prompter, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | windowkit::kFixedWindowFlags),
      state_(state),
      prompter_(prompter)
{
    setupUi(this);
    fullPlacement_ = {Label3->y(), ComboBox1->y(), Button1->y(), height()};

    QFont larger = Label2->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.4);
    larger.setBold(true);
    Label2->setFont(larger);
    windowkit::setTextTint(*Label2, windowkit::TextTint::Value);

    connect(Button1, &QPushButton::clicked, this, &LanguageDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &LanguageDialog::Button2Click);
    placeControls();
}

// The list's label and the list take the places of the two labels left out; the buttons follow the list.
LanguageDialog::Placement LanguageDialog::simplifiedPlacement() const
{
    const int buttonsTop = Label2->y() + ComboBox1->height() + kSimplifiedButtonsGap;
    const int bottomMargin = fullPlacement_.height - fullPlacement_.buttonsTop;
    return {Label1->y(), Label2->y(), buttonsTop, buttonsTop + bottomMargin};
}

// Both labels about the detected language are left out in the simplified modes; the rest moves up into
// their place.
void LanguageDialog::placeControls()
{
    const bool simplified = state_.simplifiedMode;
    Label1->setVisible(!simplified);
    Label2->setVisible(!simplified);
    const Placement placement = simplified ? simplifiedPlacement() : fullPlacement_;
    Label3->move(Label3->x(), placement.labelTop);
    ComboBox1->move(ComboBox1->x(), placement.listTop);
    Button1->move(Button1->x(), placement.buttonsTop);
    Button2->move(Button2->x(), placement.buttonsTop);
    setFixedSize(width(), placement.height);
}

void LanguageDialog::FormShow()
{
    const messages::LangId system = messages::systemLanguageId();
    Label2->setText(languageOwnName(system));
    placeControls();
    ComboBox1->clear();
    for (const LanguageEntry& entry : languageDialogEntries())
        ComboBox1->addItem(languageOwnName(entry.language), int(entry.language));
    ComboBox1->setCurrentIndex(
        preselectedLanguageEntry(store::readUserLanguage(state_.workspace.settingsFile), system));
}

void LanguageDialog::Button1Click()
{
    const int entry = ComboBox1->currentIndex();
    if (entry < 0)
        return;
    const messages::Answer answer = prompter_.ask(languageChangeTitle(), languageChangeQuestion(ComboBox1->currentText()),
                                        messages::Icon::Question, messages::Buttons::YesNo);
    if (answer == messages::Answer::Yes) {
        const auto language = messages::LangId(ComboBox1->itemData(entry).toInt());
        windowkit::runCommand(prompter_, [&] { storeLanguageChoice(state_.workspace.settingsFile, language); });
    }
    accept();
}

void LanguageDialog::Button2Click()
{
    reject();
}

void LanguageDialog::done(int result)
{
    ComboBox1->clear();
    QDialog::done(result);
}

} // namespace shell
