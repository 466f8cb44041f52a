#include "shell/windows/QuickStartWizard.h"

#include "deviceimage/SampleShows.h"
#include "messages/MessageCatalogue.h"
#include "store/Settings.h"

#include <QKeyEvent>

#include <algorithm>

namespace shell {

QuickStartWizard::QuickStartWizard(QString settingsFile, QWidget* parent)
    : windowkit::Window(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      settingsFile_(std::move(settingsFile))
{
    setupUi(this);
    // A larger caption: the .ui file gives fonts in points only.
    QFont labelFont = Label1->font();
    labelFont.setPixelSize(16);
    Label1->setFont(labelFont);
    connect(RadioButton3, &QRadioButton::toggled, ComboBox1, &QComboBox::setEnabled);
    connect(CheckBox1, &QCheckBox::toggled, this, &QuickStartWizard::CheckBox1Click);
    connect(Button1, &QPushButton::clicked, this, &QuickStartWizard::Button1Click);
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
