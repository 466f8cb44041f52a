#include "devicelink/windows/DownloadDialog.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "windowkit/RunCommand.h"

#include <QApplication>

namespace devicelink {
namespace {

// In simplified mode the buttons are hidden and the dialog ends below the progress bar.
constexpr int kCompactHeight = 124;

} // namespace

DownloadDialog::DownloadDialog(HidPlatform& platform, EventPump& pump, messages::Prompter& prompter, ProjectHooks hooks,
                               TransferSettings settings, QWidget* parent)
    : windowkit::Dialog(parent),
      prompter_(prompter),
      transport_(platform, pump),
      transfers_(transport_, prompter, *this, std::move(hooks), std::move(settings))
{
    setupUi(this);
    fullSize_ = size();
    Label2->hide();
    Label3->hide();
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);

    connect(Button1, &QPushButton::clicked, this, &DownloadDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &DownloadDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &DownloadDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &DownloadDialog::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &DownloadDialog::Button5Click);
    connect(Timer1, &QTimer::timeout, this, &DownloadDialog::Timer1Timer);
    connect(ComboBox1, &QComboBox::activated, this, &DownloadDialog::ComboBox1Change);
}

DownloadDialog::~DownloadDialog()
{
    setWaitCursor(false);
}

bool DownloadDialog::simplifiedNotEasy() const
{
    return transfers_.settings().simplifiedMode && !transfers_.settings().easyMode;
}

void DownloadDialog::FormShow()
{
    const bool compact = simplifiedNotEasy();
    for (QPushButton* button : {Button2, Button3, Button4, Button5})
        button->setVisible(!compact);
    setFixedSize(fullSize_.width(), compact ? kCompactHeight : fullSize_.height());

    autoStarted = false;
    transfers_.refresh();
    fillSelector();
    ProgressBar1->setValue(0);
    transfers_.verifyTicked = false;
    syncCheckBox();
    const ProjectHooks& hooks = transfers_.hooks();
    const bool haveProject = hooks.currentEntryText && !hooks.currentEntryText().isEmpty();
    Button4->setEnabled(haveProject);
    Button3->setEnabled(haveProject);
    if (compact)
        Timer1->start();
    else
        Timer1->stop();
}

void DownloadDialog::fillSelector()
{
    const DeviceSelector& selector = transport_.selector();
    ComboBox1->clear();
    if (selector.isEmpty()) {
        ComboBox1->addItem(selector.emptyText());
        ComboBox1->setCurrentIndex(0);
        return;
    }
    for (const DeviceEntry& entry : selector.entries)
        ComboBox1->addItem(entry.displayName);
    ComboBox1->setCurrentIndex(selector.currentIndex);
}

void DownloadDialog::ComboBox1Change(int index)
{
    DeviceSelector& selector = transport_.selector();
    if (!transfers_.isRunning() && index >= 0 && index < static_cast<int>(selector.entries.size()))
        selector.currentIndex = index;
}

void DownloadDialog::syncCheckBox()
{
    CheckBox1->setChecked(transfers_.verifyTicked);
}

void DownloadDialog::Button1Click()
{
    if (transfers_.isRunning())
        return;
    transfers_.refresh();
    fillSelector();
}

void DownloadDialog::devicesChanged()
{
    if (isVisible())
        Button1Click();
}

void DownloadDialog::Button2Click()
{
    windowkit::runCommand(prompter_, [this] { transfers_.readData(); });
    syncCheckBox();
}

void DownloadDialog::Button3Click()
{
    if (!transfers_.isRunning())
        CheckBox1->setChecked(true);
    windowkit::runCommand(prompter_, [this] { transfers_.verify(); });
    syncCheckBox();
}

void DownloadDialog::Button4Click()
{
    windowkit::runCommand(prompter_, [this] { transfers_.download(); });
    syncCheckBox();
}

void DownloadDialog::Button5Click()
{
    reject();
}

void DownloadDialog::reject()
{
    // Cancel and Esc during a transfer stop it at the next block; the dialog stays open and shows its idle look
    // again, so that a second Cancel closes it.
    if (transfers_.isRunning()) {
        transfers_.requestStop();
        return;
    }
    QDialog::reject();
}

bool DownloadDialog::FormCloseQuery()
{
    if (!transfers_.isRunning())
        return true;
    transfers_.requestStop();
    return false;
}

void DownloadDialog::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    if (!event->spontaneous())
        setProperty(windowkit::kTextId, msg::DownloadDialogCaption); // the next show starts with the plain title
    QDialog::hideEvent(event);
}

void DownloadDialog::Timer1Timer()
{
    if (transfers_.isRunning())
        return;
    if (transfers_.closeRequested) {
        Timer1->stop();
        done(QDialog::Rejected);
        return;
    }
    if (autoStarted)
        return;
    autoStarted = true;
    if (autoRead)
        Button2Click();
    else if (autoDownload)
        Button4Click();
}

void DownloadDialog::setProgress(int percent)
{
    if (ProgressBar1->value() != percent)
        ProgressBar1->setValue(percent);
}

void DownloadDialog::setBusyLook(bool busy)
{
    Label2->setVisible(busy);
    Label3->setVisible(busy);
    Label1->setVisible(!busy);
    ComboBox1->setVisible(!busy);
    Button1->setVisible(!busy);
    syncCheckBox();
}

void DownloadDialog::setWaitCursor(bool waiting)
{
    if (waiting == waitCursor_)
        return;
    waitCursor_ = waiting;
    if (waiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void DownloadDialog::setCaption(unsigned messageId)
{
    // The title names the transfer; as the window's caption id it follows a language change.
    setProperty(windowkit::kTextId, messageId);
    setWindowTitle(messages::lookupMessage(messageId));
}

void DownloadDialog::bringToFront()
{
    raise();
    activateWindow();
}

void DownloadDialog::closeDialog()
{
    // The transfer has ended its work; close without the running-transfer guard of reject().
    Timer1->stop();
    done(QDialog::Accepted);
}

} // namespace devicelink
