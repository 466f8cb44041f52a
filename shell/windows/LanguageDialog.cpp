#include "shell/windows/LanguageDialog.h"

#include "shell/AppState.h"
#include "shell/LanguageChoice.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Settings.h"
#include "windowkit/RunCommand.h"
#include "windowkit/TextTint.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace shell {
namespace {

constexpr int kMargin = 16;
constexpr int kWidth = 300;
constexpr int kLabel1Top = 14;
constexpr int kLabel2Top = 36;
constexpr int kLabel3Top = 72;
constexpr int kListTop = 92;
constexpr int kListHeight = 26;
constexpr int kDialogButtonWidth = 88;
constexpr int kDialogButtonHeight = 28;

} // namespace

LanguageDialog::LanguageDialog(const AppState& state, messages::Prompter& prompter, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | windowkit::kFixedWindowFlags),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)),
      Label3(new QLabel(this)),
      ComboBox1(new QComboBox(this)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)),
      state_(state),
      prompter_(prompter)
{
    setObjectName(QStringLiteral("Form19"));
    setModal(true);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3->setObjectName(QStringLiteral("Label3"));
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));

    QFont larger = Label2->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.4);
    larger.setBold(true);
    Label2->setFont(larger);
    windowkit::setTextTint(*Label2, windowkit::TextTint::Value);

    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &LanguageDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &LanguageDialog::Button2Click);
    texts_.caption(this, msg::LanguageDialogTitle).caption(Label1, msg::AutoDetectLanguage);
    texts_.caption(Label3, msg::SupportedLanguages).caption(Button1, 607).caption(Button2, 608);
    placeControls();
}

// Both labels about the detected language are left out in the simplified modes; the rest moves up into
// their place.
void LanguageDialog::placeControls()
{
    const bool simplified = state_.simplifiedMode;
    Label1->setVisible(!simplified);
    Label2->setVisible(!simplified);
    const int contentWidth = kWidth - 2 * kMargin;
    Label1->setGeometry(kMargin, kLabel1Top, contentWidth, 20);
    Label2->setGeometry(kMargin, kLabel2Top, contentWidth, 28);
    Label3->setGeometry(kMargin, simplified ? kLabel1Top : kLabel3Top, contentWidth, 20);
    const int listTop = simplified ? kLabel2Top : kListTop;
    ComboBox1->setGeometry(kMargin, listTop, contentWidth, kListHeight);
    const int buttonsTop = simplified ? listTop + kListHeight + 10 : listTop + kListHeight + 16;
    Button1->setGeometry(kWidth / 2 - kDialogButtonWidth - 8, buttonsTop, kDialogButtonWidth, kDialogButtonHeight);
    Button2->setGeometry(kWidth / 2 + 8, buttonsTop, kDialogButtonWidth, kDialogButtonHeight);
    setFixedSize(kWidth, buttonsTop + kDialogButtonHeight + 12);
}

void LanguageDialog::FormShow()
{
    const messages::LangId system = messages::systemLanguageId();
    texts_.apply();
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
