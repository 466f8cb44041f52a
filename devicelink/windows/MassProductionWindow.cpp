#include "devicelink/windows/MassProductionWindow.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "windowkit/TextTint.h"

#include <QTimer>

namespace devicelink {
namespace {

constexpr int kStatusHeight = 180;       // the window without the production panel's check box
constexpr int kWithToggleHeight = 204;   // with the check box below the status
constexpr int kWithPanelHeight = 502;    // with the panel open
constexpr int kResultsShown = 8;

} // namespace

MassProductionWindow::MassProductionWindow(const store::EditionParameters& edition, std::function<bool()> devicePresent,
                                           ProductionPanelHooks production, QWidget* parent)
    : windowkit::Window(parent),
      Timer1(new QTimer(this)),
      edition_(edition),
      devicePresent_(std::move(devicePresent)),
      production_(std::move(production))
{
    setupUi(this);
    QFont large = Label1->font();
    large.setPixelSize(37);
    Label1->setFont(large);
    Timer1->setInterval(800);
    connect(Timer1, &QTimer::timeout, this, &MassProductionWindow::Timer1Timer);

    const bool offered = static_cast<bool>(production_.makeLine);
    ProductionBox->setVisible(offered);
    ProductionPanel->hide();
    setFixedSize(width(), offered ? kWithToggleHeight : kStatusHeight);
    LogFileEdit->setText(production_.defaultLogFile);
    connectPanel();
}

MassProductionWindow::~MassProductionWindow() = default; // the line stops its transfers and waits for them

void MassProductionWindow::connectPanel()
{
    connect(ProductionBox, &QCheckBox::toggled, this, &MassProductionWindow::showPanel);
    connect(StartButton, &QPushButton::clicked, this, &MassProductionWindow::startOrStop);
    connect(ImageFileButton, &QPushButton::clicked, this, [this] {
        const QString file = production_.chooseImageFile ? production_.chooseImageFile() : QString();
        if (!file.isEmpty())
            SourceBox->setCurrentText(file);
    });
    connect(LogFileButton, &QPushButton::clicked, this, [this] {
        const QString file = production_.chooseLogFile ? production_.chooseLogFile(LogFileEdit->text()) : QString();
        if (!file.isEmpty())
            LogFileEdit->setText(file);
    });
}

void MassProductionWindow::textsApplied()
{
    StartButton->setText(messages::lookupMessage(line_ ? msg::ProductionStop : msg::ProductionStart));
    lineChanged();
}

void MassProductionWindow::FormShow()
{
    setWindowTitle(QStringLiteral("Mass Production Tool") + QString::number(edition_.ledCount) +
                   edition_.versionLabel);
    showStatus(false);
    windowkit::centerOnScreen(*this);
    Timer1->start();
}

void MassProductionWindow::Timer1Timer()
{
    showStatus(devicePresent_ && devicePresent_());
    if (line_)
        line_->scan();
}

void MassProductionWindow::devicesChanged()
{
    if (Timer1->isActive())
        Timer1Timer();
}

void MassProductionWindow::showStatus(bool connected)
{
    Label1->setText(messages::lookupMessage(connected ? msg::DeviceConnected : msg::NoDeviceDetected));
    windowkit::setTextTint(*Label1, connected ? windowkit::TextTint::Connected : windowkit::TextTint::Problem);
}

void MassProductionWindow::showPanel(bool shown)
{
    if (shown && production_.projectNames && SourceBox->count() == 0) {
        const QString typed = SourceBox->currentText();
        SourceBox->addItems(production_.projectNames());
        if (!typed.isEmpty())
            SourceBox->setCurrentText(typed);
    }
    if (!shown && line_)
        line_->stop(); // no stick is programmed unseen
    ProductionPanel->setVisible(shown);
    setFixedSize(width(), shown ? kWithPanelHeight : kWithToggleHeight);
}

void MassProductionWindow::startOrStop()
{
    if (!line_) {
        startLine();
        return;
    }
    line_->stop();
    StartButton->setEnabled(false); // until the transfers running have closed their sticks
    releaseLineWhenIdle();
}

void MassProductionWindow::startLine()
{
    const QString source = SourceBox->currentText().trimmed();
    QHash<int, QByteArray> images = production_.images ? production_.images(source) : QHash<int, QByteArray>();
    if (images.isEmpty())
        return; // told why
    ProductionSettings settings;
    settings.ledCount = edition_.ledCount;
    settings.verify = VerifyBox->isChecked();
    settings.logFile = LogFileEdit->text().trimmed();
    line_ = production_.makeLine(std::move(images), settings);
    connect(line_.get(), &ProductionLine::changed, this, &MassProductionWindow::lineChanged);
    connect(line_.get(), &ProductionLine::stickFinished, this, &MassProductionWindow::addResult);
    ResultsList->clear();
    setChoicesEnabled(false);
    StartButton->setText(messages::lookupMessage(msg::ProductionStop));
    line_->scan();
}

void MassProductionWindow::lineChanged()
{
    if (!line_)
        return; // the counters of the last run stay
    CountersLabel->setText(
        messages::formatMessage(msg::ProductionStatus, line_->done(), line_->failed(), line_->inProgress()));
    releaseLineWhenIdle();
}

void MassProductionWindow::addResult(const StickResult& result)
{
    const unsigned format = result.done ? msg::ProductionResultDone : msg::ProductionResultFailed;
    const QString time = result.finishedAt.toString(QStringLiteral("HH:mm:ss"));
    const QString message = QString(result.message).replace(u'\n', u' ');
    ResultsList->insertItem(
        0, messages::formatMessage(format, qUtf8Printable(time), qUtf8Printable(result.path), qUtf8Printable(message)));
    if (line_ && !line_->logWritable())
        ResultsList->insertItem(0, messages::formatMessage(msg::ProductionLogUnwritable, qUtf8Printable(LogFileEdit->text())));
    while (ResultsList->count() > kResultsShown)
        delete ResultsList->takeItem(ResultsList->count() - 1);
}

void MassProductionWindow::releaseLineWhenIdle()
{
    if (!line_ || !line_->finished())
        return;
    // Dropped from the event loop: this may run inside the line's own signal.
    QTimer::singleShot(0, this, [this] {
        if (!line_ || !line_->finished())
            return;
        line_.reset();
        setChoicesEnabled(true);
        StartButton->setEnabled(true);
        StartButton->setText(messages::lookupMessage(msg::ProductionStart));
    });
}

void MassProductionWindow::setChoicesEnabled(bool enabled)
{
    for (QWidget* choice : {static_cast<QWidget*>(SourceBox), static_cast<QWidget*>(ImageFileButton),
                            static_cast<QWidget*>(VerifyBox), static_cast<QWidget*>(LogFileButton),
                            static_cast<QWidget*>(LogFileEdit)})
        choice->setEnabled(enabled);
}

void MassProductionWindow::FormClose()
{
    Timer1->stop();
    line_.reset(); // stops the transfers at their next block and waits for them
}

} // namespace devicelink
