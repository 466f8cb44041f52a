#include "devicelink/windows/DownloadDialog.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "windowkit/RunCommand.h"

#include <QApplication>

namespace devicelink {
namespace {

constexpr int kFormWidth = 424;
constexpr int kFormHeight = 150; // the lower area with the check box lies below it, out of sight
constexpr int kButtonTop = 96;
constexpr int kProgressHeight = 18;

} // namespace

DownloadDialog::DownloadDialog(HidPlatform& platform, EventPump& pump, messages::Prompter& prompter, ProjectHooks hooks,
                               TransferSettings settings, QWidget* parent)
    : windowkit::Dialog(parent),
      prompter_(prompter),
      transport_(platform, pump),
      transfers_(transport_, prompter, *this, std::move(hooks), std::move(settings))
{
    setObjectName(QStringLiteral("Form10"));
    setModal(true);
    Label1 = new QLabel(this);
    Label1->setGeometry(16, 10, 290, 18);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setGeometry(16, 30, 290, 26);
    Button1 = new QPushButton(this);
    Button1->setGeometry(318, 30, 90, 26);
    Label2 = new QLabel(this);
    Label2->setGeometry(16, 10, 392, 18);
    Label3 = new QLabel(this);
    Label3->setGeometry(16, 34, 392, 18);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(16, 66, 392, kProgressHeight);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    Button2 = new QPushButton(this);
    Button2->setGeometry(16, kButtonTop, 92, 30);
    Button3 = new QPushButton(this);
    Button3->setGeometry(116, kButtonTop, 92, 30);
    Button4 = new QPushButton(this);
    Button4->setGeometry(216, kButtonTop, 92, 30);
    Button5 = new QPushButton(this);
    Button5->setGeometry(316, kButtonTop, 92, 30);
    CheckBox1 = new QCheckBox(QStringLiteral("Write and Read Verify"), this);
    CheckBox1->setGeometry(16, kFormHeight + 12, 200, 20);
    CheckBox1->setEnabled(false);
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

    texts_.caption(this, msg::DownloadDialogCaption)
        .caption(Label1, msg::SelectStickLabel)
        .caption(Button1, msg::RefreshButton)
        .caption(Button2, msg::ReadDataButton)
        .caption(Button3, msg::VerifyButton)
        .caption(Button4, msg::DownloadButton)
        .caption(Button5, msg::DownloadCancelButton)
        .caption(Label2, msg::DataProcessingNow)
        .caption(Label3, msg::DoNotCloseDialog);
    resize(kFormWidth, kFormHeight);
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
    texts_.apply();

    int height = kFormHeight;
    const bool compact = simplifiedNotEasy();
    if (compact)
        height = kButtonTop + kProgressHeight + 10;
    for (QPushButton* button : {Button2, Button3, Button4, Button5})
        button->setVisible(!compact);
    setFixedSize(kFormWidth, height);

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
