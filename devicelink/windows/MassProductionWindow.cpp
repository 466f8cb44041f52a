#include "devicelink/windows/MassProductionWindow.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "windowkit/TextTint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace devicelink {
namespace {

constexpr int kWidth = 720;
constexpr int kStatusHeight = 180;       // the window without the production panel's check box
constexpr int kWithToggleHeight = 204;   // with the check box below the status
constexpr int kWithPanelHeight = 502;    // with the panel open
constexpr int kResultsShown = 8;

} // namespace

MassProductionWindow::MassProductionWindow(const store::EditionParameters& edition, std::function<bool()> devicePresent,
                                           ProductionPanelHooks production, QWidget* parent)
    : windowkit::Window(parent),
      GroupBox1(new QGroupBox(this)),
      Label1(new QLabel(GroupBox1)),
      Timer1(new QTimer(this)),
      ProductionBox(new QCheckBox(this)),
      ProductionPanel(new QGroupBox(this)),
      SourceLabel(new QLabel(ProductionPanel)),
      SourceBox(new QComboBox(ProductionPanel)),
      ImageFileButton(new QPushButton(ProductionPanel)),
      VerifyBox(new QCheckBox(ProductionPanel)),
      LogFileButton(new QPushButton(ProductionPanel)),
      LogFileEdit(new QLineEdit(ProductionPanel)),
      StartButton(new QPushButton(ProductionPanel)),
      CountersLabel(new QLabel(ProductionPanel)),
      ResultsList(new QListWidget(ProductionPanel)),
      edition_(edition),
      devicePresent_(std::move(devicePresent)),
      production_(std::move(production))
{
    setObjectName(QStringLiteral("Form21"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(12, 8, 696, 160);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 24, 680, 128);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true); // translations may not fit on one line
    QFont large = Label1->font();
    large.setPixelSize(37);
    Label1->setFont(large);
    Timer1->setInterval(800);
    connect(Timer1, &QTimer::timeout, this, &MassProductionWindow::Timer1Timer);
    buildPanel();
}

MassProductionWindow::~MassProductionWindow() = default; // the line stops its transfers and waits for them

void MassProductionWindow::buildPanel()
{
    const bool offered = static_cast<bool>(production_.makeLine);
    ProductionBox->setObjectName(QStringLiteral("ProductionBox"));
    ProductionBox->setGeometry(16, 176, 600, 24);
    ProductionBox->setVisible(offered);
    setFixedSize(kWidth, offered ? kWithToggleHeight : kStatusHeight);
    ProductionPanel->setObjectName(QStringLiteral("ProductionPanel"));
    ProductionPanel->setGeometry(12, 204, 696, 290);
    ProductionPanel->hide();
    SourceLabel->setGeometry(8, 24, 150, 24);
    SourceBox->setObjectName(QStringLiteral("SourceBox"));
    SourceBox->setGeometry(160, 24, 380, 24);
    SourceBox->setEditable(true); // a binary file's path may be typed as well
    ImageFileButton->setObjectName(QStringLiteral("ImageFileButton"));
    ImageFileButton->setGeometry(548, 22, 140, 28);
    LogFileButton->setObjectName(QStringLiteral("LogFileButton"));
    LogFileButton->setGeometry(8, 58, 150, 28);
    LogFileEdit->setObjectName(QStringLiteral("LogFileEdit"));
    LogFileEdit->setGeometry(160, 60, 528, 24);
    LogFileEdit->setText(production_.defaultLogFile);
    VerifyBox->setObjectName(QStringLiteral("VerifyBox"));
    VerifyBox->setGeometry(8, 96, 500, 24);
    StartButton->setObjectName(QStringLiteral("StartButton"));
    StartButton->setGeometry(548, 94, 140, 28);
    CountersLabel->setObjectName(QStringLiteral("CountersLabel"));
    CountersLabel->setGeometry(8, 130, 680, 24);
    ResultsList->setObjectName(QStringLiteral("ResultsList"));
    ResultsList->setGeometry(8, 160, 680, 120);

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

void MassProductionWindow::applyPanelTexts()
{
    ProductionBox->setText(messages::lookupMessage(msg::ProductionPanel));
    SourceLabel->setText(messages::lookupMessage(msg::ProductionSource));
    ImageFileButton->setText(messages::lookupMessage(msg::ProductionImageFile));
    LogFileButton->setText(messages::lookupMessage(msg::ProductionLogFile));
    VerifyBox->setText(messages::lookupMessage(msg::ProductionVerify));
    StartButton->setText(messages::lookupMessage(line_ ? msg::ProductionStop : msg::ProductionStart));
    lineChanged();
}

void MassProductionWindow::FormShow()
{
    setWindowTitle(QStringLiteral("Mass Production Tool") + QString::number(edition_.ledCount) +
                   edition_.versionLabel);
    GroupBox1->setTitle(messages::lookupMessage(msg::LightShowStatus));
    applyPanelTexts();
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
    setFixedSize(kWidth, shown ? kWithPanelHeight : kWithToggleHeight);
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
