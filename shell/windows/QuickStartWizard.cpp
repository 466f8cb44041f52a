#include "shell/windows/QuickStartWizard.h"

#include "deviceimage/SampleShows.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "store/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace shell {

QuickStartWizard::QuickStartWizard(QString settingsFile, QWidget* parent)
    : windowkit::Window(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      settingsFile_(std::move(settingsFile))
{
    setObjectName(QStringLiteral("Form13"));
    setFixedSize(367, 233);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(24, 16, 320, 28);
    QFont labelFont = Label1->font();
    labelFont.setPixelSize(16);
    Label1->setFont(labelFont);

    RadioButton1 = new QRadioButton(this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(40, 60, 300, 24);
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(40, 96, 300, 24);
    RadioButton3 = new QRadioButton(this);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    RadioButton3->setGeometry(40, 126, 300, 24);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(62, 154, 200, 26);
    ComboBox1->setEnabled(false);
    connect(RadioButton3, &QRadioButton::toggled, ComboBox1, &QComboBox::setEnabled);

    CheckBox1 = new QCheckBox(this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(12, 190, 240, 24);
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(268, 186, 86, 30);
    Button1->setDefault(true);

    connect(CheckBox1, &QCheckBox::toggled, this, &QuickStartWizard::CheckBox1Click);
    connect(Button1, &QPushButton::clicked, this, &QuickStartWizard::Button1Click);
    // "&&" in the text mode's caption shows one ampersand, as the text means.
    texts_.caption(this, msg::QuickStartWizardTitle)
        .caption(Label1, msg::SelectUserMode)
        .caption(RadioButton1, msg::TextMode)
        .caption(RadioButton2, msg::GraphicMode)
        .caption(RadioButton3, msg::SampleStartFrom)
        .caption(CheckBox1, msg::AlwaysStartWithWizard)
        .caption(Button1, msg::GoButton);
    texts_.apply();
    fillSamples();
}

void QuickStartWizard::fillSamples()
{
    const int chosen = std::max(0, ComboBox1->currentIndex());
    ComboBox1->clear();
    for (const deviceimage::SampleShow& sample : deviceimage::sampleShows())
        ComboBox1->addItem(messages::lookupMessage(sample.titleId), sample.key);
    ComboBox1->setCurrentIndex(chosen);
}

void QuickStartWizard::FormShow()
{
    windowkit::centerOnScreen(*this);
    // Setting the box from the stored value writes it back, as a change of the box always does.
    CheckBox1->setChecked(store::readStartWithWizard(settingsFile_) != 0);
    CheckBox1Click();
    texts_.apply();
    fillSamples();
}

void QuickStartWizard::CheckBox1Click()
{
    // A settings file that cannot be written leaves the setting as it was, without a message.
    try {
        store::writeStartWithWizard(settingsFile_, CheckBox1->isChecked());
    } catch (const std::exception&) {
    }
}

void QuickStartWizard::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        windowkit::Window::keyPressEvent(event);
}

void QuickStartWizard::Button1Click()
{
    hide();
    if (RadioButton3->isChecked())
        emit sampleChosen(ComboBox1->currentData().toString());
    else
        emit go(RadioButton1->isChecked() ? UserMode::Text : UserMode::Graphic);
}

} // namespace shell
